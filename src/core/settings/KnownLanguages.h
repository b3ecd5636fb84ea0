#pragma once

// The languages Melvo speaks and where the chosen one is kept: one place for the keys that
// the store, the language table, the menu and the first-run question share.

#include "settings/SettingsStore.h"

#include <QString>

#include <array>

// By the keys the settings store keeps; a key is also entry 0 of its language's table.
inline constexpr std::array<const char*, 3> LanguageKeys{"english", "german", "spanish"};

// The key among them that answer names, compared without regard to case; empty when none.
QString KnownLanguageKey(const QString& answer);

// The stored key (read under section "Settings"), as stored; empty when there is none.
QString StoredLanguage(const SettingsStore& store);
// Stores the key (written under "settings": the store finds both as one).
bool StoreLanguage(SettingsStore& store, const QString& key);
