#include "transfer/ProgramCopy.h"

#include "platform/PlayerPath.h"
#include "transfer/SongCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ProgramCopy CopyProgramTo(const QString& playerRoot, const QString& program) {
    // Without the player's root the copy would land in the current folder.
    if (playerRoot.isEmpty() || PlayerDatabaseFile(playerRoot).isEmpty())
        return {ProgramCopy::Outcome::NoPlayer, {}};
    const QString copy = QDir(playerRoot).filePath(QFileInfo(program).fileName());
    const CopyResult result = CopySongFile(program, copy);
    if (!result.Copied())
        return {ProgramCopy::Outcome::Failed, result.Message};
    // A FAT player's mount decides the permissions, so this may fail on a good copy.
    (void)QFile::setPermissions(copy, QFile::permissions(program));
    return {};
}
