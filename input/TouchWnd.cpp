// The touch screen area: the core presents its current view into it.
#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"

namespace {

enum { kTouchId = 50002, kTouchX = 8, kTouchY = 48, kTouchWidth = 640, kTouchHeight = 480 };

bool DisplaysReady() {
    for (int display = 0; display < 3; ++display)
        if (!CallEntry(gCore.RestoreCDXDisplay, display)) return false;
    return true;
}

void OnPaint(HWND wnd) {
    if (DisplaysReady()) CallEntry(gCore.Flip, int(current_touch), 1);
    ValidateRect(wnd, nullptr);
}

LRESULT CALLBACK TouchWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(wnd); return 0;
    case WM_DESTROY: hTouchWnd = nullptr; return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterTouchClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"kntOvrinTouch", TouchWndProc, CS_OWNDC, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

bool CreateTouchWindow(HWND main) {
    hTouchWnd = CreateWindowExA(0, "kntOvrinTouch", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                kTouchX, kTouchY, kTouchWidth, kTouchHeight, main,
                                reinterpret_cast<HMENU>(INT_PTR(kTouchId)), hInst, nullptr);
    if (hTouchWnd) ++gDeskChildCount;
    return hTouchWnd != nullptr;
}
