#pragma once

#include <QDialog>

class LanguageTable;

// "Missing iPod": tells the user that no player was found and asks to retry or quit.
class frmNoiPod : public QDialog {
    Q_OBJECT
public:
    enum Answer { Retry = 0, Quit = -1 };

    frmNoiPod(const LanguageTable& language, QWidget* parent = nullptr);

    // Retry unless Quit was pressed: closing the dialog any other way asks for a new search.
    Answer NoPlayerAnswer() const { return answer_; }

private:
    Answer answer_ = Retry;
};
