#include "gui/frmNoiPod.h"

#include "extras/WebLinks.h"
#include "gui/ShellOpen.h"
#include "gui/WindowStyle.h"
#include "settings/LanguageTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmNoiPod::frmNoiPod(const LanguageTable& language, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNoiPod"));
    setModal(true);
    setWindowTitle(language.Entry(Text::MissingIPod));
    ApplyWindowStyle(this);

    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* label1 = new QLabel(language.Entry(Text::NoIPodFound));
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    auto* label2 = new QLabel(QStringLiteral("Check that you have configured your iPod to manual "
                                             "mode, Click help for configure info."));
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);

    auto* cmdRetry = new QPushButton(language.Entry(Text::Retry));
    cmdRetry->setObjectName(QStringLiteral("cmdRetry"));
    cmdRetry->setDefault(true);
    auto* cmdCancel = new QPushButton(language.Entry(Text::Quit));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* cmdHelp = new QPushButton(QStringLiteral("Help"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setAutoDefault(false);

    connect(cmdRetry, &QPushButton::clicked, this, [this] {
        answer_ = Retry;
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        answer_ = Quit;
        reject();
    });
    connect(cmdHelp, &QPushButton::clicked, this, [] { OpenWithShell(WebLinks::MakerSite); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(label1);
    texts->addWidget(label2);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdCancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(buttons);
    setMinimumWidth(420);
}
