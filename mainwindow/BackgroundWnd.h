// The cover-desktop window (class vcBACKGND): a disabled window over the work
// area that hides the Windows desktop behind the host's own windows.
#pragma once
#include <windows.h>

ATOM RegisterBackgroundClass(HINSTANCE instance);

// Covers the desktop; does nothing while it is covered already.
void CreateBackgroundWindow(HWND main);
void DestroyBackgroundWindow();
// The desktop counts as covered exactly while the window exists.
bool BackgroundWindowExists();
HWND BackgroundWindow();
// Centres the desk (not showing it) while the desktop is covered and the
// centring option is on: for the start, whose settings make the cover
// before they read the option.
void PlaceDeskOnCover(HWND main);
// Puts the cover window on top and then the host's windows (the monitors, the
// echo window and last the main window) in front of it; nothing while the
// desktop is not covered.
void RestackBackground();
// What WM_ACTIVATEAPP of the main window and the monitors does while the
// desktop is covered: restack when the application becomes active, never
// when it loses the activation (that would take the foreground back from the
// application the user just switched to). False when the message is left to
// the default handling.
bool RestackOnActivateApp(BOOL active);
