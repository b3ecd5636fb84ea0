// The song list in the window: ticking by clicks and keys, the counters, sorting by the
// headers, the context menu, Play, the search box and the playlist selector.

#include "support/MainWindow.h"
#include "support/PlayerFolder.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace dbwriter;

namespace {

// Stands in for the desktop's file opener.
class Opened : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

// A loaded window: five songs, a playlist that repeats one and names a missing one.
struct LoadedWindow : MainWindow {
    LoadedWindow() {
        writePlayer(
            folder("e"),
            {song(1, "Hey Jude", "The Beatles", "1", "Pop", "F00/AAAA.mp3"),
             song(2, "Heartbeat", "Buddy Holly", "Hits", "Rock", "F01/BBBB.m4a", 0),
             song(3, "Beat It", "Michael Jackson", "Thriller", "Pop", "F02/CCCC.wav"),
             song(4, "Clip", "Nobody", "Films", "Video", "F03/DDDD.mov", 7000, "a film"),
             song(5, "Escape", "Nobody", "..", "Beat", "../../outside.mp3")},
            {mhyp("Anna", {1, 2, 3, 4, 5}), mhyp("Mixed", {3, 3, 42, 1}), mhyp("Empty", {})});
        drives = {folder("e")};
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QTRY_VERIFY(find<QComboBox>("cmbPlaylists")->isEnabled());
    }

    QTreeView* lv() { return find<QTreeView>("LV"); }
    QPoint cell(int row, int column = Column::Artist) {
        return lv()->visualRect(lv()->model()->index(row, column)).center();
    }
    void click(int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(lv()->viewport(), Qt::LeftButton, mods, cell(row));
    }
    void clickBox(int row) {
        const QRect r = lv()->visualRect(lv()->model()->index(row, Column::Title));
        QTest::mouseClick(lv()->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() + 10, r.center().y()));
    }
    void rightClick(QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, lv()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(lv()->viewport(), &event);
    }
    void clickHeader(int column) {
        QHeaderView* h = lv()->header();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(column) + 10, h->height() / 2));
    }
    void choosePlaylist(int p) {
        auto* box = find<QComboBox>("cmbPlaylists");
        box->setCurrentIndex(p);
        emit box->activated(p);
    }
    std::vector<bool> ticks() {
        std::vector<bool> t;
        for (const SongRow& r : rows())
            t.push_back(r.Ticked);
        return t;
    }
    bool copyEnabled() {
        const bool button = find<QPushButton>("cmdCopy")->isEnabled();
        const bool menu = find<QAction>("mnuStartCopy")->isEnabled();
        return button && menu;
    }
};

} // namespace

class TestSongListView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void rowsIconsAndStripes() {
        LoadedWindow w;
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It", "Clip", "Escape"}));
        QAbstractItemModel* shown = w.lv()->model();
        QCOMPARE(shown->index(3, Column::SourcePath).data().toString(),
                 "\\iPod_Control\\Music\\F03\\DDDD.mov");
        QCOMPARE(shown->index(3, Column::Bytes).data().toString(), "7000");
        QCOMPARE(shown->index(3, Column::FileSize).data().toString(), "6.84 KB");
        QCOMPARE(shown->index(3, Column::Title).data(Qt::ToolTipRole).toString(), "a film");
        QVERIFY(shown->index(0, Column::Title).data(Qt::ToolTipRole).isNull());
        QCOMPARE(w.rows()[3].Icon, 21);
        QCOMPARE(w.rows()[1].Icon, 20);
        QVERIFY(!shown->index(0, Column::Title).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(w.rows()[4].Icon, 2);
        // White, then light blue.
        QVERIFY(w.lv()->alternatingRowColors());
        QCOMPARE(w.lv()->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(w.lv()->palette().color(QPalette::AlternateBase), QColor(220, 234, 245));

        w.choosePlaylist(1); // 3, 3, a missing 42, 1
        QCOMPARE(w.titles(), QStringList({"Beat It", "Beat It", "Hey Jude"}));
        QCOMPARE(w.panel(1), "Status: Ok");
        w.choosePlaylist(2);
        QCOMPARE(w.rows().size(), size_t(0));
        QCOMPARE(w.panel(1), "Status: Ok");
    }

    void oneClickTicksOnce() {
        LoadedWindow w;
        w.click(2);
        QCOMPARE(w.ticks(), std::vector<bool>({false, false, true, false, false}));
        QCOMPARE(w.panel(3), "Selected:1");
        QVERIFY(w.copyEnabled());
        QVERIFY(w.lv()->model()->index(2, Column::Track).data(Qt::FontRole).value<QFont>().bold());
        w.click(2);
        QCOMPARE(w.ticks(), std::vector<bool>(5, false));
        QCOMPARE(w.panel(3), "Selected: 0");
        QVERIFY(!w.copyEnabled());

        // On the box itself: one tick, and that row becomes the current one.
        w.click(0);
        w.clickBox(3);
        QCOMPARE(w.ticks(), std::vector<bool>({true, false, false, true, false}));
        QCOMPARE(w.lv()->currentIndex().row(), 3);
        QCOMPARE(w.panel(3), "Selected:2");

        // Ctrl-click highlights more rows and ticks each one clicked.
        w.click(1, Qt::ControlModifier);
        QCOMPARE(w.ticks(), std::vector<bool>({true, true, false, true, false}));
        QCOMPARE(w.lv()->selectionModel()->selectedRows().size(), 2);

        // The space bar ticks the current row.
        QTest::keyClick(w.lv(), Qt::Key_Space);
        QCOMPARE(w.ticks(), std::vector<bool>({true, false, false, true, false}));
    }

    void sizelessTicksKeepCopyOff() {
        LoadedWindow w;
        w.click(1); // Heartbeat has 0 bytes
        QCOMPARE(w.panel(3), "Selected:1");
        QVERIFY(!w.copyEnabled());
    }

    void headersSort() {
        LoadedWindow w;
        w.clickHeader(Column::Title);
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Escape", "Clip", "Beat It"}));
        w.clickHeader(Column::Title);
        QCOMPARE(w.titles(), QStringList({"Beat It", "Clip", "Escape", "Heartbeat", "Hey Jude"}));
        w.clickHeader(Column::Artist);
        w.clickHeader(Column::Album);
        QCOMPARE(w.titles(), QStringList({"Escape", "Hey Jude", "Clip", "Heartbeat", "Beat It"}));
        w.clickHeader(Column::Album);
        QCOMPARE(w.titles(), QStringList({"Beat It", "Heartbeat", "Clip", "Hey Jude", "Escape"}));
        QCOMPARE(w.lv()->header()->sortIndicatorSection(), int(Column::Album));
        QCOMPARE(w.lv()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        // A playlist chosen later comes in the same order.
        w.choosePlaylist(1);
        QCOMPARE(w.titles(), QStringList({"Beat It", "Beat It", "Hey Jude"}));
    }

    void contextMenuAndCtrlA() {
        LoadedWindow w;
        w.rightClick(w.cell(0));
        auto* popup = w.find<QMenu>("mnuPopup");
        QTRY_VERIFY(popup->isVisible());
        popup->close();

        QItemSelectionModel* highlight = w.lv()->selectionModel();
        for (int row : {1, 3})
            highlight->select(w.lv()->model()->index(row, Column::Title),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w.find<QAction>("mnuTick")->trigger();
        QCOMPARE(w.ticks(), std::vector<bool>({false, true, false, true, false}));
        QCOMPARE(w.panel(3), "Selected:2");
        w.find<QAction>("mnuUntick")->trigger();
        QCOMPARE(w.ticks(), std::vector<bool>(5, false));
        QCOMPARE(w.panel(3), "Selected: 0");
        QCOMPARE(highlight->selectedRows().size(), 2); // highlights stay as they were

        w.find<QAction>("mnuSelectall")->trigger();
        QCOMPARE(w.ticks(), std::vector<bool>(5, true));
        QCOMPARE(w.panel(3), "Selected:5");
        QVERIFY(w.copyEnabled());
        w.find<QAction>("mnudeselectall")->trigger();
        QCOMPARE(w.ticks(), std::vector<bool>(5, false));
        QVERIFY(!w.copyEnabled());

        // Ctrl+A wherever the focus is; Ctrl+Shift+A does nothing.
        QTest::keyClick(w.lv(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.ticks(), std::vector<bool>(5, false));
        QTest::keyClick(w.lv(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.ticks(), std::vector<bool>(5, true));
        QCOMPARE(highlight->selectedRows().size(), 2);
        w.window.TickAll(false);
        QTest::keyClick(w.find<QComboBox>("cmbPlaylists"), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.panel(3), "Selected:5");
        // In the text boxes too, which still select their own text.
        for (const char* box : {"XPSearch", "txtBrowsePath", "txtOutPutFormat"}) {
            w.window.TickAll(false);
            auto* edit = w.find<QLineEdit>(box);
            edit->setText("e"); // a search that keeps some rows
            edit->deselect();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(w.panel(3), QString("Selected:%1").arg(w.rows().size()));
            QCOMPARE(edit->selectedText(), "e");
            edit->clear();
        }
    }

    void playOpensTheSongOnThePlayer() {
        LoadedWindow w;
        Opened opened;
        QDesktopServices::setUrlHandler("file", &opened, "open");
        auto* play = w.find<QAction>("mnuPlayTrack");
        play->trigger(); // no highlighted row: nothing
        QVERIFY(opened.urls.isEmpty());
        w.click(3);
        play->trigger();
        QCOMPARE(opened.urls.size(), 1);
        QCOMPARE(opened.urls[0].toLocalFile(), w.folder("e") + "/iPod_Control/Music/F03/DDDD.mov");
        // A location that leaves the player is not opened.
        w.click(4);
        play->trigger();
        QCOMPARE(opened.urls.size(), 1);
        QDesktopServices::unsetUrlHandler("file");

        w.choosePlaylist(2);
        w.rightClick(QPoint(5, 5));
        QTRY_VERIFY(w.find<QMenu>("mnuPopup")->isVisible()); // also on an empty list
        w.find<QMenu>("mnuPopup")->close();
        play->trigger();
    }

    void searchBoxAndPlaylistSelector() {
        LoadedWindow w;
        auto* search = w.find<QLineEdit>("XPSearch");
        QTest::keyClicks(search, "beat");
        QCOMPARE(w.titles(), QStringList({"Hey Jude", "Heartbeat", "Beat It", "Escape"}));
        QVERIFY(w.lv()->model()->index(1, Column::Title).data(Qt::ToolTipRole).isNull());
        w.click(0);
        QCOMPARE(w.panel(3), "Selected:1");
        QTest::keyClicks(search, " ");
        QCOMPARE(w.titles(), QStringList({"Beat It"}));
        // The ticks went with the old rows, and the counters say so.
        QCOMPARE(w.ticks(), std::vector<bool>({false}));
        QCOMPARE(w.panel(3), "Selected: 0");
        QVERIFY(!w.copyEnabled());

        search->clear();
        QCOMPARE(w.rows().size(), size_t(5)); // the master playlist again

        w.choosePlaylist(1);
        QTest::keyClicks(search, "JUDE");
        QCOMPARE(w.titles(), QStringList({"Hey Jude"}));
        search->clear();
        QCOMPARE(w.rows().size(), size_t(5)); // master, though "Mixed" is chosen

        QTest::keyClicks(search, "zzz");
        QCOMPARE(w.rows().size(), size_t(0));
        w.choosePlaylist(1); // empties the search and shows the playlist
        QVERIFY(search->text().isEmpty());
        QCOMPARE(w.titles(), QStringList({"Beat It", "Beat It", "Hey Jude"}));

        // A search typed while a playlist's list is built takes over, and the build that
        // gave way leaves no "Building List…" behind it.
        QTimer::singleShot(0, search, [search] { search->setText("jude"); });
        w.choosePlaylist(0);
        QCOMPARE(w.titles(), QStringList({"Hey Jude"}));
        QCOMPARE(w.panel(1), "Status: Ok");
    }

    void countersFollowRebuilds() {
        LoadedWindow w;
        w.window.TickAll(true);
        QCOMPARE(w.panel(3), "Selected:5");
        w.choosePlaylist(1);
        QCOMPARE(w.panel(3), "Selected: 0");
        QVERIFY(!w.copyEnabled());
    }
};

QTEST_MAIN(TestSongListView)
#include "test_songlist_view.moc"
