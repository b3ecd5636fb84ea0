#pragma once

#include "settings/ExistingFile.h"
#include "settings/SettingsStore.h"

#include <QByteArray>
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

// Where config.cfg (and debug.txt beside it) is kept. Windows: in the program's folder when
// it can be written there, as earlier versions kept it, else in the per-user folder.
// Linux and macOS: always the per-user folder, since the program's folder is a bin/ shared
// with other programs (/usr/bin, ~/.local/bin). Loading and saving both use it, so the
// widths are read back from where they were written.
enum class ConfigHome { BesideProgram, UserFolder };
#ifdef Q_OS_WIN
inline constexpr ConfigHome PlatformConfigHome = ConfigHome::BesideProgram;
#else
inline constexpr ConfigHome PlatformConfigHome = ConfigHome::UserFolder;
#endif
QString ConfigFilePath(const QString& programFolder, const QString& userConfigFolder,
                       ConfigHome home = PlatformConfigHome);
// The same for this user, whose folder is SettingsStore::UserFolder().
QString ConfigFilePath(const QString& programFolder);
// The log, debug.txt: beside config.cfg, and written only when it is there.
QString DebugLogPath(const QString& configPath);

bool FolderExists(const QString& path);

// Where a folder picker opens for this path: the folder itself, or the nearest of its
// parents that exists (a native path); empty when none does or the path is empty.
QString
NearestExistingFolder(const QString& nativePath,
                      const std::function<bool(const QString&)>& folderExists = FolderExists);

// The main window's size, place and state as the window system saved them (opaque bytes),
// under a key of its own; empty when none is stored or the text is not base64.
QByteArray LoadWindowGeometry(const SettingsStore& store);
bool SaveWindowGeometry(SettingsStore& store, const QByteArray& geometry);

// Puts the stored values into `controls`; whatever is missing or does not convert leaves
// the control as it was (the output folder and format get their defaults instead).
void LoadSettings(const SettingsStore& store, const QString& configPath, WindowSettings& controls,
                  const std::function<bool(const QString&)>& folderExists = FolderExists);

// Writes config.cfg, then the store values. Each is tried even when an earlier one failed;
// false when anything could not be written.
bool SaveSettings(SettingsStore& store, const QString& configPath, const WindowSettings& controls);

// The one line of config.cfg, without its CR LF.
QString ConfigLine(const std::array<double, 9>& widths);
