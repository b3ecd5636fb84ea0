#include "platform/KillProgram.h"

#include "platform/ProcessTable.h"

bool ExecutableNameMatches(const QString& executableName, const QString& exeName) {
    // Every name ends with the empty text; matching it would end every process there is.
    if (exeName.isEmpty())
        return false;
    return executableName.endsWith(exeName, Qt::CaseInsensitive);
}

int KillProcessByName(const QString& exeName) {
    if (exeName.isEmpty())
        return 0;
    const qint64 self = CurrentProcessId();
    int ended = 0;
    for (const ProcessEntry& process : RunningProcesses()) {
        if (process.Pid == self || !ExecutableNameMatches(process.ExecutableName, exeName))
            continue;
        if (TerminateProcess(process.Pid))
            ++ended;
    }
    return ended;
}
