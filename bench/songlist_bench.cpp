// The song list on a large player (MELVO_BENCH_DB): building the master playlist's rows,
// one search keystroke, one tick with its recount, and the whole first load from the file
// to a sorted list on screen, beside libgpod's parse of the same file. With
// MELVO_BENCH_LARGE_DB (a far larger player) also one keystroke of the main window's search
// box on both players, through the window's own model and list on screen, beside a plain
// loop over the large player's search texts.
#include "LibgpodReference.h"
#include "gui/ProgramState.h"
#include "gui/frmStart.h"
#include "itunesdb/LoadiTunesDB.h"
#include "settings/SettingsStore.h"
#include "songlist/SearchFilter.h"
#include "songlist/SongCatalog.h"
#include "songlist/SongListModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

const MusicDatabase& loadedOnce() {
    static const MusicDatabase db = [] {
        MusicDatabase d;
        LoadiTunesDB(d, QString::fromLocal8Bit(BenchFile()), QStringLiteral("All Songs"));
        return d;
    }();
    return db;
}

// From loaded tables to a model ready to show: the rows of every track, then the master
// playlist's rows into the model.
void BM_BuildMasterList(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    SongListModel model;
    for (auto _ : state) {
        const SongCatalog catalog(db);
        model.SetRows(catalog.PlaylistRows(db, 0));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["rows"] = model.rowCount();
}

// One keystroke of the search box: the matching rows into the model.
void BM_SearchKeystroke(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    const SongCatalog catalog(db);
    const SearchIndex index(db);
    SongListModel model;
    const QStringList texts = {QStringLiteral("e"),      QStringLiteral("he"),
                               QStringLiteral("hel"),    QStringLiteral("hello"),
                               QStringLiteral("straße"), QStringLiteral("zzz")};
    qsizetype i = 0, rows = 0;
    for (auto _ : state) {
        model.SetRows(SearchRows(catalog, index, texts[i++ % texts.size()]));
        rows += model.rowCount();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

// One tick click on a 40,000-row list and the recount that follows it.
void BM_TickWithRecount(benchmark::State& state) {
    const MusicDatabase& db = loadedOnce();
    SongListModel model;
    model.SetRows(SongCatalog(db).PlaylistRows(db, 0));
    int row = 0;
    for (auto _ : state) {
        model.SetRowTicked(row, !model.Rows()[size_t(row)].Ticked);
        benchmark::DoNotOptimize(model.SelectionTotals());
        row = (row + 7919) % model.rowCount();
    }
}

// The whole first load: the file read, the rows made, sorted by title and painted.
void BM_FirstLoadToSortedList(benchmark::State& state) {
    const QString path = QString::fromLocal8Bit(BenchFile());
    for (auto _ : state) {
        MusicDatabase db;
        LoadiTunesDB(db, path, QStringLiteral("All Songs"));
        const SongCatalog catalog(db);
        const SearchIndex index(db);
        SongListModel model;
        model.HeaderClicked(Column::Title);
        model.SetRows(catalog.PlaylistRows(db, 0));
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(1000, 600);
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.model()->rowCount());
    }
}

// The main window on the player that holds database, found, loaded and showing its master
// playlist on the offscreen screen, as a user has it before typing.
class LoadedWindow {
public:
    explicit LoadedWindow(const QString& database) {
        // The player's folder holds iPod_Control/iTunes/iTunesDB.
        const QString player = QFileInfo(database).absoluteDir().absoluteFilePath("../..");
        window_.LoadLanguage(QStringLiteral("english"));
        window_.SetDriveSource([player] { return QStringList{QDir::cleanPath(player)}; });
        window_.resize(1000, 700);
        window_.show();
        auto* playlists = window_.findChild<QComboBox*>(QStringLiteral("cmbPlaylists"));
        while (!playlists->isEnabled())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        search_ = window_.findChild<QLineEdit*>(QStringLiteral("XPSearch"));
    }

    // One keystroke in the search box, until the list shows the result: the first pass of
    // the events lays the list out, the second paints it.
    void Type(const QString& text) {
        search_->setText(text);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    int Rows() { return window_.Songs().rowCount(); }
    // Sorted by a header click (the first click on Artist: ascending).
    void SortBy(int column) {
        auto* list = window_.findChild<QTreeView*>(QStringLiteral("LV"));
        emit list->header()->sectionClicked(column);
        QApplication::processEvents();
    }

private:
    QTemporaryDir dir_;
    ProgramState state_;
    SettingsStore store_{dir_.filePath(QStringLiteral("store.ini"))};
    frmStart window_{state_, store_, dir_.filePath(QStringLiteral("config.cfg"))};
    QLineEdit* search_ = nullptr;
};

// One window per player, and another one sorted by the artists (a sort is never switched
// off again), each made the first time it is asked for and closed before the application.
std::map<std::pair<std::string, bool>, std::unique_ptr<LoadedWindow>>& windows() {
    static std::map<std::pair<std::string, bool>, std::unique_ptr<LoadedWindow>> open;
    return open;
}
LoadedWindow& windowOn(const char* variable, bool sorted) {
    auto& w = windows()[{variable, sorted}];
    if (!w) {
        w = std::make_unique<LoadedWindow>(QString::fromLocal8Bit(BenchFile(variable)));
        if (sorted)
            w->SortBy(Column::Artist);
    }
    return *w;
}

// One keystroke in the search box: from the text before (not timed) to the text after, on
// the player named by the benchmark's first argument (0 the usual one, 1 the large one), in
// a list sorted by a header click when the second argument is 1.
void windowKeystroke(benchmark::State& state, const QString& before, const QString& after) {
    const char* variable = state.range(0) ? "MELVO_BENCH_LARGE_DB" : "MELVO_BENCH_DB";
    // Without a player the window would wait in its no-player dialog.
    if (!QFileInfo::exists(QString::fromLocal8Bit(BenchFile(variable)))) {
        state.SkipWithError("no database named");
        return;
    }
    LoadedWindow& window = windowOn(variable, state.range(1) != 0);
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window.Type(before);
        state.ResumeTiming();
        window.Type(after);
        rows += window.Rows();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

// The first letter typed into the empty box, over the master playlist: the widest result.
void BM_WindowFirstLetter(benchmark::State& state) {
    windowKeystroke(state, QString(), QStringLiteral("e"));
}
// One more letter: a narrower result.
void BM_WindowNextLetter(benchmark::State& state) {
    windowKeystroke(state, QStringLiteral("e"), QStringLiteral("el"));
}
// A letter taken back: a wider result again.
void BM_WindowBackspace(benchmark::State& state) {
    windowKeystroke(state, QStringLiteral("el"), QStringLiteral("e"));
}
// The last letter taken back: the master playlist again.
void BM_WindowClear(benchmark::State& state) {
    windowKeystroke(state, QStringLiteral("e"), QString());
}

// The reference for the keystrokes: the large player's four tags per track, lower-cased once,
// and a plain loop that tests each for the letter.
void BM_PlainHaystackLoop(benchmark::State& state) {
    if (!*BenchFile("MELVO_BENCH_LARGE_DB")) {
        state.SkipWithError("no database named");
        return;
    }
    MusicDatabase db;
    LoadiTunesDB(db, QString::fromLocal8Bit(BenchFile("MELVO_BENCH_LARGE_DB")),
                 QStringLiteral("All Songs"));
    std::vector<QString> haystacks;
    haystacks.reserve(db.Tracks.size());
    for (const TrackRecord& t : db.Tracks)
        haystacks.push_back(
            (t.Title + u'\n' + t.Artist + u'\n' + t.Album + u'\n' + t.Genre).toLower());
    const QString needle = QStringLiteral("e");
    for (auto _ : state) {
        qsizetype found = 0;
        for (const QString& h : haystacks)
            found += h.contains(needle) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

BENCHMARK(BM_itdb_parse_file)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_BuildMasterList)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SearchKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_TickWithRecount)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_FirstLoadToSortedList)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

BENCHMARK(BM_PlainHaystackLoop)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
// Few iterations each: every one is set up by another keystroke, not timed.
BENCHMARK(BM_WindowFirstLetter)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_WindowNextLetter)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_WindowBackspace)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_WindowClear)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows().clear();
    return 0;
}
