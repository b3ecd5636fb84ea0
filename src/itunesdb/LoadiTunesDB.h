#pragma once

#include "itunesdb/MusicDatabase.h"

#include <QByteArrayView>
#include <QString>

// Receives the progress of a load, as a progress bar does: a range and a value.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    virtual void setMinimum(qint64 minimum) = 0;
    virtual void setMaximum(qint64 maximum) = 0;
    virtual void setValue(qint64 value) = 0;
};

struct LoadResult {
    enum class Status { Loaded, NotADatabase, Unreadable };
    Status status = Status::NotADatabase;
    QString error; // why the file could not be read
};

// Reads the player's music database at path (a native path) into db, replacing what it
// held. The master playlist's name gets " [" + allSongsText + "]". Yields to the window
// system now and then. A damaged file loads what can be read of it; a file that is not
// a music database loads nothing.
LoadResult LoadiTunesDB(MusicDatabase& db, const QString& path, const QString& allSongsText,
                        LoadProgress* progress = nullptr);

// The same walk over a database already in memory.
LoadResult ReadiTunesDB(MusicDatabase& db, QByteArrayView bytes, const QString& allSongsText,
                        LoadProgress* progress = nullptr);
