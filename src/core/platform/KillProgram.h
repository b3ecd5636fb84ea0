#pragma once

#include <QString>

// Ending processes by the name of their executable. The program itself never calls this:
// it ends by leaving its event loop, because ending every process of its name at its close
// would cut off another running copy of it, perhaps in the middle of a copy run. It stays,
// with its test, beside the process table it rests on; the linker leaves it out of the
// program's binary.

// True when the end of executableName equals exeName, ignoring case, so a full path or a
// longer name ending in exeName matches too. An empty exeName matches nothing.
bool ExecutableNameMatches(const QString& executableName, const QString& exeName);

// Ends every running process whose executable name ends with exeName, ignoring case.
// The caller's own process is always skipped, even when it matches: the program ends
// itself by exiting normally. An empty exeName ends nothing. Failures (an unreadable
// process table, a process we may not end) are not reported; such a process is simply
// not counted. Returns how many were ended.
int KillProcessByName(const QString& exeName);
