#pragma once

#include "transfer/TransferEngine.h"

#include "gui/MessageDialog.h"

class LanguageTable;

// "Error: File Exists": asks whether to replace a file that is already at the destination,
// showing what is there and what would replace it. No is the answer Enter gives.
class frmCopyError : public PlacedDialog {
    Q_OBJECT
public:
    frmCopyError(const LanguageTable& language, const OverwriteQuestion& question,
                 QWidget* parent = nullptr);

    // The button pressed; None when the prompt was closed another way.
    PromptAnswer Answer() const { return answer_; }

private:
    PromptAnswer answer_ = PromptAnswer::None;
};
