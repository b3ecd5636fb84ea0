#include "app/MelvoProgram.h"

#include "Version.h"
#include "cli/TerminalCommand.h"
#include "platform/Volumes.h"

#include <QCommandLineParser>
#include <QFileInfo>

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
    const QCommandLineOption player = PlayerOption();
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
        line.Message = parser.helpText().replace(QLatin1String("<executable_name>"), program) +
                       TerminalCommandsHelp();
        line.ExitCode = 0;
    } else if (parser.isSet(version)) {
        line.Message = program + u' ' + QLatin1String(MelvoVersion) + u'\n';
        line.ExitCode = 0;
    } else if (!parser.positionalArguments().isEmpty()) {
        // A mistyped command would start the window where there may be no display.
        line.Message = QStringLiteral("%1: unknown command '%2'; the commands are list and copy.\n"
                                      "Try '%1 --help' for more.\n")
                           .arg(program, parser.positionalArguments().first());
        line.ExitCode = 2;
    }
    line.PlayerFolders = PlayerFolders(parser.values(player), program, line.Warnings);
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
