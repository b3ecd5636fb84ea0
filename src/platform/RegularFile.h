#pragma once

#include <QString>

class QFile;

// Opens path for reading only when it is a regular file. A FIFO, a device or a folder on a
// player is treated as missing, and the test itself never waits (a FIFO's open would block
// until someone writes to it). Returns empty on success, else the reason: "File not found"
// for anything missing or not a regular file, the system's words for the rest.
QString OpenRegularFile(QFile& file, const QString& path);
