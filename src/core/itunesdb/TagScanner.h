#pragma once

#include "itunesdb/TrackRecord.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

// How a scan's records were found.
struct TagScanCounts {
    int FromCache = 0; // the file had the cached size and time
    int FromTags = 0;  // read with TagLib
    int Skipped = 0;   // no regular file inside the player there
};

// Reads songs from their own tags on a thread of its own, so that the window fills while
// it reads: the cache first, then the tags. The thread touches no widget and shares nothing
// with the rest but the job handed over and the request to stop; records come back in batches
// through queued calls to this object, which lives in the window's thread. Stop(), or destroying
// it, ends the thread between two files and waits for it; no signal comes after that.
class TagScanner : public QObject {
    Q_OBJECT
public:
    // cacheFile: where what was read is kept (TagCache::FileFor); empty for no cache. The
    // worker starts at once and reads the cache while the caller finds the locations.
    TagScanner(QString playerRoot, QString cacheFile, QObject* parent = nullptr);
    ~TagScanner() override;

    // The least time between two batches; 0 sends one per file. Before Start.
    void SetBatchInterval(int milliseconds) { batchMs_ = milliseconds; }
    // The songs to read, in the order of the list; only the first call counts.
    void Start(QStringList locations);
    void Stop();
    bool Running() const { return worker_.joinable() && !finished_; }
    // How the records were found; complete once Finished came.
    const TagScanCounts& Counts() const { return counts_; }

signals:
    // Records in the order of the locations (a location with no file gives none); done of
    // total locations have been looked at. A cached record comes before its file is looked
    // at; once done is total, a record may come again, read anew, for a location whose file
    // changed since the cache kept it: it replaces the one given before.
    void Batch(const std::vector<TrackRecord>& records, int done, int total);
    // Every location was looked at and the cache saved. The cache keeps the records of this
    // scan's locations (after an early stop, those not reached keep what it had for them).
    void Finished();

private:
    struct Job {
        QStringList locations;
        int batchMs = 0;
    };
    void Run(const std::stop_token& stop, const QString& root, const QString& cacheFile);

    // The job handed to the worker.
    std::mutex mutex_;
    std::condition_variable_any jobGiven_;
    std::optional<Job> job_;
    int batchMs_ = 100;
    // Both only in the window's thread.
    bool stopped_ = false;
    bool finished_ = false;
    TagScanCounts counts_;
    std::jthread worker_; // last: stopped and joined before the rest goes
};
