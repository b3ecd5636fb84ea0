#include "transfer/TransferEngine.h"

#include "platform/PlayerPath.h"
#include "transfer/OutputPath.h"
#include "transfer/PlaylistExport.h"
#include "transfer/SongCopy.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

namespace {

// Where in the run an error happened, as the error messages name it.
enum Line {
    StartPlaylistLine = 30,
    MakeFolderLine = 40,
    ReplaceLine = 61,
    CopyLine = 62,
    ExportLine = 63,
    LogLine = 70,
};

QString timeText() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

bool folderExists(const QString& path) {
    return QFileInfo(ToNativeSeparators(path)).isDir();
}

} // namespace

struct TransferEngine::Song {
    QString Location;
    QString SourceFile;  // on the player, native; empty when the location leaves the player
    QString SourceText;  // as the log shows it
    QString FolderText;  // "\" form
    QString Destination; // native
    QString Title;       // cleaned, for the playlist
};

TransferEngine::TransferEngine(const LanguageTable& language, TransferView& view)
    : language_(language), view_(view) {}

void TransferEngine::log(const QString& message) {
    const QString failure = DebugLog(options_.LogPath, message);
    if (!failure.isEmpty())
        error("DebugLog", LogLine, failure);
}

void TransferEngine::numbered(int number, bool exists, const QString& path) {
    static const char* const texts[] = {
        "Source file exist on iPod = [", "*** Source file does not exist on iPod = [",
        "Destination folder exists = [", "*** Destination folder does not exist = ["};
    // Lines come in pairs: the odd number when the thing exists, the even one when not.
    const int shown = exists ? number : number + 1;
    const bool source = number == 1 || number == 3 || number == 7 || number == 11;
    log(QStringLiteral("%1 ").arg(shown, 2, 10, QLatin1Char('0')) +
        QLatin1String(texts[(source ? 0 : 2) + (exists ? 0 : 1)]) + path + u']');
}

void TransferEngine::error(const char* routine, int line, const QString& description) {
    view_.ShowError(description + u'\n' + QStringLiteral("in Melvo.frmCopy.") +
                    QLatin1String(routine) + QStringLiteral(" at line ") + QString::number(line));
}

TransferEngine::Outcome TransferEngine::Run(std::vector<SongRow> rows,
                                            const TransferOptions& options) {
    options_ = options;
    log(QStringLiteral("** Starting Copy Routine ***"));
    log(QStringLiteral("Build PlayLists: STARTING"));
    // Without an output folder the run stops below; no playlist is started at the root.
    const bool haveFolder = !options_.OutputFolderText.trimmed().isEmpty();
    if (options_.ExportPlaylist && haveFolder) {
        playlistPath_ =
            PlaylistPath(options_.OutputFolderText, PlaylistName(options_.PlaylistSelectorText));
        // A new output folder is made here rather than with the first song, so that the
        // playlist has its place.
        QDir().mkpath(QFileInfo(playlistPath_).path());
        const QString failure = StartPlaylist(playlistPath_);
        if (!failure.isEmpty())
            error("Form_Activate", StartPlaylistLine, failure);
        log(QStringLiteral("Build PlayLists: Built"));
    } else {
        log(QStringLiteral("Build PlayLists: Not Selected"));
    }
    log(QStringLiteral("Build PlayLists: FINISHED"));
    mode_ = Ask;
    skipped_ = 0;
    view_.ProcessEvents();
    if (!haveFolder) {
        view_.ShowMessage(language_.Entry(63)); // "You must specify a folder!!!"
        return Outcome::NoOutputFolder;
    }

    log(QStringLiteral("Output folder (raw): ") + options_.OutputFolderText.trimmed());
    outputFolder_ = ProcessOutputFolder(options_.OutputFolderText);
    log(QStringLiteral("Output folder (processed): ") + ToNativeSeparators(outputFolder_));
    QString playerRoot = FromNativeSeparators(options_.PlayerDrive);
    if (playerRoot.endsWith(u'\\'))
        playerRoot.chop(1);

    const int m = static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const SongRow& r) { return r.Ticked; }));
    view_.ShowProgress(m, 0);
    const QString started = timeText();
    log(QStringLiteral("*** Starting Copy Routine ***"));
    log(QStringLiteral("============================="));

    int n = 0;
    for (const SongRow& row : rows) {
        if (!row.Ticked)
            continue;
        ++n;
        Song song;
        song.Location = row.Texts[8];
        const QString extension = SongExtension(song.Location);
        if (extension.isEmpty())
            continue;
        if (cancelled_)
            return Outcome::Cancelled;
        song.Title = row.Texts[0];
        ensureValidFileString(song.Title, false);

        const SongTags tags = SongTags::FromRow(row.Texts);
        const QString base = outputFolder_ + RelativePath(options_.OutputFormat, tags);
        song.FolderText = outputFolder_ + FolderText(options_.OutputFormat, tags);
        log(QStringLiteral("FilePath(output1): ") + ToNativeSeparators(base));
        const QString parent = base.left(base.lastIndexOf(u'\\'));
        if (!folderExists(parent))
            for (const FolderFailure& failure : makeFolderPath(base))
                error("makeFolderPath", MakeFolderLine, failure.Reason);
        song.Destination = NativePath(base + extension);
        song.SourceText = ToNativeSeparators(playerRoot + song.Location);
        if (!LeavesPlayerRoot(song.Location))
            song.SourceFile = FindPlayerFile(options_.PlayerDrive, song.Location);

        view_.ShowCopying(QStringLiteral("Copying %1 of %2").arg(n).arg(m));
        view_.ShowCurrentFile(row.Texts[1] + QStringLiteral(" - ") + row.Texts[0]);
        log(QStringLiteral("FinalPath(4): ") + song.SourceText + QStringLiteral(" : ") +
            song.Destination);
        view_.ProcessEvents();

        if (QFileInfo::exists(song.Destination)) {
            decide(song);
        } else {
            numbered(11, !song.SourceFile.isEmpty(), song.SourceText);
            numbered(13, folderExists(song.FolderText), ToNativeSeparators(song.FolderText));
            copySong(song);
        }
        view_.ProcessEvents();
        view_.ProcessEvents();
        view_.ShowProgress(m, n);
    }

    view_.ShowCurrentFile(language_.Entry(54) + u' ' + started + QStringLiteral(" - ") +
                          language_.Entry(10) + QStringLiteral(": ") + timeText());
    view_.ShowProgress(10, 10);
    view_.ShowCopying(language_.Entry(53)); // "Transfer completed successfully"
    return Outcome::Completed;
}

void TransferEngine::copySong(const Song& song) {
    QString failure;
    if (LeavesPlayerRoot(song.Location))
        failure = QStringLiteral("The song's location lies outside the player: ") + song.Location;
    else
        failure = CopySongFile(song.SourceFile.isEmpty() ? song.SourceText : song.SourceFile,
                               song.Destination, [this] { view_.ProcessEvents(); });
    if (!failure.isEmpty())
        error("Form_Activate", CopyLine, failure);
    // Listed whether or not the copy worked.
    if (!playlistPath_.isEmpty()) {
        const QString exportFailure =
            AppendPlaylistSong(playlistPath_, song.Title, song.Destination);
        if (!exportFailure.isEmpty())
            error("ExportPlaylist", ExportLine, exportFailure);
    }
}

void TransferEngine::replace(const Song& song, int sourceLine, int folderLine) {
    // The old file stays until the new one is complete; one that may not be written is
    // refused here, and the copy then fails too.
    if (IsReadOnlyFile(song.Destination))
        error("Form_Activate", ReplaceLine, QStringLiteral("Permission denied"));
    numbered(sourceLine, !song.SourceFile.isEmpty(), song.SourceText);
    if (folderLine > 0)
        numbered(folderLine, folderExists(song.FolderText), ToNativeSeparators(song.FolderText));
    copySong(song);
}

void TransferEngine::decide(const Song& song) {
    if (options_.Unattended) {
        if (options_.Rule == 1)
            mode_ = OverwriteAll;
        else if (options_.Rule == 2)
            mode_ = SkipAll;
    }
    if (mode_ == OverwriteAll) {
        replace(song, 1, 0);
        return;
    }
    if (mode_ == SkipAll) {
        ++skipped_;
        return;
    }
    const PromptAnswer answer = view_.AskOverwrite(QFileInfo(song.Destination).fileName());
    view_.ProcessEvents();
    switch (answer) {
    case PromptAnswer::Yes:
        replace(song, 3, 5);
        break;
    case PromptAnswer::YesAll:
        mode_ = OverwriteAll;
        replace(song, 7, 9);
        break;
    case PromptAnswer::NoAll:
        mode_ = SkipAll;
        ++skipped_;
        break;
    case PromptAnswer::No:
    case PromptAnswer::None: // closed without an answer: the file stays
        ++skipped_;
        break;
    }
}
