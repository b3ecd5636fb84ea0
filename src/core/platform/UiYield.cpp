#include "platform/UiYield.h"

#include <QCoreApplication>

UiYield::UiYield(int periodMs) : periodMs_(periodMs) {
    clock_.start();
}

bool UiYield::due() {
    // Reading the clock costs more than a step of most loops, so look only now and then.
    if ((++calls_ & 63u) != 0)
        return false;
    return clock_.elapsed() >= periodMs_;
}

void UiYield::yieldNow() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    clock_.restart();
}
