#include "input/CoreCounters.h"

#include <cstring>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"

namespace {
bool IsCounterOffset(int offset) {
    return offset >= kDpTouchScroll1 && offset <= kDpWheel && (offset - kDpTouchScroll1) % 2 == 0;
}
}  // namespace

void AddToCoreCounter(int offset, long long delta) {
    unsigned char* data = CoreData();
    if (!data || !IsCounterOffset(offset)) return;
    uint16_t value;
    std::memcpy(&value, data + offset, sizeof value);
    value = static_cast<uint16_t>(static_cast<unsigned long long>(value) + static_cast<unsigned long long>(delta));
    std::memcpy(data + offset, &value, sizeof value);
}

int16_t CoreCounter(int offset) {
    const unsigned char* data = CoreData();
    if (!data || !IsCounterOffset(offset)) return 0;
    int16_t value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

int TouchScrollCounterOffset(long view) {
    switch (view) {
    case 0: return kDpTouchScroll0;
    case 1: return kDpTouchScroll1;
    case 2: return kDpTouchScroll2;
    default: return -1;
    }
}

void TurnTouchScroll(long long delta) {
    const int offset = TouchScrollCounterOffset(current_touch);
    if (offset >= 0) AddToCoreCounter(offset, delta);
}

void PressScrollEncoder(int pressed) {
    const long view = current_touch;
    if (view >= 0 && view <= 2) CallEntry(gCore.VC_SetStatus, int(101 + view), pressed);
}
