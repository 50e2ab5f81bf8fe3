// The desk menu, the view menu and the commands they send.
#pragma once
#include <windows.h>

// The menus as they would open now, built fresh from their resources; the
// caller destroys them. Their pop-up is sub-menu 0. Null when the resource
// cannot be loaded.
HMENU BuildDeskMenu();
HMENU BuildViewMenu(HWND main);

// at: the pressed point in client coordinates of the main window.
void OpenDeskMenu(HWND main, POINT at);
void OpenViewMenu(HWND main, POINT at);

// WM_COMMAND to the main window, from the menus, the accelerator table and
// other windows; unknown commands go to DefWindowProcA.
LRESULT HandleDeskCommand(HWND main, WPARAM wp, LPARAM lp);

// Puts the main window at the screen's top-left corner and the visible
// external monitors and echo window after it in 20-pixel steps.
void ArrangeWindows(HWND main);
