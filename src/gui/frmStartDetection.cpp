// The main window's search for the player, the load that follows it, and the watch on the
// player's database that starts the search again when the player is unplugged.

#include "gui/OptionsPage.h"
#include "gui/ProgressBarProgress.h"
#include "gui/frmNoiPod.h"
#include "gui/frmStart.h"
#include "itunesdb/LoadiTunesDB.h"
#include "itunesdb/PlayerSongs.h"
#include "itunesdb/TagCache.h"
#include "itunesdb/TagScanner.h"
#include "platform/PlayerPath.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include <memory>

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

QStringList frmStart::searchPlaces() {
    // The folders opened from the no-player dialog first, the latest first, as --player's.
    QStringList drives = openedFolders_;
    if (driveSource_)
        drives += driveSource_();
    Drives_->clear();
    Drives_->addItems(drives);
    return drives;
}

QString frmStart::firstPlayerDrive() {
    return FirstPlayerRoot(searchPlaces(), [] {
        yield();
        yield();
    });
}

QStringList frmStart::FoundPlayers() {
    return PlayerRoots(searchPlaces());
}

void frmStart::fillPlayerMenu() {
    mnuPlayer_->clear();
    const QStringList players = FoundPlayers();
    for (const QString& root : players) {
        QAction* entry = mnuPlayer_->addAction(QDir::toNativeSeparators(root).replace(
            u'&', QStringLiteral("&&"))); // a folder's own '&' is no mnemonic
        entry->setCheckable(true);
        entry->setChecked(root == state_.Database.PlayerDrive);
        connect(entry, &QAction::triggered, this, [this, root] { ChoosePlayer(root); });
    }
    if (players.isEmpty())
        mnuPlayer_->addAction(text(Text::MissingIPod))->setEnabled(false);
}

void frmStart::ChoosePlayer(const QString& root) {
    // Not while a load or a list build reads the tables; the one shown stays chosen.
    if (busy_ > 0 || root == state_.Database.PlayerDrive || !IsPlayerRoot(root))
        return;
    state_.Database.PlayerDrive = root;
    state_.Database.LibraryName = QStringLiteral("iPod");
    Timer1_->start(); // the watch is on the chosen one now
    loadFoundPlayer();
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
    state_.FreeSpace.Refresh(picTab2_->Folder(), text(Text::Free));
}

bool frmStart::LoadPlayerData() {
    MusicDatabase& db = state_.Database;
    ProgressBarProgress progress(pBar_);
    const auto busy = markBusy();
    loading_ = true;
    forgetDatabase();
    // What an earlier opening read from the songs' tags is read beside the load.
    auto scanner = std::make_unique<TagScanner>(db.PlayerDrive, TagCache::FileFor(db.PlayerDrive));
    const PlayerLoad load = LoadPlayer(db, db.PlayerDrive, playerTexts(), &progress);
    loading_ = false;
    // A player unplugged during the load leaves nothing half read: the tables are emptied,
    // the selector stays empty, and the next watch tick starts the search again.
    if (load.Unreadable() || !IsPlayerRoot(db.PlayerDrive)) {
        loadStatus_ =
            !IsPlayerRoot(db.PlayerDrive) ? Text::StatusUnplugged : Text::StatusCannotRead;
        forgetDatabase();
        return false;
    }
    loadStatus_ = load.From == PlayerLoad::Source::Database ? Text::StatusOk : Text::StatusFromTags;
    // The songs no database names are read from their tags beside the window, and put into
    // the list as they come.
    if (!load.TagLocations.isEmpty()) {
        tagged_.emplace(db, load, playerTexts());
        scanner_ = scanner.release();
        scanner_->setParent(this);
        scanner_->SetBatchInterval(500);
        connect(scanner_, &TagScanner::Batch, this, &frmStart::songsFromTags);
        connect(scanner_, &TagScanner::Finished, this, [this] {
            applyTaggedSongs();
            setPanel(1, text(loadStatus_));
        });
        scanner_->Start(load.TagLocations);
        setPanel(1, text(Text::StatusReadingTags).arg(0).arg(load.TagLocations.size()));
    }
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
    if (busy_ > 0 || IsPlayerRoot(db.PlayerDrive))
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    Timer1_->stop();
    songs_.SetRows({});
    setCopyEnabled(false);
    clearPlaylists();
    // The box is emptied until the player is back; what it held is what a close saves.
    if (!folderBeforeUnplug_)
        folderBeforeUnplug_ = picTab2_->Folder();
    picTab2_->ClearFolder();
    forgetDatabase();
    setPanel(2, text(Text::Songs) + QStringLiteral(" 0"));
    setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
    setPanel(1, text(Text::StatusUnplugged));
    setWindowTitle(WindowTitle);
    QApplication::restoreOverrideCursor();

    FindPlayerDrive();
    if (NoPlayerAnswer_ == frmNoiPod::Quit)
        return;
    loadFoundPlayer();
}

void frmStart::loadFoundPlayer() {
    MusicDatabase& db = state_.Database;
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
    if (scanner_) {
        scanner_->Stop();
        scanner_->deleteLater();
    }
    tagged_.reset();
    pendingTags_.clear();
    state_.Database.ClearTables();
    catalog_ = SongCatalog();
    search_ = SearchIndex();
}

void frmStart::RefreshFreeSpace() {
    setPanel(4, state_.FreeSpace.Refresh(picTab2_->Folder(), text(Text::Free)));
}

void frmStart::setPanel(int panel, const QString& text) {
    QLabel* label = panels_[static_cast<size_t>(panel - 1)];
    label->setText(text);
    // A screen reader says a panel's name: its whole text, or its word while it is empty.
    label->setAccessibleName(text.isEmpty() ? panelWords_[static_cast<size_t>(panel - 1)] : text);
    if (panel == 1)
        nameProgressBar();
}

void frmStart::setMenusEnabled(bool enabled) {
    for (QMenu* m : {mnuFile_, mnuTools_, mnuPlayer_, mnuLanguage_, mnuHelp_})
        m->menuAction()->setEnabled(enabled);
}

void frmStart::clearPlaylists() {
    QSignalBlocker block(cmbPlaylists_);
    cmbPlaylists_->clear();
}

PlayerTexts frmStart::playerTexts() const {
    return PlayerTexts::From(state_.Language);
}

void frmStart::songsFromTags(const std::vector<TrackRecord>& records, int done, int total) {
    pendingTags_.insert(pendingTags_.end(), records.begin(), records.end());
    tagsDone_ = {done, total};
    applyTaggedSongs();
}

void frmStart::applyTaggedSongs() {
    if (!tagged_ || pendingTags_.empty())
        return;
    // While a load or a list build yields, the tables it reads must stay: later.
    if (busy_ > 0 || loading_) {
        QTimer::singleShot(100, this, &frmStart::applyTaggedSongs);
        return;
    }
    MusicDatabase& db = state_.Database;
    tagged_->Add(db, std::exchange(pendingTags_, {}));
    catalog_ = SongCatalog(db);
    search_ = SearchIndex(db);
    setPanel(2, text(Text::Songs) + u' ' + QString::number(db.LoadedTrackCount));
    if (cmbPlaylists_->currentIndex() >= 0) {
        // The list grows under the user's ticks and scrolling, which stay.
        QSet<QString> ticked;
        for (const SongRow& row : songs_.Rows())
            if (row.Ticked)
                ticked.insert(row.Texts[Column::SourcePath]);
        const int scrolled = LV_->verticalScrollBar()->value();
        const QString searched = XPSearch_->text();
        ++listBuild_; // a build in progress gives way
        songs_.SetRows(searched.isEmpty() ? catalog_.PlaylistRows(db, cmbPlaylists_->currentIndex())
                                          : SearchRows(catalog_, search_, searched));
        std::vector<int> again;
        for (int i = 0; i < songs_.rowCount(); ++i)
            if (ticked.contains(songs_.Rows()[static_cast<size_t>(i)].Texts[Column::SourcePath]))
                again.push_back(i);
        songs_.SetRowsTicked(again, true);
        UpdateSelectionTotals();
        LV_->verticalScrollBar()->setValue(scrolled);
    }
    if (tagsDone_.first < tagsDone_.second)
        setPanel(1, text(Text::StatusReadingTags).arg(tagsDone_.first).arg(tagsDone_.second));
}
