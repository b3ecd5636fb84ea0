#include "gui/frmCopyError.h"

#include "gui/MessageDialog.h"
#include "gui/WindowStyle.h"
#include "settings/LanguageTable.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmCopyError::frmCopyError(const LanguageTable& language, const OverwriteQuestion& question,
                           QWidget* parent)
    : PlacedDialog(parent) {
    setObjectName(QStringLiteral("frmCopyError"));
    setModal(true);
    setWindowTitle(language.Entry(Text::FileExistsCaption));
    ApplyWindowStyle(this);

    auto* label = new QLabel(language.Entry(Text::FileExistsQuestion));
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto* name = new QLineEdit(question.FileName);
    name->setObjectName(QStringLiteral("txtRename"));
    name->setReadOnly(true);
    name->setAccessibleName(language.Entry(Text::File));

    // What the answer decides between, one file a line.
    auto* files = new QWidget;
    files->setObjectName(QStringLiteral("FrameFiles"));
    auto* rows = new QFormLayout(files);
    rows->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, std::pair<Text, const FileFacts*>> facts[] = {
        {"lblThere", {Text::AlreadyThere, &question.There}},
        {"lblIncoming", {Text::ReplaceWith, &question.Incoming}},
    };
    for (const auto& [objectName, fact] : facts) {
        auto* value = new QLabel(fact.second->Text());
        value->setObjectName(QLatin1String(objectName));
        value->setTextFormat(Qt::PlainText);
        auto* heading = new QLabel(language.Entry(fact.first));
        heading->setBuddy(value);
        rows->addRow(heading, value);
    }

    QLabel* image = nullptr;
    QHBoxLayout* buttons =
        LayOutMessage(this, QStyle::SP_MessageBoxQuestion, {label, name, files}, &image);
    image->setObjectName(QStringLiteral("Image1"));
    buttons->addStretch(1);
    const std::pair<const char*, std::pair<Text, PromptAnswer>> choices[] = {
        {"XPYes", {Text::Yes, PromptAnswer::Yes}},
        {"XPYesAll", {Text::YesToAll, PromptAnswer::YesAll}},
        {"XPNo", {Text::No, PromptAnswer::No}},
        {"XPNoAll", {Text::NoToAll, PromptAnswer::NoAll}},
    };
    for (const auto& [objectName, choice] : choices) {
        auto* button = new QPushButton(language.Entry(choice.first));
        button->setObjectName(QLatin1String(objectName));
        const PromptAnswer answer = choice.second;
        connect(button, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            accept();
        });
        buttons->addWidget(button);
        // One key press must never replace the user's file: Enter means No.
        if (answer == PromptAnswer::No) {
            button->setDefault(true);
            button->setFocus();
        }
    }
    setMinimumWidth(460);
}
