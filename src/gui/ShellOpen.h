#pragma once

#include <QString>

// Asks the desktop to open target (a native file path or a web address) with the program
// it associates with it. Whether that worked is not reported.
void OpenWithShell(const QString& target, const QString& parameters = QStringLiteral("1"));
