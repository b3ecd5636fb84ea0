#pragma once

#include "gui/ProgramState.h"
#include "gui/frmStart.h"
#include "settings/SettingsStore.h"

#include <QStringList>

// The running program: its state, its settings store and its main window, started from a
// command line as `melvo` is. main() makes one with the user's store; the end-to-end test
// makes one with a store of its own.
class MelvoProgram {
public:
    // What the command line asks: the folders named by --player, made absolute ("~" is the
    // home folder), with a warning for each that holds no player's database; or, for
    // --help, --version or a mistake, a text to print and the exit status to end with.
    struct CommandLine {
        QStringList PlayerFolders;
        QString Warnings; // for the error output, before the window opens
        QString Message;
        int ExitCode = -1; // 0 or more: print Message and end
    };
    static CommandLine Parse(const QStringList& arguments);

    // Asks the language on a first start, then shows the main window, which goes on to
    // look for the player.
    MelvoProgram(const CommandLine& commandLine, SettingsStore store, const QString& configPath);

    frmStart& Window() { return window_; }
    ProgramState& State() { return state_; }

private:
    ProgramState state_;
    SettingsStore store_;
    frmStart window_;
};
