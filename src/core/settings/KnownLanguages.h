#pragma once

// The languages Melvo speaks and where the chosen one is kept: one place for the keys that
// the store, the language table, the menu and the first-run question share.

#include "settings/SettingsStore.h"

#include <QString>
#include <QTranslator>

#include <array>

class QLocale;

// By the keys the settings store keeps; a key is also entry 0 of its language's table.
inline constexpr std::array<const char*, 3> LanguageKeys{"english", "german", "spanish"};

// Each one's ISO 639 code, in the same order: what Qt's catalogues are named by.
inline constexpr std::array<const char*, LanguageKeys.size()> LanguageCodes{"en", "de", "es"};

// The key of the language a locale speaks, when it is one of ours; otherwise English.
QString LanguageKeyFor(const QLocale& locale);

// The key among them that answer names, compared without regard to case; empty when none.
QString KnownLanguageKey(const QString& answer);

// The stored key (read under section "Settings") as one of LanguageKeys, matched as
// KnownLanguageKey does with the blanks around it dropped; empty when none is stored or it
// names none, since a key that loads no table would leave every caption empty.
QString StoredLanguage(const SettingsStore& store);
// Stores the key (written under "settings": the store finds both as one).
bool StoreLanguage(SettingsStore& store, const QString& key);

// Qt's own texts (its dialogs' buttons, the text boxes' menu) in one of our languages:
// Qt's catalogue for it (qtbase_de.qm, qtbase_es.qm in Qt's translations folder) installed
// in the application for as long as that language is chosen, and removed with this object.
class QtTexts {
public:
    QtTexts() = default;
    QtTexts(const QtTexts&) = delete;
    QtTexts& operator=(const QtTexts&) = delete;

    // Replaces the catalogue in use by the one of this key's language. False when that
    // language has none (English needs none) or it is not installed: Qt then speaks English.
    bool Use(const QString& key);
    // The file Qt's catalogue of this key's language is read from; empty for English.
    static QString CatalogueFile(const QString& key);

private:
    QTranslator translator_;
};
