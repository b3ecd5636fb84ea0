#include "gui/frmNoiPod.h"

#include "gui/MessageDialog.h"
#include "gui/ShellOpen.h"
#include "gui/WebLinks.h"
#include "gui/WindowStyle.h"
#include "itunesdb/PlayerSongs.h"
#include "platform/PlayerPath.h"
#include "settings/LanguageTable.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

frmNoiPod::frmNoiPod(const LanguageTable& language, QWidget* parent)
    : PlacedDialog(parent), language_(language) {
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
    auto* cmdOpenFolder = new QPushButton(language.Entry(Text::OpenFolder));
    cmdOpenFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    cmdOpenFolder->setAutoDefault(false);

    connect(cmdRetry, &QPushButton::clicked, this, [this] {
        answer_ = Retry;
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        answer_ = Quit;
        reject();
    });
    connect(cmdHelp, &QPushButton::clicked, this, [] { OpenWithShell(WebLinks::MakerSite); });
    connect(cmdOpenFolder, &QPushButton::clicked, this, &frmNoiPod::openFolder);

    watch_ = new QTimer(this);
    watch_->setObjectName(QStringLiteral("tmrPlayerWatch"));
    connect(watch_, &QTimer::timeout, this, [this] {
        // Not while a message or the folder picker of this dialog is open over it.
        if (!playerMounted_ || QApplication::activeModalWidget() != this)
            return;
        if (playerMounted_()) {
            answer_ = Retry;
            accept();
        }
    });

    QHBoxLayout* buttons = LayOutMessage(this, QStyle::SP_MessageBoxInformation, {label1, label2});
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdOpenFolder);
    buttons->addStretch(1);
    buttons->addWidget(cmdRetry);
    buttons->addWidget(cmdCancel);
    setMinimumWidth(420);
}

void frmNoiPod::WatchForPlayer(std::function<bool()> playerMounted, int intervalMs) {
    playerMounted_ = std::move(playerMounted);
    watch_->start(intervalMs);
}

void frmNoiPod::openFolder() {
    const QString chosen = folderPicker_
                               ? folderPicker_(this, language_.Entry(Text::SelectFolder), QString())
                               : QString();
    if (chosen.isEmpty())
        return;
    // The search's own test: a folder the search would pass over is not taken.
    if (!IsPlayerRoot(chosen)) {
        ShowMessageBox(this, QMessageBox::Warning, windowTitle(),
                       language_.Entry(Text::NoPlayerInFolder));
        return;
    }
    chosenFolder_ = QDir(chosen).absolutePath();
    answer_ = Retry;
    accept();
}
