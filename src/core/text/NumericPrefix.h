#pragma once

#include <QStringView>

// The number a text starts with: leading blanks skipped, reading stops at the first
// character that cannot continue the number; a text without a leading number is 0.
double NumericPrefix(QStringView text);
