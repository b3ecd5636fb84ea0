#include "settings/SettingsStore.h"

#include "platform/RegularFile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <optional>
#include <utility>

#include <cerrno>

namespace {

// Whether the text after a value's leading '@' spells "Variant(" or "DateTime(", the two
// forms Qt reads through QDataStream, where a crafted nesting overflows the stack. Quotes
// make no character; an escape before the spelling is decided could make any, so it counts.
bool objectAfterAt(QByteArrayView rest) {
    const QByteArrayView objects[] = {"Variant(", "DateTime("};
    QByteArray spelled;
    for (const char c : rest) {
        if (c == '"')
            continue;
        if (c == '\\')
            return true;
        spelled += c;
        bool begun = false;
        for (const QByteArrayView object : objects) {
            if (object == spelled)
                return true;
            begun = begun || object.startsWith(spelled);
        }
        if (!begun)
            return false;
    }
    return false;
}

int digitValue(char c, int base) {
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    return value < base ? value : -1;
}

// Whether QSettings could take any value of these INI bytes for a serialised object. Not a
// parser: it errs on the safe side. A value may start at every line start, '=' and ','
// (quoted or not), after blanks, quotes and escapes that make no character; a value
// starting "@@" is a text; a '@' made by a numeric escape is refused wherever it stands.
bool mayHoldObject(QByteArrayView ini) {
    bool valueStart = true;
    for (qsizetype i = 0; i < ini.size(); ++i) {
        const char c = ini[i];
        if (c == '\n' || c == '\r' || c == '=' || c == ',') {
            valueStart = true;
        } else if (c == ' ' || c == '\t' || c == '"') {
            // nothing made
        } else if (c == '\\') {
            if (++i == ini.size())
                break;
            const char e = ini[i];
            const int base = e == 'x' ? 16 : digitValue(e, 8) >= 0 ? 8 : 0;
            if (base != 0) {
                // Qt reads every digit that follows into 16 bits.
                char16_t value = base == 8 ? char16_t(e - '0') : 0;
                bool made = base == 8;
                for (int d; i + 1 < ini.size() && (d = digitValue(ini[i + 1], base)) >= 0; ++i) {
                    value = char16_t(value * base + d);
                    made = true;
                }
                if (made && value == u'@')
                    return true;
                valueStart = valueStart && !made;
            } else if (QByteArrayView("abfnrtv\"?'\\").contains(e)) {
                valueStart = false;
            } // else a character skipped or a line continued: nothing made
        } else if (c == '@' && valueStart) {
            if (i + 1 < ini.size() && ini[i + 1] == '@')
                ++i; // "@@" stands for a text starting with '@'
            else if (objectAfterAt(ini.sliced(i + 1)))
                return true;
            valueStart = false;
        } else {
            valueStart = false;
        }
    }
    return false;
}

// Why the INI file at path must not be handed to QSettings, or nothing when it may (or
// there is none). It is opened without waiting, as only a regular file can be.
QString fileProblem(const QString& path) {
    if (!QFileInfo::exists(path))
        return {};
    QFile file;
    RegularFileFacts facts;
    if (QString failure = OpenRegularFile(file, path, &facts); !failure.isEmpty())
        return failure;
    const QString tooLarge =
        QStringLiteral("larger than %1 bytes").arg(SettingsStore::MaxFileBytes);
    if (facts.Size > SettingsStore::MaxFileBytes)
        return tooLarge;
    const QByteArray bytes = file.read(facts.Size + 1);
    if (bytes.size() > SettingsStore::MaxFileBytes) // it grew meanwhile
        return tooLarge;
    if (mayHoldObject(bytes))
        return QStringLiteral("a value in it would be read as a serialised object");
    return {};
}

// Moves path to path + ".damaged" (or the first of ".damaged-2", ... that is free); the
// new name, or nothing when it could not be moved.
QString moveAside(const QString& path) {
    for (int n = 1; n <= 100; ++n) {
        const QString aside =
            path + QStringLiteral(".damaged") + (n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        const int failure = RenameWithoutReplacing(path, aside);
        if (failure == 0)
            return aside;
        if (failure != EEXIST)
            return {}; // not for want of a free name
    }
    return {};
}

bool usableName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The stored names that match `wanted`: the exact spelling first, then the others that
// match ignoring case, in the store's order. Reading and writing both take the first, so a
// value written is the value read back even when a hand-edited file holds two spellings.
QStringList matches(const QStringList& present, const QString& wanted) {
    QStringList out;
    if (present.contains(wanted))
        out << wanted;
    for (const QString& name : present)
        if (name != wanted && name.compare(wanted, Qt::CaseInsensitive) == 0)
            out << name;
    return out;
}

QString joinKey(const QString& prefix, const QString& name) {
    return prefix.isEmpty() ? name : prefix + QLatin1Char('/') + name;
}

QStringList children(QSettings& s, const QString& group, bool keys) {
    if (!group.isEmpty())
        s.beginGroup(group);
    QStringList names = keys ? s.childKeys() : s.childGroups();
    if (!group.isEmpty())
        s.endGroup();
    return names;
}

// The stored path of an existing key whose names match `names` (groups, then the key)
// ignoring case, or nothing.
std::optional<QString> findKey(QSettings& s, const QStringList& names, qsizetype level = 0,
                               const QString& prefix = {}) {
    const bool isKey = level == names.size() - 1;
    for (const QString& name : matches(children(s, prefix, isKey), names[level])) {
        if (isKey)
            return joinKey(prefix, name);
        if (auto hit = findKey(s, names, level + 1, joinKey(prefix, name)))
            return hit;
    }
    return std::nullopt;
}

// Where a new key goes: into the groups as already spelled where they exist, else as asked.
QString newKeyPath(QSettings& s, const QStringList& names) {
    QString prefix;
    bool existing = true;
    for (qsizetype level = 0; level < names.size(); ++level) {
        QString name = names[level];
        if (existing && level < names.size() - 1) {
            const QStringList found = matches(children(s, prefix, false), name);
            if (found.isEmpty())
                existing = false;
            else
                name = found.front();
        }
        prefix = joinKey(prefix, name);
    }
    return prefix;
}

} // namespace

SettingsStore::SettingsStore(QString location, QSettings::Format format)
    : location_(std::move(location)), format_(format) {}

SettingsStore::SettingsStore(const QString& iniFile)
    : SettingsStore(iniFile, QSettings::IniFormat) {}

SettingsStore SettingsStore::ForUser() {
#ifdef Q_OS_WIN
    return SettingsStore(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings"),
                         QSettings::NativeFormat);
#else
    return SettingsStore(UserFolder() + QStringLiteral("/Melvo.ini"), QSettings::IniFormat);
#endif
}

QString SettingsStore::UserFolder() {
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/Melvo");
#endif
}

bool SettingsStore::fileReadable() const {
    if (format_ != QSettings::IniFormat)
        return true;
    const QString problem = fileProblem(location_);
    if (!problem.isEmpty() && !std::exchange(refusalTold_, true))
        qWarning().noquote() << QStringLiteral("Melvo: the settings in %1 are not read (%2); the "
                                               "defaults apply, and the next save moves the file "
                                               "aside and starts a new one.")
                                    .arg(QDir::toNativeSeparators(location_), problem);
    return problem.isEmpty();
}

bool SettingsStore::clearForSave() {
    if (format_ != QSettings::IniFormat)
        return true;
    // QSettings waits for its lock file and reads it whole: one that no save of Qt's made
    // (a FIFO, a link, a large file) goes aside too.
    const QString lock = location_ + QStringLiteral(".lock");
    const QFileInfo lockInfo(lock);
    const bool badLock = lockInfo.isSymLink() ||
                         (lockInfo.exists() && (!lockInfo.isFile() || lockInfo.size() > 4096));
    QStringList moving;
    if (!fileReadable())
        moving << location_;
    if (badLock)
        moving << lock;
    for (const QString& path : moving) {
        const QString aside = moveAside(path);
        if (aside.isEmpty())
            return false;
        qWarning().noquote() << QStringLiteral("Melvo: %1 moved aside to %2.")
                                    .arg(QDir::toNativeSeparators(path),
                                         QDir::toNativeSeparators(aside));
    }
    return true;
}

QString SettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                  const QString& defaultValue) const {
    if (!usableName(app) || !usableName(section) || !usableName(key) || !fileReadable())
        return defaultValue;
    QSettings s(location_, format_);
    const auto path = findKey(s, {app, section, key});
    if (!path)
        return defaultValue;
    const QVariant value = s.value(*path);
    // A hand-edited INI line with unquoted commas reads as a list; it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    // Anything else ("@Rect(...)", "@ByteArray(...)" by hand) is no text of ours.
    return value.typeId() == QMetaType::QString ? value.toString() : defaultValue;
}

bool SettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                const QString& value) {
    if (!usableName(app) || !usableName(section) || !usableName(key) || !clearForSave())
        return false;
    QSettings s(location_, format_);
    const QStringList names{app, section, key};
    const auto existing = findKey(s, names);
    s.setValue(existing ? *existing : newKeyPath(s, names), value);
    s.sync();
    return s.status() == QSettings::NoError;
}
