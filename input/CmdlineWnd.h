// The console's command line on the desk (window class _kntCmdline): the
// core's text with its caret, keys straight to the core while it has the
// focus, and a click that moves the core's cursor.
#pragma once
#include <windows.h>

// The core asks for a redraw: wParam selects the text, lParam is the cursor
// position in characters from the start (-1: none).
constexpr UINT kReqCmdlineRedraw = WM_APP + 13;

ATOM RegisterCmdlineClass(HINSTANCE instance);
// Creates the window (control id 40700) on main and stores it in hCmdlineWnd.
bool CreateCmdlineWindow(HWND main);

// Drops the copy of the core's text that the last drawing made. Called when
// the core goes away, so that a click before the next drawing sets nothing.
void ForgetCmdlineText();
// Characters the last drawing hid at the front of the text; -1 when the
// window holds no text (nothing drawn yet, or forgotten since).
int CmdlineHiddenCount();
