// The process-wide drawing resources of the desk, used by role.
#pragma once
#include <windows.h>

// Creates every resource; false when one the desk cannot do without failed.
bool CreateDrawingResources(HINSTANCE instance);
// Releases whatever exists; safe to call again.
void ReleaseDrawingResources();

HCURSOR DeskDefaultCursor();
HBRUSH DeskGreyBrush();  // RGB(84, 84, 84)
HCURSOR DeskMoveCursor();

// Hit areas of the desk surface, in client coordinates of the main window:
// the drag region of the current fader bar (may be null) and the desk menu
// button. Both move with the desk when it scrolls.
HRGN DeskDragRegion();
RECT DeskMenuButtonRect();
void ShiftDeskHitAreas(int dx, int dy);
// The desk picture for a fader bar; bar 6 has one with the CD player panel.
HBITMAP DeskBackgroundBitmap(int bar, bool cdShown);
