#include "settings/KnownLanguages.h"

#include "settings/Settings.h"

namespace {

const QString LanguageKey = QStringLiteral("Language");

} // namespace

QString KnownLanguageKey(const QString& answer) {
    for (const char* key : LanguageKeys)
        if (answer.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return QLatin1String(key);
    return {};
}

QString StoredLanguage(const SettingsStore& store) {
    return store.GetSetting(ApplicationName, QStringLiteral("Settings"), LanguageKey);
}

bool StoreLanguage(SettingsStore& store, const QString& key) {
    return store.SaveSetting(ApplicationName, QStringLiteral("settings"), LanguageKey, key);
}
