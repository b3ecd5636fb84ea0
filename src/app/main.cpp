#include "app/MelvoProgram.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.melvo_app.Melvo"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/melvo-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    const MelvoProgram::CommandLine commandLine = MelvoProgram::Parse(app.arguments());
    if (commandLine.ExitCode >= 0) {
        std::fputs(qPrintable(commandLine.Message), commandLine.ExitCode == 0 ? stdout : stderr);
        return commandLine.ExitCode;
    }
    const QString configPath =
        ConfigFilePath(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    MelvoProgram program(commandLine, SettingsStore::ForUser(), configPath);
    return app.exec();
}
