#pragma once

#include "itunesdb/LoadiTunesDB.h"

#include <QProgressBar>
#include <algorithm>
#include <climits>

// A load's or a list build's progress, shown on a progress bar.
class ProgressBarProgress final : public LoadProgress {
public:
    explicit ProgressBarProgress(QProgressBar* bar) : bar_(bar) {}
    void setMinimum(qint64 v) override { bar_->setMinimum(clamp(v)); }
    void setMaximum(qint64 v) override { bar_->setMaximum(clamp(v)); }
    void setValue(qint64 v) override { bar_->setValue(clamp(v)); }

private:
    static int clamp(qint64 v) { return static_cast<int>(std::clamp<qint64>(v, 0, INT_MAX)); }
    QProgressBar* bar_;
};
