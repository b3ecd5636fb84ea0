#pragma once

// A D-Bus session bus of the test's own (dbus-daemon), ended with this object, so that a
// test can offer a desktop service without touching the machine's.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

class PrivateBus {
public:
    PrivateBus() {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            return;
        found_ = true;
        bus_.start(daemon, {"--session", "--print-address", "--nofork"});
        if (bus_.waitForReadyRead(10000))
            address_ = QString::fromLocal8Bit(bus_.readLine()).trimmed();
    }
    ~PrivateBus() {
        bus_.kill();
        bus_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool DaemonFound() const { return found_; }
    // The bus's address; empty when it did not start.
    const QString& Address() const { return address_; }

private:
    QProcess bus_;
    bool found_ = false;
    QString address_;
};
