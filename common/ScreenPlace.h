// Whether a place read back from storage can still be reached on the screens
// this machine has now: monitors come and go between runs.
#pragma once
#include <windows.h>

// True when the rectangle has a size and some part of it lies on a monitor.
bool ReachableOnSomeMonitor(const RECT& place);
