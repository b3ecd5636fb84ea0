#pragma once

#include "cli/HeldSignals.h"
#include "settings/LanguageTable.h"
#include "transfer/TransferEngine.h"

#include <QElapsedTimer>
#include <QString>
#include <vector>

// A copy run shown on the error output: where that is a terminal, one progress line redrawn
// in place; elsewhere one line a song, with what became of it. The overwrite question is
// asked on the terminal, one key an answer. SIGINT and SIGTERM stop the run as Cancel does,
// before the next piece of the song being copied.
class TerminalView final : public TransferView {
public:
    // rows: those the run is given, for their sizes. promptFd: the terminal to ask on, or -1
    // (then a question keeps the file). redraw: stderr is a terminal.
    TerminalView(const LanguageTable& language, const std::vector<SongRow>& rows, HeldSignals& held,
                 int promptFd, bool redraw);

    // The run this view shows: stopped by a signal, and asked what became of a song.
    void Follow(TransferEngine& engine) { engine_ = &engine; }
    // The signal that stopped the run; 0 when none did.
    int StopSignal() const { return signal_; }
    // Takes the progress line away, so that what follows starts on a clean line.
    void Finish();

    void ShowCopying(const QString& text) override;
    void ShowCurrentFile(const QString& text) override;
    void ShowProgress(int maximum, int value) override;
    void ShowError(const QString& message) override;
    void ShowMessage(const QString& text) override;
    PromptAnswer AskOverwrite(const OverwriteQuestion& question) override;
    void ProcessEvents() override;
    void ShowSongProgress(qint64 copied) override;
    void SongStarted(int number) override;

private:
    bool takeSignal();
    // The progress line, at most five times a second.
    void draw();
    void clearLine();
    // The line of a song that ended: n of m, what became of it, the song.
    void songEnded(int n);

    const LanguageTable& language_;
    HeldSignals& signals_;
    TransferEngine* engine_ = nullptr;
    const int promptFd_;
    const bool redraw_;
    std::vector<qint64> before_; // bytes of the songs ahead of song n (1-based), and of all
    int total_ = 0;
    int song_ = 0; // the song being copied, 1-based
    int done_ = 0; // songs the run is through with
    qint64 songBytes_ = 0;
    bool songNamed_ = false; // the run named the song it copies: the next file text is it
    QString label_;
    int signal_ = 0;
    QElapsedTimer clock_;
    qint64 waited_ = 0; // ms the questions stood open
    qint64 drawnAt_ = -1;
    bool lineShown_ = false;
    // What the run had counted when the last song ended.
    int copied_ = 0;
    int skipped_ = 0;
    size_t failed_ = 0;
};
