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

// Centres a dialog over the window it belongs to (its parent's window; the screen when that
// is hidden), wholly on that window's screen. Called from a dialog's showEvent, after the
// base class's, so that the dialog's size is final and it is placed before it maps: a
// window manager that places nothing itself would otherwise leave it where it was asked.
void PlaceOverOwner(QWidget* dialog, const QShowEvent* event);

// A dialog placed so each time it is shown.
class PlacedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent* event) override;
};

// A message box with one OK button, placed as above, waited for.
void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text);

// Asks for a folder: opens at startFolder (empty: where it likes) and returns the chosen
// folder, empty when none was chosen. A seam: the tests answer in its place.
using FolderPicker =
    std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;
