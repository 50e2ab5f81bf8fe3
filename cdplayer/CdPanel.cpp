#include "cdplayer/CdPanel.h"

#include <windows.h>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "input/FaderWnd.h"

namespace {
constexpr int kEncoderBar = 6;

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
