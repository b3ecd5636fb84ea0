#include "app/ProgramState.h"
#include "app/frmStart.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));

    ProgramState state;
    SettingsStore store = SettingsStore::ForUser();
    const QString configPath =
        ConfigFilePath(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    frmStart window(state, store, configPath);

    // The stored language; English until the first-run chooser exists to ask.
    const QString language = store.GetSetting(QStringLiteral("Melvo"), QStringLiteral("Settings"),
                                              QStringLiteral("Language"));
    window.LoadLanguage(language.isEmpty() ? QStringLiteral("english") : language);

    window.show();
    return app.exec();
}
