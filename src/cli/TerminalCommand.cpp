#include "cli/TerminalCommand.h"

#include "cli/HeldSignals.h"
#include "cli/TerminalView.h"
#include "itunesdb/PlayerSongs.h"
#include "platform/PlayerPath.h"
#include "platform/RegularFile.h"
#include "platform/Volumes.h"
#include "settings/KnownLanguages.h"
#include "settings/Settings.h"
#include "songlist/SearchFilter.h"
#include "songlist/SongCatalog.h"
#include "transfer/PlaylistExport.h"
#include "transfer/TransferEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <optional>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum Status : int { Done = 0, SongFailed = 1, Usage = 2 };

const QString ListCommand = QStringLiteral("list");
const QString CopyCommand = QStringLiteral("copy");

void say(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    (void)std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// What the command line asks of a command.
struct Request {
    QString Command;
    QString Name; // "melvo list", as the messages begin
    QStringList Players;
    std::optional<QString> Playlist;
    QString Search;
    QString To;
    std::optional<QString> Format;
    ExistingFile Existing = ExistingFile::Skip;
    bool M3u = false;
    bool AllPlaylists = false;
};

// Reads the command's options into request; an exit status when the command ends here
// (its help, or a usage error, said on the way).
std::optional<int> parse(const QStringList& arguments, Request& request) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("melvo") : QFileInfo(arguments.first()).fileName();
    request.Command = arguments.value(1);
    request.Name = program + u' ' + request.Command;
    const bool copy = request.Command == CopyCommand;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        copy ? QStringLiteral("Copies the player's songs into DIR, named by the output format, as "
                              "Start Copy does. Starts no window.")
             : QStringLiteral("Prints the player's songs, one a line in UTF-8: title, artist, "
                              "album, genre, size, year, track, bit rate and path on the player, "
                              "separated by tabs. Starts no window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption player = PlayerOption();
    const QCommandLineOption playlist(
        QStringLiteral("playlist"),
        QStringLiteral("Only the songs of this playlist, named as the playlist box names it; the "
                       "whole player's list also without its \"[All Songs]\"."),
        QStringLiteral("NAME"));
    const QCommandLineOption search(
        QStringLiteral("search"),
        QStringLiteral("Only the songs whose title, artist, album or genre holds TEXT, as the "
                       "search box finds them (within --playlist when given)."),
        QStringLiteral("TEXT"));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("The folder to copy into (needed)."),
                                QStringLiteral("DIR"));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("The names of the copies: %a artist, %b album, %t title, %g genre, %n "
                       "track number, %y year, %r album artist, %d disc number; / or \\ "
                       "between folders; {...} only when every token in it has a value. Without "
                       "it, the format the window keeps, else %a\\%b\\%t."),
        QStringLiteral("FORMAT"));
    const QCommandLineOption existing(
        QStringLiteral("existing"),
        QStringLiteral("A song whose file is there already: ask (on the terminal, one key an "
                       "answer; Enter keeps the file), skip it, or overwrite it. Without it: ask "
                       "when the input is a terminal, else skip."),
        QStringLiteral("ask|skip|overwrite"));
    const QCommandLineOption m3u(
        QStringLiteral("m3u"),
        QStringLiteral("Also write an .m3u playlist of the copied songs into DIR."));
    const QCommandLineOption allPlaylists(
        QStringLiteral("all-playlists"),
        QStringLiteral("After the copy, write every playlist of the player as DIR/Playlists/"
                       "<name>.m3u8, with the copies the format names in DIR, as Export All "
                       "Playlists does."));
    parser.addOptions({player, playlist, search});
    if (copy)
        parser.addOptions({to, format, existing, m3u, allPlaylists});

    const auto usage = [&request](const QString& problem) {
        say(request.Name + QStringLiteral(": ") + problem +
            QStringLiteral("\nTry '%1 --help' for more.\n").arg(request.Name));
        return std::optional<int>(Usage);
    };
    if (!parser.parse(QStringList{program} + arguments.mid(2)))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        const QByteArray text =
            parser.helpText().replace(QLatin1String("<executable_name>"), request.Name).toUtf8();
        std::fputs(text.constData(), stdout);
        return Done;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    request.Players = parser.values(player);
    if (parser.isSet(playlist))
        request.Playlist = parser.value(playlist);
    request.Search = parser.value(search);
    if (!copy)
        return std::nullopt;

    request.To = parser.value(to).trimmed();
    if (request.To.isEmpty())
        return usage(QStringLiteral("--to DIR names the folder to copy into."));
    if (parser.isSet(format)) {
        request.Format = parser.value(format);
        if (request.Format->trimmed().isEmpty())
            return usage(QStringLiteral("the format is empty."));
    }
    const QString rule = parser.isSet(existing)
                             ? parser.value(existing)
                             : QLatin1String(::isatty(STDIN_FILENO) ? "ask" : "skip");
    if (rule == QLatin1String("ask"))
        request.Existing = ExistingFile::Ask;
    else if (rule == QLatin1String("overwrite"))
        request.Existing = ExistingFile::Overwrite;
    else if (rule == QLatin1String("skip"))
        request.Existing = ExistingFile::Skip;
    else
        return usage(QStringLiteral("--existing is ask, skip or overwrite, not '%1'.").arg(rule));
    request.M3u = parser.isSet(m3u);
    request.AllPlaylists = parser.isSet(allPlaylists);
    return std::nullopt;
}

// The playlist the name stands for: as the playlist box shows it, else without the whole
// player's suffix, else either without regard to case; -1 when none.
int playlistNamed(const MusicDatabase& db, const QString& name, const QString& allSongs) {
    const QString suffix = QStringLiteral(" [") + allSongs + u']';
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (int p = 0; p < db.PlaylistCount(); ++p) {
            const QString& shown = db.Playlists[size_t(p)].PlayListName;
            if (shown.compare(name, cs) == 0 ||
                (shown.endsWith(suffix) && shown.chopped(suffix.size()).compare(name, cs) == 0))
                return p;
        }
    return -1;
}

// One song a line: the shown columns, a tab between them; a tab or line break in a tag
// would read as another column or song, so it reads as a blank.
int list(const std::vector<SongRow>& rows, const QString& name) {
    int failure = 0;
    for (const SongRow& row : rows) {
        QStringList columns;
        for (size_t c = Column::Title; c <= Column::SourcePath; ++c) {
            QString text = row.Texts[c];
            for (QChar& ch : text)
                if (ch == u'\t' || ch == u'\n' || ch == u'\r')
                    ch = u' ';
            columns << text;
        }
        const QByteArray line = (columns.join(u'\t') + u'\n').toUtf8();
        if (std::fwrite(line.constData(), 1, size_t(line.size()), stdout) != size_t(line.size())) {
            failure = errno;
            break;
        }
    }
    if (failure == 0 && std::fflush(stdout) != 0)
        failure = errno;
    // Whoever read the list stopped reading (`| head`): that is no failure.
    if (failure == 0 || failure == EPIPE)
        return Done;
    say(name + QStringLiteral(": cannot write the list: ") +
        QString::fromLocal8Bit(std::strerror(failure)) + u'\n');
    return SongFailed;
}

int copy(const Request& request, const MusicDatabase& db, std::vector<SongRow> rows,
         const SettingsStore& store, const LanguageTable& language, const QString& playlistName,
         int promptFd) {
    const QString& player = db.PlayerDrive;
    const QString configPath = ConfigFilePath(QCoreApplication::applicationDirPath());
    WindowSettings page; // what the window would start with; nothing is stored back
    LoadSettings(store, configPath, page);
    page.OutputFolder = QDir::toNativeSeparators(QDir(ExpandHome(request.To)).absolutePath());
    if (request.Format)
        page.OutputFormat = *request.Format;
    page.Unattended = request.Existing != ExistingFile::Ask;
    page.Rule = request.Existing;
    for (SongRow& row : rows)
        row.Ticked = true;
    const TransferOptions options =
        TransferOptions::ForRun(page, request.M3u, playlistName, player, configPath);

    // Only this thread runs now (the load's are done): the signals wait for it.
    HeldSignals held;
    TerminalView view(language, rows, held, promptFd, ::isatty(STDERR_FILENO) == 1);
    TransferEngine engine(language, view);
    view.Follow(engine);
    const TransferEngine::Outcome outcome = engine.Run(std::move(rows), options);
    view.Finish();
    if (outcome == TransferEngine::Outcome::NoOutputFolder)
        return Usage;
    const bool stopped = outcome == TransferEngine::Outcome::Cancelled;
    const QString status = stopped ? language.Entry(Text::TransferStopped) : engine.EndText();
    say(status.trimmed() + QStringLiteral("\n") + engine.CountsText() + u'\n');
    if (const QString failures = engine.FailureText(); !failures.isEmpty())
        say(failures + u'\n');
    if (stopped)
        return 128 + (view.StopSignal() != 0 ? view.StopSignal() : SIGINT);
    bool succeeded = engine.Succeeded();
    if (request.AllPlaylists) {
        const PlaylistsExport done = ExportAllPlaylists(db, page.OutputFolder, page.OutputFormat);
        say(done.Report(language) + u'\n');
        succeeded = succeeded && done.Failures.isEmpty();
    }
    return succeeded ? Done : SongFailed;
}

} // namespace

bool IsTerminalCommand(const QStringList& arguments) {
    return arguments.size() > 1 && (arguments[1] == ListCommand || arguments[1] == CopyCommand);
}

QString TerminalCommandsHelp() {
    return QStringLiteral(
        "\nCommands, which start no window ('melvo COMMAND --help' for their options):\n"
        "  list                       Prints the player's songs, one a line.\n"
        "  copy --to DIR              Copies the player's songs into DIR.\n");
}

QCommandLineOption PlayerOption() {
    return QCommandLineOption(
        QStringLiteral("player"),
        QStringLiteral("Open DIR as the player, ahead of the mounted volumes: a folder that holds "
                       "iPod_Control, such as a backup of a player."),
        QStringLiteral("DIR"));
}

QStringList PlayerFolders(const QStringList& typed, const QString& program, QString& warnings) {
    QStringList folders;
    for (const QString& dir : typed) {
        folders << QDir(ExpandHome(dir)).absolutePath(); // "~" unexpanded by a shell
        if (!IsPlayerRoot(folders.last()))
            warnings += QStringLiteral("%1: no iPod music database or songs in %2 "
                                       "(iPod_Control/iTunes/iTunesDB, iPod_Control/Music); "
                                       "looking further.\n")
                            .arg(program, QDir::toNativeSeparators(folders.last()));
    }
    return folders;
}

int RunTerminalCommand(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Request request;
    if (const std::optional<int> ended = parse(arguments, request))
        return *ended;
    // A reader that went away ends a write with EPIPE instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Before the terminal is needed, not after the player was read.
    Descriptor prompt;
    if (request.Existing == ExistingFile::Ask) {
        prompt.reset(::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY));
        if (prompt.get() < 0) {
            say(request.Name + QStringLiteral(": --existing ask needs a terminal to ask on.\n"));
            return Usage;
        }
    }

    QCoreApplication app(argc, argv); // files and settings; no window system, no bus
    QCoreApplication::setApplicationName(ApplicationName);
    const SettingsStore store = SettingsStore::ForUser();
    LanguageTable language;
    if (!language.LoadLanguage(StoredLanguage(store)))
        language.LoadLanguage(QLatin1String(LanguageKeys[0]));

    QString warnings;
    const QStringList candidates =
        PlayerFolders(request.Players, request.Name, warnings) + MountedVolumeRoots();
    say(warnings);
    const QString player = FirstPlayerRoot(candidates);
    if (player.isEmpty()) {
        say(request.Name + QStringLiteral(": ") + language.Entry(Text::NoIPodFound) +
            QStringLiteral(" (--player DIR opens a folder that holds iPod_Control.)\n"));
        return Usage;
    }
    MusicDatabase db;
    db.PlayerDrive = player;
    const PlayerTexts texts = PlayerTexts::From(language);
    if (LoadPlayerWithTags(db, player, texts).Unreadable()) {
        say(request.Name + QStringLiteral(": ") +
            language.Entry(Text::StatusCannotRead).section(u':', 1).trimmed() +
            QStringLiteral(": ") + QDir::toNativeSeparators(player) + u'\n');
        return Usage;
    }

    int p = 0;
    if (request.Playlist) {
        p = playlistNamed(db, *request.Playlist, texts.AllSongs);
        if (p < 0) {
            QString names;
            for (const clsPlayList& playlist : db.Playlists)
                names += QStringLiteral("\n  ") + playlist.PlayListName;
            say(request.Name +
                QStringLiteral(": the player has no playlist '%1'. Its playlists:")
                    .arg(*request.Playlist) +
                names + u'\n');
            return Usage;
        }
    }
    const SongCatalog catalog(db);
    std::vector<SongRow> rows = catalog.PlaylistRows(db, p);
    if (!request.Search.isEmpty()) {
        std::vector<SongRow> found = SearchRows(catalog, SearchIndex(db), request.Search);
        if (request.Playlist) {
            // A catalog's rows keep their texts' identity in every list made from them.
            QSet<const void*> matching;
            for (const SongRow& row : found)
                matching.insert(row.Texts.Identity());
            std::erase_if(rows, [&matching](const SongRow& row) {
                return !matching.contains(row.Texts.Identity());
            });
        } else {
            rows = std::move(found);
        }
    }
    if (request.Command == ListCommand)
        return list(rows, request.Name);
    const QString playlistName =
        p < db.PlaylistCount() ? db.Playlists[size_t(p)].PlayListName : QString();
    return copy(request, db, std::move(rows), store, language, playlistName, prompt.get());
}
