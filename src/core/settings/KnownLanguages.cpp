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
    return store.GetSetting(ApplicationName, SettingsSection, LanguageKey);
}

bool StoreLanguage(SettingsStore& store, const QString& key) {
    // Written in lower case as earlier versions did: a store without the section yet gets
    // the spelling theirs has (names are matched without regard to case).
    return store.SaveSetting(ApplicationName, SettingsSection.toLower(), LanguageKey, key);
}
