#include "gui/frmStart.h"

#include "gui/MessageDialog.h"
#include "gui/Named.h"
#include "gui/OptionsPage.h"
#include "gui/PlayerEject.h"
#include "gui/ScreenPlace.h"
#include "gui/ShellOpen.h"
#include "gui/WebLinks.h"
#include "gui/WindowStyle.h"
#include "gui/frmAbout.h"
#include "settings/SettingsStore.h"
#include "transfer/ProgramCopy.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>

namespace {

// Tabs at least as wide as the language asks (tab 1 keeps its design width).
class TabWidths final : public QTabBar {
public:
    using QTabBar::QTabBar;
    std::array<int, 2> minimum{60, 119};

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        if (index >= 0 && index < int(minimum.size()))
            size.setWidth(std::max(size.width(), minimum[size_t(index)]));
        return size;
    }
};

class TabStrip final : public QTabWidget {
public:
    explicit TabStrip(QWidget* parent) : QTabWidget(parent) { setTabBar(new TabWidths(this)); }
};

// A choice a screen reader names by its accessible name, its entry being its value. Qt's own
// names a choice on Linux by its entry, so that "Anna [All Songs]" stands where "Playlists"
// belongs; this class's name is what lets the factory below give it its own interface.
class NamedChoice final : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

class NamedChoiceAccessible final : public QAccessibleWidget {
public:
    explicit NamedChoiceAccessible(QComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->currentText();
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? box()->currentText() : own;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        return s;
    }
    // The list that opens, as in Qt's own.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction())
            return QAccessibleWidget::doAction(name);
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* namedChoiceFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedChoice::staticMetaObject.className()))
        return new NamedChoiceAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

// Shows the song list's plain values as the view needs them: ticked rows in bold, icon
// indexes as pictures.
class LVPresentation final : public QIdentityProxyModel {
public:
    LVPresentation(const ImageList& images, QObject* parent)
        : QIdentityProxyModel(parent), images_(images) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::FontRole) {
            if (!QIdentityProxyModel::data(index, SongListModel::BoldRole).toBool())
                return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role == Qt::DecorationRole) {
            const QVariant icon = QIdentityProxyModel::data(index, SongListModel::IconIndexRole);
            if (!icon.isValid())
                return {};
            const QIcon picture = images_.Icon(icon.toInt());
            return picture.isNull() ? images_.Blank() : picture;
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    const ImageList& images_;
};

} // namespace

frmStart::frmStart(ProgramState& state, SettingsStore& store, QString configPath, QWidget* parent)
    : QMainWindow(parent), state_(state), store_(store), configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(WindowTitle);

    ApplyWindowStyle(this);
    QAccessible::installFactory(namedChoiceFactory); // once: Qt keeps each factory once

    buildMenus();

    Tab1_ = Named(new TabStrip(this), "Tab1");
    picTab1_ = Named(new QWidget, "picTab1");
    buildSongsPage(picTab1_);
    picTab2_ = new OptionsPage(state_.Language, songs_);
    Tab1_->addTab(picTab1_, QStringLiteral("iPod"));
    Tab1_->addTab(picTab2_, QStringLiteral("Output Options"));
    Tab1_->setCurrentIndex(0);
    setCentralWidget(Tab1_);
    buildHiddenHelpers();

    buildStatusBar();
    buildTimers();
    connectSongList();
    connectOptions();
    SetFolderPicker([](QWidget* owner, const QString& title, const QString& startFolder) {
        return QFileDialog::getExistingDirectory(owner, title, startFolder);
    });
    setFocusOrder();
    nameForAccessibility();
    resize(960, 640);
    restoreWindowGeometry();
}

void frmStart::restoreWindowGeometry() {
    // Qt moves a restored window onto a screen there is when the screens are not those it
    // was stored on, but keeps any size, and makes a rectangle spanning int's whole range an
    // empty one below the screen. So the stored bytes are tried first on a window that is
    // never shown (nothing is drawn for it), and taken only when they fit a screen there is.
    const QByteArray stored = LoadWindowGeometry(store_);
    if (stored.isEmpty())
        return;
    QWidget trial;
    if (!trial.restoreGeometry(stored))
        return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (FitsAScreen(trial.normalGeometry(), screens))
        restoreGeometry(stored);
}

QAction* frmStart::action(QMenu* menu, const char* name, const QString& text, int icon) {
    QAction* a = menu->addAction(images_.Icon(icon), text);
    a->setObjectName(QLatin1String(name));
    return a;
}

void frmStart::buildMenus() {
    buildFileMenu();
    buildToolsMenu();
    // Filled as it opens: the players there are then.
    mnuPlayer_ = Named(menuBar()->addMenu(QStringLiteral("Player")), "mnuPlayer");
    connect(mnuPlayer_, &QMenu::aboutToShow, this, &frmStart::fillPlayerMenu);
    buildLanguageMenu();
    buildHelpMenu();
    // Nothing to act on until the player's songs are loaded.
    setMenusEnabled(false);
    buildWindowKeys();
    buildPopupMenu();
}

void frmStart::buildFileMenu() {
    mnuFile_ = Named(menuBar()->addMenu(QStringLiteral("File")), "mnuFile");
    QAction* exit = action(mnuFile_, "mnuExit", QStringLiteral("Exit"), ImageList::Exit);
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void frmStart::buildToolsMenu() {
    QMenu* tools = mnuTools_ = Named(menuBar()->addMenu(QStringLiteral("Tools")), "mnuTools");
    mnuStartCopy_ =
        action(tools, "mnuStartCopy", QStringLiteral("Start Copy"), ImageList::StartCopy);
    mnuStartCopy_->setEnabled(false);
    connect(action(tools, "mnuExportPlaylists", QStringLiteral("Export All Playlists")),
            &QAction::triggered, this, &frmStart::ExportPlaylists);
    tools->addSeparator();
    connect(
        action(tools, "mnuMelvoCopy", QStringLiteral("Copy Melvo > iPod"), ImageList::CopyToPlayer),
        &QAction::triggered, this, &frmStart::CopyProgramToPlayer);
    connect(action(tools, "mnuEject", QStringLiteral("Eject iPod")), &QAction::triggered, this,
            &frmStart::EjectPlayer);
}

void frmStart::buildLanguageMenu() {
    mnuLanguage_ = Named(menuBar()->addMenu(QStringLiteral("Language")), "mnuLanguage");
    mnuEnglish_ =
        action(mnuLanguage_, "mnuEnglish", QStringLiteral("English"), ImageList::LanguageEnglish);
    mnuGerman_ =
        action(mnuLanguage_, "mnuGerman", QStringLiteral("Deutsch"), ImageList::LanguageGerman);
    mnuSpanish_ =
        action(mnuLanguage_, "mnuSpanish", QStringLiteral("Español"), ImageList::LanguageSpanish);
    for (size_t i = 0; i < LanguageKeys.size(); ++i) {
        QAction* entry = languageEntries()[i];
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this,
                [this, i] { ChooseLanguage(QLatin1String(LanguageKeys[i])); });
    }
}

void frmStart::buildHelpMenu() {
    QMenu* help = mnuHelp_ = Named(menuBar()->addMenu(QStringLiteral("Help")), "mnuHelp");
    help->addAction(QStringLiteral("-Online Help"))->setEnabled(false);
    action(help, "mnuHelpDoc", QStringLiteral("Help"), ImageList::HelpDoc)->setEnabled(false);
    help->addAction(QStringLiteral("-Web Links"))->setEnabled(false);
    // The maker's site is the help there is (the no-player dialog's Help goes there too).
    QAction* webHelp =
        action(help, "mnuMelvoLink", QStringLiteral("Melvo on the Web"), ImageList::WebLink);
    webHelp->setShortcut(QKeySequence::HelpContents);
    connect(webHelp, &QAction::triggered, this, [] { OpenWithShell(WebLinks::MakerSite); });
    connect(action(help, "mnuFanSite", WebLinks::FanSiteName, ImageList::WebLink),
            &QAction::triggered, this, [] { OpenWithShell(WebLinks::FanSite); });
    help->addSeparator();
    connect(action(help, "mnudonate", QStringLiteral("Make a Donation"), ImageList::Donate),
            &QAction::triggered, this, [] { OpenWithShell(WebLinks::DonationPage); });
    help->addSeparator();
    connect(action(help, "mnuAbout", QStringLiteral("About"), ImageList::About),
            &QAction::triggered, this, [this] {
                frmAbout about(images_.Icon(ImageList::CopyToPlayer), WindowTitle, this);
                about.exec();
            });
}

void frmStart::buildWindowKeys() {
    // Keys of the window's own, with no menu entry: F10 opens the first menu, as the
    // desktops' programs do; Ctrl+F goes to the search box.
    const auto windowKey = [this](const QKeySequence& keys, auto slot) {
        auto* key = new QAction(this);
        key->setShortcut(keys);
        addAction(key);
        connect(key, &QAction::triggered, this, slot);
    };
    windowKey(QKeySequence(Qt::Key_F10), [this] {
        if (mnuFile_->menuAction()->isEnabled())
            menuBar()->setActiveAction(mnuFile_->menuAction());
    });
    windowKey(QKeySequence::Find, [this] {
        if (!XPSearch_->isEnabled())
            return;
        Tab1_->setCurrentIndex(0);
        XPSearch_->setFocus(Qt::ShortcutFocusReason);
        XPSearch_->selectAll();
    });
}

void frmStart::buildPopupMenu() {
    // The song list's context menu, shown on a right click into the list only.
    auto* popup = mnuPopup_ = new QMenu(this);
    popup->setObjectName(QStringLiteral("mnuPopup"));
    connect(action(popup, "mnuTick", QStringLiteral("Select")), &QAction::triggered, this,
            [this] { TickHighlighted(true); });
    connect(action(popup, "mnuUntick", QStringLiteral("Deselect")), &QAction::triggered, this,
            [this] { TickHighlighted(false); });
    popup->addSeparator();
    connect(action(popup, "mnuSelectall", QStringLiteral("Select All")), &QAction::triggered, this,
            [this] { TickAll(true); });
    connect(action(popup, "mnudeselectall", QStringLiteral("Deselect All")), &QAction::triggered,
            this, [this] { TickAll(false); });
    popup->addSeparator();
    connect(action(popup, "mnuPlayTrack", QStringLiteral("Play")), &QAction::triggered, this,
            &frmStart::PlayTrack);
}

void frmStart::buildSongsPage(QWidget* page) {
    auto* cmbPlaylists = cmbPlaylists_ = Named(new NamedChoice, "cmbPlaylists");
    cmbPlaylists->setMinimumContentsLength(24);
    cmbPlaylists->setSizeAdjustPolicy(QComboBox::AdjustToContents); // the longest name shows
    cmbPlaylists->setMaximumWidth(420);
    cmbPlaylists->setEnabled(false);
    auto* search = XPSearch_ = Named(new QLineEdit, "XPSearch");
    search->setEnabled(false);
    search->setClearButtonEnabled(true);

    LV_ = Named(new QTreeView, "LV");
    auto* presentation = new LVPresentation(images_, LV_);
    presentation->setSourceModel(&songs_);
    LV_->setModel(presentation);
    LV_->setRootIsDecorated(false);
    LV_->setUniformRowHeights(true);    // 40,000 rows stay quick
    LV_->setAlternatingRowColors(true); // the stripes: see StripeListRows
    LV_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LV_->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_->setAllColumnsShowFocus(true);
    LV_->setContextMenuPolicy(Qt::CustomContextMenu);
    LV_->setColumnHidden(9, true); // raw byte sizes: kept for sorting and copying, never shown
    LV_->header()->setStretchLastSection(false);

    auto* cmdCopy = cmdCopy_ = Named(new QPushButton(QStringLiteral("Start Copy")), "cmdCopy");
    cmdCopy->setIcon(images_.Icon(ImageList::StartCopy));
    cmdCopy->setEnabled(false);

    // The playlist choice starts where the language puts it (see ApplyLanguage): the
    // heading's width fills the room before it.
    Label2_ = NamedLabel("Label2", QStringLiteral("Playlists"));
    auto* searchHeading = NamedLabel("Label3", QStringLiteral("Search"));
    // Headings name their boxes (for screen readers too).
    Label2_->setBuddy(cmbPlaylists);
    searchHeading->setBuddy(search);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(Label2_);
    top->addWidget(cmbPlaylists);
    top->addSpacing(13); // 200 twips
    top->addWidget(searchHeading);
    top->addSpacing(2); // 30 twips
    top->addWidget(search, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdCopy); // its right edge stays on the list's right edge
    auto* column = new QVBoxLayout(page);
    column->addLayout(top);
    column->addWidget(LV_, 1);
    column->addLayout(bottom);
}

void frmStart::buildHiddenHelpers() {
    // Never shown, and kept for their names alone, which the tests look up: Drives lists the
    // places the last search for the player looked at (the search itself works on its own
    // list), and picalt stands for the stripe painter's canvas, which the view's alternating
    // rows make unneeded. Windows of their own that never show, so that they are neither laid
    // out nor in the tree a screen reader walks (a hidden control still is).
    Named(new QLabel(this, Qt::Window), "picalt");
    Drives_ = Named(new QComboBox(this), "Drives");
    Drives_->setWindowFlag(Qt::Window);
}

void frmStart::buildStatusBar() {
    QStatusBar* bar = Named(statusBar(), "sBar");
    const std::array<std::pair<const char*, QString>, 4> panels = {{
        {"sBarPanel1", QString()},
        {"sBarPanel2", QStringLiteral("Songs: 0")},
        {"sBarPanel3", QStringLiteral("Selected: 0")},
        {"sBarPanel4", QString()},
    }};
    for (size_t i = 0; i < panels.size(); ++i) {
        QLabel* panel = NamedLabel(panels[i].first, panels[i].second);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(110);
        bar->addWidget(panel, i == 0 ? 2 : 0);
        panels_[i] = panel;
    }
    pBar_ = Named(new QProgressBar, "pBar");
    pBar_->setTextVisible(false);
    pBar_->setRange(0, 100);
    pBar_->setValue(0);
    connect(pBar_, &QProgressBar::valueChanged, this, &frmStart::nameProgressBar);
    pBar_->hide();
    DockProgressBar();
}

void frmStart::buildTimers() {
    const auto timer = [this](const char* name, int periodMs) {
        QTimer* t = Named(new QTimer(this), name);
        t->setInterval(periodMs);
        return t;
    };
    Timer1_ = timer("Timer1", 3000);
    connect(Timer1_, &QTimer::timeout, this, &frmStart::Timer1Tick);
    tmrDiskSize_ = timer("tmrDiskSize", OutputFreeSpace::RefreshMs);
    connect(tmrDiskSize_, &QTimer::timeout, this, &frmStart::RefreshFreeSpace);
    tmrProgBarRedraw_ = timer("tmrProgBarRedraw", 1);
    connect(tmrProgBarRedraw_, &QTimer::timeout, this, [this] {
        DockProgressBar();
        tmrProgBarRedraw_->stop();
    });
    tmrProgBarRedraw_->start();
}

void frmStart::DockProgressBar() {
    // The fifth panel: the status bar's last, stretching area.
    if (pBar_->parentWidget() != statusBar())
        statusBar()->addWidget(pBar_, 3);
    pBar_->show();
}

bool frmStart::LoadLanguage(const QString& key) {
    if (!state_.Language.LoadLanguage(key))
        return false;
    (void)qtTexts_.Use(key); // without its catalogue Qt speaks English
    for (size_t i = 0; i < LanguageKeys.size(); ++i)
        languageEntries()[i]->setChecked(key == QLatin1String(LanguageKeys[i]));
    return true;
}

void frmStart::setFocusOrder() {
    // Tab follows each page.
    QWidget* const songsPage[] = {cmbPlaylists_, XPSearch_, LV_, cmdCopy_};
    for (size_t i = 1; i < std::size(songsPage); ++i)
        setTabOrder(songsPage[i - 1], songsPage[i]);
    picTab2_->SetFocusOrder();
}

void frmStart::SetOptionsTabWidth(int pixels) {
    if (auto* bar = dynamic_cast<TabWidths*>(Tab1_->tabBar()))
        bar->minimum[1] = pixels;
}

double frmStart::TwipsPerPixel() const {
    return 1440.0 / std::max(1, logicalDpiX());
}

WindowSettings frmStart::ControlSettings() const {
    WindowSettings s;
    picTab2_->PutInto(s);
    for (int c = 0; c < 9; ++c)
        s.ColumnWidths[size_t(c)] = LV_->columnWidth(c) * TwipsPerPixel();
    return s;
}

void frmStart::ShowSettings(const WindowSettings& s) {
    picTab2_->Show(s);
    for (int c = 0; c < 9; ++c) {
        const double px = s.ColumnWidths[size_t(c)] / TwipsPerPixel();
        if (std::isfinite(px) && px >= 0 && px < 100000)
            LV_->setColumnWidth(c, static_cast<int>(std::lround(px)));
    }
}

void frmStart::LoadSettings() {
    WindowSettings s = ControlSettings();
    ::LoadSettings(store_, configPath_, s);
    ShowSettings(s);
    settingsLoaded_ = true;
    folderBeforeUnplug_.reset();
}

bool frmStart::SaveSettings() {
    // Controls that never showed the stored values hold only the start-up defaults: saving
    // them would wipe what the user chose in an earlier run.
    if (!settingsLoaded_)
        return true;
    WindowSettings s = ControlSettings();
    if (folderBeforeUnplug_)
        s.OutputFolder = *folderBeforeUnplug_;
    return ::SaveSettings(store_, configPath_, s);
}

void frmStart::setDesignColumnWidths() {
    // Columns 1 to 4 share what the fixed columns leave of the list's width.
    const double tpp = TwipsPerPixel();
    const double listTwips = LV_->viewport()->width() * tpp;
    const double shared = std::max(0.0, static_cast<double>(float(listTwips - 3169) / 3.0f));
    for (int c = 0; c < 4; ++c)
        LV_->setColumnWidth(c, static_cast<int>(std::lround(shared / tpp)));
    for (int c = 4; c < 8; ++c)
        LV_->setColumnWidth(c, static_cast<int>(std::lround(1000 / tpp)));
    LV_->setColumnWidth(8, static_cast<int>(std::lround(3528 / tpp)));
}

void frmStart::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        setDesignColumnWidths();
        // The search for the player starts once the window is on screen.
        QTimer::singleShot(0, this, &frmStart::FormActivate);
    }
}

void frmStart::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (tmrProgBarRedraw_)
        tmrProgBarRedraw_->start();
}

void frmStart::closeEvent(QCloseEvent* event) {
    // Nothing to offer when the store cannot be written: the program ends all the same.
    (void)SaveSettings();
    // Like the choices, only in a run that loaded them: a Quit before the player was
    // found leaves the store as it was. A window never shown has no place of its own.
    if (settingsLoaded_ && shownOnce_)
        (void)SaveWindowGeometry(store_, saveGeometry());
    // The program ends by leaving its event loop: its own process only, never another
    // running copy that may be in the middle of a transfer.
    event->accept();
}

void frmStart::EjectPlayer() {
    // The watch waits for the answer: while the service works the window repaints, and an
    // unplug noticed then would open the no-player dialog under this question.
    const bool watching = Timer1_->isActive();
    Timer1_->stop();
    const auto watchAgain = qScopeGuard([this, watching] {
        if (watching)
            Timer1_->start();
    });
    PlayerEject disks;
    const EjectResult result = disks.Eject(state_.Database.PlayerDrive, [this] {
        if (scanner_) // nothing of the player may stay open
            scanner_->Stop();
    });
    ShowMessageBox(this,
                   result.What == EjectResult::Outcome::Ejected ? QMessageBox::Information
                                                                : QMessageBox::Warning,
                   text(Text::EjectIPod), PlayerEject::Message(state_.Language, result));
}

void frmStart::CopyProgramToPlayer() {
    const ProgramCopy result = CopyProgramTo(state_.Database.PlayerDrive);
    if (result.What == ProgramCopy::Outcome::NoPlayer)
        ShowMessageBox(this, QMessageBox::Information, text(Text::MissingIPod),
                       text(Text::NoIPodFound));
    else if (result.What == ProgramCopy::Outcome::Failed)
        ShowMessageBox(this, QMessageBox::Critical, WindowTitle,
                       text(Text::ErrorsWhileExtracting) + QStringLiteral("\n\n") + result.Message);
}

#include "frmStart.moc"
