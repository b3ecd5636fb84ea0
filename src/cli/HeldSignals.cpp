#include "cli/HeldSignals.h"

#include <ctime>
#include <pthread.h>

HeldSignals::HeldSignals() {
    sigemptyset(&held_);
    sigaddset(&held_, SIGINT);
    sigaddset(&held_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &held_, &before_);
}

HeldSignals::~HeldSignals() {
    while (Take() != 0) {
    }
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

int HeldSignals::Take() {
    const timespec now{};
    const int taken = sigtimedwait(&held_, nullptr, &now);
    return taken > 0 ? taken : 0;
}
