#include "gui/WindowStyle.h"

#include <QFontDatabase>
#include <QWidget>

void ApplyWindowStyle(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 224));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    if (QFontDatabase::hasFamily(QStringLiteral("Verdana"))) {
        QFont font = window->font();
        font.setFamily(QStringLiteral("Verdana"));
        window->setFont(font);
    }
}
