#pragma once

#include "gui/DesktopNotice.h"
#include "gui/MessageDialog.h"
#include "transfer/TransferEngine.h"

class QLabel;
class QProgressBar;
class QPushButton;

// "Transfering Songs": runs one transfer when it first shows, with its progress, and
// Cancel that becomes Finish; at the end it offers the output folder in the file manager.
class frmCopy : public PlacedDialog, private TransferView {
    Q_OBJECT
public:
    frmCopy(const LanguageTable& language, std::vector<SongRow> rows, TransferOptions options,
            QWidget* parent = nullptr);

    const TransferEngine& Engine() const { return engine_; }
    // What a long run tells the desktop at its end; tests shorten the time and set the bus.
    EndOfRunNotice& Notice() { return notice_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void run();
    void cancelClicked();
    void showDetails();

    void ShowCopying(const QString& text) override;
    void ShowCurrentFile(const QString& text) override;
    void ShowProgress(int maximum, int value) override;
    void ShowError(const QString& message) override;
    void ShowMessage(const QString& text) override;
    PromptAnswer AskOverwrite(const OverwriteQuestion& question) override;
    void ProcessEvents() override;

    const LanguageTable& language_;
    std::vector<SongRow> rows_;
    TransferOptions options_;
    TransferEngine engine_;
    EndOfRunNotice notice_;
    bool started_ = false;
    bool running_ = false;
    bool finishRequested_ = false;
    QLabel* lblCopying_ = nullptr;
    QLabel* lblCurrentFile_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdDetails_ = nullptr;
    QPushButton* cmdOpenOutput_ = nullptr;
    QProgressBar* XPBar1_ = nullptr;
};
