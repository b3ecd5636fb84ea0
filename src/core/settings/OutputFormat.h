#pragma once

// The output format in one place: the tokens a user can type, in the order of the options
// page's legend, each with the language entry that names it there and in the preview; and
// the format a new user starts with. Text in braces, "{%y - }", is an optional part: it
// appears only when every token in it has a value.

#include "settings/LanguageTable.h"

#include <QString>

#include <array>

struct FormatToken {
    const char* Token; // "%a"
    Text LegendEntry;  // the language table's name for it
};

inline constexpr std::array<FormatToken, 8> FormatTokens{{
    {"%a", Text::Artist},
    {"%b", Text::Album},
    {"%t", Text::Title},
    {"%g", Text::Genre},
    {"%n", Text::TrackNr},
    {"%y", Text::Year},
    {"%r", Text::AlbumArtist}, // the song's artist where the album has none
    {"%d", Text::DiscNr},      // only for an album of several discs
}};

// What a new user starts with, and what Default puts back.
inline const QString DefaultOutputFormat = QStringLiteral("%a\\%b\\%t");
