#include "app/MelvoProgram.h"
#include "cli/TerminalCommand.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char** argv) {
    // Read before the window system is asked for: --help works without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // `melvo list`, `melvo copy`: from a terminal or a script, and no window system at all.
    if (IsTerminalCommand(arguments))
        return RunTerminalCommand(argc, argv);
    const MelvoProgram::CommandLine commandLine = MelvoProgram::Parse(arguments);
    if (commandLine.ExitCode >= 0) {
        std::fputs(qPrintable(commandLine.Message), commandLine.ExitCode == 0 ? stdout : stderr);
        return commandLine.ExitCode;
    }
    std::fputs(qPrintable(commandLine.Warnings), stderr);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(ApplicationName);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.melvo_app.Melvo"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/melvo-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    MelvoProgram program(commandLine, SettingsStore::ForUser(),
                         ConfigFilePath(QCoreApplication::applicationDirPath()));
    return app.exec();
}
