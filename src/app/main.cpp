#include "app/ProgramState.h"
#include "app/frmStart.h"
#include "platform/Volumes.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.melvo_app.Melvo"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/melvo-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Copies the songs of an iPod (or of a copy of its folders) to this computer."));
    parser.addHelpOption();
    const QCommandLineOption player(
        QStringLiteral("player"),
        QStringLiteral("Open DIR as the player, ahead of the mounted volumes: a folder that holds "
                       "iPod_Control, such as a backup of a player."),
        QStringLiteral("DIR"));
    parser.addOption(player);
    parser.process(app);
    QStringList playerFolders;
    for (const QString& dir : parser.values(player))
        playerFolders << QDir(dir).absolutePath();

    ProgramState state;
    SettingsStore store = SettingsStore::ForUser();
    const QString configPath =
        ConfigFilePath(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    frmStart window(state, store, configPath);
    window.SetDriveSource([playerFolders] { return playerFolders + MountedVolumeRoots(); });

    window.StartLanguage();

    window.show();
    return app.exec();
}
