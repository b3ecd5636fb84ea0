#include "transfer/PlaylistExport.h"

#include "platform/PlayerPath.h"
#include "transfer/OutputPath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>

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

} // namespace

QString PlaylistName(const QString& selectorText) {
    QString name = selectorText.isEmpty() ? QStringLiteral("ExportPlaylist") : selectorText;
    ensureValidFileString(name, false);
    return name;
}

QString PlaylistPath(const QString& outputFolder, const QString& name) {
    return NativePath(outputFolder + name + QLatin1String(".m3u"));
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
