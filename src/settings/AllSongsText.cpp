#include "settings/AllSongsText.h"

QString AllSongsText(const QString& language) {
    if (language == QLatin1String("german"))
        return QStringLiteral("Alle Lieder");
    if (language == QLatin1String("spanish"))
        return QStringLiteral("Todas las Canciones");
    return QStringLiteral("All Songs");
}
