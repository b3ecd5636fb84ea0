#pragma once

#include <QLabel>
#include <QString>

// A control given its name as its objectName, by which the tests and screen readers find it.
template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QLabel* NamedLabel(const char* name, const QString& text) {
    return Named(new QLabel(text), name);
}
