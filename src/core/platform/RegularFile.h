#pragma once

#include <QFile>
#include <QString>

// Opens path for reading, unbuffered, only when it is a regular file. A FIFO, a folder or a
// device in its place is refused without blocking: the open itself must not wait for a
// writer on the one thread the window has. Returns an empty text on success, otherwise
// why the file cannot be read.
QString OpenRegularFile(QFile& file, const QString& path);
