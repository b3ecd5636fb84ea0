#pragma once

// The output format in one place: the tokens a user can type, in the order a song's tags
// replace them, each with the language entry that names it in the options page's legend
// and preview; and the format a new user starts with.

#include <QString>

#include <array>

struct FormatToken {
    const char* Text; // "%a"
    int LegendEntry;  // the language table's name for it: "Artist"
};

inline constexpr std::array<FormatToken, 6> FormatTokens{{
    {"%a", 88}, // Artist
    {"%b", 89}, // Album
    {"%t", 69}, // Title
    {"%g", 90}, // Genre
    {"%n", 97}, // Track Nr
    {"%y", 85}, // Year
}};

// What a new user starts with, and what Default puts back.
inline const QString DefaultOutputFormat = QStringLiteral("%a\\%b\\%t");
