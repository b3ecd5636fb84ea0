#include "gui/DesktopNotice.h"

#include "settings/Settings.h"

#include <QApplication>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>
#include <QWidget>

void EndOfRunNotice::RunEnded(const TransferEngine& engine, TransferEngine::Outcome outcome,
                              QWidget* window) const {
    const std::optional<RunNotice> notice =
        NoticeForRun(engine, outcome, clock_.isValid() ? clock_.elapsed() : 0, AfterMs,
                     QApplication::activeWindow() != nullptr);
    if (!notice)
        return;
    SendDesktopNotice(Bus ? *Bus : QDBusConnection::sessionBus(), *notice);
    QApplication::alert(window);
}

void SendDesktopNotice(const QDBusConnection& bus, const RunNotice& notice) {
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
    // The desktop entry's name is the icon's too.
    const QString entry = QGuiApplication::desktopFileName();
    QVariantMap hints;
    if (!entry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), entry);
    call << ApplicationName << 0u << entry << notice.Summary << notice.Body << QStringList()
         << hints << -1;
    // Sent, not called: the answer (or the error of a bus without the service) is not awaited.
    bus.send(call);
}
