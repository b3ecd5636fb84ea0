// The window in each language: the first-run question, the language menu with its layout
// values, resizing, the settings written at the end, and the auxiliary commands.

#include "gui/OptionsPage.h"
#include "gui/WebLinks.h"
#include "gui/frmAbout.h"
#include "gui/frmLanguage.h"
#include "support/CopyDriver.h"
#include "support/MainWindow.h"
#include "support/PlayerFolder.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

using namespace dbwriter;

namespace {

// A window over a settings store, without a player.
struct Start {
    QTemporaryDir dir;
    ProgramState state;
    SettingsStore store{dir.filePath("store.ini")};
    std::unique_ptr<frmStart> window;

    void open() { window = std::make_unique<frmStart>(state, store, dir.filePath("config.cfg")); }
    QString language() { return store.GetSetting("Melvo", "Settings", "Language"); }
    template <typename T> T* find(const char* name) {
        return window->findChild<T*>(QLatin1String(name));
    }
};

class Links : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

int leftIn(QWidget* widget, const char* page, MainWindow& w) {
    return widget->mapTo(w.find<QWidget>(page), QPoint(0, 0)).x();
}

} // namespace

class TestLanguageUi : public QObject {
    Q_OBJECT

private slots:
    void theFirstStartAsksOnce() {
        Start s;
        s.open();
        QString title;
        answerModal<frmLanguage>(s.window.get(), "XPBGER",
                                 [&](frmLanguage& chooser) { title = chooser.windowTitle(); });
        s.window->StartLanguage();
        QCOMPARE(title, frmStart::WindowTitle);
        QCOMPARE(s.language(), "german");
        QCOMPARE(s.find<QMenu>("mnuFile")->title(), "&Datei");
        QCOMPARE(s.find<QLabel>("Label2")->text(), "Wiedergabelisten");
        QCOMPARE(
            s.find<QTreeView>("LV")->model()->headerData(Column::Title, Qt::Horizontal).toString(),
            "Titel");
        QVERIFY(s.find<QAction>("mnuGerman")->isChecked());

        // The next start takes the stored language without asking.
        s.open();
        int asked = 0;
        QTimer* watch =
            answerModal<frmLanguage>(s.window.get(), nullptr, [&](frmLanguage&) { ++asked; });
        s.window->StartLanguage();
        QTest::qWait(50);
        watch->stop();
        QCOMPARE(asked, 0);
        QCOMPARE(s.find<QMenu>("mnuFile")->title(), "&Datei");
    }

    // The first start offers the system's language, and Qt's own dialogs speak the chosen
    // one, also after a change from the menu.
    void theSystemsLanguageAndQtsOwnTexts_data() {
        QTest::addColumn<QLocale>("system");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("pickerButtons");
        QTest::newRow("german") << QLocale(QLocale::German, QLocale::Austria) << "german"
                                << QStringList{"&Auswählen", "Abbrechen"};
        QTest::newRow("spanish") << QLocale(QLocale::Spanish, QLocale::Mexico) << "spanish"
                                 << QStringList{"&Seleccionar", "Cancelar"};
        QTest::newRow("french") << QLocale(QLocale::French, QLocale::France) << "english"
                                << QStringList{"&Choose", "Cancel"};
    }
    void theSystemsLanguageAndQtsOwnTexts() {
        QFETCH(QLocale, system);
        QFETCH(QString, key);
        QFETCH(QStringList, pickerButtons);
        if (key != "english" && !QFile::exists(QtTexts::CatalogueFile(key)))
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        Start s;
        s.open();
        answerModal<frmLanguage>(s.window.get(), nullptr, [](frmLanguage& chooser) {
            QWidget* focus = chooser.focusWidget();
            QTest::keyClick(focus ? focus : &chooser, Qt::Key_Return);
        });
        s.window->StartLanguage(system);
        QCOMPARE(s.language(), key);
        QApplication::processEvents();

        const auto picker = [&s] { // the folder picker of Browse, as it shows
            QStringList buttons;
            answerModal<QFileDialog>(s.window.get(), nullptr, [&](QFileDialog& dialog) {
                auto* box = dialog.findChild<QDialogButtonBox*>();
                for (QAbstractButton* b : box->buttons())
                    buttons << b->text();
            });
            s.find<OptionsPage>("picTab2")->Browse();
            return buttons;
        };
        QCOMPARE(picker(), pickerButtons);
        s.find<QAction>("mnuEnglish")->trigger();
        QApplication::processEvents(); // the windows hear of the change
        QCOMPARE(picker(), QStringList({"&Choose", "Cancel"}));
    }

    void closingTheQuestionMeansEnglishForNow() {
        Start s;
        s.open();
        answerModal<frmLanguage>(s.window.get(), nullptr);
        s.window->StartLanguage();
        QCOMPARE(s.language(), "");
        QCOMPARE(s.state.Language.Key(), "english");
        QCOMPARE(s.find<QMenu>("mnuFile")->title(), "&File");
    }

    // A stored key in another case is its language; one that names none is asked for again,
    // never a window without a caption.
    void aStoredKeyInOtherCaseOrUnknown() {
        Start s;
        s.store.SaveSetting("Melvo", "Settings", "Language", "German");
        s.open();
        s.window->StartLanguage();
        QCOMPARE(s.state.Language.Key(), "german");
        QCOMPARE(s.find<QMenu>("mnuFile")->title(), "&Datei");

        s.store.SaveSetting("Melvo", "Settings", "Language", "klingon");
        s.open();
        answerModal<frmLanguage>(s.window.get(), "XPBSPA");
        s.window->StartLanguage();
        QCOMPARE(s.language(), "spanish");
        QCOMPARE(s.find<QLabel>("Label2")->text(), "Listas de reproducción");
    }

    void switchingLanguageWithItsLayout() {
        MainWindow w;
        writePlayer(
            w.folder("e"),
            {song(1, "A", "B", "C", "D", "F00/A.mp3"), song(2, "E", "F", "G", "H", "F00/B.mp3")},
            {mhyp("Anna", {1, 2})});
        w.drives = {w.folder("e")};
        w.window.ApplyLanguage();
        w.window.resize(1100, 700);
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
        w.window.TickAll(true);

        w.find<QAction>("mnuSpanish")->trigger();
        QCOMPARE(w.store.GetSetting("Melvo", "Settings", "Language"), "spanish");
        QCOMPARE(w.find<QLabel>("Label2")->text(), "Listas de reproducción");
        QCOMPARE(w.find<QPushButton>("cmdCopy")->text(), "Empezar la copia");
        QCOMPARE(w.find<QTabWidget>("Tab1")->tabText(1), "Preferencias del destino");
        QCOMPARE(w.find<QLabel>("txtFormat4")->text(), "- nro de pista");
        // The letters for Alt are the language's own, each once: Ayuda's A is Archivo's.
        QStringList titles;
        for (QAction* menu : w.window.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles,
                 QStringList({"&Archivo", "&Herramientas", "&Reproductor", "&Idioma", "A&yuda"}));
        QCOMPARE(w.find<QAction>("mnuSpanish")->text(), "E&spañol"); // after &English
        // The counters show what is there, in the new language.
        QCOMPARE(w.panel(2), "Canciones: 2");
        QCOMPARE(w.panel(3), "Seleccionada:2");

        auto* playlists = w.find<QComboBox>("cmbPlaylists");
        auto* defaultButton = w.find<QPushButton>("XPBDefault");
        auto* tabs = w.find<QTabWidget>("Tab1");
        const double tpp = w.window.TwipsPerPixel();
        QTRY_COMPARE(leftIn(playlists, "picTab1", w), int(std::lround(2300 / tpp)));
        QCOMPARE(defaultButton->width(), int(std::lround(2000 / tpp)));
        QVERIFY(tabs->tabBar()->tabRect(1).width() >= 165);
        auto* search = w.find<QLabel>("Label3");
        QVERIFY(search->mapTo(w.find<QWidget>("picTab1"), QPoint(0, 0)).x() >=
                leftIn(playlists, "picTab1", w) + playlists->width() + 13);

        w.find<QAction>("mnuEnglish")->trigger();
        QCOMPARE(w.find<QLabel>("Label2")->text(), "Playlists");
        QTRY_COMPARE(leftIn(playlists, "picTab1", w), int(std::lround(960 / tpp)));
        QCOMPARE(defaultButton->width(), int(std::lround(975 / tpp)));
        QCOMPARE(w.panel(2), "Songs: 2");
    }

    void theLayoutFollowsTheWindow() {
        MainWindow w;
        w.window.SetDriveSource({}); // no search for a player
        w.window.resize(1000, 700);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        auto* lv = w.find<QTreeView>("LV");
        auto* copy = w.find<QPushButton>("cmdCopy");
        auto* tabs = w.find<QTabWidget>("Tab1");
        auto* frame = w.find<QGroupBox>("Frame1");
        auto* unattended = w.find<QGroupBox>("Xpgroupbox1");
        tabs->setCurrentIndex(1);
        QApplication::processEvents();
        const int frameWidth = frame->width(), unattendedWidth = unattended->width();
        tabs->setCurrentIndex(0);
        QApplication::processEvents();
        const QRect list = lv->geometry(), tab = tabs->geometry();

        w.window.resize(1100, 760);
        QTRY_COMPARE(lv->width(), list.width() + 100);
        QCOMPARE(lv->height(), list.height() + 60);
        QCOMPARE(tabs->width(), tab.width() + 100);
        QCOMPARE(tabs->height(), tab.height() + 60);
        // The Start Copy button keeps its right edge on the list's.
        QCOMPARE(copy->mapTo(&w.window, QPoint(copy->width(), 0)).x(),
                 lv->mapTo(&w.window, QPoint(lv->width(), 0)).x());
        tabs->setCurrentIndex(1);
        QTRY_COMPARE(frame->width(), frameWidth + 100);
        QCOMPARE(unattended->width(), unattendedWidth + 100);
        // The progress bar fills the status bar's last panel, to its right end.
        auto* bar = w.find<QProgressBar>("pBar");
        QTRY_VERIFY(bar->geometry().right() >= w.find<QStatusBar>("sBar")->width() - 30);

        const QRect before = lv->geometry();
        w.window.showMinimized();
        QApplication::processEvents();
        w.window.showNormal();
        QApplication::processEvents();
        QCOMPARE(lv->geometry(), before);
    }

    void closingSavesTheSettings() {
        MainWindow w;
        w.window.SetDriveSource({});
        w.window.show();
        w.window.LoadSettings(); // as when the player is found: what was loaded is saved
        w.find<QLineEdit>("txtOutPutFormat")->setText("%y\\%t");
        w.find<QLineEdit>("txtBrowsePath")->setText(w.folder("music"));
        QVERIFY(w.window.close());
        QCOMPARE(w.store.GetSetting("Melvo", "Settings", "OutputString"), "%y\\%t");
        QCOMPARE(w.store.GetSetting("Melvo", "Settings", "Output Folder"), w.folder("music"));
        QVERIFY(QFile::exists(w.folder("config.cfg")));
    }

    void copyingTheProgramToThePlayer() {
        {
            MainWindow none;
            CopyDriver messages;
            none.find<QAction>("mnuMelvoCopy")->trigger();
            QCOMPARE(messages.messages,
                     QStringList({"No iPod found, Please connect your iPod and retry!"}));
        }
        MainWindow w;
        writePlayer(w.folder("e"), {}, {mhyp("Anna", {})});
        w.drives = {w.folder("e")};
        w.window.show();
        QTRY_VERIFY(w.find<QComboBox>("cmbPlaylists")->isEnabled());
        const QString program = QCoreApplication::applicationFilePath();
        const QString copy = w.folder("e") + "/" + QFileInfo(program).fileName();
        {
            CopyDriver quiet;
            w.find<QAction>("mnuMelvoCopy")->trigger();
            w.find<QAction>("mnuMelvoCopy")->trigger(); // again: replaced without a question
            QVERIFY(quiet.messages.isEmpty());
        }
        QFile a(program), b(copy);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.readAll() == b.readAll());
        QVERIFY(QFileInfo(copy).isExecutable());

        // A failure is reported, and the program goes on.
        b.close();
        QVERIFY(QFile::remove(copy));
        QVERIFY(QDir().mkpath(copy));
        CopyDriver failing;
        w.find<QAction>("mnuMelvoCopy")->trigger();
        QCOMPARE(failing.messages.size(), 1);
        QVERIFY(failing.messages[0].startsWith("Error(s) occurred while extracting...\n\n"));
        QVERIFY(w.window.isVisible());
    }

    void aboutBoxAndWebLinks() {
        MainWindow w;
        QString shown;
        answerModal<frmAbout>(&w.window, "XPBDone", [&](frmAbout& about) {
            shown = about.windowTitle() + "|" + about.findChild<QLabel*>("Label1")->text();
        });
        w.find<QAction>("mnuAbout")->trigger();
        QCOMPARE(shown, "About|" + frmStart::WindowTitle);

        Links links;
        QDesktopServices::setUrlHandler("https", &links, "open");
        w.find<QAction>("mnuMelvoLink")->trigger();
        w.find<QAction>("mnuFanSite")->trigger();
        w.find<QAction>("mnudonate")->trigger();
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(links.urls, QList<QUrl>({QUrl(WebLinks::MakerSite), QUrl(WebLinks::FanSite),
                                          QUrl(WebLinks::DonationPage)}));
        QCOMPARE(links.urls[2].path(), "/donation.php");
        QCOMPARE(w.find<QAction>("mnuFanSite")->text(), WebLinks::FanSiteName);
    }
};

QTEST_MAIN(TestLanguageUi)
#include "test_language_ui.moc"
