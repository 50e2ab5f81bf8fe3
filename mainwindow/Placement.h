// Window placement and option persistence.
#pragma once
#include <windows.h>

// Where the main window goes on the work area: the work area's origin and the
// desk size (cut to the work area), or the stored size (at least the smallest
// usable desk) and position clamped so that the whole window stays on the
// work area. sz holds (width << 16) + height; a stored size with a zero side
// counts as none.
RECT MainWindowPlacement(const RECT& work, bool stored, DWORD sz, int xp, int yp);
// The CD play mode command that the close stores ("play_mode").
constexpr int kFirstPlayMode = 33045, kLastPlayMode = 33048, kDefaultPlayMode = 33045;
extern int gPlayMode;

// Sizes and places the main window from the work area and the stored values.
void PlaceMainWindow(HWND main);
// Loads the window and option settings and opens the echo and monitor windows.
void LoadWindowSettings(HWND main);
void RestoreDeskScrollPositions(HWND main);
// Saves placement and options at close.
void SaveWindowSettings(HWND main);
