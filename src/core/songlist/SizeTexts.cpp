#include "songlist/SizeTexts.h"

#include "platform/PlayerPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <array>
#include <cmath>

namespace {

QLocale withGrouping(QLocale locale, bool grouping) {
    // The C locale omits grouping by default, so say it either way.
    QLocale::NumberOptions options = locale.numberOptions();
    options.setFlag(QLocale::OmitGroupSeparator, !grouping);
    locale.setNumberOptions(options);
    return locale;
}

// The nearest existing folder or file at or above path; empty when there is none.
QString existingAncestor(const QString& path) {
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(current)) {
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            return {};
        current = parent;
    }
    return current;
}

} // namespace

QString FormatFileSize(double size, const QLocale& locale) {
    static constexpr std::array<const char*, 5> units{"Bytes", "KB", "MB", "GB", "TB"};
    double x = size;
    std::size_t unit = 0;
    // An infinite size would never drop below the threshold.
    while (x > 1023 && std::isfinite(x)) {
        x /= 1024;
        ++unit;
    }
    const QString name = unit < units.size() ? QString::fromLatin1(units[unit]) : QString();
    return withGrouping(locale, false).toString(x, 'f', 2) + u' ' + name;
}

QString FreeBytesText(qint64 freeBytes, const QString& freeWord, const QLocale& locale) {
    const QLocale grouped = withGrouping(locale, true);
    const double gb = static_cast<double>(freeBytes) / 1073741824.0;
    if (gb >= 1)
        return grouped.toString(gb, 'f', 2) + QStringLiteral(" GB ") + freeWord;
    // std::round rounds halves away from zero, as the toolkit's formatting does, so the
    // zero test below agrees with the digits that would be shown.
    const double mb = std::round(static_cast<double>(freeBytes) / 1048576.0);
    const QString digits = mb == 0 ? QString() : grouped.toString(mb, 'f', 0);
    return digits + QStringLiteral(" MB ") + freeWord;
}

QString DriveFreeText(const QString& path, const QString& freeWord, const QLocale& locale) {
    if (path.isEmpty())
        return {};
    const QString existing = existingAncestor(ExpandHome(path));
    if (existing.isEmpty())
        return {};
    const QStorageInfo volume(existing);
    if (!volume.isValid() || !volume.isReady())
        return {};
    const qint64 freeBytes = volume.bytesFree();
    if (freeBytes < 0)
        return {};
    return FreeBytesText(freeBytes, freeWord, locale);
}

const QString& OutputFreeSpace::Refresh(const QString& outputFolder, const QString& freeWord,
                                        const QLocale& locale) {
    text_ = DriveFreeText(outputFolder, freeWord, locale);
    return text_;
}
