#pragma once

#include <csignal>

// SIGINT and SIGTERM held back while one lives, so that a copy stops where it can stop
// cleanly (between the pieces of a song) instead of wherever the signal finds it. Made
// while the program runs no other thread, so that none takes them instead; the threads
// started later hold them back too.
class HeldSignals {
public:
    HeldSignals();
    // Drops what came and was not taken, then lets the signals through again.
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    // The signal that came since the last look (taking it), or 0.
    int Take();

private:
    sigset_t held_;
    sigset_t before_;
};
