// What a screen reader finds in the main window: every control named, and Tab moving
// through each page in reading order.

#include "support/MainWindow.h"
#include "support/PlayerFolder.h"

#include <QAccessible>
#include <QTabWidget>
#include <QTest>

namespace {

// Roles that are only containers or parts of another control; they need no name.
bool unnamedIsFine(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Separator:
    case QAccessible::ScrollBar:
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Window:
    case QAccessible::LayeredPane:
    case QAccessible::PageTabList:
    case QAccessible::ToolBar:
    case QAccessible::Grip:
        return true;
    default:
        return false;
    }
}

void collectUnnamed(QAccessibleInterface* node, const QString& path, QStringList& unnamed) {
    if (!node || node->state().invisible)
        return;
    const QString here = path + "/" + QString::number(int(node->role()), 16) + ":" +
                         (node->object() ? node->object()->objectName() : QString());
    if (node->text(QAccessible::Name).trimmed().isEmpty() && !unnamedIsFine(node->role()))
        unnamed << here;
    // The rows of the song list are data, named by their texts; the walk stops at the list.
    if (node->role() == QAccessible::Tree || node->role() == QAccessible::Table ||
        node->role() == QAccessible::List)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), here, unnamed);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasAName() {
        for (const char* language : {"english", "german", "spanish"}) {
            MainWindow w;
            w.window.SetDriveSource({});
            w.window.LoadLanguage(language);
            w.window.ApplyLanguage();
            w.window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w.window));
            for (int page : {0, 1}) {
                w.find<QTabWidget>("Tab1")->setCurrentIndex(page);
                QApplication::processEvents();
                QStringList unnamed;
                collectUnnamed(QAccessible::queryAccessibleInterface(&w.window), QString(),
                               unnamed);
                QVERIFY2(unnamed.isEmpty(),
                         qPrintable(QString(language) + ": " + unnamed.join("\n")));
            }
            QCOMPARE(QAccessible::queryAccessibleInterface(w.find<QWidget>("XPSearch"))
                         ->text(QAccessible::Name),
                     w.find<QLabel>("Label3")->text());
        }
    }

    void theStatusBarIsHeard() {
        MainWindow w;
        dbwriter::writePlayer(w.folder("e"), {dbwriter::song(1, "A", "B", "C", "D", "F00/A.mp3")},
                              {dbwriter::mhyp("P", {1})});
        w.drives = {w.folder("e")};
        w.window.show();
        QTRY_COMPARE(w.panel(2), "Songs: 1");
        const auto heard = [&w](int panel) {
            return QAccessible::queryAccessibleInterface(
                       w.find<QLabel>(qPrintable(QString("sBarPanel%1").arg(panel))))
                ->text(QAccessible::Name);
        };
        QCOMPARE(heard(1), "Status: Ok");
        QCOMPARE(heard(2), "Songs: 1");
        w.window.TickAll(true);
        QCOMPARE(heard(3), "Selected:1");
        w.window.ChooseLanguage("german");
        for (int panel : {1, 2, 3})
            QCOMPARE(heard(panel), w.panel(panel));
        QVERIFY(heard(2).endsWith(" 1"));
    }

    void tabFollowsThePages() {
        MainWindow w;
        w.window.SetDriveSource({});
        w.window.ApplyLanguage();
        const auto chain = [&](const char* first, int count) {
            QStringList names;
            QWidget* widget = w.find<QWidget>(first);
            for (int i = 0; i < count; ++i, widget = widget->nextInFocusChain()) {
                while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
                    widget = widget->nextInFocusChain();
                names << widget->objectName();
            }
            return names;
        };
        QCOMPARE(chain("cmbPlaylists", 4),
                 QStringList({"cmbPlaylists", "XPSearch", "LV", "cmdCopy"}));
        QCOMPARE(chain("txtBrowsePath", 8),
                 QStringList({"txtBrowsePath", "cmdBrowse", "txtOutPutFormat", "XPBDefault",
                              "chkExportPlaylists", "optUnattended", "unOpt1", "unOpt2"}));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
