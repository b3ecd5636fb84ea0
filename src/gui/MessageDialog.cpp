#include "gui/MessageDialog.h"

#include "gui/ScreenPlace.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdlib>
#include <memory>

#if MELVO_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

class PlacedMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        ShowOverOwner(this, event, [this, event] { QMessageBox::showEvent(event); });
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

namespace {

void centreOverOwner(QWidget* dialog, const QWidget* owner) {
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

#if MELVO_HAVE_XCB
template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The window a window's _NET_SUPPORTING_WM_CHECK names; none when it names none, or when the
// window is gone.
xcb_window_t checkWindow(xcb_connection_t* x, xcb_atom_t check, xcb_window_t window) {
    xcb_generic_error_t* error = nullptr;
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, false, window, check, XCB_ATOM_WINDOW, 0, 1),
                               &error),
        &std::free);
    std::free(error);
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) != sizeof(xcb_window_t))
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}
#endif

} // namespace

bool WindowManagerRuns() {
#if MELVO_HAVE_XCB
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* x = x11 ? x11->connection() : nullptr;
    if (!x)
        return false;
    static constexpr char name[] = "_NET_SUPPORTING_WM_CHECK";
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, true, sizeof name - 1, name), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    // The root names a window of the window manager's, which names itself; a window manager
    // that has ended leaves the root's word behind, but not its window.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_window_t check = checkWindow(x, atom->atom, root);
    return check != XCB_WINDOW_NONE && checkWindow(x, atom->atom, check) == check;
#else
    return false;
#endif
}

void ShowOverOwner(QDialog* dialog, QShowEvent* event, const std::function<void()>& baseShow) {
    QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (owner && owner->windowHandle() && dialog->windowHandle())
        dialog->windowHandle()->setTransientParent(owner->windowHandle());
    if (event->spontaneous()) { // shown again by the window system (restored): it stays
        baseShow();
        return;
    }
    if (!WindowManagerRuns()) {
        baseShow(); // sizes the dialog
        centreOverOwner(dialog, owner);
        return;
    }
    // No place asked for: a place asked for is one the window manager takes as it stands,
    // before it knows the frame it will give the dialog. QDialog asks for one unless the
    // dialog was moved already.
    const bool moved = dialog->testAttribute(Qt::WA_Moved);
    dialog->setAttribute(Qt::WA_Moved, true);
    baseShow();
    dialog->setAttribute(Qt::WA_Moved, moved);
}

void PlacedDialog::showEvent(QShowEvent* event) {
    ShowOverOwner(this, event, [this, event] { QDialog::showEvent(event); });
}

void ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text) {
    PlacedMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.exec();
}
