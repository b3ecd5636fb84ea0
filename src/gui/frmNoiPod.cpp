#include "gui/frmNoiPod.h"

#include "extras/WebLinks.h"
#include "gui/MessageDialog.h"
#include "gui/ShellOpen.h"
#include "gui/WindowStyle.h"
#include "settings/LanguageTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

frmNoiPod::frmNoiPod(const LanguageTable& language, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNoiPod"));
    setModal(true);
    setWindowTitle(language.Entry(Text::MissingIPod));
    ApplyWindowStyle(this);

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

    QHBoxLayout* buttons = LayOutMessage(this, QStyle::SP_MessageBoxInformation, {label1, label2});
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdCancel);
    setMinimumWidth(420);
}
