#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Makes what was written on the file systems that hold these folders durable: once this
// returns, a power cut or a stick pulled out loses none of it. Each file system is flushed
// once, however many of the folders it holds. The flush can take seconds on a slow stick:
// whileWaiting runs every few milliseconds meanwhile (the window's turn). Returns an empty
// text, or why the disk could not take what was written.
QString FlushFileSystems(const QStringList& nativeFolders,
                         const std::function<void()>& whileWaiting = {});
