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

// The free space of the volume holding path, as the box types it (platform/Volumes.h's
// FreeBytesAt, after a leading "~"), as FreeBytesText. An empty text when the free space
// cannot be known (empty path, no such volume, volume not ready).
QString DriveFreeText(const QString& path, const QString& freeWord,
                      const QLocale& locale = QLocale());

// The free space the status bar shows: that of the volume holding the output folder, as its
// box reads. It is looked at again every RefreshMs from the first load on, except while a
// copy runs, and at once when the player is found and when a folder is browsed to; a folder
// typed by hand shows at the next look.
class OutputFreeSpace {
public:
    static constexpr int RefreshMs = 2000;

    // Looks at outputFolder's volume again (DriveFreeText) and keeps the text.
    const QString& Refresh(const QString& outputFolder, const QString& freeWord,
                           const QLocale& locale = QLocale());
    // The last look's text; empty before the first.
    const QString& Text() const { return text_; }

private:
    QString text_;
};
