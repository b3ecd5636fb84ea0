// One copy run of every song of a player (its folder as the first argument) into an output
// folder, as the copy window runs it but without a window: prints the seconds it took.
// With --overwrite, existing files are replaced by the unattended rule.
#include "itunesdb/LoadiTunesDB.h"
#include "platform/PlayerPath.h"
#include "songlist/SongCatalog.h"
#include "transfer/TransferEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

class QuietView final : public TransferView {
public:
    void ShowCopying(const QString&) override {}
    void ShowCurrentFile(const QString&) override {}
    void ShowProgress(int, int) override {}
    void ShowError(const QString& message) override {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    PromptAnswer AskOverwrite(const OverwriteQuestion&) override { return PromptAnswer::Yes; }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: transfer_bench PLAYER OUTPUT [--overwrite]\n");
        return 2;
    }
    MusicDatabase db;
    LoadiTunesDB(db, PlayerDatabaseFile(args[1]), QStringLiteral("All Songs"));
    std::vector<SongRow> rows = SongCatalog(db).PlaylistRows(db, 0);
    for (SongRow& row : rows)
        row.Ticked = true;

    LanguageTable language;
    language.LoadLanguage(QStringLiteral("english"));
    QuietView view;
    TransferEngine engine(language, view);
    TransferOptions options;
    options.OutputFolderText = args[2];
    options.OutputFormat = QStringLiteral("%t");
    options.PlayerDrive = args[1];
    options.Unattended = args.contains(QStringLiteral("--overwrite"));
    options.Rule = ExistingFile::Overwrite;
    QElapsedTimer clock;
    clock.start();
    engine.Run(std::move(rows), options);
    std::printf("%.3f\n", clock.nsecsElapsed() / 1e9);
    return 0;
}
