// The main window in the loaded language: every caption, the column headings, the options
// page's texts, and the three places that depend on the language; the language menu; and the
// language asked or read at start.

#include "gui/OptionsPage.h"
#include "gui/frmLanguage.h"
#include "gui/frmStart.h"
#include "settings/KnownLanguages.h"
#include "settings/Mnemonics.h"
#include "settings/SettingsStore.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <cmath>

namespace {

// The playlist choice's left edge and the Default button's width in twips, and the
// options tab's width in the tab strip's pixels.
struct LanguageLayout {
    const char* key;
    int playlistsLeft;
    int optionsTabWidth;
    int defaultWidth;
};
constexpr LanguageLayout kLayouts[] = {
    {"english", 960, 119, 975},
    {"german", 1800, 119, 1600},
    {"spanish", 2300, 165, 2000},
};

} // namespace

void frmStart::setCaption(const char* name, const QString& text) {
    QObject* control = findChild<QObject*>(QLatin1String(name));
    if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(text);
}

void frmStart::ApplyLanguage() {
    const std::pair<const char*, Text> captions[] = {
        {"mnuTick", Text::Select},         {"mnuUntick", Text::Deselect},
        {"mnuSelectall", Text::SelectAll}, {"mnudeselectall", Text::DeselectAll},
        {"mnuPlayTrack", Text::Play},      {"mnuFile", Text::File},
        {"mnuExit", Text::Exit},           {"mnuTools", Text::Tools},
        {"mnuStartCopy", Text::StartCopy}, {"mnuMelvoCopy", Text::CopyMelvoToIPod},
        {"mnuEject", Text::EjectIPod},     {"mnuPlayer", Text::PlayerMenu},
        {"mnuLanguage", Text::Language},   {"mnuAbout", Text::About},
        {"mnuHelp", Text::Help},           {"mnuHelpDoc", Text::Help},
        {"Label2", Text::Playlists},
    };
    for (const auto& [name, entry] : captions)
        setCaption(name, text(entry));

    setPanel(2, text(Text::Songs) + u' ' + QString::number(state_.Database.LoadedTrackCount));
    setPanel(3, text(Text::Selected) + QStringLiteral(" 0"));
    setPanel(4, state_.FreeSpace.Text());
    // The counters tell the truth after a change of language, too.
    if (songs_.rowCount() > 0)
        UpdateSelectionTotals();

    for (const LanguageLayout& layout : kLayouts) {
        if (text(Text::LanguageKey).compare(QLatin1String(layout.key), Qt::CaseInsensitive) != 0)
            continue;
        const double tpp = TwipsPerPixel();
        const int margin = Label2_->parentWidget()->layout()->contentsMargins().left();
        Label2_->setMinimumWidth(
            std::max(0, int(std::lround(layout.playlistsLeft / tpp)) - margin));
        picTab2_->SetDefaultButtonWidth(int(std::lround(layout.defaultWidth / tpp)));
        SetOptionsTabWidth(layout.optionsTabWidth);
        break;
    }

    Tab1_->setTabText(1,
                      text(Text::OutputOptions)); // after its width, so the tab strip lays out anew

    songs_.SetHeaderTexts({text(Text::Title), text(Text::Artist), text(Text::Album),
                           text(Text::Genre), text(Text::FileSize), text(Text::Year),
                           text(Text::Track), text(Text::BitRate), text(Text::SourcePath),
                           QStringLiteral("Bytes")});
    setCaption("mnuExportPlaylists", text(Text::ExportAllPlaylists));
    setCaption("Label3", text(Text::Search));
    setCaption("cmdCopy", text(Text::StartCopy));
    picTab2_->ApplyLanguage();
    giveMnemonics();
    nameForAccessibility();
}

void frmStart::giveMnemonics() {
    // An entry's text is its plain one while it is what the last marking left (no language
    // text sets it, as for the language names); otherwise a caption just replaced it.
    static constexpr const char* Plain = "melvoPlainText";
    static constexpr const char* Marked = "melvoMarkedText";
    const auto mark = [](const QList<QAction*>& actions) {
        QStringList plain;
        for (QAction* a : actions)
            plain << (a->text() == a->property(Marked).toString() ? a->property(Plain).toString()
                                                                  : a->text());
        const QStringList marked = WithMnemonics(plain);
        for (qsizetype i = 0; i < actions.size(); ++i) {
            actions[i]->setProperty(Plain, plain[i]);
            actions[i]->setProperty(Marked, marked[i]);
            actions[i]->setText(marked[i]);
        }
    };
    // The player menu last: the others keep the letters they had before it came.
    mark({mnuFile_->menuAction(), mnuTools_->menuAction(), mnuLanguage_->menuAction(),
          mnuHelp_->menuAction(), mnuPlayer_->menuAction()});
    for (QMenu* menu : {mnuFile_, mnuTools_, mnuLanguage_, mnuHelp_, mnuPopup_}) {
        QList<QAction*> entries; // the named ones: the help menu's headings take no letter
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->objectName().isEmpty())
                entries << a;
        mark(entries);
    }
}

void frmStart::nameForAccessibility() {
    // Screen readers name a control by its caption; these have none of their own, so they
    // take the nearest text of the language (a heading's word without its colon).
    const auto word = [this](Text entry) {
        QString w = text(entry).trimmed();
        while (w.endsWith(u':'))
            w.chop(1);
        return w;
    };
    LV_->setAccessibleName(word(Text::Songs));
    picTab1_->setAccessibleName(Tab1_->tabText(0));
    picTab2_->setAccessibleName(Tab1_->tabText(1));
    menuBar()->setAccessibleName(QStringLiteral("Menu"));
    statusBar()->setAccessibleName(word(Text::StatusOk).section(u':', 0, 0));
    panelWords_ = {word(Text::StatusOk).section(u':', 0, 0), word(Text::Songs),
                   word(Text::Selected), word(Text::Free)};
    for (int panel = 1; panel <= 4; ++panel) // the progress bar's name follows the first
        setPanel(panel, panels_[static_cast<size_t>(panel - 1)]->text());
    cmbPlaylists_->setAccessibleName(text(Text::Playlists)); // its entry is its value
}

void frmStart::nameProgressBar() {
    // Done once full; until then the status panel's work without its "Status:", or the
    // panel's own name while it says nothing.
    const QString status = panels_[0]->accessibleName();
    const QString work = status.section(u':', 1).trimmed();
    const bool full = pBar_->maximum() > pBar_->minimum() && pBar_->value() >= pBar_->maximum();
    const QString name = full ? text(Text::Completed) : work.isEmpty() ? status : work;
    if (pBar_->accessibleName() != name) // each change is an event a screen reader hears
        pBar_->setAccessibleName(name);
}

void frmStart::ChooseLanguage(const QString& key) {
    LoadLanguage(key);
    ApplyLanguage();
    (void)StoreLanguage(store_, key); // the language still applies to this run
    picTab1_->update();
    update();
}

void frmStart::StartLanguage(const QLocale& system) {
    // A stored key that names no language is asked for as on a first start.
    const QString stored = StoredLanguage(store_);
    if (stored.isEmpty()) {
        QString answer;
        {
            frmLanguage chooser(WindowTitle, LanguageKeyFor(system), this);
            chooser.exec();
            QCoreApplication::processEvents();
            answer = chooser.Result();
        }
        const QString key = KnownLanguageKey(answer);
        if (!key.isEmpty()) {
            (void)StoreLanguage(store_, key); // unstored, the question comes again next time
            LoadLanguage(key);
        } else {
            // Closed without a choice: English for this run, and the question again next time.
            LoadLanguage(QLatin1String(LanguageKeys[0]));
        }
    } else {
        LoadLanguage(stored);
    }
    ApplyLanguage();
}
