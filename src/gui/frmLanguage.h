#pragma once

#include "gui/MessageDialog.h"

#include <QString>

// The first-run question: which language? Three flag buttons with fixed captions, since
// no language is loaded yet to caption anything else.
class frmLanguage : public PlacedDialog {
    Q_OBJECT
public:
    explicit frmLanguage(const QString& title, QWidget* parent = nullptr);

    // "english", "german" or "spanish"; empty when the dialog was closed without a choice.
    const QString& Result() const { return result_; }

private:
    QString result_;
};
