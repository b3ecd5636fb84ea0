#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QStyle>
#include <functional>

class QHBoxLayout;
class QLabel;
class QShowEvent;
class QWidget;

// The look the program's own small dialogs share (the no-player dialog, the overwrite
// prompt): an icon at the top left beside their texts, one under the other, and a row for
// their buttons below, which is returned for the caller to fill.
QHBoxLayout* LayOutMessage(QDialog* dialog, QStyle::StandardPixmap icon,
                           std::initializer_list<QWidget*> texts, QLabel** iconLabel = nullptr);

// Shows a dialog as belonging to the window it is opened from (its parent's window, its
// owner): the window system keeps it above that window, and where a window manager runs it
// places the dialog itself, over the owner, with its title bar in sight, as it does every
// program's dialogs. Where none runs (a bare X server, the offscreen platform, Windows) the
// dialog is centred over its owner here (over the screen while the owner is hidden), wholly
// on that screen. Called from a dialog's showEvent in place of the base class's, which is
// baseShow.
void ShowOverOwner(QDialog* dialog, QShowEvent* event, const std::function<void()>& baseShow);

// Whether a window manager runs on the display: on X11 one that says so on the root window,
// as the desktops' window managers do; false on every other platform.
bool WindowManagerRuns();

// A dialog shown so each time.
class PlacedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent* event) override;
};

// A message box with one OK button, shown as above, waited for.
void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text);

// Asks for a folder: opens at startFolder (empty: where it likes) and returns the chosen
// folder, empty when none was chosen. A seam: the tests answer in its place.
using FolderPicker =
    std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;
