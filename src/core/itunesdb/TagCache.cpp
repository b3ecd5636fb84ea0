#include "itunesdb/TagCache.h"

#include "itunesdb/LoadiTunesDB.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QByteArray kMagic = QByteArrayLiteral("Melvo tag cache\n");
constexpr quint32 kVersion = 2; // 2: album artist, disc and length
constexpr auto kStreamVersion = QDataStream::Qt_6_0;

QString rootKey(const QString& playerRoot) {
    const QFileInfo root(playerRoot);
    const QString real = root.canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(root.absoluteFilePath()) : real;
}

bool usable(const QString& text) {
    return text.size() <= ReaderCeiling::StringUnits;
}

} // namespace

QString TagCache::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Melvo");
}

QString TagCache::FileFor(const QString& playerRoot, const QString& folder) {
    const QByteArray hash =
        QCryptographicHash::hash(rootKey(playerRoot).toUtf8(), QCryptographicHash::Sha256);
    return (folder.isEmpty() ? DefaultFolder() : folder) + QStringLiteral("/tags-") +
           QString::fromLatin1(hash.toHex().left(32)) + QStringLiteral(".cache");
}

bool TagCache::Load(const QString& file, const QString& playerRoot) {
    entries_.clear();
    QFile in;
    RegularFileFacts facts;
    if (!OpenRegularFile(in, file, &facts).isEmpty() || facts.Size > MostBytes)
        return false;
    const QByteArray bytes = in.read(facts.Size); // never a buffer the size of the ceiling
    if (!bytes.startsWith(kMagic))
        return false;
    QDataStream stream(bytes);
    stream.setVersion(kStreamVersion);
    stream.skipRawData(static_cast<int>(kMagic.size()));
    quint32 version = 0, count = 0;
    QString root;
    stream >> version >> root >> count;
    if (stream.status() != QDataStream::Ok || version != kVersion || root != rootKey(playerRoot) ||
        count > ReaderCeiling::Tracks)
        return false;
    QHash<QString, Entry> entries;
    entries.reserve(static_cast<qsizetype>(std::min<quint32>(count, 1u << 16)));
    for (quint32 i = 0; i < count; ++i) {
        QString location;
        Entry e;
        stream >> location >> e.Stamp.Size >> e.Stamp.ModifiedSeconds >>
            e.Stamp.ModifiedNanoseconds >> e.Title >> e.Artist >> e.Album >> e.Genre >> e.Year >>
            e.TrackNumber >> e.BitRate >> e.AlbumArtist >> e.DiscNumber >> e.DiscCount >>
            e.LengthMs;
        if (stream.status() != QDataStream::Ok)
            return false;
        if (location.isEmpty() || e.Stamp.Size < 0 || !usable(location) || !usable(e.Title) ||
            !usable(e.Artist) || !usable(e.Album) || !usable(e.Genre) || !usable(e.Year) ||
            !usable(e.TrackNumber) || !usable(e.BitRate) || !usable(e.AlbumArtist) ||
            e.DiscNumber < 0 || e.DiscCount < 0 || e.LengthMs < 0)
            return false;
        entries.insert(location, e);
    }
    if (!stream.atEnd())
        return false;
    entries_ = std::move(entries);
    return true;
}

bool TagCache::Save(const QString& file, const QString& playerRoot) const {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QDataStream stream(&out);
    stream.setVersion(kStreamVersion);
    stream.writeRawData(kMagic.constData(), static_cast<int>(kMagic.size()));
    stream << kVersion << rootKey(playerRoot) << static_cast<quint32>(entries_.size());
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
        const Entry& e = it.value();
        stream << it.key() << e.Stamp.Size << e.Stamp.ModifiedSeconds << e.Stamp.ModifiedNanoseconds
               << e.Title << e.Artist << e.Album << e.Genre << e.Year << e.TrackNumber << e.BitRate
               << e.AlbumArtist << e.DiscNumber << e.DiscCount << e.LengthMs;
    }
    return stream.status() == QDataStream::Ok && out.commit();
}

std::optional<TrackRecord> TagCache::Find(const QString& location, const FileStamp& stamp) const {
    const auto it = entries_.constFind(location);
    if (it == entries_.cend() || !(it->Stamp == stamp))
        return std::nullopt;
    return Kept(location);
}

std::optional<TrackRecord> TagCache::Kept(const QString& location) const {
    const auto it = entries_.constFind(location);
    if (it == entries_.cend())
        return std::nullopt;
    TrackRecord track;
    track.Location = location;
    track.FileSize = it->Stamp.Size;
    track.Title = it->Title;
    track.Artist = it->Artist;
    track.Album = it->Album;
    track.Genre = it->Genre;
    track.Year = it->Year;
    track.TrackNumber = it->TrackNumber;
    track.BitRate = it->BitRate;
    track.AlbumArtist = it->AlbumArtist;
    track.DiscNumber = it->DiscNumber;
    track.DiscCount = it->DiscCount;
    track.LengthMs = it->LengthMs;
    return track;
}

void TagCache::Put(const TrackRecord& track, const FileStamp& stamp) {
    entries_.insert(track.Location,
                    Entry{stamp, track.Title, track.Artist, track.Album, track.Genre, track.Year,
                          track.TrackNumber, track.BitRate, track.AlbumArtist, track.DiscNumber,
                          track.DiscCount, track.LengthMs});
}

void TagCache::Adopt(const TagCache& other, const QString& location) {
    if (const auto it = other.entries_.constFind(location); it != other.entries_.cend())
        entries_.insert(location, *it);
}
