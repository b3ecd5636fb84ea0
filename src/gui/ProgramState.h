#pragma once

#include "itunesdb/MusicDatabase.h"
#include "settings/LanguageTable.h"
#include "text/SizeTexts.h"

#include <QString>

// What the whole program shares: the language texts, the player's tables and the last
// free-space text of the output drive. One object, owned by main() and handed to the
// main window, instead of globals.
struct ProgramState {
    LanguageTable Language;
    MusicDatabase Database;
    OutputFreeSpace FreeSpace;
};
