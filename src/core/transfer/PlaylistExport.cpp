#include "transfer/PlaylistExport.h"

#include "platform/PlayerPath.h"
#include "settings/OutputFormat.h"
#include "songlist/SongCatalog.h"
#include "text/Blanks.h"
#include "transfer/OutputPath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QStringEncoder>
#include <optional>

namespace {

QString appendLines(const QString& path, const QStringList& lines, QIODevice::OpenMode mode) {
    QFile file(path);
    if (!file.open(mode))
        return file.errorString();
    QStringEncoder encode(QStringConverter::System);
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    const QByteArray bytes = encode.encode(text);
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    return {};
}

// A tag as one line of a playlist: a line break or other control character in it would
// start a line of its own.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 32)
            c = u' ';
    return text;
}

// The lines of one member in a playlist of folder: empty when its file is not there.
QString memberLines(const BackslashPath& outputFolder, const QString& format, const QDir& folder,
                    const SongRow& row, const TrackRecord& track) {
    if (!row.Texts[Column::SourcePath].contains(u'.'))
        return {};
    const SongDestination destination = DestinationOf(outputFolder, format, row.Texts);
    const QString file = destination.Native();
    if (!QFileInfo(file).isFile())
        return {};
    QString path = QDir::toNativeSeparators(folder.relativeFilePath(file));
    if (path.startsWith(u'#')) // not a comment
        path.prepend(QStringLiteral(".") + QDir::separator());
    const QString& artist = destination.Tags.Artist;
    const QString name = TrimBlanks(artist).isEmpty()
                             ? destination.Tags.Title
                             : artist + QStringLiteral(" - ") + destination.Tags.Title;
    const qint64 seconds = track.LengthMs > 0 ? (qint64(track.LengthMs) + 500) / 1000 : -1;
    return QStringLiteral("#EXTINF:") + QString::number(seconds) + u',' + oneLine(name) + u'\n' +
           path + u'\n';
}

} // namespace

PlaylistsExport ExportAllPlaylists(const MusicDatabase& db, const QString& outputFolderText,
                                   const QString& format) {
    PlaylistsExport result;
    const std::optional<BackslashPath> runFolder = RunOutputFolder(outputFolderText);
    if (!runFolder) {
        result.NoOutputFolder = true;
        return result;
    }
    const BackslashPath& outputFolder = *runFolder;
    const QString lowerFormat = FormatAsBuilt(format);
    result.Folder = (outputFolder + u"Playlists").Native();
    if (const QList<FolderFailure> failed = makeFolderPath(outputFolder + u"Playlists\\");
        !failed.isEmpty()) {
        result.Failures << failed.first().Folder + QStringLiteral(": ") + failed.first().Reason;
        return result;
    }
    const QDir folder(result.Folder);
    const SongCatalog catalog(db);
    // Each song's lines, made once: most songs are in several playlists.
    std::vector<std::optional<QString>> lines(db.Tracks.size());
    QSet<QString> taken; // the names given, case-folded: a disk may not tell them apart
    for (int p = 0; p < db.PlaylistCount(); ++p) {
        QString text = QStringLiteral("#EXTM3U\n");
        for (const int i : catalog.PlaylistTracks(db, p)) {
            std::optional<QString>& member = lines[static_cast<size_t>(i)];
            if (!member) {
                member = memberLines(outputFolder, lowerFormat, folder, catalog.TrackRow(i),
                                     db.Tracks[static_cast<size_t>(i)]);
                if (member->isEmpty())
                    ++result.LeftOut;
            }
            text += *member;
        }
        const QString extension = QStringLiteral(".m3u8");
        QString base =
            FitName(PlaylistName(db.Playlists[static_cast<size_t>(p)].PlayListName), extension);
        if (base.isEmpty()) // a name of dots alone
            base = PlaylistName({});
        QString name = base;
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n) {
            const QString suffix = QStringLiteral(" (%1)").arg(n);
            name = FitName(base, suffix + extension) + suffix;
        }
        taken.insert(name.toCaseFolded());

        QSaveFile file(folder.filePath(name + extension));
        const QByteArray bytes = text.toUtf8();
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            ++result.Written;
        else
            result.Failures << QDir::toNativeSeparators(file.fileName()) + QStringLiteral(": ") +
                                   file.errorString();
    }
    return result;
}

QString PlaylistName(const QString& selectorText) {
    QString name = selectorText.isEmpty() ? QStringLiteral("ExportPlaylist") : selectorText;
    ensureValidFileString(name, false);
    return name;
}

QString PlaylistPath(const BackslashPath& outputFolder, const QString& name) {
    return (outputFolder + name + u".m3u").Native();
}

QString StartPlaylist(const QString& path) {
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return QStringLiteral("Permission denied");
    return appendLines(path, {QStringLiteral("#EXTM3U")}, QIODevice::WriteOnly);
}

QString AppendPlaylistSong(const QString& path, const QString& title, const QString& songPath) {
    return appendLines(path, {QStringLiteral("#EXTINF:0,") + title, songPath},
                       QIODevice::WriteOnly | QIODevice::Append);
}

QString DebugLog(const QString& logPath, const QString& message) {
    // Only a file: a FIFO in its place would hold the run until something read it.
    if (logPath.isEmpty() || !QFileInfo(logPath).isFile())
        return {};
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = QLocale().toString(now.date(), QLocale::ShortFormat) + u' ' +
                          now.time().toString(QStringLiteral("HH:mm:ss"));
    return appendLines(logPath, {stamp + QLatin1String(" - ") + message},
                       QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly);
}

QString PlaylistsExport::Report(const LanguageTable& language) const {
    if (NoOutputFolder)
        return language.Entry(Text::FolderNeeded);
    QString message = language.Entry(Text::PlaylistsWritten).arg(Written).arg(Folder);
    if (LeftOut > 0)
        message += QStringLiteral("\n\n") + language.Entry(Text::MembersLeftOut).arg(LeftOut);
    if (!Failures.isEmpty())
        message += QStringLiteral("\n\n") + language.Entry(Text::PlaylistsNotWritten) + u'\n' +
                   Failures.join(u'\n');
    return message;
}
