#include "app/MelvoProgram.h"

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
    const QCommandLineOption player = playerOption();
    parser.addOption(player);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.Message = parser.errorText() + u'\n';
        line.ExitCode = 1;
    } else if (parser.isSet(help)) {
        // Read before the application exists, so the program's name is filled in here.
        const QString program =
            arguments.isEmpty() ? QStringLiteral("melvo") : QFileInfo(arguments.first()).fileName();
        line.Message = parser.helpText().replace(QLatin1String("<executable_name>"), program);
        line.ExitCode = 0;
    }
    for (const QString& dir : parser.values(player))
        line.PlayerFolders << QDir(dir).absolutePath();
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
