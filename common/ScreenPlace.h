// Whether a place read back from storage can still be reached on the screens
// this machine has now: monitors come and go between runs.
#pragma once
#include <windows.h>

// True when the top band of a window at that rectangle, as high as a title
// bar, lies on the work area of one monitor over a width the pointer can
// take hold of (the whole band when the window is narrower).
bool CaptionOnSomeMonitor(const RECT& window);
