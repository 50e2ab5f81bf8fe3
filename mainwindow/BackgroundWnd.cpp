// The cover-desktop window and the restack that keeps the host's windows in
// front of it.
#include "mainwindow/BackgroundWnd.h"

#include <algorithm>
#include <vector>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"
#include "mainwindow/MainWindow.h"

namespace {

const char kClassName[] = "vcBACKGND";
HWND gCoverWnd;
// Bringing windows to the front can itself activate the application; a
// restack already under way is not started again.
bool gRestacking;

RECT WorkArea() {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

struct Collected {
    HWND console;
    std::vector<HWND> windows;  // top of the z-order first
};

BOOL CALLBACK CollectHostWindow(HWND wnd, LPARAM lp) {
    Collected* collected = reinterpret_cast<Collected*>(lp);
    if (wnd == hExt1Wnd || wnd == hExt2Wnd || wnd == hMainWnd || (collected->console && wnd == collected->console))
        collected->windows.push_back(wnd);
    return TRUE;
}

void CentreMainWindow(HWND main, UINT flags) {
    const RECT area = WorkArea();
    SetWindowPos(main, HWND_TOP, 0, 0, std::min(int(area.right - area.left), kDeskWidth),
                 std::min(int(area.bottom - area.top), kDeskHeight), flags | SWP_NOMOVE);
    CenterWindow(main);
}

void BringToFront(HWND wnd) {
    if (wnd == hMainWnd && gCenterMainWhenCovered) CentreMainWindow(wnd, SWP_SHOWWINDOW);
    SetForegroundWindow(wnd);
}

LRESULT CALLBACK BackgroundWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        // Stored before the restack, which does nothing without it.
        gCoverWnd = wnd;
        RestackBackground();
        break;
    case WM_DESTROY:
        if (gCoverWnd == wnd) gCoverWnd = nullptr;
        break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

void PlaceDeskOnCover(HWND main) {
    if (gCoverWnd && gCenterMainWhenCovered) CentreMainWindow(main, SWP_NOZORDER | SWP_NOACTIVATE);
}

ATOM RegisterBackgroundClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {kClassName, BackgroundWndProc, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          DeskGreyBrush()});
}

void CreateBackgroundWindow(HWND) {
    if (gCoverWnd) return;
    const RECT area = WorkArea();
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP | WS_VISIBLE | WS_DISABLED, area.left,
                               area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr, hInst,
                               nullptr);
    gCoverWnd = wnd;
}

void DestroyBackgroundWindow() {
    HWND wnd = gCoverWnd;
    if (!wnd) return;
    // Forgotten first: the activation changes the destruction causes must
    // not restack around a dying window.
    gCoverWnd = nullptr;
    DestroyWindow(wnd);
}

bool BackgroundWindowExists() { return gCoverWnd != nullptr; }

HWND BackgroundWindow() { return gCoverWnd; }

void RestackBackground() {
    if (!gCoverWnd || gRestacking) return;
    gRestacking = true;
    Collected collected = {CallEntry(gService.HasConsoleWindow), {}};
    EnumWindows(CollectHostWindow, reinterpret_cast<LPARAM>(&collected));
    SetWindowPos(gCoverWnd, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    BringWindowToTop(gCoverWnd);
    // Bottom one first, so that they keep their order, and the main window
    // last, so that it ends in front and holds the foreground.
    for (auto it = collected.windows.rbegin(); it != collected.windows.rend(); ++it)
        if (*it != hMainWnd) BringToFront(*it);
    if (std::find(collected.windows.begin(), collected.windows.end(), hMainWnd) != collected.windows.end())
        BringToFront(hMainWnd);
    gRestacking = false;
}

bool RestackOnActivateApp(BOOL active) {
    if (!gCoverWnd) return false;
    if (active) RestackBackground();
    return true;
}
