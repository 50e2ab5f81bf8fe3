#include "cdplayer/CdPanel.h"

#include <windows.h>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "input/FaderWnd.h"

BYTE gCdCurrentTrack;
int gCdStopAtTrackEnd;

namespace {
constexpr int kEncoderBar = 6;
constexpr int kStatusDisplayId = kFirstCdPanelId + 8, kPauseId = kFirstCdPanelId + 3, kPlayId = kFirstCdPanelId + 4;

void Invalidate(int id, BOOL erase) {
    if (HWND wnd = hMainWnd ? GetDlgItem(hMainWnd, id) : nullptr) InvalidateRect(wnd, nullptr, erase);
}

void ShowById(int id, bool shown) {
    if (HWND wnd = GetDlgItem(hMainWnd, id)) ShowWindow(wnd, shown ? SW_SHOW : SW_HIDE);
}
}  // namespace

void ShowCdPanel() {
    if (DisableCDPlayer || !hMainWnd) return;
    const bool onEncoderBar = current_bar == kEncoderBar;
    const bool shown = gCdPlayerShown && onEncoderBar;
    for (int i = 0; i < kCdPanelWindowCount; ++i) ShowById(kFirstCdPanelId + i, shown);
    ShowById(kFirstFaderId + kVolumeFader, shown);
    if (onEncoderBar) {
        // The panel's place on the desk picture is painted anew behind it.
        HDC dc = GetDC(hMainWnd);
        SendMessageA(hMainWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(hMainWnd, dc);
    }
}

bool CreateCDPanel(HWND) {
    if (DisableCDPlayer || !ChooseCdDrive()) return false;
    return gCdDevice.Open(gCdDrive);
}

void SetPlayerMode(int mode) {
    if (mode == cd_mode) return;
    cd_mode = mode;
    Invalidate(kStatusDisplayId, FALSE);
    Invalidate(kPauseId, TRUE);
    Invalidate(kPlayId, TRUE);
}

// The panel's time display is not built yet: until it is, the shared values
// change only by Seek.
void RefreshPosition(bool) {}
