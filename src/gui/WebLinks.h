#pragma once

#include <QString>

// The web pages the program opens, in one place.
namespace WebLinks {
inline const QString MakerSite = QStringLiteral("https://github.com/melvo-app/melvo");
inline const QString FanSiteName = QStringLiteral("iLounge");
inline const QString FanSite = QStringLiteral("https://www.ilounge.com/");
inline const QString DonationPage = QStringLiteral("https://melvo-app.github.io/donation.php");
} // namespace WebLinks
