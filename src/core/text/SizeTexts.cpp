#include "text/SizeTexts.h"

#include "platform/PlayerPath.h"
#include "platform/Volumes.h"

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
    const qint64 freeBytes = FreeBytesAt(ExpandHome(path));
    return freeBytes < 0 ? QString() : FreeBytesText(freeBytes, freeWord, locale);
}

const QString& OutputFreeSpace::Refresh(const QString& outputFolder, const QString& freeWord,
                                        const QLocale& locale) {
    text_ = DriveFreeText(outputFolder, freeWord, locale);
    return text_;
}
