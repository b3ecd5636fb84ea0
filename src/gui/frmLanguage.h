#pragma once

#include "gui/MessageDialog.h"

#include <QString>

// The first-run question: which language? Three flag buttons with fixed captions, since
// no language is loaded yet to caption anything else. The button of the language given as
// likely (the system's) has the focus, so Enter takes it.
class frmLanguage : public PlacedDialog {
    Q_OBJECT
public:
    frmLanguage(const QString& title, const QString& likelyKey, QWidget* parent = nullptr);

    // "english", "german" or "spanish"; empty when the dialog was closed without a choice.
    const QString& Result() const { return result_; }

private:
    QString result_;
};
