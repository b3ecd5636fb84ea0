#pragma once

#include <QString>
#include <vector>

// An entry of a folder as the folder's listing tells it: most file systems give each
// entry's type there, so tens of thousands of entries cost no look at each.
struct FolderEntry {
    enum class Kind { File, Folder, Link, Other };
    QString Name;
    Kind Type = Kind::Other;
};

// The entries of folder but "." and "..", in the order the file system gives them; empty
// when it cannot be listed. Nothing is opened but the folder, so a FIFO is never waited on.
std::vector<FolderEntry> ListFolder(const QString& folder);
