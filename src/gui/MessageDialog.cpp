#include "gui/MessageDialog.h"

#include "platform/ScreenPlace.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

class PlacedMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // sizes the box to its text
        PlaceOverOwner(this, event);
    }
};

} // namespace

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

void PlaceOverOwner(QWidget* dialog, const QShowEvent* event) {
    if (event->spontaneous()) // shown again by the window system (restored): it stays
        return;
    const QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    const bool ownerShown = owner && owner->isVisible();
    const QScreen* screen = ownerShown ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before it maps the dialog has no frame yet: its own size stands for the frame's.
    const QRect frame = dialog->frameGeometry();
    const QRect placed = CentredOver(frame.size(), ownerShown ? owner->frameGeometry() : QRect(),
                                     screen->availableGeometry());
    dialog->move(placed.topLeft());
}

void PlacedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceOverOwner(this, event);
}

void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text) {
    PlacedMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.exec();
}
