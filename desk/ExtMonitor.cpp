// External monitor windows: the core's displays 3 and 4 in top-level windows
// of their own, passing the pointer, the wheel and the keys on, with two
// system-menu commands that clear screens.
#include "desk/ExtMonitor.h"

#include <cstdint>

#include "app/CoreBinding.h"
#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/ScreenPlace.h"
#include "common/Text.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "resources/resource.h"

namespace {

const char kClassName[] = "kntOvrinExtMon";
const DWORD kMonitorStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kCursorTableSize = 17;

// A monitor's only state is its display number. It sits directly in window
// long 0, as the window's extra data has always held it, rather than in a
// record of its own; it is set on WM_CREATE so that no later message sees a
// monitor without its number.
int DisplayOf(HWND wnd) { return int(GetWindowLongPtrA(wnd, 0)); }

bool IsMonitorDisplay(int display) { return display == kExtMonitor1Display || display == kExtMonitor2Display; }

HWND& HandleOf(int display) { return display == kExtMonitor1Display ? hExt1Wnd : hExt2Wnd; }

int& ShownFlagOf(int display) { return gExtMonShown[display - kExtMonitor1Display]; }

bool IsMonitorWindow(HWND wnd) { return wnd && (wnd == hExt1Wnd || wnd == hExt2Wnd); }

// The desk's procedure as its class has it, whatever may subclass the desk.
WNDPROC MainProcedure() {
    return hMainWnd ? reinterpret_cast<WNDPROC>(GetClassLongPtrA(hMainWnd, GCLP_WNDPROC)) : nullptr;
}

void InsertSystemCommand(HMENU menu, UINT position, UINT id, const char* text) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.wID = id;
    item.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, position, TRUE, &item);
}

// Both land just before the separator above "Close". The place is counted
// from "Close" rather than from the end of the menu, as some systems add
// items of their own below it.
void AddClearCommands(HWND wnd) {
    HMENU menu = GetSystemMenu(wnd, FALSE);
    const int count = menu ? GetMenuItemCount(menu) : -1;
    int close = count - 1;
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == SC_CLOSE) close = i;
    if (close < 1) return;
    InsertSystemCommand(menu, UINT(close - 1), kCmdClearScreen, "Clear Screen");
    InsertSystemCommand(menu, UINT(close), kCmdClearAllScreens, "Clear ALL Screens");
}

// ---- messages

LRESULT OnCreate(HWND wnd, const CREATESTRUCTA* create) {
    const int display = create ? int(reinterpret_cast<INT_PTR>(create->lpCreateParams)) : 0;
    if (!IsMonitorDisplay(display) || ExtMonitorWindow(display)) return -1;
    SetWindowLongPtrA(wnd, 0, display);
    HandleOf(display) = wnd;
    displays[display].wnd = wnd;
    return 0;
}

void OnDestroy(HWND wnd, int display) {
    if (HandleOf(display) == wnd) HandleOf(display) = nullptr;
    if (displays[display].wnd == wnd) displays[display].wnd = nullptr;
    // An information window on this monitor goes down with it; a handle left
    // behind could later name some other window.
    if (hInfoShow && IsChild(wnd, hInfoShow)) hInfoShow = nullptr;
    SetWindowLongPtrA(wnd, 0, 0);
}

void OnPaint(HWND wnd, int display) {
    if (!IsIconic(wnd) && CallEntry(gCore.RestoreCDXDisplay, display)) CallEntry(gCore.Flip, display, 1);
    ValidateRect(wnd, nullptr);
}

void OnClose(HWND wnd, int display) {
    ShownFlagOf(display) = 0;
    ShowWindow(wnd, SW_HIDE);
}

LRESULT OnActivateApp(HWND wnd, WPARAM wp, LPARAM lp) {
    if (!RestackOnActivateApp(BOOL(wp))) return DefWindowProcA(wnd, WM_ACTIVATEAPP, wp, lp);
    return 0;
}

void OnHitTest(int display) {
    if (!CallEntry(gCore.hasInfoTgt, display)) DestroyInfoWindow();
}

// Keys go through the desk's own routing, under the desk's handle: that
// routing redraws the window it is given when it switches shortcut mode, and
// what must show the change are the desk keys.
LRESULT OnKey(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC main = MainProcedure();
    return main ? CallWindowProcA(main, hMainWnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
}

void ClearAllScreens() {
    for (int display = 0; display < kDisplayCount; ++display) CallEntry(gCore.ClearScreen, display);
}

// Other system commands go to the desk's procedure under this window's
// handle, so that minimise, restore and close act on the monitor.
LRESULT OnSysCommand(HWND wnd, int display, WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case kCmdClearScreen: CallEntry(gCore.ClearScreen, display); return 1;
    case kCmdClearAllScreens: ClearAllScreens(); return 1;
    }
    WNDPROC main = MainProcedure();
    return main ? CallWindowProcA(main, wnd, WM_SYSCOMMAND, wp, lp) : DefWindowProcA(wnd, WM_SYSCOMMAND, wp, lp);
}

// The core reads the position as two unsigned 16-bit numbers.
void ToCore(HWND wnd, int display, UINT msg, LPARAM lp) {
    CallEntry(gCore.SetMouseData, int(LOWORD(lp)), int(HIWORD(lp)), wnd, display, msg);
}

// A turn away from the user is cursor up; each message is one press, no release.
void OnMouseWheel(WPARAM wp) {
    CallEntry(gCore.VC_OnKeyDown, short(HIWORD(wp)) > 0 ? VK_UP : VK_DOWN, 0, 0);
}

// The class cursor is shared by both monitors; the core may name either, but
// no window of another class is the monitors' to change.
void OnSetCursor(WPARAM index, LPARAM target) {
    HWND wnd = reinterpret_cast<HWND>(target);
    if (index >= WPARAM(kCursorTableSize) || !IsMonitorWindow(wnd)) return;
    HCURSOR cursor = DeskCursor(int(index));
    if (!cursor) return;
    SetClassLongPtrA(wnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    SetCursor(cursor);
}

LRESULT CALLBACK ExtMonitorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp));
    const int display = DisplayOf(wnd);
    if (!IsMonitorDisplay(display)) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_DESTROY: OnDestroy(wnd, display); break;
    case WM_PAINT: OnPaint(wnd, display); return 0;
    case WM_CLOSE: OnClose(wnd, display); return 0;
    case WM_ACTIVATEAPP: return OnActivateApp(wnd, wp, lp);
    case WM_NCHITTEST: OnHitTest(display); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: return OnKey(wnd, msg, wp, lp);
    case WM_SYSCOMMAND: return OnSysCommand(wnd, display, wp, lp);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: ToCore(wnd, display, msg, lp); return 0;
    case WM_LBUTTONDBLCLK: return 1;
    case WM_MOUSEWHEEL: OnMouseWheel(wp); return 0;
    case kReqMonitorCursor: OnSetCursor(wp, lp); return 0;
    case kReqMonitorInfo: ShowInfoWindowAt(wnd, lp); return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterExtMonitorClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {kClassName, ExtMonitorProc, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                                          kRecordExtra, LoadIconA(instance, MAKEINTRESOURCEA(IDI_KANTREL)),
                                          DeskDefaultCursor(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

HWND CreateExtMonitor(int display, int x, int y, int shown) {
    if (!IsMonitorDisplay(display) || ExtMonitorWindow(display)) return nullptr;
    char title[160];
    FormatBounded(title, sizeof title, "%s - extern %d", knt_windows_title ? knt_windows_title : "", display - 2);
    RECT outer = {0, 0, kExtMonitorClientWidth, kExtMonitorClientHeight};
    AdjustWindowRect(&outer, kMonitorStyle, FALSE);
    if (x != int(CW_USEDEFAULT)) {
        // A place on a screen that is gone, or with too little of the title
        // bar on one to take hold of, would leave the monitor where no one
        // can move it: the system places it instead.
        RECT place = outer;
        OffsetRect(&place, x - outer.left, y - outer.top);
        if (!CaptionOnSomeMonitor(place)) x = int(CW_USEDEFAULT), y = 0;
    }
    HWND wnd = CreateWindowExA(0, kClassName, title, kMonitorStyle, x, y, outer.right - outer.left,
                               outer.bottom - outer.top, nullptr, nullptr, hInst,
                               reinterpret_cast<void*>(INT_PTR(display)));
    if (!wnd) return nullptr;
    // The stored value is a flag, not a show command: taken as one, a stray 3
    // would maximise a window that is meant to keep its 800 x 600.
    ShownFlagOf(display) = shown ? 1 : 0;
    ShowWindow(wnd, shown ? SW_SHOWNORMAL : SW_HIDE);
    UpdateWindow(wnd);
    AddClearCommands(wnd);
    return wnd;
}

HWND ExtMonitorWindow(int display) {
    if (!IsMonitorDisplay(display)) return nullptr;
    HWND wnd = HandleOf(display);
    return wnd && IsWindow(wnd) ? wnd : nullptr;
}

bool GetExtMonitorPlacement(int display, ExtMonitorPlacement* placement) {
    HWND wnd = ExtMonitorWindow(display);
    RECT rect;
    if (!placement || !wnd || IsIconic(wnd) || !GetWindowRect(wnd, &rect)) return false;
    placement->shown = (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
    placement->x = rect.left;
    placement->y = rect.top;
    return true;
}
