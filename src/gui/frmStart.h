#pragma once

#include "gui/ImageList.h"
#include "gui/MessageDialog.h"
#include "gui/ProgramState.h"
#include "itunesdb/PlayerSongs.h"
#include "itunesdb/TagScanner.h"
#include "settings/KnownLanguages.h"
#include "settings/Settings.h"
#include "songlist/SearchFilter.h"
#include "songlist/SongCatalog.h"
#include "songlist/SongListModel.h"

#include "Version.h"

#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QScopeGuard>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class OptionsPage;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeView;
class SettingsStore;

// The main window: the menus, the songs page, the status bar, the search for the player and
// the start of a transfer; the options page is a widget of its own (OptionsPage). Each
// control carries its name as its objectName, so the tests and accessibility tools find
// them by that name.
class frmStart : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString WindowTitle =
        QStringLiteral("Melvo - Build: ") + QLatin1String(MelvoVersion);

    // configPath is where the column widths are kept (see ConfigFilePath).
    frmStart(ProgramState& state, SettingsStore& store, QString configPath,
             QWidget* parent = nullptr);

    // Fills the language table and puts the check mark on that language's menu entry
    // alone; an unknown key changes neither.
    bool LoadLanguage(const QString& key);

    // The stored output folder, format, unattended choices and column widths into the
    // controls, and back.
    void LoadSettings();
    bool SaveSettings();
    WindowSettings ControlSettings() const;
    void ShowSettings(const WindowSettings& settings);

    // The loaded language's texts into every control, and the places that depend on it.
    void ApplyLanguage();
    // The language menu: load, show and store the language.
    void ChooseLanguage(const QString& key);
    // At start: the stored language, or the first-run question when none is stored, which
    // offers the system's language first.
    void StartLanguage(const QLocale& system = QLocale::system());

    // Puts the progress bar into the fifth status panel and shows it.
    void DockProgressBar();

    // Where the search for the player looks, in order: the folders opened from the
    // no-player dialog, the folders of --player, then the mounted volumes. A window without a
    // source never searches (tests that only look at the window).
    using DriveSource = std::function<QStringList()>;
    void SetDriveSource(DriveSource source) { driveSource_ = std::move(source); }

    // The first activation: search for the player, load it, show the master playlist.
    void FormActivate();
    // Searches the drives until one holds a player (then PlayerDrive is set and Timer1
    // runs) or the user quits in the no-player dialog (then the window is closed).
    void FindPlayerDrive();
    // Loads the player's database and fills the playlist selector; false when the player
    // went away during the load (the tables are then empty).
    bool LoadPlayerData();
    // Timer1: notices that the player's database is gone, resets the window and searches.
    void Timer1Tick();
    void RefreshFreeSpace();

    // The rows of playlist p; an index that names no playlist leaves the list empty.
    void BuildSongList(int p);
    // The playlist selector's entry p chosen, by the user or by the program.
    void PlaylistChosen(int p);
    void SearchChanged(const QString& text);
    // The recount after every change of ticks.
    void UpdateSelectionTotals();
    // The list's commands: tick or untick the highlighted rows, or every row.
    void TickHighlighted(bool ticked);
    void TickAll(bool ticked);
    void PlayTrack();

    // How the window's dialogs ask for a folder: the no-player dialog and Browse.
    void SetFolderPicker(FolderPicker picker);
    void StartCopy();

    // Tools > Copy Melvo > iPod: the program's own file into the player's root.
    void CopyProgramToPlayer();
    // Tools > Eject iPod: the player's drive unmounted and powered off, and what came of it
    // told.
    void EjectPlayer();
    // The Player menu: every place of the search that holds a player, in the search's order
    // (those with a database first); choosing one loads it.
    QStringList FoundPlayers();
    void ChoosePlayer(const QString& root);
    // Tools > Export All Playlists: every playlist of the player, as its songs lie in the
    // output folder.
    void ExportPlaylists();

    SongListModel& Songs() { return songs_; }
    const ImageList& Images() const { return images_; }
    double TwipsPerPixel() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* action(QMenu* menu, const char* name, const QString& text, int icon = 0);
    void buildMenus();
    void buildFileMenu();
    void buildToolsMenu();
    void buildLanguageMenu();
    void buildHelpMenu();
    void buildWindowKeys();
    void buildPopupMenu();
    // Letters for Alt: among the menu titles, and among each menu's entries.
    void giveMnemonics();
    // The size, place and state the window had when it last closed.
    void restoreWindowGeometry();
    void buildSongsPage(QWidget* page);
    void buildHiddenHelpers();
    void buildStatusBar();
    void buildTimers();
    void setDesignColumnWidths();
    void connectSongList();
    void connectOptions();
    void setPanel(int panel, const QString& text);
    // The places the search looks at, in order, listed in Drives.
    QStringList searchPlaces();
    // The first of the search's places that holds a player's database.
    QString firstPlayerDrive();
    void fillPlayerMenu();
    // The player's songs into the window after the search found it: the load, its panels
    // and caption, the master playlist.
    void loadFoundPlayer();
    void setCopyEnabled(bool enabled);
    void setMenusEnabled(bool enabled);
    void clearPlaylists();
    // Selects the selector's first entry, the master playlist, and shows its songs: the end
    // of every load.
    void showFirstPlaylist();
    // Empties the tables and what was made from them: the player is gone.
    void forgetDatabase();
    PlayerTexts playerTexts() const;
    void songsFromTags(const std::vector<TrackRecord>& records, int done, int total);
    void applyTaggedSongs();
    void setCaption(const char* name, const QString& text);
    // The language menu's entries, in the order of LanguageKeys.
    std::array<QAction*, LanguageKeys.size()> languageEntries() const {
        return {mnuEnglish_, mnuGerman_, mnuSpanish_};
    }
    void SetOptionsTabWidth(int pixels);
    void nameForAccessibility();
    // The status bar's progress bar named by what it shows: the work the status panel
    // names, or that it is done.
    void nameProgressBar();
    void setFocusOrder();
    QString text(Text entry) const { return state_.Language.Entry(entry); }
    // Busy until the returned guard goes.
    [[nodiscard]] auto markBusy() {
        ++busy_;
        return qScopeGuard([this] { --busy_; });
    }

    ProgramState& state_;
    SettingsStore& store_;
    QString configPath_;
    ImageList images_;
    SongListModel songs_;
    QtTexts qtTexts_; // Qt's own texts in the loaded language
    bool shownOnce_ = false;
    bool activated_ = false;
    bool loading_ = false; // the database is being written: no list is built from it
    // A load, a list build or the start's tail is under way (they yield): the watch waits
    // for them, so nothing replaces the tables they read.
    int busy_ = 0;
    quint64 listBuild_ = 0;       // counts the builds of the list: a newer one supersedes
    bool settingsLoaded_ = false; // only what was loaded in this run is saved
    // What the output folder box held when an unplug emptied it, until a load fills it again.
    std::optional<QString> folderBeforeUnplug_;
    int NoPlayerAnswer_ = 0;
    DriveSource driveSource_;
    QStringList openedFolders_; // from the no-player dialog, the latest first
    FolderPicker folderPicker_;
    SongCatalog catalog_;
    SearchIndex search_;
    // The songs being read from their tags, and what has come and is not in the tables yet.
    QPointer<TagScanner> scanner_;
    std::optional<TaggedSongs> tagged_;
    std::vector<TrackRecord> pendingTags_;
    std::pair<int, int> tagsDone_{0, 0}; // files looked at, of how many
    // What the last load found, as the status panel says it: "Status: Ok", "Status: Cannot
    // read…" (the database is there but could not be read) or "Status: iPod Unplugged".
    Text loadStatus_ = Text::StatusOk;

    QMenu* mnuLanguage_ = nullptr;
    QAction* mnuEnglish_ = nullptr;
    QAction* mnuGerman_ = nullptr;
    QAction* mnuSpanish_ = nullptr;
    QTabWidget* Tab1_ = nullptr;
    QWidget* picTab1_ = nullptr;
    OptionsPage* picTab2_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuTools_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QMenu* mnuPopup_ = nullptr;
    QMenu* mnuPlayer_ = nullptr;
    QAction* mnuStartCopy_ = nullptr;
    QTreeView* LV_ = nullptr;
    QLabel* Label2_ = nullptr; // the playlist choice's heading
    QComboBox* cmbPlaylists_ = nullptr;
    QComboBox* Drives_ = nullptr;
    QLineEdit* XPSearch_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    std::array<QString, 4> panelWords_; // what a screen reader calls an empty panel
    QTimer* Timer1_ = nullptr;
    QTimer* tmrDiskSize_ = nullptr;
    QProgressBar* pBar_ = nullptr;
    QTimer* tmrProgBarRedraw_ = nullptr;
};
