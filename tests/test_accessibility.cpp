// What a screen reader finds in the main window and hears of a copy run: every control
// named, Tab moving through each page in reading order; and every text readable in a light
// and a dark theme.

#include "gui/frmCopy.h"
#include "gui/frmCopyError.h"
#include "support/CopyDriver.h"
#include "support/Files.h"
#include "support/MainWindow.h"
#include "support/PlayerFolder.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <cmath>

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

// Every object in the tree a screen reader walks, hidden ones too.
void collectObjects(QAccessibleInterface* node, QList<QObject*>& objects) {
    if (!node)
        return;
    objects << node->object();
    if (node->role() == QAccessible::Tree || node->role() == QAccessible::List)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        collectObjects(node->child(i), objects);
}

QString heard(QWidget* widget, QAccessible::Text what = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(widget)->text(what);
}

// WCAG's contrast ratio of two colours: 1 (the same) to 21 (black on white).
double contrast(QRgb a, QRgb b) {
    const auto luminance = [](QRgb c) {
        const auto linear = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where a window shows its texts, each named: the enabled controls' captions and contents,
// the menu bar's titles, the tabs, the list's headings and its first two rows (both stripes).
QList<std::pair<QString, QRect>> textPlaces(QWidget* window) {
    QList<std::pair<QString, QRect>> places;
    // r in the coordinates of from, a part of w.
    const auto add = [&](const QWidget* w, const QString& text, const QRect& r,
                         const QWidget* from = nullptr) {
        const QString name =
            w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName();
        places.append(
            {name + ": " + text, QRect((from ? from : w)->mapTo(window, r.topLeft()), r.size())});
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || !w->isEnabled())
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            add(w, label->text(), label->contentsRect());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            QStyleOptionButton option; // the caption only, not the box or the dot
            option.initFrom(w);
            option.text = static_cast<QAbstractButton*>(w)->text();
            add(w, option.text,
                w->style()->subElementRect(qobject_cast<QCheckBox*>(w)
                                               ? QStyle::SE_CheckBoxContents
                                               : QStyle::SE_RadioButtonContents,
                                           &option, w));
        } else if (auto* button = qobject_cast<QPushButton*>(w);
                   button && !button->text().isEmpty()) {
            add(w, button->text(), w->rect());
        } else if (auto* frame = qobject_cast<QGroupBox*>(w); frame && !frame->title().isEmpty()) {
            QStyleOptionGroupBox option;
            option.initFrom(w);
            option.text = frame->title();
            option.textAlignment = frame->alignment();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            add(w, option.text,
                w->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                           w));
        } else if (auto* box = qobject_cast<QLineEdit*>(w); box && !box->text().isEmpty()) {
            add(w, box->text(), w->rect());
        } else if (auto* choice = qobject_cast<QComboBox*>(w);
                   choice && !choice->currentText().isEmpty()) {
            add(w, choice->currentText(), w->rect());
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(w, tabs->tabText(i), tabs->tabRect(i));
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* title : bar->actions())
                add(w, title->text(), bar->actionGeometry(title));
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            for (int i = 0; i < header->count(); ++i)
                if (!header->isSectionHidden(i) &&
                    header->sectionViewportPosition(i) < header->width())
                    add(w, header->model()->headerData(i, Qt::Horizontal).toString(),
                        QRect(header->sectionViewportPosition(i), 0, header->sectionSize(i),
                              header->height()),
                        header->viewport());
        } else if (auto* list = qobject_cast<QTreeView*>(w)) {
            for (int row = 0; row < std::min(2, list->model()->rowCount()); ++row) {
                const QModelIndex first = list->model()->index(row, 0);
                add(w, first.data().toString(),
                    list->visualRect(first).united(list->visualRect(first.siblingAtColumn(3))),
                    list->viewport());
            }
        }
    }
    return places;
}

// The texts of a window whose contrast with what is painted behind them is under WCAG's 4.5
// for normal text. The window is grabbed as it shows, and again with every text colour made
// transparent: the pixels that differ are the texts' own, the second picture is what lies
// behind them.
QStringList unreadableTexts(QWidget* window) {
    const QImage shown = window->grab().toImage();
    const QPalette palette = window->palette();
    QPalette blank = palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                QPalette::HighlightedText, QPalette::BrightText})
            blank.setColor(group, role, Qt::transparent);
    window->setPalette(blank);
    const QImage behind = window->grab().toImage();
    window->setPalette(palette);
    QStringList unreadable;
    const QList<std::pair<QString, QRect>> places = textPlaces(window);
    for (const auto& [text, place] : places) {
        double best = 1; // no pixel of its own: the text is not seen at all
        const QRect area = place.intersected(shown.rect());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.pixel(x, y) != behind.pixel(x, y))
                    best = std::max(best, contrast(shown.pixel(x, y), behind.pixel(x, y)));
        if (best < 4.5)
            unreadable
                << QString("%1/%2 (%3:1)").arg(window->objectName(), text).arg(best, 0, 'f', 1);
    }
    if (places.size() < 3)
        unreadable << window->objectName() + ": no texts found";
    return unreadable;
}

// A window over a player with two songs, the output folder set, both ticked, and the first
// song's file already in the output folder, so that a copy asks.
struct CopyWindow : MainWindow {
    CopyWindow() {
        dbwriter::writePlayer(
            folder("ipod"),
            {dbwriter::song(1, "Hells Bells", "AC/DC", "Back in Black", "Rock", "F12/ABCD.mp3"),
             dbwriter::song(2, "Mr. Jones", "Counting Crows", "August", "Rock", "F01/EFGH.mp3")},
            {dbwriter::mhyp("Anna", {1, 2})});
        drives = {folder("ipod")};
        write(folder("out/Hells Bells.mp3"), "the user's own");
        window.ApplyLanguage();
        window.show();
        QTRY_VERIFY(find<QComboBox>("cmbPlaylists")->isEnabled());
        find<QLineEdit>("txtBrowsePath")->setText(folder("out"));
        find<QLineEdit>("txtOutPutFormat")->setText("%t");
        window.TickAll(true);
    }

    // Start Copy; look is shown the overwrite prompt (answered No after it) and the copy
    // window once its run has ended (finished after it).
    void copy(const std::function<void(QWidget&)>& look) {
        CopyDriver driver;
        driver.answers = {"XPNo"};
        driver.whilePrompted = [&look](frmCopyError& prompt) { look(prompt); };
        bool ended = false;
        driver.whileCopying = [&](frmCopy& run) {
            if (!ended && run.findChild<QPushButton*>("cmdCancel")->text() == "Finish") {
                ended = true;
                look(run);
            }
        };
        find<QPushButton>("cmdCopy")->click();
        QVERIFY(ended);
    }
};

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

    void theCopyIsHeard() {
        CopyWindow w;
        w.copy([](QWidget& shown) {
            auto* run = qobject_cast<frmCopy*>(&shown);
            if (!run)
                return;
            // The bar is named, and says where the run stands: at its end.
            auto* bar = run->findChild<QProgressBar*>("XPBar1");
            QCOMPARE(heard(bar), "Transfering Songs");
            QAccessibleValueInterface* value =
                QAccessible::queryAccessibleInterface(bar)->valueInterface();
            QCOMPARE(value->currentValue(), value->maximumValue());
            // The end report is read with the button that has the focus.
            QCOMPARE(run->focusWidget(), run->findChild<QPushButton*>("cmdCancel"));
            const QString report = heard(run->focusWidget(), QAccessible::Description);
            QVERIFY2(report.contains(run->findChild<QLabel*>("lblCopying")->text()),
                     qPrintable(report));
            QVERIFY2(report.contains(run->findChild<QLabel*>("lblCurrentFile")->text()),
                     qPrintable(report));
        });

        // The status bar's bar says what it shows: a load that is done, not one under way.
        auto* bar = w.find<QProgressBar>("pBar");
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(heard(bar), "Completed");
        w.window.ChooseLanguage("german");
        QCOMPARE(heard(bar), "Fertig");
        // The playlist selector is named by its heading, its entry is its value.
        auto* playlists = w.find<QComboBox>("cmbPlaylists");
        QCOMPARE(heard(playlists), "Wiedergabelisten");
        QCOMPARE(heard(playlists, QAccessible::Value), playlists->currentText());
        // Every row can be ticked, ticked or not.
        w.window.TickAll(false);
        w.window.Songs().SetRowTicked(1, true);
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(w.find<QTreeView>("LV"))->tableInterface();
        for (int row : {0, 1}) {
            const QAccessible::State tick = table->cellAt(row, Column::Title)->state();
            QVERIFY(tick.checkable);
            QCOMPARE(bool(tick.checked), row == 1);
        }
        // The helpers that are never shown are not in the tree.
        QList<QObject*> objects;
        collectObjects(QAccessible::queryAccessibleInterface(&w.window), objects);
        for (const char* helper : {"Drives", "picalt"})
            QVERIFY2(!objects.contains(w.find<QWidget>(helper)), helper);
    }

    void everyTextIsReadable_data() {
        QTest::addColumn<QPalette>("theme");
        QTest::newRow("light") << QApplication::palette();
        // White texts on dark boxes, as a dark theme sets them.
        QTest::newRow("dark") << QPalette(QColor(53, 53, 53), QColor(53, 53, 53));
    }

    void everyTextIsReadable() {
        QFETCH(QPalette, theme);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(theme);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        CopyWindow w;
        QStringList unreadable = unreadableTexts(&w.window);
        w.copy([&](QWidget& shown) { unreadable << unreadableTexts(&shown); });
        w.find<QTabWidget>("Tab1")->setCurrentIndex(1);
        w.find<QCheckBox>("optUnattended")->setChecked(true);
        unreadable << unreadableTexts(&w.window);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join('\n')));
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
