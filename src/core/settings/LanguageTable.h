#pragma once

#include <QString>

#include <array>

// The texts of the interface in one language at a time: 201 numbered slots, 0..200.
class LanguageTable {
public:
    static constexpr int SlotCount = 201;

    // Fills the entries of "english", "german" or "spanish" (the key compared exactly,
    // case matters). Any other key changes nothing and returns false.
    bool LoadLanguage(const QString& key);

    // Entry n; a number outside 0..200 is a programming error: Q_ASSERT in debug, and an
    // empty text (never a crash) in release.
    const QString& Entry(int number) const;

    const QString& Key() const { return Entry(0); } // "" before the first load

private:
    std::array<QString, SlotCount> m_entries;
};
