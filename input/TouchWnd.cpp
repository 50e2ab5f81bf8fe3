// The touch screen area: the core presents its current view into it, hears
// the pointer as touch input and sends it a few requests.
#include "input/TouchWnd.h"

#include <cstdint>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "input/CoreCounters.h"

namespace {

enum { kTouchId = 50002, kTouchX = 8, kTouchY = 48, kTouchWidth = 640, kTouchHeight = 480, kTouchViews = 3 };

int CurrentView() { return int(current_touch); }

// A missing RestoreCDXDisplay counts as a display that is not ready.
bool DisplaysReady() {
    for (int display = 0; display < kTouchViews; ++display)
        if (!CallEntry(gCore.RestoreCDXDisplay, display)) return false;
    return true;
}

void OnPaint(HWND wnd) {
    if (DisplaysReady()) CallEntry(gCore.Flip, CurrentView(), 1);
    ValidateRect(wnd, nullptr);
}

// The core reads the pointer position as two unsigned 16-bit numbers.
void ToCore(HWND wnd, UINT msg, LPARAM lp) {
    CallEntry(gCore.SetMouseData, int(LOWORD(lp)), int(HIWORD(lp)), wnd, CurrentView(), msg);
}

void OnMouseMove(HWND wnd, LPARAM lp) {
    if (!CallEntry(gCore.hasInfoTgt, CurrentView())) DestroyInfoWindow();
    ToCore(wnd, WM_MOUSEMOVE, lp);
}

void OnButtonDown(HWND wnd, UINT msg, LPARAM lp) {
    SetCapture(wnd);
    ToCore(wnd, msg, lp);
}

void OnButtonUp(HWND wnd, UINT msg, LPARAM lp) {
    ToCore(wnd, msg, lp);
    ReleaseCapture();
}

// Towards the user scrolls down (+1), as the scroll encoder does; a partial
// notch counts as one step down.
void OnMouseWheel(WPARAM wp) {
    const int notches = short(HIWORD(wp)) / WHEEL_DELTA;
    TurnTouchScroll(notches <= 0 ? 1 : -1);
}

// The core names the window whose class cursor it changes; only this one is
// ours to change.
void OnSetCursor(HWND wnd, WPARAM index, LPARAM target) {
    if (index >= 17 || reinterpret_cast<HWND>(target) != wnd) return;
    HCURSOR cursor = DeskCursor(int(index));
    if (!cursor) return;
    SetClassLongPtrA(wnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    SetCursor(cursor);
}

void OnShowProgress(WPARAM text) {
    if (text) ShowProgress(reinterpret_cast<const char*>(text));
}

void OnSelectView(WPARAM view) {
    if (view < kTouchViews) SelectTouchView(int(view), true);
}

void OnDestroy(HWND wnd) {
    if (hTouchWnd == wnd) hTouchWnd = nullptr;
    for (DisplayRecord& display : displays)
        if (display.wnd == wnd) display.wnd = nullptr;
}

LRESULT CALLBACK TouchWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(wnd); return 0;
    case WM_DESTROY: OnDestroy(wnd); return 0;
    case WM_MOUSEMOVE: OnMouseMove(wnd, lp); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(wnd, msg, lp); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: OnButtonUp(wnd, msg, lp); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(wp); return 0;
    case kReqTouchCursor: OnSetCursor(wnd, wp, lp); return 0;
    case kReqShowProgress: OnShowProgress(wp); return 0;
    case kReqHideProgress: HideProgress(); return 0;
    case kReqTouchView: OnSelectView(wp); return 0;
    case kReqShowInfo: ShowInfoWindowAt(wnd, lp); return 1;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
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
