#pragma once

#include "app/ProgramState.h"
#include "app/frmStart.h"
#include "settings/SettingsStore.h"

#include <QStringList>

// The running program: its state, its settings store and its main window, started from a
// command line as `melvo` is. main() makes one with the user's store; the end-to-end test
// makes one with a store of its own.
class MelvoProgram {
public:
    // The folders named by --player, made absolute; the other options are Qt's.
    static QStringList PlayerFolders(const QStringList& arguments);

    // Asks the language on a first start, then shows the main window, which goes on to
    // look for the player.
    MelvoProgram(const QStringList& arguments, SettingsStore store, const QString& configPath);

    frmStart& Window() { return window_; }
    ProgramState& State() { return state_; }

private:
    ProgramState state_;
    SettingsStore store_;
    frmStart window_;
};
