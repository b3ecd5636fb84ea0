#pragma once

#include "gui/MessageDialog.h"

#include <functional>

class LanguageTable;
class QTimer;

// "Missing iPod": tells the user that no player was found and asks to retry or quit, or to
// open a folder that holds a player's files. It closes by itself as Retry would once a
// player is mounted.
class frmNoiPod : public PlacedDialog {
    Q_OBJECT
public:
    enum Answer { Retry = 0, Quit = -1 };

    frmNoiPod(const LanguageTable& language, QWidget* parent = nullptr);

    // Retry unless Quit was pressed: closing the dialog any other way asks for a new search.
    Answer NoPlayerAnswer() const { return answer_; }

    // Open Folder asks picker for a folder; one that holds a player's database is kept
    // (ChosenFolder, made absolute) and the dialog closes as Retry.
    void SetFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    QString ChosenFolder() const { return chosenFolder_; }

    // Asks playerMounted every intervalMs while the dialog is open, and closes it as Retry
    // once it says yes.
    void WatchForPlayer(std::function<bool()> playerMounted, int intervalMs);

private:
    void openFolder();

    const LanguageTable& language_;
    Answer answer_ = Retry;
    FolderPicker folderPicker_;
    QString chosenFolder_;
    std::function<bool()> playerMounted_;
    QTimer* watch_ = nullptr;
};
