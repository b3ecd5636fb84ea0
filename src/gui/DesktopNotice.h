#pragma once

#include "transfer/RunNotice.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <optional>

class QWidget;

// The end of a copy run told to the desktop: a notification through the freedesktop
// notification service and the urgency hint on the window, when the run earns it (see
// NoticeForRun). With no service on the bus nothing is shown and nothing is said.
class EndOfRunNotice {
public:
    qint64 AfterMs = RunNoticeAfterMs;
    // The bus the notice goes to; the user's session bus when none is set.
    std::optional<QDBusConnection> Bus;

    void RunStarted() { clock_.start(); }
    void RunEnded(const TransferEngine& engine, TransferEngine::Outcome outcome,
                  QWidget* window) const;

private:
    QElapsedTimer clock_;
};

// Sends notice to org.freedesktop.Notifications without waiting for the answer.
void SendDesktopNotice(const QDBusConnection& bus, const RunNotice& notice);
