#include "support/PlayerFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dbwriter {

Track song(qint32 id, const QString& title, const QString& artist, const QString& album,
           const QString& genre, const QString& file, qint32 size, const QString& description) {
    Track t{id, size, 1, 2001, 128, {}};
    t.strings = {{1, title},
                 {2, QStringLiteral(":iPod_Control:Music:") + QString(file).replace(u'/', u':')},
                 {3, album},
                 {4, artist},
                 {5, genre}};
    if (!description.isEmpty())
        t.strings.append({14, description});
    return t;
}

QString databasePath(const QString& root) {
    return root + QStringLiteral("/iPod_Control/iTunes/iTunesDB");
}

void writePlayer(const QString& root, const QList<Track>& tracks,
                 const QList<QByteArray>& playlists) {
    QDir().mkpath(root + QStringLiteral("/iPod_Control/iTunes"));
    QFile db(databasePath(root));
    if (db.open(QIODevice::WriteOnly))
        db.write(database(tracks, playlists));
    for (const Track& t : tracks) {
        for (const auto& [type, text] : t.strings) {
            if (type != 2)
                continue;
            const QString path = root + QString(text).replace(u':', u'/');
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(qMax(0, t.size), 'x'));
        }
    }
}

} // namespace dbwriter
