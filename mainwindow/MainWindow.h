// The desk window: class _KNTOVRIN, 1024 x 768, no system frame.
#pragma once
#include <windows.h>

constexpr int kDeskWidth = 1024;
constexpr int kDeskHeight = 768;
// The smallest desk window that still shows its caption area and frame buttons.
constexpr int kMinDeskWidth = 400;
constexpr int kMinDeskHeight = 300;

// Requests the core sends to the main window.
enum CoreRequest : UINT {
    kReqNothing = 0x8002,
    kReqModalLoop = 0x8003,
    kReqFaderValue = 0x8008,
    kReqPrint = 0x8009,
    kReqRestart = 0x800A,
    kReqZeroDot = 0x800B,
    kReqHighliteSolo = 0x800C,
    kReqAlign = 0x800E,
    kReqShortcutMode = 0x8013,
};

// Host options the main window acts on (loaded with the window settings).
extern int gShowHKeys;
extern int gShowHScroll;
extern int gShowVScroll;
extern int gSaveOnShutdown;
extern int gCenterMainWhenCovered;
// Current desk scroll offsets in pixels.
extern int gDeskOffsetX;
extern int gDeskOffsetY;

ATOM RegisterMainWindowClass(HINSTANCE instance);
// Creates the window, stores hInst and hMainWnd; null on failure.
HWND CreateMainWindow(HINSTANCE instance);

// Moves the desk surface (hit areas, picture and children other than the
// frame pieces) by (dx, dy).
void ShiftDesk(HWND main, int dx, int dy);
// The memory DC that desk pictures are copied from; null while the main
// window does not exist.
HDC DeskMemoryDC();
// Copies size pixels of picture from `from` to `to` on dc, through the memory
// DC above (a private one before it exists): a desk picture can be selected
// into one DC only.
void CopyDeskPicture(HDC dc, POINT to, HBITMAP picture, POINT from, SIZE size, DWORD rop);
// 0 off, 1 on, 2 toggle; 0 when already in the asked state, else 1.
int SetShortcutMode(HWND main, WPARAM mode);

// Called when a core session start or end is over, so that requests that
// arrived during the transition can be served now.
void OnCoreSessionSettled();
