// A picture in the screen's 32-bit format, top-down, selected into a memory
// DC of its own: a section rather than a bitmap of the screen, since under
// Wine selecting a device bitmap asks the window server about the display
// every time, and a copy between it and a window is a plain copy.
#pragma once
#include <windows.h>

#include <cstdint>

struct ScreenPicture {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ dcBitmap;  // what the DC held before, given back before it goes
    uint32_t* bits;    // row r starts at bits + r * width
};

// False, with nothing left made, when the picture or its DC cannot be made.
bool MakeScreenPicture(ScreenPicture* picture, int width, int height);
// Safe on a picture never made or already released.
void ReleaseScreenPicture(ScreenPicture* picture);
