#include "itunesdb/TagScanner.h"

#include "itunesdb/TagCache.h"
#include "itunesdb/TagReader.h"

#include <QElapsedTimer>
#include <QMetaObject>

TagScanner::TagScanner(QString playerRoot, QString cacheFile, QObject* parent) : QObject(parent) {
    worker_ = std::jthread([this, root = std::move(playerRoot), cacheFile = std::move(cacheFile)](
                               const std::stop_token& stop) { Run(stop, root, cacheFile); });
}

TagScanner::~TagScanner() {
    Stop();
}

void TagScanner::Start(QStringList locations) {
    if (stopped_)
        return;
    {
        const std::scoped_lock lock(mutex_);
        if (job_)
            return;
        job_ = Job{std::move(locations), batchMs_};
    }
    jobGiven_.notify_one();
}

void TagScanner::Stop() {
    stopped_ = true;
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
}

// The worker's side: everything it reads is its own copy; this object is used only as the
// target of the queued calls, which run in the window's thread, and for the job handed over.
void TagScanner::Run(const std::stop_token& stop, const QString& root, const QString& cacheFile) {
    TagCache known, kept;
    if (!cacheFile.isEmpty())
        known.Load(cacheFile, root);
    Job job;
    {
        std::unique_lock lock(mutex_);
        if (!jobGiven_.wait(lock, stop, [this] { return job_.has_value(); }))
            return;
        job = *job_;
    }
    const int total = static_cast<int>(job.locations.size());
    const auto deliver = [this, total](std::vector<TrackRecord> records, int done) {
        QMetaObject::invokeMethod(
            this,
            [this, records = std::move(records), done, total] {
                if (!stopped_)
                    emit Batch(records, done, total);
            },
            Qt::QueuedConnection);
    };

    PlayerTagReader reader(root);
    TagScanCounts counts;
    std::vector<TrackRecord> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    const auto deliverDue = [&](int done) {
        if (sinceBatch.elapsed() >= job.batchMs && !batch.empty()) {
            deliver(std::exchange(batch, {}), done);
            sinceBatch.restart();
        }
    };
    // A cached record is given before its file is looked at: on a second opening that look
    // costs more than all the rest. The files are looked at once the list is whole.
    std::vector<int> unchecked;
    int done = 0;
    for (; done < total && !stop.stop_requested(); ++done) {
        const QString& location = job.locations[done];
        std::optional<TrackRecord> track = known.Kept(location);
        std::optional<PlayerSongFile> song;
        if (track) {
            unchecked.push_back(done);
        } else if ((song = reader.Find(location)) && (track = reader.Read(*song, location))) {
            ++counts.FromTags;
            kept.Put(*track, StampOf(song->Facts));
        } else {
            ++counts.Skipped;
        }
        if (track)
            batch.push_back(std::move(*track));
        if (done + 1 < total)
            deliverDue(done + 1);
    }
    if (!stop.stop_requested())
        deliver(std::exchange(batch, {}), done);
    // A file changed since its tags were read gives its row again, read anew. One gone since
    // the listing keeps its row; its copy fails as any missing file's does.
    size_t checked = 0;
    for (; checked < unchecked.size() && !stop.stop_requested(); ++checked) {
        const QString& location = job.locations[unchecked[checked]];
        std::optional<PlayerSongFile> song = reader.Find(location);
        std::optional<TrackRecord> track;
        if (song && known.Find(location, StampOf(song->Facts))) {
            ++counts.FromCache;
            kept.Adopt(known, location);
        } else if (song && (track = reader.Read(*song, location))) {
            ++counts.FromTags;
            kept.Put(*track, StampOf(song->Facts));
            batch.push_back(std::move(*track));
            deliverDue(done);
        } else {
            ++counts.Skipped;
        }
    }
    // What was not reached is kept as it was, so stopping early loses nothing cached.
    for (size_t i = checked; i < unchecked.size(); ++i)
        kept.Adopt(known, job.locations[unchecked[i]]);
    for (int i = done; i < total; ++i)
        kept.Adopt(known, job.locations[i]);
    if (!cacheFile.isEmpty() && (counts.FromTags > 0 || kept.Count() != known.Count()))
        kept.Save(cacheFile, root);
    if (stop.stop_requested())
        return;
    if (!batch.empty())
        deliver(std::move(batch), done);
    QMetaObject::invokeMethod(
        this,
        [this, counts] {
            if (stopped_)
                return;
            counts_ = counts;
            finished_ = true;
            emit Finished();
        },
        Qt::QueuedConnection);
}
