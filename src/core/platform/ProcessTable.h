#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// One running process: its id and the file name of its executable ("melvo", "Melvo.exe").
struct ProcessEntry {
    qint64 Pid = 0;
    QString ExecutableName;
};

// The processes running now, as far as this user may see them. Processes without an
// executable name (kernel threads, zombies) are left out; an unreadable table gives none.
std::vector<ProcessEntry> RunningProcesses();

// Ends the process at once. True when the platform accepted the request. Ids that do not
// name a single process (0 and negative ones) are refused. On POSIX this is SIGKILL, so the
// exit code is not ours to choose; on Windows the exit code is 0.
bool TerminateProcess(qint64 pid);

// True while a process of that id runs, this user's or another's.
bool ProcessIsRunning(qint64 pid);

qint64 CurrentProcessId();
