#include "platform/PlayerPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

QString ExpandHome(const QString& nativePath, const QString& home) {
    if (!nativePath.startsWith(u'~'))
        return nativePath;
    if (nativePath.size() == 1)
        return QDir::toNativeSeparators(home);
    const QChar next = nativePath[1];
    if (next != u'/' && next != QDir::separator())
        return nativePath;
    QString folder = QDir::toNativeSeparators(home);
    if (folder.endsWith(QDir::separator())) // the home folder is a root
        folder.chop(1);
    return folder + nativePath.mid(1);
}

QString ExpandHome(const QString& nativePath) {
    return ExpandHome(nativePath, QDir::homePath());
}

QString NativeFolderOf(const QString& nativePath) {
#ifdef Q_OS_WIN
    const qsizetype cut = std::max(nativePath.lastIndexOf(u'/'), nativePath.lastIndexOf(u'\\'));
#else
    const qsizetype cut = nativePath.lastIndexOf(u'/');
#endif
    return cut > 0 ? nativePath.left(cut) : QFileInfo(nativePath).absolutePath();
}

std::filesystem::path FileSystemPath(const QString& nativePath) {
#ifdef Q_OS_WIN
    return std::filesystem::path(nativePath.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(nativePath).toStdString());
#endif
}

namespace {

QString child(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QStringList components(const QString& location) {
    QString p = location;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return p.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// The file location names under root, each component matched without regard to case.
QString findNamedFile(const QString& root, const BackslashPath& player) {
    const QString& location = player.Text();
    if (root.isEmpty() || LeavesPlayerRoot(player))
        return {};
    QString path = QDir::cleanPath(root);
    // Most players spell their names as the database does: try that first.
    QString direct = location;
    direct.replace(u'\\', u'/');
    direct = QDir::cleanPath(child(path, direct));
    if (QFileInfo::exists(direct))
        return QDir::toNativeSeparators(direct);
    const QStringList parts = components(location);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        const QString exact = child(path, part);
        if (QFileInfo::exists(exact)) {
            path = exact;
            continue;
        }
        const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot);
        auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
            return e.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return {};
        path = child(path, *match);
    }
    return QDir::toNativeSeparators(path);
}

} // namespace

bool LeavesPlayerRoot(const BackslashPath& player) {
    const QString& location = player.Text();
    // A ".." component, blanks around it allowed; looked for without splitting the text.
    qsizetype start = 0;
    const qsizetype n = location.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && location[i] != u'\\' && location[i] != u'/')
            continue;
        if (QStringView(location).sliced(start, i - start).trimmed() == u"..")
            return true;
        start = i + 1;
    }
    return false;
}

namespace {

QString realFolderPrefix(const QString& folder) {
    QString real = QFileInfo(folder).canonicalFilePath();
    if (!real.isEmpty() && !real.endsWith(u'/'))
        real += u'/';
    return real;
}

bool outsideRealRoot(const QString& realRoot, const QString& realPath) {
#ifdef Q_OS_WIN
    return !realPath.startsWith(realRoot, Qt::CaseInsensitive);
#else
    return !realPath.startsWith(realRoot);
#endif
}

} // namespace

PlayerBounds::PlayerBounds(const QString& root) : realRoot_(realFolderPrefix(root)) {}

bool PlayerBounds::Outside(const QString& path) {
#ifdef Q_OS_UNIX
    // One look at the name itself, once for every song of a copy.
    struct stat status {};
    const bool exists = ::lstat(QFile::encodeName(path).constData(), &status) == 0;
    const bool link = exists && S_ISLNK(status.st_mode);
#else
    const QFileInfo file(path);
    const bool link = file.isSymLink();
    const bool exists = file.exists();
#endif
    // A link is followed to its end; anything else is where its folder is.
    if (link) {
        const QString real = QFileInfo(path).canonicalFilePath();
        return !real.isEmpty() && (realRoot_.isEmpty() || outsideRealRoot(realRoot_, real));
    }
    return exists && FolderOutside(path);
}

bool PlayerBounds::FolderOutside(const QString& path) {
    const QString folder = NativeFolderOf(path);
    if (foldersInside_.contains(folder))
        return false;
    const QString realFolder = realFolderPrefix(folder);
    if (realFolder.isEmpty())
        return false; // nothing there to read
    if (realRoot_.isEmpty() || outsideRealRoot(realRoot_, realFolder))
        return true;
    foldersInside_.insert(folder);
    return false;
}

QString FindPlayerFile(const QString& root, const BackslashPath& location) {
    const QString found = findNamedFile(root, location);
    return found.isEmpty() || PlayerBounds(root).Outside(found) ? QString() : found;
}

QString PlayerDatabaseFile(const QString& root) {
    // Only a regular file with something in it is worth reading. A folder or FIFO in its
    // place still marks a player (its load then says it cannot be read), but never wins
    // over the other database.
    const auto readable = [](const QString& path) {
        const QFileInfo info(path);
        return !path.isEmpty() && info.isFile() && info.size() > 0;
    };
    const QString plain = FindPlayerFile(root, PlayerDatabaseLocation);
    if (readable(plain))
        return plain;
    const QString compressed = FindPlayerFile(root, CompressedDatabaseLocation);
    if (readable(compressed) || plain.isEmpty())
        return compressed;
    return plain;
}
