#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <utility>

// A native path with "\" as its separator, and the way back; identity on Windows.
QString FromNativeSeparators(const QString& nativePath);
QString ToNativeSeparators(const QString& path);
// A "\"-separated path as the file system takes it: native separators, doubled ones merged.
QString NativePath(const QString& path);

// A path in the form the path algorithms work on, whatever the platform: "\" between the
// folders, as the player's database names its files ("\iPod_Control\Music\F01\ABCD.mp3")
// and as a song's destination is built and cleaned (a "/" there is a character a name may
// not hold). It turns native only where the file system is touched, a path is shown or
// one is written to a file; every other path is a native QString.
class BackslashPath {
public:
    BackslashPath() = default;
    // A text already in this form: a database's location, a format's result.
    explicit BackslashPath(QString text) : text_(std::move(text)) {}
    // A native path of this platform.
    static BackslashPath FromNative(const QString& nativePath) {
        return BackslashPath(FromNativeSeparators(nativePath));
    }

    // The text itself, for the rules that clean, measure and cut it.
    const QString& Text() const { return text_; }
    bool IsEmpty() const { return text_.isEmpty(); }
    // As the file system takes it: native separators, doubled ones merged.
    QString Native() const { return NativePath(text_); }
    // Native separators and nothing else changed, as the log shows the path.
    QString NativeText() const { return ToNativeSeparators(text_); }

    // What comes before the last "\": the folder a file is in (the whole path when it holds
    // no "\").
    BackslashPath Folder() const { return BackslashPath(text_.left(text_.lastIndexOf(u'\\'))); }
    // child under this path, with one "\" between them unless child begins with one.
    BackslashPath operator/(const BackslashPath& child) const;
    // text appended as it is: a name, an extension, a path the format built.
    BackslashPath operator+(QStringView text) const;

    friend bool operator==(const BackslashPath&, const BackslashPath&) = default;

private:
    QString text_;
};

inline size_t qHash(const BackslashPath& path, size_t seed = 0) noexcept {
    return qHash(path.Text(), seed);
}
