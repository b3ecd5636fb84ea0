#include "gui/frmAbout.h"

#include "gui/ShellOpen.h"
#include "gui/WebLinks.h"
#include "gui/WindowStyle.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(const QIcon& picture, const QString& title, QWidget* parent)
    : PlacedDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowTitle(QStringLiteral("About"));
    ApplyWindowStyle(this);

    auto* image = new QLabel;
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(picture.pixmap(48, 48));
    auto* label = new QLabel(title);
    label->setObjectName(QStringLiteral("Label1"));
    auto* website = new QPushButton(QStringLiteral("Visit the Melvo Web Site"));
    website->setObjectName(QStringLiteral("XPBWebsite"));
    connect(website, &QPushButton::clicked, this, [] { OpenWithShell(WebLinks::MakerSite); });
    auto* done = new QPushButton(QStringLiteral("Done"));
    done->setObjectName(QStringLiteral("XPBDone"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(image);
    top->addWidget(label, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(website);
    buttons->addStretch(1);
    buttons->addWidget(done);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(buttons);
}
