#include "platform/FolderListing.h"

#include <QFile>

#include <memory>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <QDirIterator>
#include <QFileInfo>
#endif

namespace {

#ifdef Q_OS_UNIX
FolderEntry::Kind kindOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return FolderEntry::Kind::File;
    if (S_ISDIR(mode))
        return FolderEntry::Kind::Folder;
    return S_ISLNK(mode) ? FolderEntry::Kind::Link : FolderEntry::Kind::Other;
}

FolderEntry::Kind kindOf(int folder, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return FolderEntry::Kind::File;
    case DT_DIR:
        return FolderEntry::Kind::Folder;
    case DT_LNK:
        return FolderEntry::Kind::Link;
    case DT_UNKNOWN: {
        // A file system that keeps no types in its folders: a look at the entry itself.
        struct stat info {};
        return ::fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
                   ? kindOfMode(info.st_mode)
                   : FolderEntry::Kind::Other;
    }
    default:
        return FolderEntry::Kind::Other;
    }
}

struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
};
#endif

} // namespace

std::vector<FolderEntry> ListFolder(const QString& folder) {
    std::vector<FolderEntry> entries;
#ifdef Q_OS_UNIX
    const std::unique_ptr<DIR, CloseFolder> listing(::opendir(QFile::encodeName(folder)));
    if (!listing)
        return entries;
    const int descriptor = ::dirfd(listing.get());
    while (const dirent* entry = ::readdir(listing.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        entries.push_back({QFile::decodeName(name), kindOf(descriptor, *entry)});
    }
#else
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const auto kind = info.isSymLink() ? FolderEntry::Kind::Link
                          : info.isDir()   ? FolderEntry::Kind::Folder
                          : info.isFile()  ? FolderEntry::Kind::File
                                           : FolderEntry::Kind::Other;
        entries.push_back({it.fileName(), kind});
    }
#endif
    return entries;
}
