#include "common/ScreenPlace.h"

#include <algorithm>

namespace {

constexpr LONG kGrippableWidth = 100;

struct CaptionSearch {
    RECT band;
    LONG width;
    bool found;
};

BOOL CALLBACK CheckMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT shown;
    if (!GetMonitorInfoA(monitor, &info) || !IntersectRect(&shown, &search->band, &info.rcWork)) return TRUE;
    search->found = shown.bottom - shown.top == search->band.bottom - search->band.top &&
                    shown.right - shown.left >= search->width;
    return search->found ? FALSE : TRUE;
}

}  // namespace

bool CaptionOnSomeMonitor(const RECT& window) {
    if (window.right <= window.left || window.bottom <= window.top) return false;
    const LONG height = std::min(LONG(GetSystemMetrics(SM_CYCAPTION)), window.bottom - window.top);
    CaptionSearch search = {{window.left, window.top, window.right, window.top + height},
                            std::min(kGrippableWidth, window.right - window.left), false};
    EnumDisplayMonitors(nullptr, nullptr, CheckMonitor, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
