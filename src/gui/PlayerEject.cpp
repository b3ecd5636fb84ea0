#include "gui/PlayerEject.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

const QString Service = QStringLiteral("org.freedesktop.UDisks2");
const QString FileSystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString BlockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString DriveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString NoDrive = QStringLiteral("/");
constexpr int QuickMs = 10000;
constexpr int FlushMs = 300000; // an unmount writes what is left to the player first

struct FileSystem {
    QString Object;
    QString Drive; // "/" when the block device belongs to no drive
    QStringList MountPoints;
    bool System = false; // a disk of the computer's own, which file managers never eject
};

struct Disks {
    std::vector<FileSystem> FileSystems;
    QHash<QString, bool> CanPowerOff; // by the drive's object
};

// UDisks2 gives paths as bytes ending in NUL.
QString pathOf(QByteArray bytes) {
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return QDir::cleanPath(QFile::decodeName(bytes));
}

QStringList mountPoints(const QVariant& value) {
    QStringList points;
    if (!value.canConvert<QDBusArgument>())
        return points;
    const auto list = value.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QByteArray point;
        list >> point;
        points << pathOf(point);
    }
    list.endArray();
    return points;
}

// The reply as a result of its own: the service's error, or an empty result when it answered.
std::optional<EjectResult> failure(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage)
        return std::nullopt;
    const bool absent =
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoServer") ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Disconnected");
    return absent ? EjectResult{EjectResult::Outcome::NoService, reply.errorMessage()}
                  : EjectResult{EjectResult::Outcome::Failed, reply.errorMessage()};
}

// Every object the service manages: a{oa{sa{sv}}}, object, interface, property.
Disks readDisks(const QDBusMessage& reply) {
    Disks disks;
    if (reply.arguments().size() != 1 || !reply.arguments().first().canConvert<QDBusArgument>())
        return disks;
    const auto objects = reply.arguments().first().value<QDBusArgument>();
    objects.beginMap();
    while (!objects.atEnd()) {
        QDBusObjectPath object;
        QHash<QString, QVariantMap> interfaces;
        objects.beginMapEntry();
        objects >> object;
        objects.beginMap();
        while (!objects.atEnd()) {
            QString name;
            QVariantMap properties;
            objects.beginMapEntry();
            objects >> name >> properties;
            objects.endMapEntry();
            interfaces.insert(name, properties);
        }
        objects.endMap();
        objects.endMapEntry();
        if (interfaces.contains(FileSystemInterface) && interfaces.contains(BlockInterface)) {
            const QVariantMap& block = interfaces[BlockInterface];
            disks.FileSystems.push_back(
                {object.path(),
                 block.value(QStringLiteral("Drive")).value<QDBusObjectPath>().path(),
                 mountPoints(interfaces[FileSystemInterface].value(QStringLiteral("MountPoints"))),
                 block.value(QStringLiteral("HintSystem")).toBool()});
        }
        if (interfaces.contains(DriveInterface))
            disks.CanPowerOff.insert(
                object.path(),
                interfaces[DriveInterface].value(QStringLiteral("CanPowerOff")).toBool());
    }
    objects.endMap();
    return disks;
}

} // namespace

PlayerEject::PlayerEject(QDBusConnection bus) : bus_(std::move(bus)) {}

EjectResult PlayerEject::Eject(const QString& playerRoot,
                               const std::function<void()>& beforeUnmount) {
    using Outcome = EjectResult::Outcome;
    if (playerRoot.isEmpty())
        return {Outcome::NoPlayer, {}};
    if (!bus_.isConnected())
        return {Outcome::NoService, bus_.lastError().message()};
    const QDBusMessage listed = bus_.call(
        QDBusMessage::createMethodCall(Service, QStringLiteral("/org/freedesktop/UDisks2"),
                                       QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                       QStringLiteral("GetManagedObjects")),
        QDBus::Block, QuickMs);
    if (auto failed = failure(listed))
        return *failed;
    const Disks disks = readDisks(listed);

    // The player's root as the mount table names it: links resolved.
    const QFileInfo root(playerRoot);
    const QString mounted = QDir::cleanPath(
        root.canonicalFilePath().isEmpty() ? root.absoluteFilePath() : root.canonicalFilePath());
    const auto player =
        std::find_if(disks.FileSystems.begin(), disks.FileSystems.end(),
                     [&](const FileSystem& f) { return f.MountPoints.contains(mounted); });
    // A folder on a disk of the computer's own is no player to eject, even at a mount point.
    if (player == disks.FileSystems.end() || player->System)
        return {Outcome::NotADrive, {}};

    if (beforeUnmount)
        beforeUnmount();
    // Every file system of the drive goes, the player's among them: the drive is powered
    // off whole.
    for (const FileSystem& f : disks.FileSystems) {
        const bool sameDrive =
            f.Object == player->Object || (player->Drive != NoDrive && f.Drive == player->Drive);
        if (!sameDrive || f.MountPoints.isEmpty())
            continue;
        QDBusMessage unmount = QDBusMessage::createMethodCall(
            Service, f.Object, FileSystemInterface, QStringLiteral("Unmount"));
        unmount << QVariantMap();
        if (auto failed = failure(bus_.call(unmount, QDBus::BlockWithGui, FlushMs)))
            return {Outcome::Failed, failed->Detail};
    }
    // Unmounted, the player may be unplugged already: a drive that cannot be powered off
    // (or refuses) is left as it is.
    if (player->Drive != NoDrive && disks.CanPowerOff.value(player->Drive)) {
        QDBusMessage powerOff = QDBusMessage::createMethodCall(
            Service, player->Drive, DriveInterface, QStringLiteral("PowerOff"));
        powerOff << QVariantMap();
        (void)bus_.call(powerOff, QDBus::BlockWithGui, QuickMs);
    }
    return {Outcome::Ejected, {}};
}

QString PlayerEject::Message(const LanguageTable& language, const EjectResult& result) {
    switch (result.What) {
    case EjectResult::Outcome::Ejected:
        return language.Entry(Text::PlayerEjected);
    case EjectResult::Outcome::NoPlayer:
        return language.Entry(Text::NoIPodFound);
    case EjectResult::Outcome::NotADrive:
        return language.Entry(Text::EjectNotADrive);
    case EjectResult::Outcome::NoService:
        return language.Entry(Text::EjectNoService);
    case EjectResult::Outcome::Failed:
        break;
    }
    return language.Entry(Text::EjectFailed) + QStringLiteral("\n\n") + result.Detail;
}
