#pragma once

#include <QMessageBox>
#include <QStyle>

class QDialog;
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

// A message box with one OK button, placed as above, waited for.
void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text);
