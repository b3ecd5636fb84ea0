#pragma once

// `melvo list` and `melvo copy`: the player's songs listed or copied from a terminal or a
// script, through the same core as the window, without starting a window system.

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

// Whether the command line (the program first) names one of the commands.
bool IsTerminalCommand(const QStringList& arguments);

// The commands as `melvo --help` lists them.
QString TerminalCommandsHelp();

// Runs the command the command line names. Its exit status: 0 when nothing failed, 1 when a
// song failed, 2 for a usage error or when there is no player, 128 + the signal number
// after SIGINT (130) or SIGTERM.
int RunTerminalCommand(int& argc, char** argv);

// --player, for the window and the commands alike.
QCommandLineOption PlayerOption();
// The folders --player named, made absolute ("~" is the home folder), with a line in
// warnings for each that holds no player.
QStringList PlayerFolders(const QStringList& typed, const QString& program, QString& warnings);
