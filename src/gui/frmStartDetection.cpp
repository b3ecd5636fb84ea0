// The main window's search for the player, the load that follows it, and the watch on the
// player's database that starts the search again when the player is unplugged.

#include "gui/ProgressBarProgress.h"
#include "gui/frmNoiPod.h"
#include "gui/frmStart.h"
#include "itunesdb/LoadiTunesDB.h"
#include "platform/PlayerPath.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace {

void yield() {
    QCoreApplication::processEvents();
}

} // namespace

void frmStart::FormActivate() {
    if (activated_ || !driveSource_)
        return;
    activated_ = true;
    pBar_->setValue(pBar_->minimum());
    setPanel(1, text(Text::StatusLooking));
    yield();
    FindPlayerDrive();
    setPanel(4, state_.FreeSpace.Text());
    if (NoPlayerAnswer_ == frmNoiPod::Quit)
        return;
    const auto busy = markBusy();
    yield();
    setPanel(1, text(Text::StatusLoading));
    yield();
    LoadPlayerData();
    yield();
    setPanel(1, text(loadStatus_)); // "Status: Ok", or what kept the load from it
    setWindowTitle(WindowTitle + QStringLiteral(" ~ ") + state_.Database.LibraryName);
    yield();
    setPanel(2, text(Text::Songs) + u' ' + QString::number(state_.Database.LoadedTrackCount));
    setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
    setPanel(4, state_.FreeSpace.Text());
    setMenusEnabled(true);
    tmrDiskSize_->start();
    XPSearch_->setEnabled(true);
    showFirstPlaylist();
    cmbPlaylists_->setEnabled(true);
    yield();
}

void frmStart::showFirstPlaylist() {
    cmbPlaylists_->setCurrentIndex(cmbPlaylists_->count() > 0 ? 0 : -1);
    PlaylistChosen(cmbPlaylists_->currentIndex());
}

QString frmStart::firstPlayerDrive() {
    // The folders opened from the no-player dialog first, the latest first, as --player's.
    QStringList drives = openedFolders_;
    if (driveSource_)
        drives += driveSource_();
    Drives_->clear();
    Drives_->addItems(drives);
    for (const QString& drive : drives) {
        yield();
        yield();
        if (!PlayerDatabaseFile(drive).isEmpty())
            return drive;
    }
    return {};
}

void frmStart::FindPlayerDrive() {
    QString found;
    while ((found = firstPlayerDrive()).isEmpty()) {
        NoPlayerAnswer_ = frmNoiPod::Retry;
        {
            frmNoiPod dialog(state_.Language, this);
            dialog.SetFolderPicker(folderPicker_);
            // The watch's own interval and test: a player mounted meanwhile ends the wait.
            dialog.WatchForPlayer([this] { return !firstPlayerDrive().isEmpty(); },
                                  Timer1_->interval());
            dialog.exec();
            NoPlayerAnswer_ = dialog.NoPlayerAnswer();
            if (const QString folder = dialog.ChosenFolder(); !folder.isEmpty()) {
                openedFolders_.removeAll(folder);
                openedFolders_.prepend(folder);
            }
        }
        if (NoPlayerAnswer_ == frmNoiPod::Quit) {
            close();
            return;
        }
        yield();
    }
    state_.Database.PlayerDrive = found;
    Timer1_->start();
    state_.Database.LibraryName = QStringLiteral("iPod");
    LoadSettings();
    state_.FreeSpace.Refresh(txtBrowsePath_->text(), text(Text::Free));
}

bool frmStart::LoadPlayerData() {
    MusicDatabase& db = state_.Database;
    const auto databasePath = [&db] { return PlayerDatabaseFile(db.PlayerDrive); };
    ProgressBarProgress progress(pBar_);
    const auto busy = markBusy();
    loading_ = true;
    const LoadResult result = LoadiTunesDB(db, databasePath(), text(Text::AllSongs), &progress);
    loading_ = false;
    // A player unplugged during the load leaves nothing half read: the tables are emptied,
    // the selector stays empty, and the next watch tick starts the search again.
    if (result.status == LoadResult::Status::Unreadable || databasePath().isEmpty()) {
        loadStatus_ = databasePath().isEmpty() ? Text::StatusUnplugged : Text::StatusCannotRead;
        forgetDatabase();
        return false;
    }
    loadStatus_ = Text::StatusOk;
    catalog_ = SongCatalog(db);
    search_ = SearchIndex(db);
    QSignalBlocker block(cmbPlaylists_); // filling the selector chooses nothing
    cmbPlaylists_->clear();
    for (const clsPlayList& playlist : db.Playlists)
        cmbPlaylists_->addItem(playlist.PlayListName);
    cmbPlaylists_->setCurrentIndex(-1);
    return true;
}

void frmStart::Timer1Tick() {
    MusicDatabase& db = state_.Database;
    // While a load or a list build yields, the tables it reads must stay: the next tick
    // looks again.
    if (busy_ > 0 || !PlayerDatabaseFile(db.PlayerDrive).isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    Timer1_->stop();
    songs_.SetRows({});
    setCopyEnabled(false);
    clearPlaylists();
    // The box is emptied until the player is back; what it held is what a close saves.
    if (!folderBeforeUnplug_)
        folderBeforeUnplug_ = txtBrowsePath_->text();
    txtBrowsePath_->clear();
    forgetDatabase();
    setPanel(2, text(Text::Songs) + QStringLiteral(" 0"));
    setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
    setPanel(1, text(Text::StatusUnplugged));
    setWindowTitle(WindowTitle);
    QApplication::restoreOverrideCursor();

    FindPlayerDrive();
    if (NoPlayerAnswer_ == frmNoiPod::Quit)
        return;
    const auto busy = markBusy();
    setPanel(1, text(Text::StatusLoading));
    setWindowTitle(QStringLiteral("Melvo - iPod found loading songs..."));
    yield();
    LoadPlayerData();
    setPanel(1, text(loadStatus_));
    setPanel(2, text(Text::Songs) + u' ' + QString::number(db.LoadedTrackCount));
    setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
    setWindowTitle(WindowTitle + QStringLiteral(" ~ ") + db.LibraryName);
    // The player is back as at the start: its master playlist shown, not an empty list
    // under "Songs: n".
    showFirstPlaylist();
}

void frmStart::forgetDatabase() {
    state_.Database.ClearTables();
    catalog_ = SongCatalog();
    search_ = SearchIndex();
}

void frmStart::RefreshFreeSpace() {
    setPanel(4, state_.FreeSpace.Refresh(txtBrowsePath_->text(), text(Text::Free)));
}

void frmStart::setPanel(int panel, const QString& text) {
    QLabel* label = panels_[static_cast<size_t>(panel - 1)];
    label->setText(text);
    // A screen reader says a panel's name: its whole text, or its word while it is empty.
    label->setAccessibleName(text.isEmpty() ? panelWords_[static_cast<size_t>(panel - 1)] : text);
}

void frmStart::setMenusEnabled(bool enabled) {
    for (QMenu* m : {mnuFile_, mnuTools_, mnuLanguage_, mnuHelp_})
        m->menuAction()->setEnabled(enabled);
}

void frmStart::clearPlaylists() {
    QSignalBlocker block(cmbPlaylists_);
    cmbPlaylists_->clear();
}
