// The information window: the host only provides it; the core draws in it.
#include "desk/InfoWindow.h"

#include <cstdint>

#include "app/hostlibs/HostStateLib.h"
#include "common/ReadableMemory.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"

namespace {

// The core draws in the window; the host only has to forget it when it goes,
// whoever destroys it (its parent's end included), so that a later destroy
// cannot hit a handle the system has given to another window.
LRESULT CALLBACK InfoWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY && hInfoShow == wnd) hInfoShow = nullptr;
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterInfoClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcSHOWINFO", InfoWndProc, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))});
}

void DestroyInfoWindow() {
    if (hInfoShow) DestroyWindow(hInfoShow);
    hInfoShow = nullptr;
}

void ShowInfoWindow(HWND parent, int x, int y, int width, int height) {
    DestroyInfoWindow();
    if (!VC_KNT_ACTIVE) return;
    hInfoShow = CreateWindowExA(0, "vcSHOWINFO", nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(INT_PTR(kInfoWindowId)), hInst, nullptr);
}

void ShowInfoWindowAt(HWND parent, LPARAM record) {
    const auto* rect = reinterpret_cast<const int32_t*>(record);
    if (!ReadableRange(rect, 4 * sizeof(int32_t))) return;
    ShowInfoWindow(parent, rect[0], rect[1], rect[2], rect[3]);
}
