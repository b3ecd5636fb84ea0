#include "gui/frmCopy.h"

#include "gui/MessageDialog.h"
#include "gui/ShellOpen.h"
#include "gui/WindowStyle.h"
#include "gui/frmCopyError.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmCopy::frmCopy(const LanguageTable& language, std::vector<SongRow> rows, TransferOptions options,
                 QWidget* parent)
    : PlacedDialog(parent), language_(language), rows_(std::move(rows)),
      options_(std::move(options)), engine_(language, *this) {
    setObjectName(QStringLiteral("frmCopy"));
    setModal(true);
    setWindowTitle(language.Entry(Text::TransferingSongs));
    ApplyWindowStyle(this);

    lblCopying_ = new QLabel(language.Entry(Text::BuildingTransferList));
    lblCopying_->setObjectName(QStringLiteral("lblCopying"));
    lblCurrentFile_ = new QLabel;
    lblCurrentFile_->setObjectName(QStringLiteral("lblCurrentFile"));
    lblCurrentFile_->setTextFormat(Qt::PlainText);
    lblCurrentFile_->setMinimumWidth(420);
    lblCurrentFile_->setWordWrap(true); // the summary with its counts is long
    XPBar1_ = new QProgressBar;
    XPBar1_->setObjectName(QStringLiteral("XPBar1"));
    XPBar1_->setTextVisible(false);
    XPBar1_->setRange(0, 1);
    XPBar1_->setValue(0);
    // Named, a screen reader tells its progress as it moves.
    XPBar1_->setAccessibleName(language.Entry(Text::TransferingSongs));
    QPalette green = XPBar1_->palette();
    green.setColor(QPalette::Highlight, QColor(0, 128, 0));
    XPBar1_->setPalette(green);
    cmdCancel_ = new QPushButton(language.Entry(Text::Cancel));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, &frmCopy::cancelClicked);
    cmdDetails_ = new QPushButton(language.Entry(Text::Details));
    cmdDetails_->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails_->hide(); // until a run ends with failures
    connect(cmdDetails_, &QPushButton::clicked, this, &frmCopy::showDetails);
    cmdOpenOutput_ = new QPushButton(language.Entry(Text::OpenOutputFolder));
    cmdOpenOutput_->setObjectName(QStringLiteral("cmdOpenOutput"));
    cmdOpenOutput_->setAutoDefault(false);
    cmdOpenOutput_->hide(); // until a run ends with songs in a folder to see
    connect(cmdOpenOutput_, &QPushButton::clicked, this,
            [this] { OpenWithShell(engine_.OutputFolder()); });

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblCopying_);
    column->addWidget(lblCurrentFile_);
    column->addWidget(XPBar1_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDetails_);
    buttons->addWidget(cmdOpenOutput_);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel_);
    column->addLayout(buttons);
}

void frmCopy::showEvent(QShowEvent* event) {
    PlacedDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(0, this, &frmCopy::run);
    }
}

void frmCopy::run() {
    running_ = true;
    notice_.RunStarted();
    const TransferEngine::Outcome outcome = engine_.Run(std::move(rows_), options_);
    running_ = false;
    notice_.RunEnded(engine_, outcome, parentWidget() ? parentWidget()->window() : this);
    // Nothing ran: the window keeps the texts it opened with; Cancel, then Finish, close it.
    if (outcome == TransferEngine::Outcome::NoOutputFolder)
        return;
    // The report is read out with the button that now has the focus: a screen reader says
    // what the focused control became, where a label that changes aside goes unheard.
    cmdCancel_->setAccessibleDescription(
        QStringList({lblCopying_->text(), lblCurrentFile_->text()}).join(u'\n').trimmed());
    cmdCancel_->setText(language_.Entry(Text::Finish));
    cmdCancel_->setFocus();
    cmdDetails_->setVisible(!engine_.FailureText().isEmpty());
    cmdOpenOutput_->setVisible(outcome != TransferEngine::Outcome::NoOutputFolder &&
                               QFileInfo(engine_.OutputFolder()).isDir());
    adjustSize(); // room for the summary's second line
    if (finishRequested_)
        accept();
}

void frmCopy::cancelClicked() {
    lblCurrentFile_->clear();
    if (cmdCancel_->text() == language_.Entry(Text::Cancel)) {
        engine_.Cancel();
        lblCopying_->setText(language_.Entry(Text::TransferStopped));
        cmdCancel_->setText(language_.Entry(Text::Finish));
        return;
    }
    // Finish: the window goes once the run has stopped at its next song.
    if (running_)
        finishRequested_ = true;
    else
        accept();
}

void frmCopy::showDetails() {
    // What failed, with the reasons: a text to read, select and copy.
    PlacedDialog details(this);
    details.setObjectName(QStringLiteral("frmCopyDetails"));
    details.setWindowTitle(windowTitle() + QStringLiteral(" - ") + language_.Entry(Text::Details));
    ApplyWindowStyle(&details);
    auto* list = new QPlainTextEdit(engine_.FailureText());
    list->setObjectName(QStringLiteral("txtDetails"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* close = new QPushButton(language_.Entry(Text::Finish));
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, &details, &QDialog::accept);
    auto* column = new QVBoxLayout(&details);
    column->addWidget(list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    column->addLayout(buttons);
    details.resize(640, 360);
    details.exec();
}

void frmCopy::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore(); // Cancel stops a run; closing would cut it off
        return;
    }
    QDialog::closeEvent(event);
}

void frmCopy::reject() {
    if (!running_)
        QDialog::reject();
}

void frmCopy::ShowCopying(const QString& text) {
    lblCopying_->setText(text);
}

void frmCopy::ShowCurrentFile(const QString& text) {
    lblCurrentFile_->setText(text);
}

void frmCopy::ShowProgress(int maximum, int value) {
    XPBar1_->setRange(0, std::max(maximum, 1));
    XPBar1_->setValue(maximum > 0 ? value : 0);
}

void frmCopy::ShowError(const QString& message) {
    ShowMessageBox(this, QMessageBox::Warning, windowTitle(), message);
}

void frmCopy::ShowMessage(const QString& text) {
    ShowMessageBox(this, QMessageBox::Information, windowTitle(), text);
}

PromptAnswer frmCopy::AskOverwrite(const OverwriteQuestion& question) {
    frmCopyError prompt(language_, question, this);
    prompt.exec();
    return prompt.Answer();
}

void frmCopy::ProcessEvents() {
    QCoreApplication::processEvents();
}
