#include "gui/WindowStyle.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace {

QPalette lightPalette() {
    // From the buttons' grey of Qt's own light look and the program's background Qt derives
    // the rest: black texts, white boxes, the frames' shades. Every colour is set, so that
    // none comes from a dark theme, whose white texts would vanish on the pale background.
    QPalette light(QColor(239, 239, 239), QColor(240, 240, 224));
    // The selection keeps the theme's pair, made to be read together on any background.
    const QPalette theme = QGuiApplication::palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            light.setColor(group, role, theme.color(group, role));
        light.setColor(group, QPalette::PlaceholderText, QColor(110, 110, 110));
    }
    return light;
}

} // namespace

void ApplyWindowStyle(QWidget* window) {
    window->setPalette(lightPalette());
    window->setAutoFillBackground(true);
    if (QFontDatabase::hasFamily(QStringLiteral("Verdana"))) {
        QFont font = window->font();
        font.setFamily(QStringLiteral("Verdana"));
        window->setFont(font);
    }
}
