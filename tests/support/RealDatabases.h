#pragma once

// The real players' databases kept beside the project (not in it). Tests that use them
// skip when the folder is absent.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <utility>

namespace realdb {

inline QString folder() {
    const QByteArray fromEnv = qgetenv("MELVO_REALDB");
    return fromEnv.isEmpty() ? QStringLiteral(MELVO_REALDB_DIR) : QString::fromLocal8Bit(fromEnv);
}

inline QString path(const QString& name) {
    return folder() + u'/' + name;
}
inline bool exists(const QString& name) {
    return QFile::exists(path(name));
}
inline bool available() {
    return QDir(folder()).exists();
}

inline QByteArray read(const QString& name) {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every database of the folder with the number of tracks its track list holds.
inline QList<std::pair<QString, int>> trackCounts() {
    return {
        {"Ziphyrien_IPod-Shuffle-4-Manager_iTunesDB", 0},
        {"caeser_iTunesDB-parser_iTunesDB", 2},
        {"fadingred_libgpod_iTunesDB", 0},
        {"raleighlittles_iTunesDB-Parser_2023-06-26_iTunesDB-1", 1799},
        {"raleighlittles_iTunesDB-Parser_2023-08-29_iTunesDB-2", 142},
        {"raleighlittles_iTunesDB-Parser_2024-11-06_iTunesDB-3", 133},
        {"raleighlittles_iTunesDB-Parser_2025-04-21_iTunesDB-4", 2006},
        {"raleighlittles_iTunesDB-Parser_2025-05-06_iTunesDB-5", 525},
        {"raleighlittles_iTunesDB-Parser_2025-08-16_iTunesDB-6", 10},
        {"revbingo_SPIFF_iTunesDB", 5375},
        {"sunsunza2009_iTunesDB.Net_iTunesDB", 23},
        {"sunsunza2009_iTunesDB.Net_iTunesDB_Empty", 0},
        {"tmich_mytunes_iTunesDB", 1172},
        {"tmich_mytunes_iTunesDB_shuffle", 123},
    };
}

} // namespace realdb

// Real shuffles' databases (iTunesSD), kept beside the real databases.
namespace realsd {

inline QString folder() {
    const QByteArray fromEnv = qgetenv("MELVO_REALSD");
    return fromEnv.isEmpty() ? realdb::folder() + QStringLiteral("/../realsd")
                             : QString::fromLocal8Bit(fromEnv);
}
inline QString path(const QString& name) {
    return folder() + u'/' + name;
}
inline bool available() {
    return QDir(folder()).exists();
}

} // namespace realsd
