#pragma once

#include <QString>

// The maker's web page, opened by the no-player dialog's Help.
inline const QString MakerWebPage = QStringLiteral("https://github.com/melvo-app/melvo#readme");

// Asks the desktop to open target (a native file path or a web address) with the program
// it associates with it. Whether that worked is not reported.
void OpenWithShell(const QString& target, const QString& parameters = QStringLiteral("1"));
