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
HICON ProgramIcon(HINSTANCE instance) { return LoadIconA(instance, MAKEINTRESOURCEA(IDI_KANTREL)); }
}  // namespace

ATOM RegisterExtMonitorClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"kntOvrinExtMon", nullptr, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC,
                                          kRecordExtra, ProgramIcon(instance), DeskDefaultCursor(), Stock(BLACK_BRUSH)});
}
ATOM RegisterInfoClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcSHOWINFO", nullptr, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          Stock(WHITE_BRUSH)});
}
ATOM RegisterProgressClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcPROGRESS", nullptr, CS_OWNDC, kRecordExtra, nullptr,
                                          LoadCursorA(nullptr, IDC_ARROW), Stock(GRAY_BRUSH)});
}
ATOM RegisterFaderClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntSlider", nullptr, CS_OWNDC | CS_DBLCLKS, 2 * kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
}
ATOM RegisterEncoderClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntEncoder", nullptr, CS_OWNDC, 32, nullptr, DeskDefaultCursor(),
                                          Stock(BLACK_BRUSH)});
}
ATOM RegisterFrameClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcNONCLIENT", nullptr, CS_OWNDC, 0, nullptr, nullptr, nullptr});
}
ATOM RegisterCmdlineClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntCmdline", nullptr, CS_OWNDC | CS_DBLCLKS, 0, nullptr,
                                          LoadCursorA(nullptr, IDC_IBEAM), Stock(BLACK_BRUSH)});
}
ATOM RegisterCDButtonClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntCDButton", nullptr, CS_OWNDC | CS_DBLCLKS, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
}
ATOM RegisterBackgroundClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcBACKGND", nullptr, CS_OWNDC, 0, nullptr, DeskDefaultCursor(),
                                          DeskGreyBrush()});
}

bool CreateFaders(HWND) { return true; }
bool CreateEncoders(HWND) { return true; }
bool CreateCmdlineWindow(HWND) { return true; }
bool CreateCDPanel(HWND) { return true; }
void CreateDeskFrame(HWND) {}
void LayOutDesk(HWND, int, int) {}
void CreateTooltips(HWND) {}
void DestroyBackgroundWindow() {}

namespace {
void ShowControl(int id, bool shown) {
    if (HWND wnd = hMainWnd ? GetDlgItem(hMainWnd, id) : nullptr) ShowWindow(wnd, shown ? SW_SHOW : SW_HIDE);
}
}  // namespace

// Bars 1 and 3 carry faders 0..9, bars 2 and 4 faders 10..19, bar 5 fader 20.
void ShowFadersForBar(int bar) {
    for (int i = 0; i < 20; ++i) {
        const bool firstTen = i < 10;
        ShowControl(40000 + i, firstTen ? (bar == 1 || bar == 3) : (bar == 2 || bar == 4));
    }
    ShowControl(40020, bar == 5);
}
void ShowEncodersForBar(int bar) {
    for (int i = 0; i < 4; ++i) ShowControl(40500 + i, bar == 6);
}
void ApplyCdPanelShowRule(int) {}
HWND DeskScrollBar(bool vertical) { return hMainWnd ? GetDlgItem(hMainWnd, vertical ? 40613 : 40612) : nullptr; }
void EnableDeskScrollBars(bool enable) {
    for (bool vertical : {false, true})
        if (HWND bar = DeskScrollBar(vertical)) EnableWindow(bar, enable);
}
void InvalidateLockIndicators() {}
void InvalidateShortcutIndicator() {}

void HandFaderValueFromCore(HWND fader, int) { InvalidateRect(fader, nullptr, FALSE); }

void TooltipNotify(LPARAM) {}
void DestroyInfoWindow() {
    if (hInfoShow) DestroyWindow(hInfoShow);
    hInfoShow = nullptr;
}

bool BackgroundWindowExists() { return false; }
void RestackBackground() {}

const char* ConfiguredCdDrive() { return nullptr; }
void CdPanelRecheckDisc(int) {}

void OpenProgressWindow(const char*) {}
void CloseProgressWindow() {
    if (!hProgress) return;
    DestroyWindow(hProgress);
    hProgress = nullptr;
    if (hTouchWnd) InvalidateRect(hTouchWnd, nullptr, FALSE);
}
void CdStopPlayback() {}
void CdCloseDevice() {}
