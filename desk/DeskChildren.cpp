// Class registration of the desk controls that are not built yet, with the
// class styles they keep; each moves to its own file when it is built.
#include "desk/DeskChildren.h"

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"
#include "resources/resource.h"

int gDeskChildCount;

namespace {
HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }
}  // namespace

ATOM RegisterInfoClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcSHOWINFO", nullptr, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          Stock(WHITE_BRUSH)});
}
ATOM RegisterProgressClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcPROGRESS", nullptr, CS_OWNDC, kRecordExtra, nullptr,
                                          LoadCursorA(nullptr, IDC_ARROW), Stock(GRAY_BRUSH)});
}
ATOM RegisterBackgroundClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcBACKGND", nullptr, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          DeskGreyBrush()});
}

void CreateTooltips(HWND) {}
void DestroyBackgroundWindow() {}


void TooltipNotify(LPARAM) {}
void DestroyInfoWindow() {
    if (hInfoShow) DestroyWindow(hInfoShow);
    hInfoShow = nullptr;
}
void ShowInfoWindow(HWND parent, int x, int y, int width, int height) {
    DestroyInfoWindow();
    if (!VC_KNT_ACTIVE) return;
    hInfoShow = CreateWindowExA(0, "vcSHOWINFO", nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(INT_PTR(50000)), hInst, nullptr);
}

void CreateBackgroundWindow(HWND) {}
bool BackgroundWindowExists() { return false; }
void RestackBackground() {}

void OpenProgressWindow(const char*) {}
void CloseProgressWindow() {
    if (!hProgress) return;
    DestroyWindow(hProgress);
    hProgress = nullptr;
    if (hTouchWnd) InvalidateRect(hTouchWnd, nullptr, FALSE);
}
