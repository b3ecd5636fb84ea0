#pragma once

// The copy run: every ticked row of the song list, in display order, copied from the player
// to the path the output format gives it, asking (or following the unattended rule) when
// the file is there already, listing each song in the playlist and the log. It shows what
// it does, and asks, through the copy window.

#include "platform/PlayerPath.h"
#include "settings/ExistingFile.h"
#include "settings/LanguageTable.h"
#include "songlist/SongRow.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

struct WindowSettings;

enum class PromptAnswer { None, Yes, YesAll, No, NoAll };

// A file as the overwrite prompt describes it: its size and its last change; Size -1 and
// no time when there is no regular file to look at.
struct FileFacts {
    qint64 Size = -1;
    QDateTime Modified;
    static FileFacts Of(const QString& nativePath);
    bool Known() const { return Size >= 0; }
    // As the overwrite prompt shows it: "4.21 MB, 12/9/26 2:03 PM"; a dash when unknown.
    QString Text() const;
};

// What the overwrite prompt asks about: the destination's file name, the file there, and
// the song's file on the player that would replace it.
struct OverwriteQuestion {
    QString FileName;
    FileFacts There;
    FileFacts Incoming;
};
enum class DestinationState; // transfer/SongCopy.h
struct CopyResult;           // transfer/SongCopy.h

class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void ShowCopying(const QString& text) = 0;
    virtual void ShowCurrentFile(const QString& text) = 0;
    virtual void ShowProgress(int maximum, int value) = 0;
    // An error, with where it happened; the run goes on after it.
    virtual void ShowError(const QString& message) = 0;
    virtual void ShowMessage(const QString& text) = 0;
    // The destination file exists: replace it? None when the prompt was closed unanswered.
    virtual PromptAnswer AskOverwrite(const OverwriteQuestion& question) = 0;
    // Lets the window system handle what is pending (repaints, the Cancel button).
    virtual void ProcessEvents() = 0;
    // Song number (counted from 1 among the ticked ones) begins; ShowCopying and
    // ShowCurrentFile then say so.
    virtual void SongStarted(int number) { (void)number; }
    // How many bytes of the current song's file are copied, between the pieces of a large one.
    virtual void ShowSongProgress(qint64 copied) { (void)copied; }
};

// A ticked song that is not in the output folder after the run, and why; or the playlist
// file, when it could not be written.
struct TransferFailure {
    QString Song;        // artist - title
    QString Destination; // where it was to go, native
    QString Reason;      // in plain words
};

struct TransferOptions {
    QString OutputFolderText; // the output folder box as typed, a native path
    QString OutputFormat;     // already lower-cased
    bool ExportPlaylist = false;
    QString PlaylistSelectorText;
    bool Unattended = false;
    ExistingFile Rule = ExistingFile::Overwrite; // the unattended rule; Ask: none chosen
    QString PlayerDrive;                         // the player's root, native
    QString LogPath;                             // debug.txt; empty when logging is off

    // A run's options from what the options page holds (the output folder, the format,
    // the unattended choices), the playlist choice and the player: the format in lower
    // case, as the paths are built from it and the page shows it after the run; the log
    // beside config.cfg.
    static TransferOptions ForRun(const WindowSettings& page, bool exportPlaylist,
                                  QString playlistSelectorText, QString playerDrive,
                                  const QString& configPath);
};

class TransferEngine {
public:
    enum class Outcome { Completed, Cancelled, NoOutputFolder };

    TransferEngine(const LanguageTable& language, TransferView& view);

    // The rows are copied first: the list may be rebuilt while the run yields.
    Outcome Run(std::vector<SongRow> rows, const TransferOptions& options);
    // Seen when the run reaches its next song.
    void Cancel() { cancelled_ = true; }
    // Cancel that does not wait for the song being copied: its copy ends before its next
    // piece, leaving no temporary file and the file it was to replace as it was.
    void Stop() { cancelled_ = stopping_ = true; }

    // What the run did: songs copied (new or replacing a file), kept because their file was
    // there, and those that failed, each with its reason.
    int CopiedCount() const { return copied_; }
    int SkippedCount() const { return skipped_; }
    const std::vector<TransferFailure>& Failures() const { return failures_; }
    // Nothing failed and no error was shown: the run may say "completed successfully".
    bool Succeeded() const { return errors_ == 0 && failures_.empty(); }
    // Every failure of the run, the playlist's included, one after the other as text.
    QString FailureText() const;
    // The folder the run copied into, native; empty when it had none.
    QString OutputFolder() const;
    // The decision that stands for the rest of the run.
    ExistingFile OverwriteMode() const { return mode_; }
    // "Copied: 3, Skipped: 1, Failed: 0" in the run's language.
    QString CountsText() const;
    // The closing line of a run that went to its end: completed successfully only when it
    // did (Succeeded), else with errors.
    QString EndText() const;

private:
    struct Song;
    // The run's steps, in their order.
    void reset(const TransferOptions& options);
    // The log's head, the processed output folder and the playlist started in it; false
    // when the box names no folder.
    bool startOutput();
    // The log's and the bar's start, the player's root: how many songs are ticked.
    int startSongs(const std::vector<SongRow>& rows);
    // One ticked row, the n-th of total: false when the run stops here.
    bool transferRow(const SongRow& row, int n, int total);
    // Flushes what the run wrote into its folders and the output folder.
    void makeDurable();
    // The summary and the bar's and the label's last word.
    void finish();

    // The steps of one song.
    static Song songOf(const SongRow& row);
    void refuseLongName(const Song& song, int n, int total);
    // Makes the folders of base that are missing, tidying each once a run.
    void prepareFolder(const BackslashPath& base);
    // The song's file on the player as the log names it, and whether it lies outside.
    void locateSource(Song& song);
    void showSong(const Song& song, int n, int total);
    // Copies the song, or decides first when its file is there.
    void transferSong(const Song& song);
    void copySong(const Song& song, DestinationState there);
    // The copy of the song's file on the player, a link's end or another case of its name
    // included, where it lies inside the player.
    CopyResult copyFromPlayer(const Song& song, DestinationState there);
    static CopyResult outsidePlayer(const Song& song);
    // The song's file was there and stays: it is listed like a copied one.
    void keep(const Song& song);
    void listInPlaylist(const Song& song);
    // An error of the playlist file, when failure says one.
    void playlistFailed(const char* routine, int line, const QString& failure);
    void decide(const Song& song, DestinationState there);
    // This run copied a song to destination already.
    bool wroteEarlier(const QString& destination) const;
    void replace(const Song& song, DestinationState there, int sourceNumber, int folderNumber);
    bool isLogOn() const;
    // The song's file on the player, looked up without regard to case; empty when missing.
    QString sourceFile(const Song& song) const;
    void log(const QString& message);
    void numbered(int number, bool exists, const QString& path);
    void sourceLine(int number, const Song& song);
    void folderLine(int number, const Song& song);
    // The message of an error, headed by the file it concerns when there is one.
    void error(const char* routine, int line, const QString& description, const QString& file = {});
    QString summary() const;

    const LanguageTable& language_;
    TransferView& view_;
    TransferOptions options_;
    BackslashPath outputFolder_;
    BackslashPath playerRoot_;
    PlayerBounds bounds_{QString()};
    QString started_;                   // the time the songs began, as the summary shows it
    BackslashPath knownFolder_;         // the last destination folder known to exist
    QSet<BackslashPath> tidiedFolders_; // what killed runs left there went, once a run
    QString playlistPath_;              // empty when the playlist is not exported
    bool cancelled_ = false;
    bool stopping_ = false;
    bool logging_ = false; // debug.txt exists
    int copied_ = 0;
    int skipped_ = 0;
    int errors_ = 0;     // error messages shown
    QString songReason_; // the first reason the current song met
    std::vector<TransferFailure> failures_;
    QHash<QString, QString> written_; // the run's copies: case-folded name, name
    std::optional<TransferFailure> playlistFailure_;
    ExistingFile mode_ = ExistingFile::Ask;
};
