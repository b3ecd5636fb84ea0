#include "itunesdb/TagScanner.h"

#include "itunesdb/TagCache.h"
#include "itunesdb/TagReader.h"

#include <QElapsedTimer>
#include <QMetaObject>

TagScanner::TagScanner(QString playerRoot, QStringList locations, QString cacheFile,
                       QObject* parent)
    : QObject(parent), job_{std::move(playerRoot), std::move(locations), std::move(cacheFile)} {}

TagScanner::~TagScanner() {
    Stop();
}

void TagScanner::Start() {
    if (worker_.joinable() || stopped_)
        return;
    Job job = job_;
    job.batchMs = batchMs_;
    worker_ = std::jthread([this, job = std::move(job)](const std::stop_token& stop) mutable {
        Run(stop, std::move(job));
    });
}

void TagScanner::Stop() {
    stopped_ = true;
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
}

// The worker's side: everything it reads is its own copy; this object is used only as the
// target of the queued calls, which run in the window's thread.
void TagScanner::Run(const std::stop_token& stop, Job job) {
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

    TagCache known, kept;
    if (!job.cacheFile.isEmpty())
        known.Load(job.cacheFile, job.root);
    PlayerTagReader reader(job.root);
    TagScanCounts counts;
    std::vector<TrackRecord> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    int done = 0;
    for (; done < total && !stop.stop_requested(); ++done) {
        const QString& location = job.locations[done];
        // A file with the size and time it had when its tags were read is not opened.
        std::optional<PlayerSongFile> song = reader.Find(location);
        std::optional<TrackRecord> track;
        if (song && (track = known.Find(location, StampOf(song->Facts))))
            ++counts.FromCache;
        else if (song && (track = reader.Read(*song, location)))
            ++counts.FromTags;
        if (track) {
            kept.Put(*track, StampOf(song->Facts));
            batch.push_back(std::move(*track));
        } else {
            ++counts.Skipped;
        }
        if (sinceBatch.elapsed() >= job.batchMs && done + 1 < total) {
            deliver(std::exchange(batch, {}), done + 1);
            sinceBatch.restart();
        }
    }
    // What was not reached is kept as it was, so stopping early loses nothing cached.
    for (int i = done; i < total; ++i)
        kept.Adopt(known, job.locations[i]);
    if (!job.cacheFile.isEmpty() && (counts.FromTags > 0 || kept.Count() != known.Count()))
        kept.Save(job.cacheFile, job.root);
    if (stop.stop_requested())
        return;
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
