#pragma once

// Ejecting the player as the desktop's file managers do: the system's disk service (UDisks2,
// over D-Bus) unmounts every mounted file system of the player's drive and then powers the
// drive off where it can, so the player says it may be unplugged.

#include "settings/LanguageTable.h"

#include <QDBusConnection>
#include <QString>
#include <functional>

struct EjectResult {
    enum class Outcome {
        Ejected,   // unmounted, and powered off where the drive can be
        NoPlayer,  // no player has been found
        NotADrive, // the player is a folder, not the mount point of a drive (--player)
        NoService, // no disk service to ask
        Failed,    // the service refused; Detail says why
    };
    Outcome What = Outcome::NoPlayer;
    QString Detail;
};

class PlayerEject {
public:
    // The disk service on bus: the system bus where it runs; tests pass a bus of their own.
    explicit PlayerEject(QDBusConnection bus = QDBusConnection::systemBus());

    // Ejects the drive whose file system is mounted at playerRoot (a native path);
    // beforeUnmount is called once the drive is known, to close what is open on it. While
    // the service works (a flush may take a while) the window system's events are handled.
    EjectResult Eject(const QString& playerRoot, const std::function<void()>& beforeUnmount = {});

    // What the user is told of a result.
    static QString Message(const LanguageTable& language, const EjectResult& result);

private:
    QDBusConnection bus_;
};
