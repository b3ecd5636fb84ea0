// The main window: every control by its name, the start state, the language mark, the
// settings passing through the controls, and its size and place from one run to the next.

#include "gui/ScreenPlace.h"
#include "gui/frmStart.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <climits>

namespace {

struct Window {
    QTemporaryDir dir;
    ProgramState state;
    SettingsStore store{dir.filePath("store.ini")};
    frmStart window{state, store, dir.filePath("config.cfg")};

    template <typename T> T* find(const char* name) {
        return window.findChild<T*>(QLatin1String(name));
    }
    QAction* action(const char* name) { return find<QAction>(name); }
};

} // namespace

class TestFrmStart : public QObject {
    Q_OBJECT

private slots:
    void everyControlByName() {
        Window w;
        QCOMPARE(w.window.objectName(), "frmStart");
        for (const char* name : {"mnuFile", "mnuTools", "mnuLanguage", "mnuHelp", "mnuPopup"})
            QVERIFY2(w.find<QMenu>(name), name);
        for (const char* name :
             {"mnuExit", "mnuStartCopy", "mnuMelvoCopy", "mnuEnglish", "mnuGerman", "mnuSpanish",
              "mnuHelpDoc", "mnuMelvoLink", "mnuFanSite", "mnudonate", "mnuAbout", "mnuTick",
              "mnuUntick", "mnuSelectall", "mnudeselectall", "mnuPlayTrack"})
            QVERIFY2(w.action(name), name);
        QVERIFY(w.find<QTabWidget>("Tab1"));
        for (const char* name : {"picTab1", "picTab2"})
            QVERIFY2(w.find<QWidget>(name), name);
        for (const char* name : {"cmbPlaylists", "Drives"})
            QVERIFY2(w.find<QComboBox>(name), name);
        for (const char* name : {"XPSearch", "txtBrowsePath", "txtOutPutFormat"})
            QVERIFY2(w.find<QLineEdit>(name), name);
        for (const char* name : {"cmdCopy", "cmdBrowse", "XPBDefault"})
            QVERIFY2(w.find<QPushButton>(name), name);
        for (const char* name : {"Frame1", "FramePlaylist", "Xpgroupbox1"})
            QVERIFY2(w.find<QGroupBox>(name), name);
        for (const char* name : {"chkExportPlaylists", "optUnattended"})
            QVERIFY2(w.find<QCheckBox>(name), name);
        for (const char* name : {"unOpt1", "unOpt2"})
            QVERIFY2(w.find<QRadioButton>(name), name);
        for (const char* name :
             {"Label2", "Label3", "Label4", "Label7", "lblOutputPreView", "lblLabel1", "picalt"})
            QVERIFY2(w.find<QLabel>(name), name);
        for (int i = 0; i < 6; ++i) {
            QVERIFY(w.find<QLabel>(qPrintable(QStringLiteral("lblOPformat%1").arg(i))));
            QVERIFY(w.find<QLabel>(qPrintable(QStringLiteral("txtFormat%1").arg(i))));
        }
        QCOMPARE(w.find<QLabel>("lblOPformat4")->text(), "%n");
        QCOMPARE(w.find<QLabel>("txtFormat4")->text(), "- Track Nr");

        auto* lv = w.find<QTreeView>("LV");
        QVERIFY(lv);
        QCOMPARE(lv->model()->columnCount(), 10);
        QCOMPARE(lv->model()->headerData(Column::SourcePath, Qt::Horizontal).toString(),
                 "Source Path");
        QVERIFY(lv->isColumnHidden(Column::Bytes));
        QCOMPARE(w.window.Images().Icon(ImageList::Mp3).isNull(), false);
        QCOMPARE(w.window.Images().Icon(ImageList::Movie).isNull(), false);

        auto* bar = w.find<QStatusBar>("sBar");
        QVERIFY(bar);
        for (const char* name : {"sBarPanel1", "sBarPanel2", "sBarPanel3", "sBarPanel4"})
            QCOMPARE(w.find<QLabel>(name)->parentWidget(), bar);
        QCOMPARE(w.find<QProgressBar>("pBar")->parentWidget(), bar);
    }

    void startState() {
        Window w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QCOMPARE(w.window.windowTitle(), "Melvo - Build: " + QLatin1String(MelvoVersion));
        QCOMPARE(w.window.palette().color(QPalette::Window), QColor(240, 240, 224));
        for (const char* name : {"mnuFile", "mnuTools", "mnuLanguage", "mnuHelp"})
            QVERIFY2(!w.find<QMenu>(name)->menuAction()->isEnabled(), name);
        QVERIFY(!w.action("mnuStartCopy")->isEnabled());
        QVERIFY(!w.find<QPushButton>("cmdCopy")->isEnabled());
        QVERIFY(!w.action("mnuHelpDoc")->isEnabled());
        // The context menu belongs to the list, not to the menu bar.
        QVERIFY(!w.window.menuBar()->actions().contains(w.find<QMenu>("mnuPopup")->menuAction()));

        QVERIFY(w.find<QWidget>("picTab1")->isVisible());
        QVERIFY(!w.find<QWidget>("picTab2")->isVisible());
        w.find<QTabWidget>("Tab1")->setCurrentIndex(1);
        QVERIFY(!w.find<QWidget>("picTab1")->isVisible());
        QVERIFY(w.find<QWidget>("picTab2")->isVisible());

        QVERIFY(w.find<QRadioButton>("unOpt1")->isChecked());
        QVERIFY(!w.find<QCheckBox>("chkExportPlaylists")->isChecked());
        QVERIFY(w.find<QProgressBar>("pBar")->isVisible());

        const QList<std::tuple<const char*, int, bool>> timers = {
            {"Timer1", 3000, false},
            {"tmrDiskSize", 2000, false},
            {"tmrTextFormat", 500, false},
        };
        for (const auto& [name, period, active] : timers) {
            QTimer* t = w.find<QTimer>(name);
            QVERIFY2(t, name);
            QCOMPARE(t->interval(), period);
            QCOMPARE(t->isActive(), active);
        }
        // The progress bar's re-dock runs once after start, then switches itself off.
        QTimer* redraw = w.find<QTimer>("tmrProgBarRedraw");
        QCOMPARE(redraw->interval(), 1);
        QTRY_VERIFY(!redraw->isActive());
    }

    void languageMark() {
        Window w;
        QVERIFY(w.window.LoadLanguage("german"));
        QCOMPARE(w.state.Language.Entry(0), "german");
        QVERIFY(w.action("mnuGerman")->isChecked());
        QVERIFY(!w.action("mnuEnglish")->isChecked());
        QVERIFY(!w.action("mnuSpanish")->isChecked());
        // An unknown key (or a known one in other letter case) changes neither table nor mark.
        QVERIFY(!w.window.LoadLanguage("Spanish"));
        QCOMPARE(w.state.Language.Entry(0), "german");
        QVERIFY(w.action("mnuGerman")->isChecked());
        QVERIFY(w.window.LoadLanguage("spanish"));
        QVERIFY(w.action("mnuSpanish")->isChecked());
        QVERIFY(!w.action("mnuGerman")->isChecked());
    }

    void settingsThroughTheControls() {
        QTemporaryDir folder;
        WindowSettings saved;
        {
            Window w;
            w.window.show();
            w.window.LoadSettings(); // only what was loaded is saved
            WindowSettings s = w.window.ControlSettings();
            s.OutputFolder = folder.path();
            s.OutputFormat = QStringLiteral("%y\\%t");
            s.Unattended = true;
            s.Rule = ExistingFile::Skip;
            for (int c = 0; c < 9; ++c)
                s.ColumnWidths[size_t(c)] = 1500 + 150 * c;
            w.window.ShowSettings(s);
            QVERIFY(w.window.SaveSettings());
            saved = w.window.ControlSettings();

            frmStart again(w.state, w.store, w.dir.filePath("config.cfg"));
            again.LoadSettings();
            const WindowSettings loaded = again.ControlSettings();
            QCOMPARE(loaded.OutputFolder, folder.path());
            QCOMPARE(loaded.OutputFormat, "%y\\%t");
            QVERIFY(loaded.Unattended);
            QCOMPARE(loaded.Rule, ExistingFile::Skip);
            for (int c = 0; c < 9; ++c)
                QVERIFY(std::abs(loaded.ColumnWidths[size_t(c)] - saved.ColumnWidths[size_t(c)]) <
                        again.TwipsPerPixel());
            QVERIFY(!again.findChild<QCheckBox*>("chkExportPlaylists")->isChecked());
        }
    }

    void theWindowComesBackAsItWas() {
        Window w;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect place(screen.topLeft() + QPoint(40, 30), QSize(600, 540));
        const auto closedAt = [&w](const std::function<void()>& arrange) {
            w.window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w.window));
            w.window.LoadSettings(); // a run that found its player
            arrange();
            w.window.close();
        };
        closedAt([&] { w.window.setGeometry(place); });
        {
            frmStart again(w.state, w.store, w.dir.filePath("config.cfg"));
            QCOMPARE(again.geometry(), place);
            QVERIFY(!again.isMaximized());
        }
        closedAt([&] { w.window.setWindowState(Qt::WindowMaximized); });
        {
            frmStart again(w.state, w.store, w.dir.filePath("config.cfg"));
            QVERIFY(again.isMaximized());
            QCOMPARE(again.normalGeometry(), place);
        }
        // Stored on a screen that is gone: it comes onto the one there is, whole.
        closedAt([&] {
            w.window.setWindowState(Qt::WindowNoState);
            w.window.setGeometry(QRect(screen.bottomRight() + QPoint(3000, 2000), place.size()));
        });
        QVERIFY(!screen.intersects(QRect(w.window.pos(), place.size())));
        frmStart lost(w.state, w.store, w.dir.filePath("config.cfg"));
        QVERIFY2(screen.contains(lost.geometry()), qPrintable(QDebug::toString(lost.geometry())));
        QCOMPARE(lost.size(), place.size());

        // Stored by hand where no screen holds it: the window keeps its first size, and the
        // window system places it; no window too large to draw, none off every screen.
        const auto stored = [](const QRect& r) { // QWidget::saveGeometry's layout, version 3
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_4_0);
            out << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << r << r << qint32(0)
                << quint8(0) << quint8(0)
                << qint32(QGuiApplication::primaryScreen()->geometry().width()) << r;
            return bytes;
        };
        for (const QRect& r : {QRect(0, 0, 100000, 100000),
                               QRect(QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX))}) {
            QVERIFY(SaveWindowGeometry(w.store, stored(r)));
            frmStart refused(w.state, w.store, w.dir.filePath("config.cfg"));
            QCOMPARE(refused.size(), QSize(960, 640));
            QVERIFY(!refused.testAttribute(Qt::WA_Moved));
        }
    }

    void ticksAreBoldAndCounted() {
        Window w;
        std::vector<SongRow> rows(3);
        rows[0].Texts[Column::Title] = "One";
        rows[0].Icon = ImageList::Mp3;
        rows[1].ToolTip = "notes";
        w.window.Songs().SetRows(std::move(rows));
        int changes = 0;
        connect(&w.window.Songs(), &SongListModel::TicksChanged, [&] { ++changes; });
        QAbstractItemModel* shown = w.find<QTreeView>("LV")->model();

        QVERIFY(shown->setData(shown->index(2, Column::Title), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(w.window.Songs().Rows()[2].Ticked);
        QVERIFY(shown->index(2, Column::Year).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!shown->index(1, Column::Year).data(Qt::FontRole).value<QFont>().bold());
        w.window.Songs().SetRowTicked(2, true); // no change, no recount
        w.window.Songs().SetRowTicked(2, false);
        QCOMPARE(changes, 2);
        QVERIFY(!shown->index(2, Column::Title).data(Qt::FontRole).value<QFont>().bold());

        QVERIFY(!shown->index(0, Column::Title).data(Qt::DecorationRole).value<QIcon>().isNull());
        // A row without a file type's icon gets a blank one of the same size, so its title
        // stands in line with the others and every row is as high as box and icon need.
        const QIcon blank = shown->index(1, Column::Title).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(blank.availableSizes(), shown->index(0, Column::Title)
                                             .data(Qt::DecorationRole)
                                             .value<QIcon>()
                                             .availableSizes());
        QCOMPARE(blank.pixmap(16).toImage().pixelColor(8, 8).alpha(), 0);
        QVERIFY(shown->index(1, Column::Artist).data(Qt::DecorationRole).isNull());
        // Sizes and bit rates to the right, year and track in the middle.
        QCOMPARE(shown->index(0, Column::FileSize).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(shown->index(0, Column::Year).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignHCenter | Qt::AlignVCenter));
        QCOMPARE(shown->index(0, Column::Track).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignHCenter | Qt::AlignVCenter));
        QCOMPARE(shown->index(0, Column::BitRate).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(shown->index(0, Column::Title).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(shown->index(1, Column::Genre).data(Qt::ToolTipRole).toString(), "notes");
        QVERIFY(shown->index(0, Column::Genre).data(Qt::ToolTipRole).isNull());
        QVERIFY(!(shown->flags(shown->index(0, Column::Artist)) & Qt::ItemIsUserCheckable));
    }

    void aStoredWindowPlaceMustFitAScreen() {
        const QList<QRect> screens{{0, 0, 1920, 1040}, {1920, 0, 1280, 1024}};
        QVERIFY(FitsAScreen({100, 100, 960, 640}, screens));
        QVERIFY(FitsAScreen({0, 0, 1920, 1040}, screens));    // the whole of the first
        QVERIFY(FitsAScreen({2000, 50, 1200, 900}, screens)); // on the second
        QVERIFY(FitsAScreen({1500, 0, 800, 600}, screens));   // across both, half on one
        QVERIFY(!FitsAScreen({0, 0, 100000, 100000}, screens));
        QVERIFY(!FitsAScreen(QRect(QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX)), screens));
        QVERIFY(!FitsAScreen({0, 0, 1300, 1100}, screens));     // larger than each
        QVERIFY(!FitsAScreen({-900, -600, 960, 640}, screens)); // a corner in sight
        QVERIFY(!FitsAScreen({0, 1040, 0, 0}, screens));
        QVERIFY(!FitsAScreen({100, 100, 960, 640}, {}));
    }
};

QTEST_MAIN(TestFrmStart)
#include "test_frmstart.moc"
