#pragma once

// Answers the dialogs of a copy run as a user would: message boxes are read and closed,
// the overwrite prompt gets the next queued button ("Enter": the key, where the focus is),
// or is closed unanswered when none is queued, the failure list behind Details is read when the run
// offers one, and the copy window is finished once its button says Finish. What the copy window
// showed last is kept for the test.

#include "gui/frmCopy.h"
#include "gui/frmCopyError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

class CopyDriver : public QObject {
public:
    QStringList messages;      // texts of the message boxes, in order
    QStringList answers;       // object names of prompt buttons, used in turn
    QStringList promptedFiles; // the file name each prompt showed
    QStringList promptedFacts; // what is there and what would replace it: "there | incoming"
    // Called at every look while the copy window is open: a test cancels from here.
    std::function<void(frmCopy&)> whileCopying;
    // Called with each overwrite prompt before it is answered.
    std::function<void(frmCopyError&)> whilePrompted;
    QString copying;     // the copy window's status line when it closed
    QString currentFile; // its song line when Finish was first offered
    QString details;     // the failure list behind Details, when the run offered one
    int barValue = -1, barMaximum = -1;
    int windows = 0;
    bool withMouse = false; // press the buttons with the mouse, as a person does

    CopyDriver() {
        poll_.setInterval(0); // at every turn of the event loop: the run's yields included
        connect(&poll_, &QTimer::timeout, this, &CopyDriver::look);
        poll_.start();
    }

private:
    void press(QAbstractButton* button) {
        if (withMouse)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            button->click();
    }

    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            box->accept();
        } else if (auto* prompt = qobject_cast<frmCopyError*>(modal)) {
            if (whilePrompted)
                whilePrompted(*prompt);
            promptedFiles << prompt->findChild<QLineEdit*>("txtRename")->text();
            promptedFacts << prompt->findChild<QLabel*>("lblThere")->text() + " | " +
                                 prompt->findChild<QLabel*>("lblIncoming")->text();
            if (answers.isEmpty())
                prompt->reject();
            else if (answers.first() == QLatin1String("Enter")) {
                answers.removeFirst();
                QWidget* focus = prompt->focusWidget();
                QTest::keyClick(focus ? focus : prompt, Qt::Key_Return);
            } else
                press(prompt->findChild<QAbstractButton*>(answers.takeFirst()));
        } else if (modal && modal->objectName() == QLatin1String("frmCopyDetails")) {
            details = modal->findChild<QPlainTextEdit*>("txtDetails")->toPlainText();
            detailsRead_ = true;
            press(modal->findChild<QPushButton*>("cmdClose"));
        } else if (auto* copy = qobject_cast<frmCopy*>(modal)) {
            if (copy != seen_) {
                seen_ = copy;
                ++windows;
                connect(copy, &QDialog::finished, this, [this, copy] {
                    copying = copy->findChild<QLabel*>("lblCopying")->text();
                    barValue = copy->findChild<QProgressBar*>("XPBar1")->value();
                    barMaximum = copy->findChild<QProgressBar*>("XPBar1")->maximum();
                    poll_.stop(); // one copy window each: a later run gets its own driver
                });
            }
            if (whileCopying)
                whileCopying(*copy);
            auto* button = copy->findChild<QPushButton*>("cmdCancel");
            auto* more = copy->findChild<QPushButton*>("cmdDetails");
            const bool finished = button->text() == QLatin1String("Finish");
            if (finished && more->isVisible() && !detailsRead_) {
                // Opened from its own turn of the event loop: this look may not wait on it.
                if (!detailsAsked_)
                    QTimer::singleShot(0, more, [this, more] { press(more); });
                detailsAsked_ = true;
            } else if (finished) {
                if (!finishing_)
                    currentFile = copy->findChild<QLabel*>("lblCurrentFile")->text();
                finishing_ = true;
                press(button); // which empties lblCurrentFile
            }
        }
    }

    QTimer poll_;
    frmCopy* seen_ = nullptr;
    bool finishing_ = false;
    bool detailsAsked_ = false, detailsRead_ = false;
};
