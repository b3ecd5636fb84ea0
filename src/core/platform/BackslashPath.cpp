#include "platform/BackslashPath.h"

#include <QDir>

QString FromNativeSeparators(const QString& nativePath) {
#ifdef Q_OS_WIN
    return nativePath;
#else
    QString p = nativePath;
    return p.replace(QLatin1Char('/'), QLatin1Char('\\'));
#endif
}

QString ToNativeSeparators(const QString& path) {
#ifdef Q_OS_WIN
    return path;
#else
    QString p = path;
    return p.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
}

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(ToNativeSeparators(path)));
}

BackslashPath BackslashPath::operator/(const BackslashPath& child) const {
    // One allocation: this runs once for every song of a copy.
    const qsizetype kept = text_.size() - (text_.endsWith(u'\\') ? 1 : 0);
    const bool joint = !child.text_.startsWith(u'\\');
    QString text;
    text.reserve(kept + (joint ? 1 : 0) + child.text_.size());
    text.append(QStringView(text_).first(kept));
    if (joint)
        text.append(u'\\');
    return BackslashPath(text.append(child.text_));
}

BackslashPath BackslashPath::operator+(QStringView text) const {
    return BackslashPath(QString(text_).append(text));
}
