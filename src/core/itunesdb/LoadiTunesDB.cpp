#include "itunesdb/LoadiTunesDB.h"

#include "platform/RegularFile.h"
#include "platform/UiYield.h"
#include "text/Blanks.h"

#include <QFile>
#include <QHash>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>
#include <zlib.h>

namespace {

constexpr quint32 fourCC(const char (&tag)[5]) {
    return quint32(quint8(tag[0])) | quint32(quint8(tag[1])) << 8 | quint32(quint8(tag[2])) << 16 |
           quint32(quint8(tag[3])) << 24;
}

constexpr quint32 kMhbd = fourCC("mhbd");
constexpr quint32 kMhsd = fourCC("mhsd");
constexpr quint32 kMhlt = fourCC("mhlt");
constexpr quint32 kMhit = fourCC("mhit");
constexpr quint32 kMhod = fourCC("mhod");
constexpr quint32 kMhlp = fourCC("mhlp");
constexpr quint32 kMhyp = fourCC("mhyp");
constexpr quint32 kMhip = fourCC("mhip");

constexpr qint32 kPlaylistDataSet = 2;
constexpr qint32 kPodcastDataSet = 3;
constexpr qint32 kGroupHeader = 0x100; // a podcast-set item that heads a group
constexpr qint32 kUtf8Encoding = 2;

class NoProgress final : public LoadProgress {
public:
    void setMinimum(qint64) override {}
    void setMaximum(qint64) override {}
    void setValue(qint64) override {}
};

// A window onto the file's bytes, addressed by file offset. Bytes past the end of the
// file (or outside the window) read as absent: zero for numbers, nothing for texts.
class Bytes {
public:
    Bytes() = default;
    Bytes(QByteArrayView data, qint64 base, qint64 fileSize)
        : data_(data), base_(base), size_(fileSize) {}
    qint64 size() const { return size_; }
    quint32 u32(qint64 pos) const {
        const qint64 local = pos - base_;
        if (local < 0 || local + 4 > data_.size())
            return 0;
        return qFromLittleEndian<quint32>(data_.data() + local);
    }
    qint32 i32(qint64 pos) const { return static_cast<qint32>(u32(pos)); }
    QByteArrayView slice(qint64 pos, qint64 length) const {
        const qint64 local = pos - base_;
        if (local < 0 || local >= data_.size() || length <= 0)
            return {};
        return data_.sliced(local, std::min(length, data_.size() - local));
    }

private:
    QByteArrayView data_;
    qint64 base_ = 0;
    qint64 size_ = 0;
};

// Where the walk's bytes come from. The walk only moves forward, so a source need only
// keep the bytes from the current record on.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Makes [offset, offset + need) readable through window(), as far as the file
    // reaches. False when the file could not be read.
    virtual bool ensure(qint64 offset, qint64 need) = 0;
    const Bytes& window() const { return window_; }
    virtual QString error() const { return {}; }
    // The progress bar's range and where a walk at offset stands in it.
    virtual qint64 progressSize() const { return window_.size(); }
    virtual qint64 progressAt(qint64 offset) const { return offset; }
    // The most bytes the walk can meet: the file's size, or a stream's ceiling.
    virtual qint64 mostBytes() const { return window_.size(); }
    // Where a compressed stream was cut at its ceiling; -1 when nothing was cut.
    virtual qint64 cutAt() const { return -1; }

protected:
    Bytes window_;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArrayView bytes) { window_ = Bytes(bytes, 0, bytes.size()); }
    bool ensure(qint64, qint64) override { return true; }
};

// Reads the file piece by piece into one reused buffer: a large database is never held
// whole, and a player unplugged during the walk gives a read error, not a crash, as a
// mapped file would.
class FileSource final : public ByteSource {
public:
    explicit FileSource(QFile& file) : file_(file), size_(file.size()) {}

    bool ensure(qint64 offset, qint64 need) override {
        const qint64 end = std::min(offset + need, size_);
        if (offset >= base_ && end <= base_ + filled_)
            return true;
        qint64 kept = 0;
        if (offset >= base_ && offset < base_ + filled_) {
            kept = base_ + filled_ - offset;
            std::memmove(buffer_.data(), buffer_.data() + (offset - base_), size_t(kept));
        } else if (!file_.seek(offset)) {
            return false;
        }
        base_ = offset;
        const qint64 want = std::min(std::max(end - offset, kChunk), size_ - offset);
        if (buffer_.size() < want)
            buffer_.resize(want);
        while (kept < want) {
            const qint64 got = file_.read(buffer_.data() + kept, want - kept);
            if (got < 0)
                return false;
            if (got == 0) { // the file is shorter than it was: the rest is absent
                size_ = base_ + kept;
                break;
            }
            kept += got;
        }
        filled_ = kept;
        window_ = Bytes(QByteArrayView(buffer_.constData(), filled_), base_, size_);
        return true;
    }
    QString error() const override { return file_.errorString(); }

private:
    static constexpr qint64 kChunk = 1 << 20;
    QFile& file_;
    QByteArray buffer_;
    qint64 size_;
    qint64 base_ = 0;
    qint64 filled_ = 0;
};

// A compressed database: its header as stored, byte 0xA8 of which is 1, then the rest of
// the database as one zlib stream.
constexpr qint64 kCompressedFlag = 0xA8;

qint64 compressedHeaderLength(QByteArrayView bytes) {
    if (bytes.size() < 8 || qFromLittleEndian<quint32>(bytes.data()) != kMhbd)
        return 0;
    const qint64 header = qFromLittleEndian<quint32>(bytes.data() + 4);
    if (header <= kCompressedFlag || header > bytes.size() || bytes[kCompressedFlag] != 1)
        return 0;
    return header;
}

// Inflates a compressed database on a second thread while the walk reads what is ready,
// so the two overlap; the walk waits only when it catches up. A few pieces of 1 MB are
// held at a time, whatever the database's size, and memory grows only with what the
// stream really yields. A corrupt or truncated stream ends where it breaks.
class InflatingSource final : public ByteSource {
public:
    InflatingSource(QByteArrayView file, qint64 header)
        : input_(file.sliced(header)), buffer_(file.first(header).toByteArray()), header_(header),
          limit_(std::min(ReaderCeiling::InflationRatio * input_.size(), ReaderCeiling::Inflated)) {
        buffer_[kCompressedFlag] = 0;
        filled_ = next_ = buffer_.size();
        window_ = Bytes(QByteArrayView(buffer_.constData(), filled_), 0, kUnknownSize);
        worker_ = std::thread([this] { produce(); });
    }
    ~InflatingSource() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    InflatingSource(const InflatingSource&) = delete;
    InflatingSource& operator=(const InflatingSource&) = delete;

    bool ensure(qint64 offset, qint64 need) override {
        if (offset >= base_ && (offset + need <= next_ || size_ != kUnknownSize))
            return true;      // already at hand, or all there is
        if (offset > base_) { // the walk only moves on: drop what lies behind it
            const qint64 kept = std::max<qint64>(next_ - offset, 0);
            if (kept > 0)
                std::memmove(buffer_.data(), buffer_.constData() + (offset - base_), size_t(kept));
            base_ = offset; // a record that reaches past what is inflated: skip up to here
            filled_ = kept;
        }
        while (next_ < offset + need && size_ == kUnknownSize) {
            const QByteArray piece = take();
            if (piece.isEmpty()) {
                size_ = next_; // the stream has ended: now the size is known
                break;
            }
            const qint64 start = next_;
            next_ += piece.size();
            const qint64 from = std::max<qint64>(base_ - start, 0);
            if (from >= piece.size())
                continue;
            const qint64 length = piece.size() - from;
            if (buffer_.size() < filled_ + length)
                buffer_.resize(std::max(filled_ + length, qint64(buffer_.size()) * 2));
            std::memcpy(buffer_.data() + filled_, piece.constData() + from, size_t(length));
            filled_ += length;
        }
        window_ = Bytes(QByteArrayView(buffer_.constData(), filled_), base_, size_);
        return true;
    }

    // For the progress bar: how far through the compressed bytes the inflating is.
    qint64 progressSize() const override { return input_.size(); }
    qint64 progressAt(qint64) const override { return consumed_.load(); }
    qint64 mostBytes() const override { return header_ + limit_; }
    qint64 cutAt() const override { return cutAt_.load(); }

private:
    static constexpr qint64 kPiece = 1 << 20;
    static constexpr qint64 kUnknownSize = std::numeric_limits<qint64>::max() / 4;
    static constexpr size_t kMostWaiting = 8;

    // The next inflated piece; empty once the stream has ended.
    QByteArray take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
        if (ready_.empty())
            return {};
        QByteArray piece = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return piece;
    }

    void produce() {
        z_stream stream{};
        bool going = inflateInit(&stream) == Z_OK;
        qint64 total = 0;
        while (going) {
            // One byte more than the ceiling leaves tells a stream cut from one that ends there.
            const qint64 room = std::min(kPiece, limit_ - total + 1);
            QByteArray piece(room, Qt::Uninitialized);
            stream.next_out = reinterpret_cast<Bytef*>(piece.data());
            stream.avail_out = static_cast<uInt>(room);
            while (stream.avail_out > 0) {
                const qint64 at = consumed_.load();
                const auto available =
                    static_cast<uInt>(std::min<qint64>(input_.size() - at, 1 << 30));
                stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input_.data() + at));
                stream.avail_in = available;
                const int status = inflate(&stream, Z_NO_FLUSH);
                consumed_ += available - stream.avail_in;
                if (status != Z_OK || (stream.avail_out > 0 && consumed_.load() >= input_.size())) {
                    going = false; // the end, a break in the stream, or no more input
                    break;
                }
            }
            piece.truncate(room - stream.avail_out);
            if (total + piece.size() > limit_) { // damage or a bomb: cut at the ceiling
                piece.truncate(limit_ - total);
                cutAt_ = limit_;
                going = false;
            }
            total += piece.size();
            if (piece.isEmpty())
                continue;
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ready_.size() < kMostWaiting || stop_; });
            if (stop_)
                break;
            ready_.push_back(std::move(piece));
            changed_.notify_all();
        }
        inflateEnd(&stream);
        std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }

    QByteArrayView input_;
    QByteArray buffer_;
    const qint64 header_;
    const qint64 limit_; // the most the stream may inflate to
    std::atomic<qint64> cutAt_{-1};
    qint64 base_ = 0; // the buffer holds [base_, base_ + filled_)
    qint64 filled_ = 0;
    qint64 next_ = 0; // where the next inflated piece starts
    qint64 size_ = kUnknownSize;
    std::atomic<qint64> consumed_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> ready_;
    bool finished_ = false;
    bool stop_ = false;
    std::thread worker_;
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

// A track's tag as the list shows it, tidied in place in one pass (tens of thousands of
// them are read): a right single quote becomes an apostrophe, a location's colons
// become backslashes, and other tags lose the blanks around them.
QString trackText(QString text, bool isLocation) {
    if (text.isEmpty())
        return text;
    char16_t* chars = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (chars[i] == u'\u2019')
            chars[i] = u'\'';
        else if (isLocation && chars[i] == u':')
            chars[i] = u'\\';
    }
    if (isLocation)
        return text;
    qsizetype first = 0, last = size;
    while (first < last && chars[first] == u' ')
        ++first;
    while (last > first && chars[last - 1] == u' ')
        --last;
    if (first > 0)
        std::memmove(chars, chars + first, size_t(last - first) * sizeof(char16_t));
    text.truncate(last - first);
    return text;
}

class Walk {
public:
    Walk(ByteSource& source, const QString& allSongsText, LoadProgress& progress)
        : source_(source), bytes_(source.window()), allSongsText_(allSongsText),
          progress_(progress) {}

    // Fills tables of its own and hands them over at the end: events handled during
    // the yields see the emptied tables, never half-built ones.
    // False when the file could not be read to its end; out is then left alone.
    bool run(MusicDatabase& out, LoadCuts& cuts) {
        qint64 offset = 0;
        while (offset + 1 < bytes_.size()) {
            if (yield_.due()) {
                progress_.setValue(source_.progressAt(offset + 1));
                yield_.yieldNow();
            }
            if (!source_.ensure(offset, kHeaderBytes))
                return false;
            const qint64 step = visit(offset);
            if (step < 0)
                return false;
            // A record that does not move the walk forward is damage: stop there.
            if (step == 0)
                break;
            offset += step;
        }
        // Some players keep their playlists only in the podcast set: without a playlist
        // set, those are the playlists, the first being the master.
        if (!sawPlaylistSet_ && !podcastLists_.empty()) {
            playlists_ = std::move(podcastLists_);
            if (!haveLibraryName_) {
                haveLibraryName_ = true;
                libraryName_ = playlists_.front().PlayListName;
            }
            playlists_.front().PlayListName = masterName(libraryName_);
        }
        out.Tracks = std::move(tracks_);
        out.Playlists = std::move(playlists_);
        if (haveLibraryName_)
            out.LibraryName = libraryName_;
        cuts = cuts_;
        return true;
    }

private:
    // Every field the walk reads lies this close to a record's start, but a string's text.
    static constexpr qint64 kHeaderBytes = 100;
    // The header of a track record in the oldest databases.
    static constexpr qint64 kSmallestTrackRecord = 0x9c;
    // A track or playlist item record shorter than this does not hold the fields read from
    // it: what lies there belongs to the next record.
    static constexpr qint64 kTrackFields = 60;
    // The disc number and count follow, in every track record real databases hold.
    static constexpr qint64 kDiscFields = 100;
    static constexpr qint64 kItemFields = 28;
    // The most bytes a kept string is read from: the units allowed, in UTF-8 at worst.
    static constexpr qint64 kMostStringBytes = 3 * ReaderCeiling::StringUnits;
    // Beyond this the table grows as tracks come (a stream's size is not known ahead).
    static constexpr qint64 kMostReserved = qint64(1) << 18;

    // Handles the record at offset and returns the step to the next one: zero for a record
    // that does not advance, -1 when the file could not be read.
    qint64 visit(qint64 offset) {
        const quint32 tag = bytes_.u32(offset);
        qint64 step = std::max<qint32>(bytes_.i32(offset + 4), 0);
        switch (tag) {
        case kMhsd:
            dataSetType_ = bytes_.i32(offset + 12);
            sawPlaylistSet_ = sawPlaylistSet_ || dataSetType_ == kPlaylistDataSet;
            break;
        case kMhlt: {
            // Room for the tracks the list announces, but never more than the rest of the
            // file could hold, so a damaged count cannot ask for a huge table.
            const qint64 announced = std::max<qint32>(bytes_.i32(offset + 8), 0);
            tracks_.reserve(static_cast<size_t>(
                std::min({announced, (source_.mostBytes() - offset) / kSmallestTrackRecord,
                          kMostReserved})));
            break;
        }
        case kMhit:
            trackOpen_ = false; // until it proves a track, its strings have no owner
            if (step < kTrackFields)
                ++cuts_.shortTracks;
            else if (qint64(tracks_.size()) >= ReaderCeiling::Tracks)
                ++cuts_.tracksPastCeiling;
            else
                readTrack(offset, step);
            break;
        case kMhod: {
            step = std::max<qint32>(bytes_.i32(offset + 8), 0);
            // Only as far as the text goes: a damaged length must not pull in the file.
            const qint64 textLength =
                std::min<qint64>(std::max<qint32>(bytes_.i32(offset + 28), 0), kMostStringBytes);
            if (!source_.ensure(offset, std::min(step, 40 + textLength)))
                return -1;
            readString(offset);
            break;
        }
        case kMhlp:
            inPlaylistPart_ = true;
            break;
        case kMhyp: {
            inItem_ = false;
            auto& lists = dataSetType_ == kPodcastDataSet ? podcastLists_ : playlists_;
            listOpen_ = qint64(lists.size()) < ReaderCeiling::Playlists;
            if (listOpen_)
                lists.emplace_back();
            else
                ++cuts_.playlistsPastCeiling;
            // The master is the first playlist, named or not: it carries the suffix.
            if (listOpen_ && &lists == &playlists_ && lists.size() == 1)
                lists.back().PlayListName = masterName({});
            break;
        }
        case kMhip:
            inItem_ = true;
            if (step < kItemFields)
                ++cuts_.shortItems;
            else if (listOpen_)
                readItem(offset);
            break;
        default: // the header and every other container: entered, its children follow
            break;
        }
        return step;
    }

    void readItem(qint64 offset) {
        const qint32 track = bytes_.i32(offset + 24);
        if (dataSetType_ != kPodcastDataSet) {
            if (!playlists_.empty())
                playlists_.back().Songs.AddItem(QString::number(track));
            return;
        }
        // The podcast set's group headers (an episode list's title) name no song.
        if (track != 0 && !(bytes_.i32(offset + 16) & kGroupHeader) && !podcastLists_.empty())
            podcastLists_.back().Songs.AddItem(QString::number(track));
    }

    void readTrack(qint64 offset, qint64 headerLength) {
        trackOpen_ = true;
        TrackRecord& track = tracks_.emplace_back();
        track.TrackID = bytes_.i32(offset + 16);
        track.FileSize = bytes_.u32(offset + 36);
        track.LengthMs = std::max<qint32>(bytes_.i32(offset + 40), 0);
        if (headerLength >= kDiscFields) {
            track.DiscNumber = std::max<qint32>(bytes_.i32(offset + 92), 0);
            track.DiscCount = std::max<qint32>(bytes_.i32(offset + 96), 0);
        }
        if (const qint32 number = bytes_.i32(offset + 44); number > 0)
            track.TrackNumber = shared(trackNumbers_, number, TrackNumberText);
        if (const qint32 year = bytes_.i32(offset + 52); year > 0)
            track.Year = shared(years_, year, [](qint32 n) { return QString::number(n); });
        track.BitRate = shared(bitRates_, bytes_.i32(offset + 56), BitRateText);
    }

    // Years, track numbers and bit rates repeat across most tracks: each text is made
    // once and shared, so a large database does not allocate it again per track.
    template <typename Make>
    static const QString& shared(QHash<qint32, QString>& texts, qint32 value, Make make) {
        auto it = texts.find(value);
        if (it == texts.end())
            it = texts.insert(value, make(value));
        return *it;
    }

    // A string never reaches past its own record, nor past the end of the file, and is cut
    // at the ceiling (never inside a surrogate pair). In 64 bits: a damaged length near
    // INT_MIN must not overflow.
    QString stringOf(qint64 offset) {
        const qint64 stored =
            std::min<qint64>(bytes_.i32(offset + 28), qint64(bytes_.i32(offset + 8)) - 40);
        QString text = decodeText(bytes_.slice(offset + 40, std::min(stored, kMostStringBytes)),
                                  bytes_.i32(offset + 24));
        if (text.size() > ReaderCeiling::StringUnits) {
            const qsizetype keep = ReaderCeiling::StringUnits;
            text.truncate(text[keep - 1].isHighSurrogate() ? keep - 1 : keep);
            ++cuts_.stringsCut;
        } else if (stored > kMostStringBytes) {
            ++cuts_.stringsCut;
        }
        return text;
    }

    void readString(qint64 offset) {
        const qint32 type = bytes_.i32(offset + 12);
        if (!inPlaylistPart_) {
            // Strings before the first track (an album list stored first), or after a record
            // that was no track, have no owner.
            if (!trackOpen_)
                return;
            QString* field = trackField(tracks_.back(), type);
            if (!field)
                return;
            *field = trackText(stringOf(offset), type == 2);
            return;
        }
        if (type != 1 || !listOpen_)
            return;
        if (dataSetType_ == kPodcastDataSet) {
            // A list's own name, not the title of one of its group headers.
            if (!inItem_ && !podcastLists_.empty())
                podcastLists_.back().PlayListName = TrimBlanks(stringOf(offset));
            return;
        }
        if (playlists_.empty())
            return;
        const QString name = stringOf(offset);
        // Only the master's own name is the player's name; a later list's never is.
        if (playlists_.size() == 1 && !haveLibraryName_) {
            haveLibraryName_ = true;
            libraryName_ = name;
            playlists_.back().PlayListName = masterName(name);
            return;
        }
        playlists_.back().PlayListName = TrimBlanks(name);
    }

    QString masterName(const QString& stored) const {
        return TrimBlanks(stored + QStringLiteral(" [") + allSongsText_ + u']');
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
        case 22:
            return &track.AlbumArtist;
        default:
            return nullptr;
        }
    }

    ByteSource& source_;
    const Bytes& bytes_; // the source's window, moved on by ensure()
    const QString& allSongsText_;
    LoadProgress& progress_;
    UiYield yield_;

    std::vector<TrackRecord> tracks_;
    std::vector<clsPlayList> playlists_;
    std::vector<clsPlayList> podcastLists_; // the podcast set's lists, used without a playlist set
    qint32 dataSetType_ = 0;
    bool sawPlaylistSet_ = false;
    bool inItem_ = false;    // the strings that follow belong to a playlist item
    bool trackOpen_ = false; // the strings that follow belong to the last track
    bool listOpen_ = false;  // the items and names that follow belong to the last playlist
    bool inPlaylistPart_ = false;
    bool haveLibraryName_ = false;
    QString libraryName_;
    QHash<qint32, QString> trackNumbers_, years_, bitRates_;
    LoadCuts cuts_;
};

LoadResult readFrom(ByteSource& source, MusicDatabase& db, const QString& allSongsText,
                    LoadProgress* progress) {
    NoProgress silent;
    LoadProgress& report = progress ? *progress : silent;
    db.ClearTables();
    report.setMinimum(0);
    if (!source.ensure(0, 4))
        return {LoadResult::Status::Unreadable, source.error(), {}};
    if (source.window().u32(0) != kMhbd)
        return {LoadResult::Status::NotADatabase, {}, {}};
    const qint64 size = source.progressSize();
    report.setMaximum(size);
    report.setValue(0);

    LoadResult result{LoadResult::Status::Loaded, {}, {}};
    if (!Walk(source, allSongsText, report).run(db, result.cuts))
        return {LoadResult::Status::Unreadable, source.error(), {}};
    result.cuts.inflatedTo = source.cutAt();
    db.LoadedTrackCount = db.TrackCount();
    report.setValue(size); // the bar shows full
    return result;
}

} // namespace

LoadResult ReadiTunesDB(MusicDatabase& db, QByteArrayView bytes, const QString& allSongsText,
                        LoadProgress* progress) {
    if (const qint64 header = compressedHeaderLength(bytes)) {
        InflatingSource source(bytes, header);
        return readFrom(source, db, allSongsText, progress);
    }
    MemorySource source(bytes);
    return readFrom(source, db, allSongsText, progress);
}

LoadResult LoadiTunesDB(MusicDatabase& db, const QString& path, const QString& allSongsText,
                        LoadProgress* progress) {
    QFile file;
    if (const QString error = OpenRegularFile(file, path); !error.isEmpty()) {
        db.ClearTables();
        return {LoadResult::Status::Unreadable, error, {}};
    }
    // A compressed database is read whole (it is a fraction of its inflated size) and
    // inflated; a plain one is walked piece by piece from the file.
    const QByteArray head = file.read(8);
    if (head.size() == 8 && qFromLittleEndian<quint32>(head.constData()) == kMhbd) {
        const qint64 header = qFromLittleEndian<quint32>(head.constData() + 4);
        char flag = 0;
        if (header > kCompressedFlag && header <= file.size() && file.seek(kCompressedFlag) &&
            file.getChar(&flag) && flag == 1 && file.seek(0))
            return ReadiTunesDB(db, file.readAll(), allSongsText, progress);
    }
    if (!file.seek(0)) {
        db.ClearTables();
        return {LoadResult::Status::Unreadable, file.errorString(), {}};
    }
    FileSource source(file);
    return readFrom(source, db, allSongsText, progress);
}
