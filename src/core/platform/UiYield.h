#pragma once

#include <QElapsedTimer>

// Lets the window system handle pending events from inside a long loop, at most once
// per period, so the window stays responsive without spending the loop in the event
// loop. Call due() once per step; it is cheap between the checks of the clock.
class UiYield {
public:
    explicit UiYield(int periodMs = 15);

    // True when the period has run out since the last yield; the caller then updates
    // what the window shows and calls yieldNow().
    bool due();
    void yieldNow();

private:
    QElapsedTimer clock_;
    int periodMs_;
    unsigned calls_ = 0;
};
