// The touch screen area of the desk (window class kntOvrinTouch): the core
// presents its current view into it and hears the pointer as touch input.
#pragma once
#include <windows.h>

// Requests the core sends to the touch window.
enum TouchRequest : UINT {
    kReqTouchCursor = WM_APP + 4,     // wParam: cursor table index, lParam: the window
    kReqShowProgress = WM_APP + 5,    // wParam: the text
    kReqHideProgress = WM_APP + 6,
    kReqTouchView = WM_APP + 15,      // wParam: view 0..2
    kReqShowInfo = WM_APP + 16,       // lParam: x, y, width, height (32-bit each)
};

ATOM RegisterTouchClass(HINSTANCE instance);
// Creates the window (control id 50002) on main and stores it in hTouchWnd.
bool CreateTouchWindow(HWND main);
