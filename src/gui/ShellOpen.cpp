#include "gui/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWithShell(const QString& target, const QString& /*parameters*/) {
    // The desktop's "open" takes no parameters here; a file is opened by its type.
    const QUrl url(target);
    const bool isAddress =
        url.isValid() && url.scheme().size() > 1 && !url.scheme().startsWith(QLatin1String("file"));
    QDesktopServices::openUrl(isAddress ? url : QUrl::fromLocalFile(target));
}
