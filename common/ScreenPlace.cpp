#include "common/ScreenPlace.h"

bool ReachableOnSomeMonitor(const RECT& place) {
    if (place.right <= place.left || place.bottom <= place.top) return false;
    return MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr;
}
