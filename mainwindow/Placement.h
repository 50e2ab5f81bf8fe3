// Window placement and option persistence.
#pragma once
#include <windows.h>

// Sizes and places the main window from the work area and the stored values.
void PlaceMainWindow(HWND main);
// Loads the window and option settings and opens the echo and monitor windows.
void LoadWindowSettings(HWND main);
void RestoreDeskScrollPositions(HWND main);
// Saves placement and options at close.
void SaveWindowSettings(HWND main);
