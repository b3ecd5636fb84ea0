#include "itunesdb/TagReader.h"

#include "itunesdb/LoadiTunesDB.h"

#include <QDir>
#include <QFileInfo>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tfile.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <limits>

namespace {

// TagLib's view of a file already opened (as a regular file, without waiting). A read never
// asks for more than the file holds, so a tag that claims a gigabyte costs what is there.
// TagLib reads in many small pieces (frame headers, atom headers): they are served from a
// window read ahead, so that each costs no call to the system.
class OpenFileStream final : public TagLib::IOStream {
public:
    OpenFileStream(QFile& file, qint64 size, QByteArray name, qint64& largestRead)
        : file_(file), size_(size), name_(std::move(name)), largestRead_(largestRead) {}

    TagLib::FileName name() const override { return name_.constData(); }

    TagLib::ByteVector readBlock(unsigned long length) override {
        const qint64 left = std::max<qint64>(size_ - position_, 0);
        const qint64 wanted = std::min(left, qint64(std::min<unsigned long>(length, kMost)));
        if (wanted == 0)
            return {};
        largestRead_ = std::max(largestRead_, wanted);
        if (wanted <= kWindow && !inWindow(wanted))
            fill(std::min(left, kWindow));
        if (inWindow(wanted)) {
            const char* from = window_.constData() + (position_ - windowStart_);
            position_ += wanted;
            return TagLib::ByteVector(from, static_cast<unsigned int>(wanted));
        }
        TagLib::ByteVector block(static_cast<unsigned int>(wanted), 0);
        const qint64 got = readAt(position_, block.data(), wanted);
        if (got <= 0)
            return {};
        position_ += got;
        if (got < wanted)
            block.resize(static_cast<unsigned int>(got));
        return block;
    }

    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_.isOpen(); }

    void seek(long offset, Position from) override {
        const qint64 base = from == Beginning ? 0 : from == Current ? position_ : size_;
        position_ = std::max<qint64>(base + offset, 0);
    }
    void clear() override {}
    long tell() const override { return static_cast<long>(position_); }
    long length() override { return static_cast<long>(size_); }
    void truncate(long) override {}

private:
    static constexpr qint64 kWindow = 16 * 1024;
    static constexpr unsigned long kMost = std::numeric_limits<unsigned int>::max(); // ByteVector

    bool inWindow(qint64 wanted) const {
        return windowStart_ >= 0 && position_ >= windowStart_ &&
               position_ + wanted <= windowStart_ + window_.size();
    }
    void fill(qint64 bytes) {
        window_.resize(bytes);
        const qint64 got = readAt(position_, window_.data(), bytes);
        window_.resize(std::max<qint64>(got, 0));
        windowStart_ = position_;
    }
    qint64 readAt(qint64 at, char* into, qint64 bytes) {
        if (filePosition_ != at && !file_.seek(at))
            return -1;
        const qint64 got = file_.read(into, bytes);
        filePosition_ = got > 0 ? at + got : -1;
        return got;
    }

    QFile& file_;
    const qint64 size_;
    const QByteArray name_;
    qint64& largestRead_;
    qint64 position_ = 0;
    qint64 filePosition_ = 0;
    QByteArray window_;
    qint64 windowStart_ = -1;
};

// A text as the database reader tidies a track's strings: no NULs, a right single quote
// as an apostrophe, no blanks around it, at most the reader's length.
QString tidyText(QString text) {
    text.remove(QChar(0));
    text.replace(QChar(0x2019), u'\'');
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    const qsizetype keep = std::min(last - first, ReaderCeiling::StringUnits);
    const bool split = keep > 0 && keep < last - first && text[first + keep - 1].isHighSurrogate();
    return text.mid(first, split ? keep - 1 : keep);
}

QString tagText(const TagLib::String& tag) {
    if (tag.isEmpty())
        return {};
    return tidyText(QString::fromWCharArray(tag.toCWString(), static_cast<qsizetype>(tag.size())));
}

// The first value of a tag's property ("ALBUMARTIST"), or nothing.
TagLib::String propertyText(const TagLib::PropertyMap& properties, const char* key) {
    const auto it = properties.find(key);
    return it == properties.end() || it->second.isEmpty() ? TagLib::String() : it->second.front();
}

// The album artist and the disc ("1/2", or a number and a separate total) from the tags
// TagLib names alike in every format.
void readAlbumTags(const TagLib::PropertyMap& properties, TrackRecord& track) {
    track.AlbumArtist = tagText(propertyText(properties, "ALBUMARTIST"));
    const QString disc = tagText(propertyText(properties, "DISCNUMBER"));
    track.DiscNumber = std::max(disc.section(u'/', 0, 0).trimmed().toInt(), 0);
    QString count = disc.section(u'/', 1, 1);
    for (const char* key : {"DISCTOTAL", "TOTALDISCS"})
        if (count.trimmed().isEmpty())
            count = tagText(propertyText(properties, key));
    track.DiscCount = std::max(count.trimmed().toInt(), 0);
}

QString fileNameOf(const QString& location) {
    return location.mid(location.lastIndexOf(u'\\') + 1);
}

// A title for a song whose tags have none: its file name without the extension.
QString nameTitle(const QString& location) {
    const QString name = fileNameOf(location);
    const qsizetype dot = name.lastIndexOf(u'.');
    return tidyText(name.left(dot > 0 ? dot : name.size()));
}

} // namespace

PlayerTagReader::PlayerTagReader(const QString& playerRoot)
    : root_(QDir::cleanPath(playerRoot)), bounds_(playerRoot) {}

std::optional<PlayerSongFile> PlayerTagReader::Find(const QString& location) {
    const BackslashPath player(location);
    if (root_.isEmpty() || location.isEmpty() || LeavesPlayerRoot(player))
        return std::nullopt;
    PlayerSongFile song;
    song.Path = QDir::cleanPath(root_ + u'/' + player.NativeText());
    if (!RegularFileAt(song.Path, song.Facts, Links::Refuse) && !song.Facts.Link) {
        // A location spelled otherwise than the disk (a database's or a shuffle's text).
        song.Path = FindPlayerFile(root_, player);
        if (song.Path.isEmpty() ||
            (!RegularFileAt(song.Path, song.Facts, Links::Refuse) && !song.Facts.Link))
            return std::nullopt;
    }
    if (bounds_.FolderOutside(song.Path))
        return std::nullopt;
    if (song.Facts.Link) {
        // Followed only where it ends inside the player.
        if (bounds_.Outside(song.Path) || !RegularFileAt(song.Path, song.Facts, Links::Follow))
            return std::nullopt;
        song.ThroughLink = true;
    }
    return song;
}

std::optional<TrackRecord> PlayerTagReader::Read(PlayerSongFile& song, const QString& location) {
    QFile file;
    if (!OpenRegularFile(file, song.Path, &song.Facts,
                         song.ThroughLink ? Links::Follow : Links::Refuse)
             .isEmpty())
        return std::nullopt;
    TrackRecord track;
    track.Location = location;
    track.FileSize = song.Facts.Size;
    {
        // The name tells TagLib the type first; it looks at the content when that fails.
        OpenFileStream stream(file, song.Facts.Size, QFile::encodeName(fileNameOf(location)),
                              largestRead_);
        const TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
        if (const TagLib::Tag* tag = ref.isNull() ? nullptr : ref.tag()) {
            track.Title = tagText(tag->title());
            track.Artist = tagText(tag->artist());
            track.Album = tagText(tag->album());
            track.Genre = tagText(tag->genre());
            if (const unsigned year = tag->year(); year > 0)
                track.Year = QString::number(year);
            if (const unsigned number = tag->track(); number > 0)
                track.TrackNumber = TrackNumberText(number);
            readAlbumTags(ref.file()->properties(), track);
        }
        if (const auto* audio = ref.isNull() ? nullptr : ref.audioProperties()) {
            if (const int rate = audio->bitrate(); rate > 0)
                track.BitRate = BitRateText(rate);
            track.LengthMs = std::max(audio->lengthInMilliseconds(), 0);
        }
    }
    if (track.Title.isEmpty())
        track.Title = nameTitle(location);
    return track;
}

std::optional<TrackRecord> PlayerTagReader::ReadTrack(const QString& location) {
    std::optional<PlayerSongFile> song = Find(location);
    return song ? Read(*song, location) : std::nullopt;
}

std::optional<TrackRecord> ReadTrackFromTags(const QString& playerRoot, const QString& location) {
    return PlayerTagReader(playerRoot).ReadTrack(location);
}
