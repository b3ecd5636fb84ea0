#pragma once

#include <QString>
#include <QStringList>

// Keyboard mnemonics for texts shown side by side (a menu bar's titles, one menu's
// entries). The language table keeps its texts without them; they are chosen when a
// language is applied, so every language gets letters of its own words.

// Each text with an '&' before its first letter or digit that no earlier text took (letters
// compared without case); a text with no free letter gets none. An '&' of the text itself
// is doubled, so it shows as it is.
QStringList WithMnemonics(const QStringList& plainTexts);
