#pragma once

#include <QStyle>

class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

// The look the program's own small dialogs share (the no-player dialog, the overwrite
// prompt): an icon at the top left beside their texts, one under the other, and a row for
// their buttons below, which is returned for the caller to fill.
QHBoxLayout* LayOutMessage(QDialog* dialog, QStyle::StandardPixmap icon,
                           std::initializer_list<QWidget*> texts, QLabel** iconLabel = nullptr);
