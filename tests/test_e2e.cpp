// A person's session on a real display (an X server, through Qt's xcb platform): the first
// start of `melvo --player` with an empty settings store, the language question, a
// playlist, a search, ticks by mouse, an output folder and format typed in, the playlist
// export, a copy with one overwrite question, Finish, the menus from the keyboard, and
// Ctrl+Q; then what is on disk.

#include "app/MelvoProgram.h"
#include "gui/frmLanguage.h"
#include "support/CopyDriver.h"
#include "support/Files.h"
#include "support/MainWindow.h"
#include "support/PlayerFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

using namespace dbwriter;

namespace {

// Replaces a text box's text by typing, as a person does (no Ctrl+A: in this window that
// ticks every song).
void typeInto(QLineEdit* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void clickRow(QTreeView* list, int row, Qt::KeyboardModifiers mods = {}) {
    const QRect cell = list->visualRect(list->model()->index(row, Column::Artist));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, cell.center());
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (the test runs under xvfb-run)");
    }

    void theCommandLine() {
        const auto parse = [](QStringList arguments) {
            return MelvoProgram::Parse(QStringList{"/usr/bin/melvo"} + arguments);
        };
        const MelvoProgram::CommandLine version = parse({"--version"});
        QCOMPARE(version.ExitCode, 0);
        QCOMPARE(version.Message, QString("melvo %1\n").arg(MelvoVersion));
        const MelvoProgram::CommandLine unknown = parse({"--colour"});
        QCOMPARE(unknown.ExitCode, 1);
        QCOMPARE(unknown.Message, "Unknown option 'colour'.\nTry 'melvo --help' for more.\n");
        // A folder without a player's database is named before the window opens, and is
        // searched all the same (the player may be copied there later).
        QTemporaryDir dir;
        QCOMPARE(parse({"--player=~/ipod"}).PlayerFolders,
                 QStringList({QDir::homePath() + "/ipod"}));
        const MelvoProgram::CommandLine empty = parse({"--player", dir.path()});
        QCOMPARE(empty.ExitCode, -1);
        QCOMPARE(empty.PlayerFolders, QStringList({dir.path()}));
        QVERIFY2(empty.Warnings.startsWith("melvo: no iPod music database or songs in " +
                                           QDir::toNativeSeparators(dir.path())),
                 qPrintable(empty.Warnings));
    }

    void aSessionOnARealDisplay() {
        QTemporaryDir dir;
        const QString player = dir.filePath("ipod");
        const QString out = dir.filePath("Music");
        writePlayer(player,
                    {song(1, "Hey Jude", "The Beatles", "1", "Pop", "F00/AAAA.mp3"),
                     song(2, "Heartbeat", "Buddy Holly", "Hits", "Rock", "F01/BBBB.m4a"),
                     song(3, "Beat It", "Michael Jackson", "Thriller", "Pop", "F02/CCCC.mp3"),
                     song(4, "Quiet", "Nobody", "Silence", "Ambient", "F03/DDDD.mp3")},
                    {mhyp("Anna", {1, 2, 3, 4}), mhyp("Beats", {2, 3, 1})});
        // One song's copy is there already: the run will ask about it.
        QVERIFY(write(out + "/Michael Jackson - Beat It.mp3", "an older copy"));

        // Installed as into ~/.local: the program's folder is a bin/ it could write, the
        // user's config folder a fresh one with an empty debug.txt, which turns the log on.
        const QString bin = dir.filePath("local/bin");
        QVERIFY(QDir().mkpath(bin));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        const QString userFolder = dir.filePath("config/Melvo");
        QVERIFY(write(userFolder + "/debug.txt", ""));

        SettingsStore store(dir.filePath("store.ini"));
        QObject answers;
        answerModal<frmLanguage>(&answers, nullptr, [](frmLanguage& chooser) {
            QTest::mouseClick(chooser.findChild<QPushButton*>("XPBEng"), Qt::LeftButton);
        });
        const MelvoProgram::CommandLine commandLine =
            MelvoProgram::Parse({"melvo", "--player", player});
        QCOMPARE(commandLine.Warnings, "");
        MelvoProgram program(commandLine, store, ConfigFilePath(bin));
        frmStart& window = program.Window();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto find = [&window](const char* name) {
            return window.findChild<QWidget*>(QLatin1String(name));
        };
        auto* list = window.findChild<QTreeView*>("LV");
        const auto titles = [&window] {
            QStringList t;
            for (const SongRow& r : window.Songs().Rows())
                t << r.Texts[Column::Title];
            return t;
        };
        QTRY_COMPARE(window.windowTitle(), frmStart::WindowTitle + " ~ Anna");
        QTRY_COMPARE(titles().size(), 4);

        // The playlist "Beats", by keyboard on the selector.
        auto* playlists = window.findChild<QComboBox*>("cmbPlaylists");
        QTest::mouseClick(playlists, Qt::LeftButton);
        QTRY_VERIFY(playlists->view()->isVisible());
        QTest::keyClick(playlists->view(), Qt::Key_Down);
        QTest::keyClick(playlists->view(), Qt::Key_Return);
        QTRY_COMPARE(titles(), QStringList({"Heartbeat", "Beat It", "Hey Jude"}));

        // A search, then back to the playlist.
        auto* search = window.findChild<QLineEdit*>("XPSearch");
        typeInto(search, "jude");
        QCOMPARE(titles(), QStringList({"Hey Jude"}));
        typeInto(search, "");
        QCOMPARE(titles().size(), 4); // the master playlist again
        QTest::mouseClick(playlists, Qt::LeftButton);
        QTRY_VERIFY(playlists->view()->isVisible());
        QTest::keyClick(playlists->view(), Qt::Key_End);
        QTest::keyClick(playlists->view(), Qt::Key_Return);
        QTRY_COMPARE(titles(), QStringList({"Heartbeat", "Beat It", "Hey Jude"}));

        // Beat It and Hey Jude ticked by mouse; Heartbeat ticked and let go again.
        clickRow(list, 1);
        clickRow(list, 2, Qt::ControlModifier);
        clickRow(list, 0);
        clickRow(list, 0);
        QCOMPARE(window.findChild<QLabel*>("sBarPanel3")->text(), "Selected:2");
        QVERIFY(find("cmdCopy")->isEnabled());

        // The options page: folder, format, playlist export.
        auto* tabs = window.findChild<QTabWidget*>("Tab1");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QTRY_VERIFY(find("picTab2")->isVisible());
        typeInto(window.findChild<QLineEdit*>("txtBrowsePath"), out);
        // A format without the title, left for another box: the message comes once, though
        // it takes the focus from the box itself.
        auto* format = window.findChild<QLineEdit*>("txtOutPutFormat");
        // No window manager hands the focus back after the playlist's popup: ask for it.
        window.windowHandle()->requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
        {
            // Each message takes the focus, as a window manager would give it, and is read
            // and closed once it has it.
            QStringList messages;
            QTimer reader;
            reader.setInterval(10);
            connect(&reader, &QTimer::timeout, [&messages] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !box->windowHandle())
                    return;
                if (QGuiApplication::focusWindow() != box->windowHandle()) {
                    box->windowHandle()->requestActivate();
                    return;
                }
                messages << box->text();
                box->accept();
            });
            reader.start();
            typeInto(format, "%a");
            // Out of the box and straight back: the message then takes the focus from it.
            QTest::mouseClick(window.findChild<QLineEdit*>("txtBrowsePath"), Qt::LeftButton);
            QTest::mouseClick(format, Qt::LeftButton);
            QTRY_COMPARE(messages.size(), 1);
            QTest::qWait(1500); // three turns of the check's timer
            QCOMPARE(messages, QStringList({"You must have a Title (%t) in your output format"}));
        }
        typeInto(format, "%a - %t");
        QCOMPARE(window.findChild<QLabel*>("lblOutputPreView")->text(),
                 "Example:<OutputDir>\\Artist - Title");
        auto* exportBox = window.findChild<QCheckBox*>("chkExportPlaylists");
        QTest::mouseClick(exportBox, Qt::LeftButton, {}, QPoint(8, exportBox->height() / 2));
        QVERIFY(window.findChild<QCheckBox*>("chkExportPlaylists")->isChecked());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QTRY_VERIFY(find("picTab1")->isVisible());

        // Start Copy; Yes to the one question; Finish.
        CopyDriver person;
        person.withMouse = true;
        person.answers = {"XPYes"};
        // The copy window opens over the main window, centred, as first seen.
        std::optional<QPoint> copyOffCentre;
        person.whileCopying = [&](frmCopy& copy) {
            if (!copyOffCentre)
                copyOffCentre = copy.frameGeometry().center() - window.frameGeometry().center();
        };
        QTest::mouseClick(find("cmdCopy"), Qt::LeftButton);
        QTRY_COMPARE(person.windows, 1);
        QTRY_VERIFY(!person.copying.isEmpty());
        QCOMPARE(person.promptedFiles, QStringList({"Michael Jackson - Beat It.mp3"}));
        QCOMPARE(person.copying, "Transfer completed successfully");
        QVERIFY(person.messages.isEmpty());
        QVERIFY(copyOffCentre && copyOffCentre->manhattanLength() <= 4);

        // The keyboard alone: F10 opens the first menu, Alt and a letter of the language's
        // own another, Ctrl+F goes to the search box, Ctrl+Q ends the program.
        window.windowHandle()->requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
        auto* fileMenu = window.findChild<QMenu*>("mnuFile");
        QTest::keyClick(&window, Qt::Key_F10);
        QTRY_VERIFY(fileMenu->isVisible());
        QTest::keyClick(fileMenu, Qt::Key_Escape);
        QTRY_VERIFY(!fileMenu->isVisible());
        QTest::keyClick(&window, Qt::Key_Escape); // the menu bar lets go of the keys
        auto* languageMenu = window.findChild<QMenu*>("mnuLanguage");
        QCOMPARE(languageMenu->title(), "&Language");
        QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier);
        QTRY_VERIFY(languageMenu->isVisible());
        QTest::keyClick(languageMenu, Qt::Key_Escape);
        QTRY_VERIFY(!languageMenu->isVisible());
        QTest::keyClick(&window, Qt::Key_Escape);
        QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClick(search, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window.isVisible());

        // Beat It (asked, replaced) and Hey Jude were ticked; Heartbeat was ticked and let go.
        QCOMPARE(contents(out + "/Michael Jackson - Beat It.mp3").left(4), QByteArray("xxxx"));
        QCOMPARE(contents(out + "/The Beatles - Hey Jude.mp3").left(4), QByteArray("xxxx"));
        QVERIFY(!QFileInfo::exists(out + "/Buddy Holly - Heartbeat.m4a"));
        QCOMPARE(contents(out + "/Beats.m3u"),
                 QString("#EXTM3U\r\n#EXTINF:0,Beat It\r\n" + out +
                         "/Michael Jackson - Beat It.mp3\r\n#EXTINF:0,Hey Jude\r\n" + out +
                         "/The Beatles - Hey Jude.mp3\r\n")
                     .toLocal8Bit());
        QCOMPARE(store.GetSetting("Melvo", "Settings", "Language"), "english");
        QCOMPARE(store.GetSetting("Melvo", "Settings", "Output Folder"), out);
        QCOMPARE(store.GetSetting("Melvo", "Settings", "OutputString"), "%a - %t");
        // The widths and the log went to the user's folder, nothing into bin/.
        QVERIFY(QFileInfo::exists(userFolder + "/config.cfg"));
        QVERIFY(contents(userFolder + "/debug.txt").contains("Hey Jude"));
        QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void theDialogsUnderAWindowManager() {
        // Openbox places and frames the windows, as on a desktop. It runs before the program
        // connects, as there: this run starts it and runs this test again under it.
        if (!qEnvironmentVariableIsSet("MELVO_UNDER_OPENBOX")) {
            const QString openbox = QStandardPaths::findExecutable("openbox");
            if (openbox.isEmpty())
                QSKIP("needs openbox");
            QTemporaryDir dir;
            const QString ready = dir.filePath("ready");
            QProcess wm;
            wm.setStandardOutputFile(QProcess::nullDevice());
            wm.setStandardErrorFile(QProcess::nullDevice());
            wm.start(openbox, {"--sm-disable", "--startup", "touch '" + ready + "'"});
            const auto end = qScopeGuard([&wm] {
                wm.terminate();
                wm.waitForFinished();
            });
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ready), 20000);
            QProcess runs;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("MELVO_UNDER_OPENBOX", "1");
            runs.setProcessEnvironment(env);
            runs.setProcessChannelMode(QProcess::MergedChannels);
            runs.start(QCoreApplication::applicationFilePath(), {"theDialogsUnderAWindowManager"});
            QVERIFY(runs.waitForFinished(120000));
            const QByteArray report = runs.readAll();
            QVERIFY2(runs.exitCode() == 0 && report.contains("\nPASS   : TestEndToEnd::theDialogs"),
                     report.constData());
            return;
        }
        QVERIFY(WindowManagerRuns());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Framed by the window manager, and still where it put it.
        const auto placed = [](QWidget& w) {
            return QTest::qWaitFor([&w] {
                const QRect before = w.frameGeometry();
                if (before == w.geometry())
                    return false;
                QTest::qWait(50);
                return w.frameGeometry() == before;
            });
        };
        const auto onScreenOver = [&](QWidget& dialog, QWidget& owner) {
            const QRect frame = dialog.frameGeometry();
            const QString where =
                QDebug::toString(frame) + " over " + QDebug::toString(owner.frameGeometry());
            QVERIFY2(screen.contains(frame), qPrintable(where));
            QVERIFY2(owner.frameGeometry().contains(frame.center()), qPrintable(where));
        };
        // Ten runs, German or English, the window where the window manager puts it or at
        // the screen's edges. In each the no-player dialog shows as the window first does,
        // then a player comes and a copy runs.
        const QList<std::optional<QPoint>> starts = {std::nullopt, QPoint(0, 0),
                                                     QPoint(screen.width() - 960, 40),
                                                     QPoint(120, screen.height() - 640)};
        for (int run = 0; run < 10; ++run) {
            MainWindow w;
            w.window.LoadLanguage(run % 2 ? "german" : "english");
            const QString player = w.folder("ipod");
            writePlayer(player, {song(1, "Hey Jude", "The Beatles", "1", "Pop", "F00/AAAA.mp3")},
                        {mhyp("Anna", {1})});
            QObject answers;
            bool asked = false;
            answerNoPlayer(&answers, "cmdRetry", [&](frmNoiPod& dialog) {
                w.drives = {player};
                asked = true;
                QVERIFY(placed(dialog));
                QVERIFY(placed(w.window));
                onScreenOver(dialog, w.window);
            });
            if (const auto start = starts[run % starts.size()])
                w.window.move(*start);
            w.window.show();
            QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
            QVERIFY(asked);

            w.find<QLineEdit>("txtBrowsePath")->setText(w.folder("out"));
            w.window.TickAll(true);
            frmCopy copy(w.state.Language, w.rows(),
                         TransferOptions::ForRun(w.window.ControlSettings(), false, "Anna", player,
                                                 w.folder("config.cfg")),
                         &w.window);
            copy.show(); // modal, as Start Copy shows it
            QVERIFY(placed(copy));
            onScreenOver(copy, w.window);
            QTRY_COMPARE(copy.findChild<QPushButton*>("cmdCancel")->text(),
                         w.state.Language.Entry(Text::Finish));
        }
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
