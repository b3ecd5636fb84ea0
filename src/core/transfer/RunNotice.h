#pragma once

// The desktop notice a finished copy run earns: a long run that ended while the user was
// in another program is told about once, with what it did.

#include "transfer/TransferEngine.h"

#include <QString>
#include <optional>

struct RunNotice {
    QString Summary; // the run's closing line: completed successfully, or with errors
    QString Body;    // the counts: copied, skipped, failed
};

// How long a run must take before its end is worth a notice.
inline constexpr qint64 RunNoticeAfterMs = 10'000;

// A notice when a run that went to its end took longer than afterMs and none of the
// program's windows is active; none otherwise (a stopped run was stopped by the user).
std::optional<RunNotice> NoticeForRun(const TransferEngine& engine, TransferEngine::Outcome outcome,
                                      qint64 elapsedMs, qint64 afterMs, bool programActive);
