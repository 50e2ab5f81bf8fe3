// Class registration of the desk controls that are not built yet, with the
// class styles they keep; each moves to its own file when it is built.
#include "desk/DeskChildren.h"

#include <cstdint>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"
#include "resources/resource.h"

int gDeskChildCount;

namespace {
HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }

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
    return RegisterWindowClass(instance, {"vcSHOWINFO", nullptr, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          Stock(WHITE_BRUSH)});
}
ATOM RegisterProgressClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcPROGRESS", nullptr, CS_OWNDC, kRecordExtra, nullptr,
                                          LoadCursorA(nullptr, IDC_ARROW), Stock(GRAY_BRUSH)});
}
ATOM RegisterCDButtonClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntCDButton", nullptr, CS_OWNDC | CS_DBLCLKS, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
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

void ShowInfoWindowAt(HWND parent, LPARAM record) {
    const auto* rect = reinterpret_cast<const int32_t*>(record);
    if (!ReadableRecord(rect, 4 * sizeof(int32_t))) return;
    ShowInfoWindow(parent, rect[0], rect[1], rect[2], rect[3]);
}

void CreateBackgroundWindow(HWND) {}
bool BackgroundWindowExists() { return false; }
void RestackBackground() {}

void CdPanelRecheckDisc(int) {}

void OpenProgressWindow(const char*) {}
void CloseProgressWindow() {
    if (!hProgress) return;
    DestroyWindow(hProgress);
    hProgress = nullptr;
    if (hTouchWnd) InvalidateRect(hTouchWnd, nullptr, FALSE);
}
