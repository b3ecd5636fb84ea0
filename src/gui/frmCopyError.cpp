#include "gui/frmCopyError.h"

#include "gui/MessageDialog.h"
#include "gui/WindowStyle.h"
#include "settings/LanguageTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmCopyError::frmCopyError(const LanguageTable& language, const QString& fileName, QWidget* parent)
    : PlacedDialog(parent) {
    setObjectName(QStringLiteral("frmCopyError"));
    setModal(true);
    setWindowTitle(language.Entry(Text::FileExistsCaption));
    ApplyWindowStyle(this);

    auto* label = new QLabel(language.Entry(Text::FileExistsQuestion));
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto* name = new QLineEdit(fileName);
    name->setObjectName(QStringLiteral("txtRename"));
    name->setReadOnly(true);

    QLabel* image = nullptr;
    QHBoxLayout* buttons =
        LayOutMessage(this, QStyle::SP_MessageBoxQuestion, {label, name}, &image);
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
    }
    setMinimumWidth(460);
}
