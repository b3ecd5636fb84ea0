#pragma once

#include <QString>

// The text without the blanks (U+0020) at its ends; tabs and other spaces stay.
QString TrimBlanks(const QString& text);
