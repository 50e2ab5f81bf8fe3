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
ATOM RegisterKeyClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntButton", nullptr, CS_DBLCLKS | CS_OWNDC, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
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
bool CreateDeskKeys(HWND) { return true; }
bool CreateEncoders(HWND) { return true; }
bool CreateCmdlineWindow(HWND) { return true; }
bool CreateCDPanel(HWND) { return true; }
void CreateDeskFrame(HWND) {}
void LayOutDesk(HWND, int, int) {}
void CreateTooltips(HWND) {}
void DestroyBackgroundWindow() {}

void SelectTouchView(int view, bool forced) {
    if (forced || CallEntry(gCore.CanSwitchTouch)) {
        InterlockedExchange(&current_touch, view);
        InterlockedExchange(&current_background, view);
    }
}
void SelectFaderBar(int bar) { InterlockedExchange(&current_bar, bar); }
void RefreshCoreLabels() {}
HWND DeskScrollBar(bool vertical) { return hMainWnd ? GetDlgItem(hMainWnd, vertical ? 40613 : 40612) : nullptr; }
void EnableDeskScrollBars(bool enable) {
    for (bool vertical : {false, true})
        if (HWND bar = DeskScrollBar(vertical)) EnableWindow(bar, enable);
}
void InvalidateLockIndicators() {}
void InvalidateShortcutIndicator() {}

void HandFaderValueFromCore(HWND fader, int) { InvalidateRect(fader, nullptr, FALSE); }
// The labels ask the core now; the key windows that show them come later.
void RefreshZeroDotLabels() { CallEntry(gCore.GetZeroDot); }
void RefreshHighliteSoloLabel() { CallEntry(gCore.GetHighliteSolo); }
void RefreshAlignLabel() { CallEntry(gCore.GetAlignButtonText); }

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
