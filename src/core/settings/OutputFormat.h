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

// The format as a run builds paths with it: in lower case, so "%A" is the artist too.
inline QString FormatAsBuilt(const QString& typed) {
    return typed.toLower();
}

// Whether the format names the song's title: without it, songs of one album would share a
// file name, so the options page asks for it.
inline bool NamesTheTitle(const QString& format) {
    return format.contains(QLatin1String(FormatTokens[2].Token), Qt::CaseInsensitive);
}

// The format with each token replaced by its legend name, as the options page's example
// shows it ("%a\%t" → "Artist\Title").
inline QString FormatLegend(QString format, const LanguageTable& language) {
    for (const FormatToken& token : FormatTokens)
        format.replace(QLatin1String(token.Token), language.Entry(token.LegendEntry),
                       Qt::CaseInsensitive);
    return format;
}

// What a new user starts with, and what Default puts back.
inline const QString DefaultOutputFormat = QStringLiteral("%a\\%b\\%t");
