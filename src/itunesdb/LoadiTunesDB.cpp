#include "itunesdb/LoadiTunesDB.h"

#include "platform/UiYield.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 fourCC(const char (&tag)[5]) {
    return quint32(quint8(tag[0])) | quint32(quint8(tag[1])) << 8 | quint32(quint8(tag[2])) << 16 |
           quint32(quint8(tag[3])) << 24;
}

constexpr quint32 kMhsd = fourCC("mhsd");
constexpr quint32 kMhlt = fourCC("mhlt");
constexpr quint32 kMhit = fourCC("mhit");
constexpr quint32 kMhod = fourCC("mhod");
constexpr quint32 kMhlp = fourCC("mhlp");
constexpr quint32 kMhyp = fourCC("mhyp");
constexpr quint32 kMhip = fourCC("mhip");

constexpr qint32 kPodcastDataSet = 3;
constexpr qint32 kUtf8Encoding = 2;

class NoProgress final : public LoadProgress {
public:
    void setMinimum(qint64) override {}
    void setMaximum(qint64) override {}
    void setValue(qint64) override {}
};

// Bytes past the end of the file read as absent: zero for numbers, nothing for texts.
class Bytes {
public:
    explicit Bytes(QByteArrayView data) : data_(data) {}
    qint64 size() const { return data_.size(); }
    quint32 u32(qint64 pos) const {
        if (pos < 0 || pos + 4 > data_.size())
            return 0;
        return qFromLittleEndian<quint32>(data_.data() + pos);
    }
    qint32 i32(qint64 pos) const { return static_cast<qint32>(u32(pos)); }
    QByteArrayView slice(qint64 pos, qint64 length) const {
        if (pos < 0 || pos >= data_.size() || length <= 0)
            return {};
        return data_.sliced(pos, std::min(length, data_.size() - pos));
    }

private:
    QByteArrayView data_;
};

QString decodeText(QByteArrayView raw, qint32 encoding) {
    QString text;
    if (encoding == kUtf8Encoding) {
        text = QString::fromUtf8(raw);
    } else if (raw.size() >= 2) {
        text.resize(raw.size() / 2);
        qFromLittleEndian<char16_t>(raw.data(), text.size(), text.data());
    }
    if (text.contains(QChar(0)))
        text.remove(QChar(0));
    return text;
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return first == 0 && last == text.size() ? text : text.mid(first, last - first);
}

class Walk {
public:
    Walk(QByteArrayView bytes, const QString& allSongsText, LoadProgress& progress)
        : bytes_(bytes), allSongsText_(allSongsText), progress_(progress) {}

    // Fills tables of its own and hands them over at the end: events handled during
    // the yields see the emptied tables, never half-built ones.
    void run(MusicDatabase& out) {
        const qint64 length = bytes_.size();
        qint64 offset = 0;
        while (offset + 1 < length) {
            if (yield_.due()) {
                progress_.setValue(offset + 1);
                yield_.yieldNow();
            }
            const qint64 step = visit(offset);
            // A record that does not move the walk forward is damage: stop there.
            if (step <= 0)
                break;
            offset += step;
        }
        out.Tracks = std::move(tracks_);
        out.Playlists = std::move(playlists_);
        if (haveLibraryName_)
            out.LibraryName = libraryName_;
    }

private:
    // Handles the record at offset and returns the step to the next one.
    qint64 visit(qint64 offset) {
        const quint32 tag = bytes_.u32(offset);
        qint64 step = bytes_.i32(offset + 4);
        switch (tag) {
        case kMhsd:
            dataSetType_ = bytes_.i32(offset + 12);
            break;
        case kMhlt: {
            // Room for the tracks the list announces, but never more than the file could
            // hold, so a damaged count cannot ask for a huge table.
            const qint64 announced = std::max<qint32>(bytes_.i32(offset + 8), 0);
            tracks_.reserve(
                static_cast<size_t>(std::min(announced, (bytes_.size() - offset) / 12)));
            break;
        }
        case kMhit:
            readTrack(offset);
            break;
        case kMhod:
            step = bytes_.i32(offset + 8);
            readString(offset);
            break;
        case kMhlp:
            inPlaylistPart_ = true;
            break;
        case kMhyp:
            if (dataSetType_ != kPodcastDataSet)
                playlists_.emplace_back();
            break;
        case kMhip:
            if (dataSetType_ != kPodcastDataSet && !playlists_.empty())
                playlists_.back().Songs.AddItem(QString::number(bytes_.i32(offset + 24)));
            break;
        default: // the header and every other container: entered, its children follow
            break;
        }
        return step;
    }

    void readTrack(qint64 offset) {
        TrackRecord& track = tracks_.emplace_back();
        track.TrackID = bytes_.i32(offset + 16);
        track.FileSize = bytes_.u32(offset + 36);
        if (const qint32 number = bytes_.i32(offset + 44); number > 0) {
            track.TrackNumber = QString::number(number);
            if (track.TrackNumber.size() == 1)
                track.TrackNumber.prepend(u'0');
        }
        if (const qint32 year = bytes_.i32(offset + 52); year > 0)
            track.Year = QString::number(year);
        track.BitRate = QString::number(bytes_.i32(offset + 56)) + QStringLiteral(" Kbps");
    }

    // A string never reaches past its own record, nor past the end of the file.
    QString stringOf(qint64 offset) const {
        const qint64 length =
            std::min<qint64>(bytes_.i32(offset + 28), bytes_.i32(offset + 8) - 40);
        return decodeText(bytes_.slice(offset + 40, length), bytes_.i32(offset + 24));
    }

    void readString(qint64 offset) {
        const qint32 type = bytes_.i32(offset + 12);
        if (!inPlaylistPart_) {
            // Strings before the first track (an album list stored first) have no owner.
            if (tracks_.empty())
                return;
            QString* field = trackField(tracks_.back(), type);
            if (!field)
                return;
            QString text = stringOf(offset);
            text.replace(QChar(0x2019), u'\'');
            if (type == 2)
                *field = text.replace(u':', u'\\');
            else
                *field = trimBlanks(text);
            return;
        }
        if (dataSetType_ == kPodcastDataSet || type != 1 || playlists_.empty())
            return;
        QString name = stringOf(offset);
        if (!haveLibraryName_) {
            haveLibraryName_ = true;
            libraryName_ = name;
            name += QStringLiteral(" [") + allSongsText_ + u']';
        }
        playlists_.back().PlayListName = trimBlanks(name);
    }

    static QString* trackField(TrackRecord& track, qint32 type) {
        switch (type) {
        case 1:
            return &track.Title;
        case 2:
            return &track.Location;
        case 3:
            return &track.Album;
        case 4:
            return &track.Artist;
        case 5:
            return &track.Genre;
        case 14:
            return &track.Description;
        default:
            return nullptr;
        }
    }

    Bytes bytes_;
    const QString& allSongsText_;
    LoadProgress& progress_;
    UiYield yield_;

    std::vector<TrackRecord> tracks_;
    std::vector<clsPlayList> playlists_;
    qint32 dataSetType_ = 0;
    bool inPlaylistPart_ = false;
    bool haveLibraryName_ = false;
    QString libraryName_;
};

} // namespace

LoadResult ReadiTunesDB(MusicDatabase& db, QByteArrayView bytes, const QString& allSongsText,
                        LoadProgress* progress) {
    NoProgress silent;
    LoadProgress& report = progress ? *progress : silent;
    db.ClearTables();
    report.setMinimum(0);
    if (bytes.size() < 4 || std::memcmp(bytes.data(), "mhbd", 4) != 0)
        return {LoadResult::Status::NotADatabase, {}};
    report.setMaximum(bytes.size());
    report.setValue(0);

    Walk(bytes, allSongsText, report).run(db);
    db.LoadedTrackCount = db.TrackCount();
    report.setValue(bytes.size()); // the bar shows full
    return {LoadResult::Status::Loaded, {}};
}

LoadResult LoadiTunesDB(MusicDatabase& db, const QString& path, const QString& allSongsText,
                        LoadProgress* progress) {
    QFile file(path);
    // Read whole rather than mapped: a player unplugged during the walk must not take
    // the program down with it.
    if (!file.open(QIODevice::ReadOnly)) {
        db.ClearTables();
        return {LoadResult::Status::Unreadable, file.errorString()};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        db.ClearTables();
        return {LoadResult::Status::Unreadable, file.errorString()};
    }
    file.close();
    return ReadiTunesDB(db, bytes, allSongsText, progress);
}
