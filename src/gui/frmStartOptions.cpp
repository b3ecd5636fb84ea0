// The main window's options page at work: the output format's preview and title check,
// Default and Browse, the unattended switch, and the start of a transfer.

#include "gui/MessageDialog.h"
#include "gui/PathLabel.h"
#include "gui/frmCopy.h"
#include "gui/frmStart.h"
#include "platform/PlayerPath.h"
#include "settings/OutputFormat.h"
#include "settings/Settings.h"
#include "text/Blanks.h"
#include "transfer/OutputPath.h"
#include "transfer/PlaylistExport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

void frmStart::connectOptions() {
    connect(txtOutPutFormat_, &QLineEdit::textChanged, this, &frmStart::UpdatePreview);
    // The destination follows the folder, the ticks and the list.
    connect(txtBrowsePath_, &QLineEdit::textChanged, this, &frmStart::UpdateDestination);
    connect(&songs_, &SongListModel::TicksChanged, this, &frmStart::UpdateDestination);
    connect(&songs_, &QAbstractItemModel::modelReset, this, &frmStart::UpdateDestination);
    connect(&songs_, &QAbstractItemModel::layoutChanged, this, &frmStart::UpdateDestination);
    txtOutPutFormat_->installEventFilter(this); // leaving the box starts the title check
    connect(tmrTextFormat_, &QTimer::timeout, this, &frmStart::CheckTitleToken);
    connect(findChild<QPushButton*>(QStringLiteral("XPBDefault")), &QPushButton::clicked, this,
            [this] { txtOutPutFormat_->setText(DefaultOutputFormat); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdBrowse")), &QPushButton::clicked, this,
            &frmStart::Browse);
    connect(optUnattended_, &QCheckBox::toggled, this, [this](bool on) {
        unOpt1_->setEnabled(on);
        unOpt2_->setEnabled(on);
    });
    unOpt1_->setEnabled(optUnattended_->isChecked());
    unOpt2_->setEnabled(optUnattended_->isChecked());
    connect(cmdCopy_, &QPushButton::clicked, this, &frmStart::StartCopy);
    connect(mnuStartCopy_, &QAction::triggered, this, &frmStart::StartCopy);
    folderPicker_ = [](QWidget* owner, const QString& title, const QString& startFolder) {
        return QFileDialog::getExistingDirectory(owner, title, startFolder);
    };
}

void frmStart::UpdatePreview() {
    QString preview = txtOutPutFormat_->text();
    for (const FormatToken& token : FormatTokens)
        preview.replace(QLatin1String(token.Token), text(token.LegendEntry), Qt::CaseInsensitive);
    lblOutputPreView_->setText(text(Text::PreviewExample) + preview);
    UpdateDestination();
}

void frmStart::UpdateDestination() {
    const std::vector<SongRow>& rows = songs_.Rows();
    const auto ticked =
        std::find_if(rows.begin(), rows.end(), [](const SongRow& row) { return row.Ticked; });
    const auto first = ticked != rows.end() ? ticked : rows.begin();
    // Built as the copy builds it: the folder as the run takes it, the format in lower case.
    if (first == rows.end() || TrimBlanks(txtBrowsePath_->text()).isEmpty()) {
        lblDestination_->SetFullText({});
        return;
    }
    const SongDestination destination =
        DestinationOf(ProcessOutputFolder(txtBrowsePath_->text()),
                      txtOutPutFormat_->text().toLower(), first->Texts);
    lblDestination_->SetFullText(text(Text::Destination).arg(destination.Native()));
}

void frmStart::ExportPlaylists() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Nothing yields here: the tables stay as they are until it is done.
    const PlaylistsExport done =
        ExportAllPlaylists(state_.Database, txtBrowsePath_->text(), txtOutPutFormat_->text());
    QApplication::restoreOverrideCursor();
    ShowMessageBox(this, done.Failures.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                   text(Text::ExportAllPlaylists), done.Report(state_.Language));
}

void frmStart::CheckTitleToken() {
    if (txtOutPutFormat_->text().contains(QLatin1String("%t"), Qt::CaseInsensitive))
        return;
    // Off before the message, and kept off while the message has the focus (the box's
    // focus-out would start it again), so that it is shown once.
    tmrTextFormat_->stop();
    titleMessageShown_ = true;
    ShowMessageBox(this, QMessageBox::Information, text(Text::MissingSongTitle),
                   text(Text::TitleTokenNeeded));
    titleMessageShown_ = false;
    Tab1_->setCurrentIndex(1);
    txtOutPutFormat_->setFocus();
}

void frmStart::Browse() {
    // At the folder in the box, or where it would be made (its nearest existing parent).
    const QString chosen = folderPicker_
                               ? folderPicker_(this, text(Text::SelectFolder),
                                               NearestExistingFolder(txtBrowsePath_->text()))
                               : QString();
    if (!chosen.isEmpty())
        txtBrowsePath_->setText(QDir::toNativeSeparators(chosen));
    setPanel(4, state_.FreeSpace.Refresh(txtBrowsePath_->text(), text(Text::Free)));
    UpdateSelectionTotals();
}

void frmStart::StartCopy() {
    tmrDiskSize_->stop();
    // A player watch in the middle of a run would search for the player over the copy
    // window; the run reports songs that went with the player instead.
    const bool watching = Timer1_->isActive();
    Timer1_->stop();

    TransferOptions options = TransferOptions::ForRun(
        ControlSettings(), chkExportPlaylists_->isChecked(), cmbPlaylists_->currentText(),
        state_.Database.PlayerDrive, configPath_);
    txtOutPutFormat_->setText(options.OutputFormat);
    {
        frmCopy copy(state_.Language, songs_.Rows(), std::move(options), this);
        copy.exec();
    }
    tmrDiskSize_->start();
    if (watching)
        Timer1_->start();
    LV_->viewport()->update();
}
