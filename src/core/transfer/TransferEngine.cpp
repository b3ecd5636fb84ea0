#include "transfer/TransferEngine.h"

#include "platform/DiskFlush.h"
#include "platform/PlayerPath.h"
#include "settings/OutputFormat.h"
#include "settings/Settings.h"
#include "text/Blanks.h"
#include "text/SizeTexts.h"
#include "transfer/OutputPath.h"
#include "transfer/PlaylistExport.h"
#include "transfer/SongCopy.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStringBuilder>
#include <QTime>
#include <filesystem>

namespace {

// Where in the run an error happened, as the error messages name it.
enum Line {
    StartPlaylistLine = 30,
    MakeFolderLine = 40,
    ReplaceLine = 61,
    CopyLine = 62,
    ExportLine = 63,
    FlushLine = 64,
    LogLine = 70,
};

QString timeText() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

bool folderExists(const BackslashPath& path) {
    return QFileInfo(path.NativeText()).isDir();
}

} // namespace

TransferOptions TransferOptions::ForRun(const WindowSettings& page, bool exportPlaylist,
                                        QString playlistSelectorText, QString playerDrive,
                                        const QString& configPath) {
    TransferOptions options;
    options.OutputFolderText = page.OutputFolder;
    options.OutputFormat = FormatAsBuilt(page.OutputFormat);
    options.ExportPlaylist = exportPlaylist;
    options.PlaylistSelectorText = std::move(playlistSelectorText);
    options.Unattended = page.Unattended;
    options.Rule = page.Rule;
    options.PlayerDrive = std::move(playerDrive);
    options.LogPath = DebugLogPath(configPath);
    return options;
}

struct TransferEngine::Song {
    BackslashPath Location; // on the player
    QString Source;         // the player's file, as the log shows it
    BackslashPath Folder;   // the destination's folder as the log names it; logging only
    QString Destination;
    QString Title;              // cleaned, for the playlist
    QString Label;              // artist - title, as the window shows it
    bool OutsidePlayer = false; // the location or its folder leads out of the player's root
};

FileFacts FileFacts::Of(const QString& nativePath) {
    const QFileInfo info(nativePath);
    if (nativePath.isEmpty() || !info.isFile())
        return {};
    return {info.size(), info.lastModified()};
}

QString FileFacts::Text() const {
    if (!Known())
        return QStringLiteral("\u2013");
    QString text = FormatFileSize(static_cast<double>(Size));
    if (Modified.isValid())
        text += QStringLiteral(", ") + QLocale().toString(Modified, QLocale::ShortFormat);
    return text;
}

QString TransferEngine::sourceFile(const Song& song) const {
    return song.OutsidePlayer ? QString() : FindPlayerFile(options_.PlayerDrive, song.Location);
}

bool TransferEngine::isLogOn() const {
    return !options_.LogPath.isEmpty() && QFileInfo(options_.LogPath).isFile();
}

TransferEngine::TransferEngine(const LanguageTable& language, TransferView& view)
    : language_(language), view_(view) {}

void TransferEngine::log(const QString& message) {
    if (!logging_)
        return;
    const QString failure = DebugLog(options_.LogPath, message);
    if (!failure.isEmpty())
        error("DebugLog", LogLine, failure);
}

void TransferEngine::numbered(int number, bool exists, const QString& path) {
    // Lines come in pairs: the odd number when the thing exists, the even one when not.
    const bool source = number == 1 || number == 3 || number == 7 || number == 11;
    const char* text = source ? (exists ? "Source file exist on iPod = ["
                                        : "*** Source file does not exist on iPod = [")
                              : (exists ? "Destination folder exists = ["
                                        : "*** Destination folder does not exist = [");
    log(QStringLiteral("%1 ").arg(exists ? number : number + 1, 2, 10, QLatin1Char('0')) +
        QLatin1String(text) + path + u']');
}

void TransferEngine::sourceLine(int number, const Song& song) {
    if (logging_) // the test is for the log alone
        numbered(number, !sourceFile(song).isEmpty(), song.Source);
}

void TransferEngine::folderLine(int number, const Song& song) {
    if (logging_) // the test is for the log alone
        numbered(number, folderExists(song.Folder), song.Folder.NativeText());
}

void TransferEngine::error(const char* routine, int line, const QString& description,
                           const QString& file) {
    ++errors_;
    const QString message = (file.isEmpty() ? QString() : file + u'\n') + description + u'\n' +
                            QStringLiteral("in Melvo.frmCopy.") + QLatin1String(routine) +
                            QStringLiteral(" at line ") + QString::number(line);
    // Unattended nobody is there to press OK: the end's report and the log tell instead.
    if (!options_.Unattended)
        view_.ShowError(message);
    else if (line != LogLine) // the log's own failure cannot go into the log
        log(QStringLiteral("Error: ") + QString(message).replace(u'\n', u' '));
}

QString TransferEngine::summary() const {
    QString text = language_.Entry(Text::TransferStarted) + u' ' + started_ +
                   QStringLiteral(" - ") + language_.Entry(Text::Completed) + QStringLiteral(": ") +
                   timeText();
    if (errors_ > 0 || !failures_.empty() || skipped_ > 0)
        text += QStringLiteral(" - ") + CountsText();
    return text;
}

QString TransferEngine::CountsText() const {
    return QStringLiteral("%1: %2, %3: %4, %5: %6")
        .arg(language_.Entry(Text::Copied))
        .arg(copied_)
        .arg(language_.Entry(Text::Skipped))
        .arg(skipped_)
        .arg(language_.Entry(Text::Failed))
        .arg(failures_.size());
}

QString TransferEngine::FailureText() const {
    QStringList blocks;
    const auto add = [&blocks](const TransferFailure& f) {
        blocks << f.Song + QStringLiteral("\n    ") + f.Destination + QStringLiteral("\n    ") +
                      f.Reason;
    };
    for (const TransferFailure& failure : failures_)
        add(failure);
    if (playlistFailure_)
        add(*playlistFailure_);
    return blocks.join(QStringLiteral("\n\n"));
}

QString TransferEngine::OutputFolder() const {
    return outputFolder_.IsEmpty() ? QString() : outputFolder_.Native();
}

TransferEngine::Outcome TransferEngine::Run(std::vector<SongRow> rows,
                                            const TransferOptions& options) {
    reset(options);
    if (!startOutput()) {
        view_.ShowMessage(language_.Entry(Text::FolderNeeded));
        return Outcome::NoOutputFolder;
    }
    const int total = startSongs(rows);
    int n = 0;
    for (const SongRow& row : rows)
        if (row.Ticked && !transferRow(row, ++n, total)) {
            makeDurable();
            return Outcome::Cancelled;
        }
    makeDurable();
    finish();
    return Outcome::Completed;
}

void TransferEngine::reset(const TransferOptions& options) {
    options_ = options;
    copied_ = skipped_ = errors_ = 0;
    failures_.clear();
    written_.clear();
    playlistFailure_.reset();
    playlistPath_.clear();
    outputFolder_ = {};
    knownFolder_ = {};
    tidiedFolders_.clear();
    mode_ = ExistingFile::Ask;
    logging_ = isLogOn();
}

bool TransferEngine::startOutput() {
    log(QStringLiteral("** Starting Copy Routine ***"));
    log(QStringLiteral("Build PlayLists: STARTING"));
    // Without an output folder the run stops here; no playlist is started at the root.
    const std::optional<BackslashPath> folder = RunOutputFolder(options_.OutputFolderText);
    const bool haveFolder = folder.has_value();
    if (haveFolder)
        outputFolder_ = *folder;
    if (options_.ExportPlaylist && haveFolder) {
        // Beside the songs, in the folder they go to, whatever blanks the box held.
        playlistPath_ = PlaylistPath(outputFolder_, PlaylistName(options_.PlaylistSelectorText));
        // A new output folder is made here rather than with the first song, so that the
        // playlist has its place; where it cannot be made, the start fails and says why.
        (void)QDir().mkpath(QFileInfo(playlistPath_).path());
        playlistFailed("Form_Activate", StartPlaylistLine, StartPlaylist(playlistPath_));
        log(QStringLiteral("Build PlayLists: Built"));
    } else {
        log(QStringLiteral("Build PlayLists: Not Selected"));
    }
    log(QStringLiteral("Build PlayLists: FINISHED"));
    view_.ProcessEvents();
    return haveFolder;
}

int TransferEngine::startSongs(const std::vector<SongRow>& rows) {
    log(QStringLiteral("Output folder (raw): ") + TrimBlanks(options_.OutputFolderText));
    log(QStringLiteral("Output folder (processed): ") + outputFolder_.NativeText());

    const int total = static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const SongRow& r) { return r.Ticked; }));
    view_.ShowProgress(total, 0);
    started_ = timeText();
    log(QStringLiteral("*** Starting Copy Routine ***"));
    log(QStringLiteral("============================="));
    playerRoot_ = BackslashPath::FromNative(options_.PlayerDrive);
    bounds_ = PlayerBounds(options_.PlayerDrive);
    return total;
}

TransferEngine::Song TransferEngine::songOf(const SongRow& row) {
    Song song;
    song.Location = BackslashPath(row.Texts[Column::SourcePath]);
    // A song's texts are put together with % (QStringBuilder): one allocation each, where +
    // makes one for every piece.
    song.Label = row.Texts[Column::Artist] % QStringLiteral(" - ") % row.Texts[Column::Title];
    song.Title = row.Texts[Column::Title];
    ensureValidFileString(song.Title, false);
    return song;
}

bool TransferEngine::transferRow(const SongRow& row, int n, int total) {
    logging_ = isLogOn(); // looked at once a song: creating debug.txt switches it on
    songReason_.clear();
    Song song = songOf(row);
    if (!song.Location.Text().contains(u'.')) {
        // Nothing to copy, but the user ticked it: it is named among the failures.
        if (!cancelled_)
            failures_.push_back({song.Label, song.Location.Text(),
                                 QStringLiteral("The song's location names no file")});
        return true;
    }
    if (cancelled_)
        return false;
    const SongDestination place = DestinationOf(outputFolder_, options_.OutputFormat, row.Texts);
    song.Destination = place.Native();
    // Longer than the system opens: one failure, before any of its folders is made.
    if (NameLength(song.Destination) > PathLimit) {
        refuseLongName(song, n, total);
        return true;
    }
    // What only the log shows is made only for the log: the copy of a small song costs
    // little more than building its texts.
    if (logging_) {
        song.Folder = outputFolder_ + FolderText(options_.OutputFormat, place.Tags);
        log(QStringLiteral("FilePath(output1): ") + place.Base.NativeText());
    }
    prepareFolder(place.Base);
    locateSource(song);
    showSong(song, n, total);
    if (logging_)
        log(QStringLiteral("FinalPath(4): ") + song.Source + QStringLiteral(" : ") +
            song.Destination);
    transferSong(song);
    // The window's turn once a song (and between the pieces of a large one, and while a
    // question is open) is enough for Cancel and the labels.
    view_.ProcessEvents();
    view_.ShowProgress(total, n);
    return !stopping_;
}

void TransferEngine::refuseLongName(const Song& song, int n, int total) {
    showSong(song, n, total);
    const QString reason = QStringLiteral("File name too long");
    error("Form_Activate", CopyLine, reason, song.Destination);
    failures_.push_back({song.Label, song.Destination, reason});
    view_.ProcessEvents();
    view_.ShowProgress(total, n);
}

void TransferEngine::prepareFolder(const BackslashPath& base) {
    // Songs of one album share their folder: it is looked for once.
    const BackslashPath parent = base.Folder();
    if (parent != knownFolder_) {
        QList<FolderFailure> failures;
        if (!folderExists(parent))
            failures = makeFolderPath(base);
        for (const FolderFailure& failure : failures)
            error("makeFolderPath", MakeFolderLine, failure.Reason);
        if (!failures.isEmpty())
            songReason_ = failures.first().Reason; // the copy then fails for this reason
        knownFolder_ = failures.isEmpty() ? parent : BackslashPath();
    }
    // What a killed run left in this folder goes, once a run.
    if (!tidiedFolders_.contains(parent)) {
        tidiedFolders_.insert(parent);
        (void)RemoveLeftovers(parent.Native()); // what could not go is tried next run
    }
}

void TransferEngine::locateSource(Song& song) {
    // One separator between the root and the location, whatever the database holds.
    song.Source = (playerRoot_ / song.Location).NativeText();
    // The song's own name is judged by the copy, which opens no link in its place.
    song.OutsidePlayer = LeavesPlayerRoot(song.Location) || bounds_.FolderOutside(song.Source);
}

void TransferEngine::showSong(const Song& song, int n, int total) {
    view_.SongStarted(n);
    // Put together by hand: arg() costs more than the copy of a small song's name.
    view_.ShowCopying(QStringLiteral("Copying ") % QString::number(n) % QStringLiteral(" of ") %
                      QString::number(total));
    view_.ShowCurrentFile(song.Label);
}

void TransferEngine::transferSong(const Song& song) {
    const DestinationState there = CheckDestination(song.Destination);
    if (there != DestinationState::Absent) {
        decide(song, there);
        return;
    }
    sourceLine(11, song);
    folderLine(13, song);
    copySong(song, there);
}

void TransferEngine::finish() {
    view_.ShowCurrentFile(summary());
    view_.ShowProgress(10, 10);
    view_.ShowCopying(EndText());
}

QString TransferEngine::EndText() const {
    return language_.Entry(Succeeded() ? Text::TransferSucceeded : Text::TransferHadErrors);
}

void TransferEngine::makeDurable() {
    // "Completed" means on the disk: a stick pulled out now loses nothing.
    QStringList native{outputFolder_.Native()};
    for (const BackslashPath& folder : tidiedFolders_)
        native << folder.Native();
    const QString failure = FlushFileSystems(native, [this] { view_.ProcessEvents(); });
    if (failure.isEmpty())
        return;
    const QString folder = outputFolder_.NativeText();
    error("Form_Activate", FlushLine, failure, folder);
    failures_.push_back({QStringLiteral("The copies of this transfer"), folder,
                         QStringLiteral("They may not all be on the disk: ") + failure});
}

CopyResult TransferEngine::copyFromPlayer(const Song& song, DestinationState there) {
    if (song.OutsidePlayer)
        return outsidePlayer(song);
    CopyOptions copy{
        .There = there,
        .SourceLinks = Links::Refuse,
        .BetweenPieces = [this] { view_.ProcessEvents(); },
        .AfterPiece =
            [this](qint64 copied) {
                view_.ShowSongProgress(copied);
                return stopping_;
            },
    };
    CopyResult result = CopySongFile(song.Source, song.Destination, copy);
    copy.SourceLinks = Links::Follow;
    // A link is read only when it ends inside the player: one to a file elsewhere must not
    // leak that file into the copy.
    if (result.What == CopyResult::Outcome::SourceIsLink)
        result = bounds_.Outside(song.Source) ? outsidePlayer(song)
                                              : CopySongFile(song.Source, song.Destination, copy);
    // The player's file system may spell the names in another case than the database.
    if (result.What == CopyResult::Outcome::SourceMissing) {
        const QString found = sourceFile(song);
        if (!found.isEmpty() && found != song.Source)
            result = CopySongFile(found, song.Destination, copy);
    }
    return result;
}

void TransferEngine::copySong(const Song& song, DestinationState there) {
    const CopyResult result = copyFromPlayer(song, there);
    if (result.What == CopyResult::Outcome::Stopped)
        return; // neither copied nor failed: the run ends here
    // Someone's file appeared there while the song was copied: asked about like any other.
    if (result.What == CopyResult::Outcome::DestinationAppeared &&
        there == DestinationState::Absent)
        if (const DestinationState now = CheckDestination(song.Destination);
            now != DestinationState::Absent) {
            decide(song, now);
            return;
        }
    if (!result.Copied()) {
        error("Form_Activate", CopyLine, result.Message, song.Destination);
        // Its file is not there (or is the old one): the playlist leaves it out.
        failures_.push_back(
            {song.Label, song.Destination, songReason_.isEmpty() ? result.Message : songReason_});
        return;
    }
    ++copied_;
    written_.insert(song.Destination.toCaseFolded(), song.Destination);
    listInPlaylist(song);
}

bool TransferEngine::wroteEarlier(const QString& destination) const {
    const auto found = written_.constFind(destination.toCaseFolded());
    if (found == written_.cend())
        return false;
    // A disk that ignores case (FAT, every stick) has one file for both spellings.
    std::error_code error;
    return *found == destination ||
           std::filesystem::equivalent(FileSystemPath(*found), FileSystemPath(destination), error);
}

CopyResult TransferEngine::outsidePlayer(const Song& song) {
    return {CopyResult::Outcome::Failed,
            QStringLiteral("The song's location lies outside the player: ") + song.Location.Text()};
}

void TransferEngine::keep(const Song& song) {
    ++skipped_;
    listInPlaylist(song);
}

void TransferEngine::listInPlaylist(const Song& song) {
    if (playlistPath_.isEmpty())
        return;
    playlistFailed("ExportPlaylist", ExportLine,
                   AppendPlaylistSong(playlistPath_, song.Title, song.Destination));
}

void TransferEngine::playlistFailed(const char* routine, int line, const QString& failure) {
    if (failure.isEmpty())
        return;
    error(routine, line, failure);
    // The list of failures names the playlist once, with its first reason.
    if (!playlistFailure_)
        playlistFailure_ =
            TransferFailure{QFileInfo(playlistPath_).fileName(), playlistPath_, failure};
}

void TransferEngine::replace(const Song& song, DestinationState there, int sourceNumber,
                             int folderNumber) {
    // The old file stays until the new one is complete; one that may not be written is
    // refused here, and the copy then fails too.
    if (there == DestinationState::ReadOnly) {
        songReason_ = QStringLiteral("Permission denied");
        error("Form_Activate", ReplaceLine, songReason_, song.Destination);
    }
    sourceLine(sourceNumber, song);
    if (folderNumber > 0)
        folderLine(folderNumber, song);
    copySong(song, there);
}

void TransferEngine::decide(const Song& song, DestinationState there) {
    // Two songs of one run under one name: the first one's copy stays, whatever the rule.
    if (wroteEarlier(song.Destination)) {
        const QString reason = QStringLiteral("An earlier song of this transfer has this name");
        error("Form_Activate", CopyLine, reason, song.Destination);
        failures_.push_back({song.Label, song.Destination, reason});
        return;
    }
    if (options_.Unattended) {
        if (options_.Rule != ExistingFile::Ask)
            mode_ = options_.Rule;
    }
    if (mode_ == ExistingFile::Overwrite) {
        replace(song, there, 1, 0);
        return;
    }
    if (mode_ == ExistingFile::Skip) {
        keep(song);
        return;
    }
    const PromptAnswer answer =
        view_.AskOverwrite({QFileInfo(song.Destination).fileName(), FileFacts::Of(song.Destination),
                            FileFacts::Of(sourceFile(song))});
    view_.ProcessEvents();
    // The question may have stood open for long: look again at what is there now.
    there = CheckDestination(song.Destination);
    switch (answer) {
    case PromptAnswer::Yes:
        replace(song, there, 3, 5);
        break;
    case PromptAnswer::YesAll:
        mode_ = ExistingFile::Overwrite;
        replace(song, there, 7, 9);
        break;
    case PromptAnswer::NoAll:
        mode_ = ExistingFile::Skip;
        keep(song);
        break;
    case PromptAnswer::No:
    case PromptAnswer::None: // closed without an answer: the file stays
        keep(song);
        break;
    }
}
