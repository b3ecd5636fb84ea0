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
    // Only a regular file of sane size in which no value would be taken for a serialised
    // object is ever read: anything else (a FIFO, a huge or crafted file) reads as an empty
    // store, and the first save moves it aside, its bytes kept, and starts a new one.
    explicit SettingsStore(const QString& iniFile);

    // The stored text, or defaultValue when there is none (or a name is unusable, or the
    // value stored is not a text).
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;

    // Stores the text and writes it out at once. False when it could not be written, or
    // when a name is empty or holds a '/' or '\' (which would reach another group).
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value);

    // The largest INI file read; ours holds a few hundred bytes.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

private:
    SettingsStore(QString location, QSettings::Format format);

    // True when the file may be handed to QSettings (or there is none); otherwise says why
    // on stderr, once.
    bool fileReadable() const;
    // Moves an unreadable file, and a lock file that is not one, out of the way of a save.
    bool clearForSave();

    QString location_;
    QSettings::Format format_;
    mutable bool refusalTold_ = false;
};
