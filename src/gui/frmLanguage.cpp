#include "gui/frmLanguage.h"

#include "gui/ImageList.h"
#include "gui/WindowStyle.h"
#include "settings/KnownLanguages.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <functional>

namespace {

// A flag's picture, in the size the buttons show, with a grey edge.
QIcon framed(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(48, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(0, 0, 47, 31);
    p.end();
    return QIcon(pixmap);
}

// A flag of three stripes, across (horizontal) or down.
QIcon flag(std::initializer_list<QColor> stripes, bool across) {
    return framed([&](QPainter& p) {
        const int n = static_cast<int>(stripes.size());
        int i = 0;
        for (const QColor& c : stripes) {
            if (across)
                p.fillRect(0, i * 32 / n, 48, 32 / n + 1, c);
            else
                p.fillRect(i * 48 / n, 0, 48 / n + 1, 32, c);
            ++i;
        }
    });
}

} // namespace

frmLanguage::frmLanguage(const QString& title, const QString& likelyKey, QWidget* parent)
    : PlacedDialog(parent) {
    setObjectName(QStringLiteral("frmLanguage"));
    setModal(true);
    setWindowTitle(title);
    ApplyWindowStyle(this);

    struct Choice {
        const char* name;
        const char16_t* caption;
        const char* key;
        QIcon icon;
    };
    const Choice choices[] = {
        {"XPBEng", u"English", LanguageKeys[0],
         framed([](QPainter& p) { PaintUnionFlag(p, QRectF(0, 0, 48, 32)); })},
        {"XPBGER", u"Deutsch", LanguageKeys[1],
         flag({Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}, true)},
        {"XPBSPA", u"Español", LanguageKeys[2],
         flag({QColor(170, 21, 27), QColor(241, 191, 0), QColor(170, 21, 27)}, true)},
    };
    auto* row = new QHBoxLayout(this);
    for (const Choice& choice : choices) {
        auto* button = new QPushButton(choice.icon, QString::fromUtf16(choice.caption));
        button->setObjectName(QLatin1String(choice.name));
        button->setIconSize(QSize(48, 32));
        button->setMinimumHeight(48);
        const QString key = QLatin1String(choice.key);
        connect(button, &QPushButton::clicked, this, [this, key] {
            result_ = key;
            accept();
        });
        row->addWidget(button);
        if (key == likelyKey) {
            button->setDefault(true);
            button->setFocus();
        }
    }
}
