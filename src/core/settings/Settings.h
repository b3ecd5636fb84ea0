#pragma once

#include "settings/SettingsStore.h"
#include "transfer/ExistingFile.h"

#include <QString>

#include <array>
#include <functional>

// The name the settings store and the platform know the program by.
inline const QString ApplicationName = QStringLiteral("Melvo");
// The store's section that holds every stored choice.
inline const QString SettingsSection = QStringLiteral("Settings");

// What the main window's controls hold, as the settings routines see them.
struct WindowSettings {
    QString OutputFolder;                        // txtBrowsePath, a native path
    QString OutputFormat;                        // txtOutPutFormat
    bool Unattended = false;                     // optUnattended ticked
    ExistingFile Rule = ExistingFile::Overwrite; // unOpt1 or unOpt2 selected, or neither (Ask)
    std::array<double, 9> ColumnWidths{};        // columns 1..9 of the song list, twips
};

// Windows: the documents folder + "\My Music"; elsewhere the platform's music folder.
// Falls back to documents, then home, + "My Music"; never empty.
QString DefaultOutputFolder();

// Where config.cfg lives: in the program's folder when it can be written there, else in
// the per-user config folder. Loading and saving both use it, so the widths are read back
// from where they were written.
QString ConfigFilePath(const QString& programFolder, const QString& userConfigFolder);
// The log, debug.txt: beside config.cfg, and written only when it is there.
QString DebugLogPath(const QString& configPath);

bool FolderExists(const QString& path);

// Puts the stored values into `controls`; whatever is missing or does not convert leaves
// the control as it was (the output folder and format get their defaults instead).
void LoadSettings(const SettingsStore& store, const QString& configPath, WindowSettings& controls,
                  const std::function<bool(const QString&)>& folderExists = FolderExists);

// Writes config.cfg, then the store values. Each is tried even when an earlier one failed;
// false when anything could not be written.
bool SaveSettings(SettingsStore& store, const QString& configPath, const WindowSettings& controls);

// The one line of config.cfg, without its CR LF.
QString ConfigLine(const std::array<double, 9>& widths);
