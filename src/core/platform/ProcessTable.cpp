#include "platform/ProcessTable.h"

#include <QCoreApplication>
#include <cerrno>
#include <limits>

#ifdef Q_OS_WIN
#include <windows.h>

#include <tlhelp32.h>
#else
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

std::vector<ProcessEntry> RunningProcesses() {
    std::vector<ProcessEntry> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        const QString name = QString::fromWCharArray(entry.szExeFile);
        if (!name.isEmpty())
            processes.push_back({static_cast<qint64>(entry.th32ProcessID), name});
    }
    CloseHandle(snapshot);
    return processes;
}

bool TerminateProcess(qint64 pid) {
    if (pid <= 0 || pid > (std::numeric_limits<DWORD>::max)())
        return false;
    const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool ended = ::TerminateProcess(process, 0) != 0;
    CloseHandle(process);
    return ended;
}

bool ProcessIsRunning(qint64 pid) {
    if (pid <= 0 || pid > (std::numeric_limits<DWORD>::max)())
        return false;
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

#else

namespace {

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The executable's file name: from the exe link where we may read it, else from the first
// word of the command line (other users' processes hide their exe link).
QString executableName(const QString& procDir) {
    std::array<char, 4096> buffer{};
    const QByteArray exePath = QFile::encodeName(procDir + QStringLiteral("/exe"));
    const ssize_t length = ::readlink(exePath.constData(), buffer.data(), buffer.size());
    if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
        QString target = QFile::decodeName(QByteArray(buffer.data(), length));
        // An executable replaced or removed since it started is still the same program.
        const QLatin1String deleted(" (deleted)");
        if (target.endsWith(deleted))
            target.chop(deleted.size());
        return fileNameOf(target);
    }
    QFile cmdline(procDir + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = cmdline.read(4096);
    const qsizetype end = content.indexOf('\0');
    return fileNameOf(QFile::decodeName(end < 0 ? content : content.left(end)));
}

} // namespace

std::vector<ProcessEntry> RunningProcesses() {
    std::vector<ProcessEntry> processes;
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || pid <= 0)
            continue;
        QString name = executableName(proc.filePath(entry));
        if (!name.isEmpty())
            processes.push_back({pid, std::move(name)});
    }
    return processes;
}

bool TerminateProcess(qint64 pid) {
    // kill() with 0 or a negative id signals whole process groups, or everything we may.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}

bool ProcessIsRunning(qint64 pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    // Signal 0 only asks; a process of another user answers "not permitted".
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

#endif

qint64 CurrentProcessId() {
    return QCoreApplication::applicationPid();
}
