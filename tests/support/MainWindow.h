#pragma once

// The main window over player folders in a temporary directory, for tests that drive it:
// the drive list is the test's, the settings live in the temporary directory, and the
// no-player dialog is answered by pressing one of its buttons when it shows.

#include "gui/frmNoiPod.h"
#include "gui/frmStart.h"
#include "settings/SettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

struct MainWindow {
    QTemporaryDir dir;
    ProgramState state;
    SettingsStore store{dir.filePath("store.ini")};
    frmStart window{state, store, dir.filePath("config.cfg")};
    QStringList drives;

    MainWindow() {
        window.LoadLanguage(QStringLiteral("english"));
        window.SetDriveSource([this] { return drives; });
    }

    QString folder(const QString& name) const { return dir.filePath(name); }

    template <typename T> T* find(const char* name) {
        return window.findChild<T*>(QLatin1String(name));
    }
    QString panel(int n) {
        return find<QLabel>(QByteArray("sBarPanel" + QByteArray::number(n)).constData())->text();
    }
    const std::vector<SongRow>& rows() { return window.Songs().Rows(); }
    QStringList titles() {
        QStringList t;
        for (const SongRow& r : rows())
            t << r.Texts[Column::Title];
        return t;
    }
};

// When a modal dialog of type Dialog shows, runs before (to look at the window or plug a
// player in) and presses the named button, or closes the dialog when button is null. The
// returned timer stops once it has answered.
template <typename Dialog>
QTimer* answerModal(QObject* owner, const char* button, std::function<void(Dialog&)> before = {}) {
    auto* poll = new QTimer(owner);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, button, before] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        if (before)
            before(*dialog);
        if (button)
            dialog->template findChild<QAbstractButton*>(QLatin1String(button))->click();
        else if (dialog->isVisible()) // not answered by before
            dialog->reject();
    });
    poll->start();
    return poll;
}

inline QTimer* answerNoPlayer(QObject* owner, const char* button,
                              std::function<void(frmNoiPod&)> before = {}) {
    return answerModal<frmNoiPod>(owner, button, std::move(before));
}
