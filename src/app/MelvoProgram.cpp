#include "app/MelvoProgram.h"

#include "platform/Volumes.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

QCommandLineOption playerOption() {
    return QCommandLineOption(
        QStringLiteral("player"),
        QStringLiteral("Open DIR as the player, ahead of the mounted volumes: a folder that holds "
                       "iPod_Control, such as a backup of a player."),
        QStringLiteral("DIR"));
}

} // namespace

QStringList MelvoProgram::PlayerFolders(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Copies the songs of an iPod (or of a copy of its folders) to this computer."));
    parser.addHelpOption();
    const QCommandLineOption player = playerOption();
    parser.addOption(player);
    parser.process(arguments); // --help prints and ends the program here
    QStringList folders;
    for (const QString& dir : parser.values(player))
        folders << QDir(dir).absolutePath();
    return folders;
}

MelvoProgram::MelvoProgram(const QStringList& arguments, SettingsStore store,
                           const QString& configPath)
    : store_(std::move(store)), window_(state_, store_, configPath) {
    const QStringList players = PlayerFolders(arguments);
    window_.SetDriveSource([players] { return players + MountedVolumeRoots(); });
    window_.StartLanguage();
    window_.show();
}
