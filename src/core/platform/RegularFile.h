#pragma once

#include <QFile>
#include <QString>
#include <utility>

// Opens path for reading, unbuffered, only when it is a regular file. A FIFO, a folder or a
// device in its place is refused without blocking: the open itself must not wait for a
// writer on the one thread the window has. Returns an empty text on success, otherwise
// why the file cannot be read.
// When facts is given, it gets the file's size and modification time as the open saw them.
// Links::Refuse opens no link in path's last place; facts then tells that one was there, for
// the caller to judge where it leads.
struct RegularFileFacts {
    qint64 Size = 0;
    qint64 ModifiedSeconds = 0; // since 1970, UTC
    long ModifiedNanoseconds = 0;
    bool Link = false; // refused: a link stands at path
};
enum class Links { Follow, Refuse };
QString OpenRegularFile(QFile& file, const QString& path, RegularFileFacts* facts = nullptr,
                        Links links = Links::Follow);

// Looks at path without opening it: true when it is a regular file, with facts as the open
// would give them. Links::Refuse looks at a link itself: false, with facts.Link set.
bool RegularFileAt(const QString& path, RegularFileFacts& facts, Links links = Links::Follow);

// Gives the file at from the name to, only where nothing has that name yet: 0, or the error
// (EEXIST when something has). Neither file is opened, so a FIFO moves like any file.
int RenameWithoutReplacing(const QString& from, const QString& to);
#ifdef Q_OS_UNIX
// The same for names already encoded for the file system.
int RenameWithoutReplacing(const QByteArray& from, const QByteArray& to);
#endif

#ifdef Q_OS_UNIX
// A file descriptor that closes itself.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// The same open for a descriptor alone, where a QFile would only cost time: a song's copy.
QString OpenRegularFile(Descriptor& file, const QString& path, RegularFileFacts* facts = nullptr,
                        Links links = Links::Follow);
#endif
