#pragma once

// The output format in one place: the tokens a user can type, in the order a song's tags
// replace them, each with the language entry that names it in the options page's legend
// and preview; and the format a new user starts with.

#include "settings/LanguageTable.h"

#include <QString>

#include <array>

struct FormatToken {
    const char* Token; // "%a"
    Text LegendEntry;  // the language table's name for it
};

inline constexpr std::array<FormatToken, 6> FormatTokens{{
    {"%a", Text::Artist},
    {"%b", Text::Album},
    {"%t", Text::Title},
    {"%g", Text::Genre},
    {"%n", Text::TrackNr},
    {"%y", Text::Year},
}};

// What a new user starts with, and what Default puts back.
inline const QString DefaultOutputFormat = QStringLiteral("%a\\%b\\%t");
