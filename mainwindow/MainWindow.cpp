// The desk window procedure.
#include "mainwindow/MainWindow.h"

#include <cstdio>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/Text.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "mainwindow/Placement.h"
#include "resources/resource.h"

namespace {

const DWORD kMainStyle = WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
HDC gMemoryDC;

void CreateMemoryDC(HWND wnd) {
    HDC dc = GetDC(wnd);
    gMemoryDC = CreateCompatibleDC(dc);
    ReleaseDC(wnd, dc);
}

void DeleteMemoryDC() {
    if (gMemoryDC) DeleteDC(gMemoryDC);
    gMemoryDC = nullptr;
}

LRESULT OnEraseBackground(HWND wnd, HDC dc) {
    RECT client;
    GetClientRect(wnd, &client);
    FillRect(dc, &client, DeskGreyBrush());
    return 1;
}

int AskSaveShow(bool forced) {
    char buttons[256];
    if (forced)
        FormatBounded(buttons, sizeof buttons, "%s|%s", Tr("Yes"), Tr("No"));
    else
        FormatBounded(buttons, sizeof buttons, "%s|%s|%s", Tr("Yes"), Tr("No"), Tr("Cancel"));
    return VCMessageBox(forced ? 1 : 2, 0, Tr("Save actual Show ?"), buttons);
}

LRESULT OnClose(HWND wnd, bool forced) {
    if (!VC_KNT_ACTIVE || CoreSessionState() != SessionState::Running) return 1;
    const int answer = AskSaveShow(forced);
    const bool save = answer == kVcAnswer1;
    // An answer outside the three buttons never exits unsaved by accident.
    const bool cancel = !forced && (answer == kVcAnswer3 || answer < kVcAnswer1 || answer > kVcAnswer3);
    if (cancel) return 1;
    if (save) CallEntry(gCore.DoPultSave);
    SaveWindowSettings(wnd);
    EndCoreSession(false, save);
    DeleteMemoryDC();
    return DefWindowProcA(wnd, WM_CLOSE, 0, forced ? 1 : 0);
}

void OnDestroy() {
    ReleaseDrawingResources();
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: PlaceMainWindow(wnd); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(wnd, reinterpret_cast<HDC>(wp));
    case WM_CLOSE: return OnClose(wnd, lp != 0);
    case WM_NCCALCSIZE: return 0;
    case WM_NCPAINT: return 0;
    case WM_NCACTIVATE: return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_KNTOVRIN", MainWndProc, CS_OWNDC | CS_DBLCLKS, 0,
                                          LoadIconA(instance, MAKEINTRESOURCEA(IDI_KANTREL)),
                                          DeskDefaultCursor(), nullptr});
}

HWND CreateMainWindow(HINSTANCE instance) {
    hInst = instance;
    HWND wnd = CreateWindowExA(0, "_KNTOVRIN", knt_windows_title, kMainStyle, CW_USEDEFAULT, 0, kDeskWidth,
                               kDeskHeight, nullptr, nullptr, instance, nullptr);
    hMainWnd = wnd;
    if (wnd) CreateMemoryDC(wnd);
    return wnd;
}

void OnCoreSessionSettled() {}
