#include "settings/KnownLanguages.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace {

const QString LanguageKey = QStringLiteral("Language");

} // namespace

QString LanguageKeyFor(const QLocale& locale) {
    const QString code = QLocale::languageToCode(locale.language());
    for (size_t i = 0; i < LanguageCodes.size(); ++i)
        if (code == QLatin1String(LanguageCodes[i]))
            return QLatin1String(LanguageKeys[i]);
    return QLatin1String(LanguageKeys[0]);
}

QString KnownLanguageKey(const QString& answer) {
    for (const char* key : LanguageKeys)
        if (answer.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return QLatin1String(key);
    return {};
}

QString StoredLanguage(const SettingsStore& store) {
    return KnownLanguageKey(
        store.GetSetting(ApplicationName, SettingsSection, LanguageKey).trimmed());
}

bool StoreLanguage(SettingsStore& store, const QString& key) {
    // Written in lower case as earlier versions did: a store without the section yet gets
    // the spelling theirs has (names are matched without regard to case).
    return store.SaveSetting(ApplicationName, SettingsSection.toLower(), LanguageKey, key);
}

QString QtTexts::CatalogueFile(const QString& key) {
    for (size_t i = 1; i < LanguageKeys.size(); ++i) // English is Qt's own
        if (key == QLatin1String(LanguageKeys[i]))
            return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                .filePath(QStringLiteral("qtbase_%1.qm").arg(QLatin1String(LanguageCodes[i])));
    return {};
}

bool QtTexts::Use(const QString& key) {
    QCoreApplication::removeTranslator(&translator_);
    const QString file = CatalogueFile(key);
    return !file.isEmpty() && translator_.load(file) &&
           QCoreApplication::installTranslator(&translator_);
}
