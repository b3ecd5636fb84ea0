#pragma once

// What a copy run does with a song whose file is there already: ask, or a standing
// decision for the rest of the run. The numbers are those the settings store keeps as the
// unattended rule ("Unattend": 1 overwrite, 2 skip); as a rule, Ask means none is chosen.
enum class ExistingFile : int { Ask = 0, Overwrite = 1, Skip = 2 };
