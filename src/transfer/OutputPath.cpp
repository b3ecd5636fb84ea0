#include "transfer/OutputPath.h"

#include "platform/PlayerPath.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

void ensureValidFileString(QString& text, bool isPath) {
    for (QChar c : {u'?', u'/', u'*'})
        text.remove(c);
    if (!isPath) {
        text.remove(u'.');
        text.remove(u':');
    }
    for (QChar c : {u'<', u'>', u'|', u'"'})
        text.remove(c);
    for (QChar& c : text)
        if (c.unicode() < 32)
            c = u'_';
}

QString ProcessOutputFolder(const QString& nativeText) {
    QString typed = nativeText.trimmed();
    // Songs and playlist lines name absolute paths: a relative folder is the working
    // folder's.
    if (QDir::isRelativePath(typed))
        typed = QDir::toNativeSeparators(QDir::current().absoluteFilePath(typed));
    QString folder = FromNativeSeparators(typed);
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    ensureValidFileString(folder, true);
    return folder;
}

QString SongExtension(const QString& location) {
    const qsizetype dot = location.lastIndexOf(u'.');
    return dot < 0 ? QString() : location.mid(dot, 10);
}

SongTags SongTags::FromRow(const std::array<QString, 10>& texts) {
    return SongTags{texts[0], texts[1], texts[2], texts[3], texts[6], texts[5]};
}

namespace {

// Each token replaced in turn over the text as the one before left it, so a tag that holds
// a later token has that token replaced too.
QString withTags(QString text, std::initializer_list<std::pair<const char*, QString>> tokens) {
#ifndef Q_OS_WIN
    text.replace(u'/', u'\\');
#endif
    for (const auto& [token, value] : tokens)
        text.replace(QLatin1String(token), value.trimmed());
    return text;
}

} // namespace

QString RelativePath(const QString& format, const SongTags& tags) {
    QString text = withTags(format, {{"%a", tags.Artist},
                                     {"%b", tags.Album},
                                     {"%t", tags.Title},
                                     {"%g", tags.Genre},
                                     {"%n", tags.TrackNumber},
                                     {"%y", tags.Year}});
    // Blanks beside a folder separator go, doubled blanks shrink to one; each pass that
    // changes something shortens the text, so this ends.
    for (;;) {
        const qsizetype before = text.size();
        text.replace(QLatin1String("\\ "), QLatin1String("\\"));
        text.replace(QLatin1String(" \\"), QLatin1String("\\"));
        text.replace(QLatin1String("  "), QLatin1String(" "));
        if (text.size() == before)
            break;
    }
    ensureValidFileString(text, false);
    return text;
}

QString FolderText(const QString& format, const SongTags& tags) {
    return withTags(format, {{"%a", tags.Artist},
                             {"%t", QString()},
                             {"%b", tags.Album},
                             {"%g", tags.Genre},
                             {"%n", tags.TrackNumber},
                             {"%y", tags.Year}});
}

QList<FolderFailure> makeFolderPath(const QString& path) {
    QList<FolderFailure> failures;
    for (qsizetype pos = path.indexOf(u'\\'); pos >= 0; pos = path.indexOf(u'\\', pos + 1)) {
        const QString prefix = ToNativeSeparators(path.left(pos + 1));
        if (QFileInfo(prefix).isDir())
            continue;
        const QString folder = ToNativeSeparators(path.left(pos));
        if (folder.isEmpty())
            continue;
        std::error_code error;
        if (std::filesystem::create_directory(FileSystemPath(folder), error) || !error)
            continue;
        const QFileInfo existing(folder);
        const QFileInfo parent(existing.absolutePath());
        // The classic texts where they fit, the system's own words for the rest (a name
        // too long for the disk, a disk that is full or read-only).
        failures.append(
            {folder,
             existing.exists() ? QStringLiteral("File already exists")
             : error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory
                 ? QStringLiteral("Path not found")
             : error == std::errc::permission_denied || (parent.isDir() && !parent.isWritable())
                 ? QStringLiteral("Permission denied")
                 : QString::fromStdString(error.message())});
    }
    return failures;
}
