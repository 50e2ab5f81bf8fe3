// The process-wide drawing resources of the desk, used by role.
#pragma once
#include <windows.h>

// Creates every resource; false when one the desk cannot do without failed.
bool CreateDrawingResources(HINSTANCE instance);
// Releases whatever exists; safe to call again.
void ReleaseDrawingResources();

HCURSOR DeskDefaultCursor();
HBRUSH DeskGreyBrush();  // RGB(84, 84, 84)
