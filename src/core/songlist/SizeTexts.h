#pragma once

#include <QLocale>
#include <QString>

// A file size as a short text with a unit ("3.45 MB"): divided by 1024 while above 1023,
// two decimals, no digit grouping. Beyond TB the unit name is empty, so the text ends with
// the blank. Negative sizes stay in Bytes.
QString FormatFileSize(double size, const QLocale& locale = QLocale());

// The free-space text for a number of free bytes ("500 MB Free", "15.00 GB Free"); freeWord
// is the language table's "Free". Below 1 GB it is whole MB with digit grouping, and no digit
// at all when that rounds to 0 (" MB Free"); from 1 GB on it is GB with two decimals.
QString FreeBytesText(qint64 freeBytes, const QString& freeWord, const QLocale& locale = QLocale());

// Free space of the volume holding path (all free bytes, not only those available to this
// user), as FreeBytesText. A path that does not exist yet counts for its nearest existing
// parent folder. An empty text when the free space cannot be known (empty path, no such
// volume, volume not ready).
QString DriveFreeText(const QString& path, const QString& freeWord,
                      const QLocale& locale = QLocale());
