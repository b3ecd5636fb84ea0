#pragma once

#include <QCoreApplication>
#include <QString>

// Tools > Copy Melvo > iPod: the program's own file into the player's root under its own
// name, replacing a copy there without asking. The copy keeps the program's permissions,
// so it stays runnable from the player.
struct ProgramCopy {
    enum class Outcome {
        NoPlayer, // no player's database under the root: nothing is written
        Copied,
        Failed,
    };
    Outcome What = Outcome::Copied;
    QString Message; // why it failed; empty otherwise
};

ProgramCopy CopyProgramTo(const QString& playerRoot,
                          const QString& program = QCoreApplication::applicationFilePath());
