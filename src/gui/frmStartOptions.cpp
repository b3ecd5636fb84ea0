// The main window and its options page: the page's signals, the folder picker they share,
// the start of a transfer and the export of every playlist.

#include "gui/MessageDialog.h"
#include "gui/OptionsPage.h"
#include "gui/frmCopy.h"
#include "gui/frmStart.h"
#include "transfer/PlaylistExport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

void frmStart::connectOptions() {
    // After Browse, the free space is that of the folder's drive.
    connect(picTab2_, &OptionsPage::Browsed, this, [this] {
        setPanel(4, state_.FreeSpace.Refresh(picTab2_->Folder(), text(Text::Free)));
        UpdateSelectionTotals();
    });
    connect(picTab2_, &OptionsPage::TitleCheckAnswered, this,
            [this] { Tab1_->setCurrentWidget(picTab2_); });
    connect(cmdCopy_, &QPushButton::clicked, this, &frmStart::StartCopy);
    connect(mnuStartCopy_, &QAction::triggered, this, &frmStart::StartCopy);
}

void frmStart::SetFolderPicker(FolderPicker picker) {
    picTab2_->SetFolderPicker(picker);
    folderPicker_ = std::move(picker);
}

void frmStart::ExportPlaylists() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Nothing yields here: the tables stay as they are until it is done.
    const PlaylistsExport done =
        ExportAllPlaylists(state_.Database, picTab2_->Folder(), picTab2_->Format());
    QApplication::restoreOverrideCursor();
    ShowMessageBox(this, done.Failures.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                   text(Text::ExportAllPlaylists), done.Report(state_.Language));
}

void frmStart::StartCopy() {
    tmrDiskSize_->stop();
    // A player watch in the middle of a run would search for the player over the copy
    // window; the run reports songs that went with the player instead.
    const bool watching = Timer1_->isActive();
    Timer1_->stop();

    TransferOptions options = TransferOptions::ForRun(ControlSettings(), picTab2_->ExportPlaylist(),
                                                      cmbPlaylists_->currentText(),
                                                      state_.Database.PlayerDrive, configPath_);
    picTab2_->SetFormat(options.OutputFormat);
    {
        frmCopy copy(state_.Language, songs_.Rows(), std::move(options), this);
        copy.exec();
    }
    tmrDiskSize_->start();
    if (watching)
        Timer1_->start();
    LV_->viewport()->update();
}
