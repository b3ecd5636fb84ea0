#include "transfer/RunNotice.h"

std::optional<RunNotice> NoticeForRun(const TransferEngine& engine, TransferEngine::Outcome outcome,
                                      qint64 elapsedMs, qint64 afterMs, bool programActive) {
    if (outcome != TransferEngine::Outcome::Completed || programActive || elapsedMs < afterMs)
        return std::nullopt;
    RunNotice notice;
    notice.Summary = engine.EndText();
    notice.Body = engine.CountsText();
    return notice;
}
