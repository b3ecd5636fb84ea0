#pragma once

#include <QSettings>
#include <QString>

// The per-user store: text values by application, section and key. Application, section
// and key names are matched without regard to case on every platform, so "settings" and
// "Settings" reach one value (the language is written under the one and read under the
// other).
class SettingsStore {
public:
    // Windows: the registry under HKEY_CURRENT_USER\Software\VB and VBA Program Settings,
    // where the values of earlier versions already live. Elsewhere: Melvo/Melvo.ini in the
    // generic per-user config folder (~/.config/Melvo/Melvo.ini on Linux).
    static SettingsStore ForUser();

    // The per-user folder of the program's own files. Linux and macOS: the folder of the
    // settings file above (~/.config/Melvo); Windows: the application's config folder.
    static QString UserFolder();

    // An INI file; it and its folder are created on the first save.
    explicit SettingsStore(const QString& iniFile);

    // The stored text, or defaultValue when there is none (or a name is unusable).
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;

    // Stores the text and writes it out at once. False when it could not be written, or
    // when a name is empty or holds a '/' or '\' (which would reach another group).
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value);

private:
    SettingsStore(QString location, QSettings::Format format);

    QString location_;
    QSettings::Format format_;
};
