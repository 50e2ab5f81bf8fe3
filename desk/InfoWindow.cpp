// The information window: the host only provides it; the core draws in it.
#include "desk/InfoWindow.h"

#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"

ATOM RegisterInfoClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcSHOWINFO", DefWindowProcA, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
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
