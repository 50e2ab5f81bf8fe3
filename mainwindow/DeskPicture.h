// Copying the desk picture onto the main window.
#pragma once
#include <windows.h>

// Copies the picture selected in source onto dc within area (dc's
// coordinates), the picture's pixel (x + offset.x, y + offset.y) to (x, y).
void PaintDeskPicture(HDC dc, HDC source, const RECT& area, POINT offset);
// Releases the band the pictures are converted through and forgets what
// was learnt of them; call when the pictures go.
void ForgetDeskPictures();
