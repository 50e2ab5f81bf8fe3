// The information window: the host only provides it; the core draws in it.
#include "desk/InfoWindow.h"

#include <cstdint>

#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"

namespace {

bool ReadablePage(const void* at) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT) return false;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (info.Protect & readable) && !(info.Protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// Both ends are checked: the record may straddle a page boundary.
bool ReadableRecord(const void* at, size_t size) {
    return at && ReadablePage(at) && ReadablePage(static_cast<const char*>(at) + size - 1);
}

}  // namespace

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

void ShowInfoWindowAt(HWND parent, LPARAM record) {
    const auto* rect = reinterpret_cast<const int32_t*>(record);
    if (!ReadableRecord(rect, 4 * sizeof(int32_t))) return;
    ShowInfoWindow(parent, rect[0], rect[1], rect[2], rect[3]);
}
