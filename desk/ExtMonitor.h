// The external monitor windows (class kntOvrinExtMon): top-level windows
// into which the core presents its displays 3 and 4.
#pragma once
#include <windows.h>

constexpr int kExtMonitor1Display = 3;
constexpr int kExtMonitor2Display = 4;
constexpr int kExtMonitorClientWidth = 800;
constexpr int kExtMonitorClientHeight = 600;

// The two commands the monitors add to their system menus.
enum ExtMonitorCommand : UINT {
    kCmdClearScreen = 32783,
    kCmdClearAllScreens = 32784,
};

// Requests the core sends to a monitor window.
enum ExtMonitorRequest : UINT {
    kReqMonitorCursor = WM_APP + 4,  // wParam: cursor table index, lParam: the window
    kReqMonitorInfo = WM_APP + 16,   // lParam: x, y, width, height (32-bit each)
};

ATOM RegisterExtMonitorClass(HINSTANCE instance);

// Creates the monitor of display 3 or 4 with its window at (x, y) (x may be
// CW_USEDEFAULT); shown is the stored shown flag, 0 for hidden. Stores the
// handle in hExt1Wnd or hExt2Wnd and in the display's record, and the shown
// flag in gExtMonShown. Null for any other display, when that display has a
// monitor already, or when the window cannot be made.
HWND CreateExtMonitor(int display, int x, int y, int shown);

// The monitor window of display 3 or 4; null when there is none.
HWND ExtMonitorWindow(int display);

// What the save at close keeps of a monitor: whether it is visible (0/1) and
// the top-left corner of its window. False, with nothing filled in, when the
// monitor does not exist or is minimised.
struct ExtMonitorPlacement {
    int shown;
    int x;
    int y;
};
bool GetExtMonitorPlacement(int display, ExtMonitorPlacement* placement);
