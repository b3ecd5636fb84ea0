#include "gui/MessageDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QHBoxLayout* LayOutMessage(QDialog* dialog, QStyle::StandardPixmap icon,
                           std::initializer_list<QWidget*> texts, QLabel** iconLabel) {
    auto* picture = new QLabel;
    picture->setPixmap(dialog->style()->standardIcon(icon).pixmap(32, 32));
    if (iconLabel)
        *iconLabel = picture;
    auto* column = new QVBoxLayout;
    for (QWidget* text : texts)
        column->addWidget(text);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(column, 1);
    auto* buttons = new QHBoxLayout;
    auto* whole = new QVBoxLayout(dialog);
    whole->addLayout(top);
    whole->addLayout(buttons);
    return buttons;
}
