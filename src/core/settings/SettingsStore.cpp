#include "settings/SettingsStore.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

#include <optional>
#include <utility>

namespace {

bool UsableName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The stored names that match `wanted`: the exact spelling first, then the others that
// match ignoring case, in the store's order. Reading and writing both take the first, so a
// value written is the value read back even when a hand-edited file holds two spellings.
QStringList Matches(const QStringList& present, const QString& wanted) {
    QStringList out;
    if (present.contains(wanted))
        out << wanted;
    for (const QString& name : present)
        if (name != wanted && name.compare(wanted, Qt::CaseInsensitive) == 0)
            out << name;
    return out;
}

QString Join(const QString& prefix, const QString& name) {
    return prefix.isEmpty() ? name : prefix + QLatin1Char('/') + name;
}

QStringList Children(QSettings& s, const QString& group, bool keys) {
    if (!group.isEmpty())
        s.beginGroup(group);
    QStringList names = keys ? s.childKeys() : s.childGroups();
    if (!group.isEmpty())
        s.endGroup();
    return names;
}

// The stored path of an existing key whose names match `names` (groups, then the key)
// ignoring case, or nothing.
std::optional<QString> FindKey(QSettings& s, const QStringList& names, qsizetype level = 0,
                               const QString& prefix = {}) {
    const bool isKey = level == names.size() - 1;
    for (const QString& name : Matches(Children(s, prefix, isKey), names[level])) {
        if (isKey)
            return Join(prefix, name);
        if (auto hit = FindKey(s, names, level + 1, Join(prefix, name)))
            return hit;
    }
    return std::nullopt;
}

// Where a new key goes: into the groups as already spelled where they exist, else as asked.
QString NewKeyPath(QSettings& s, const QStringList& names) {
    QString prefix;
    bool existing = true;
    for (qsizetype level = 0; level < names.size(); ++level) {
        QString name = names[level];
        if (existing && level < names.size() - 1) {
            const QStringList found = Matches(Children(s, prefix, false), name);
            if (found.isEmpty())
                existing = false;
            else
                name = found.front();
        }
        prefix = Join(prefix, name);
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

QString SettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                  const QString& defaultValue) const {
    if (!UsableName(app) || !UsableName(section) || !UsableName(key))
        return defaultValue;
    QSettings s(location_, format_);
    const auto path = FindKey(s, {app, section, key});
    if (!path)
        return defaultValue;
    const QVariant value = s.value(*path);
    // A hand-edited INI line with unquoted commas reads as a list; it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool SettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                const QString& value) {
    if (!UsableName(app) || !UsableName(section) || !UsableName(key))
        return false;
    QSettings s(location_, format_);
    const QStringList names{app, section, key};
    const auto existing = FindKey(s, names);
    s.setValue(existing ? *existing : NewKeyPath(s, names), value);
    s.sync();
    return s.status() == QSettings::NoError;
}
