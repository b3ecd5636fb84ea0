#include "transfer/RunNotice.h"

std::optional<RunNotice> NoticeForRun(const LanguageTable& language, const TransferEngine& engine,
                                      TransferEngine::Outcome outcome, qint64 elapsedMs,
                                      qint64 afterMs, bool programActive) {
    if (outcome != TransferEngine::Outcome::Completed || programActive || elapsedMs < afterMs)
        return std::nullopt;
    RunNotice notice;
    notice.Summary =
        language.Entry(engine.Succeeded() ? Text::TransferSucceeded : Text::TransferHadErrors);
    notice.Body = engine.CountsText();
    return notice;
}
