#include "app/MelvoProgram.h"

#include "Version.h"
#include "itunesdb/PlayerSongs.h"
#include "platform/PlayerPath.h"
#include "platform/Volumes.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

QCommandLineOption playerOption() {
    return QCommandLineOption(
        QStringLiteral("player"),
        QStringLiteral("Open DIR as the player, ahead of the mounted volumes: a folder that holds "
                       "iPod_Control, such as a backup of a player."),
        QStringLiteral("DIR"));
}

} // namespace

MelvoProgram::CommandLine MelvoProgram::Parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Copies the songs of an iPod (or of a copy of its folders) to this computer."));
    const QCommandLineOption help = parser.addHelpOption();
    // Not addVersionOption: it reads the application's version, and there is no application
    // yet.
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(version);
    const QCommandLineOption player = playerOption();
    parser.addOption(player);
    // Read before the application exists, so the program's name is filled in here.
    const QString program =
        arguments.isEmpty() ? QStringLiteral("melvo") : QFileInfo(arguments.first()).fileName();
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.Message =
            parser.errorText() + QStringLiteral("\nTry '%1 --help' for more.\n").arg(program);
        line.ExitCode = 1;
    } else if (parser.isSet(help)) {
        line.Message = parser.helpText().replace(QLatin1String("<executable_name>"), program);
        line.ExitCode = 0;
    } else if (parser.isSet(version)) {
        line.Message = program + u' ' + QLatin1String(MelvoVersion) + u'\n';
        line.ExitCode = 0;
    }
    for (const QString& dir : parser.values(player)) {
        line.PlayerFolders << QDir(ExpandHome(dir)).absolutePath(); // "~" unexpanded by a shell
        if (!IsPlayerRoot(line.PlayerFolders.last()))
            line.Warnings += QStringLiteral("%1: no iPod music database or songs in %2 "
                                            "(iPod_Control/iTunes/iTunesDB, iPod_Control/Music); "
                                            "looking further.\n")
                                 .arg(program, QDir::toNativeSeparators(line.PlayerFolders.last()));
    }
    return line;
}

MelvoProgram::MelvoProgram(const CommandLine& commandLine, SettingsStore store,
                           const QString& configPath)
    : store_(std::move(store)), window_(state_, store_, configPath) {
    const QStringList players = commandLine.PlayerFolders;
    window_.SetDriveSource([players] { return players + MountedVolumeRoots(); });
    window_.StartLanguage();
    window_.show();
}
