// Process-wide drawing resources. The pictures, pens and fonts of the desk
// join this set as the desk surface is built; for now the desk has its grey
// and the default cursor.
#include "desk/DrawingResources.h"

namespace {
HBRUSH gGreyBrush;
HCURSOR gDefaultCursor;
HBITMAP gBackground;
RECT gMenuButton = {1, 4, 41, 44};

// Until the desk pictures exist the background is the desk grey.
HBITMAP MakeGreyPicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 1024, 768);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture);
    RECT all = {0, 0, 1024, 768};
    FillRect(dc, &all, gGreyBrush ? gGreyBrush : static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}
}  // namespace

bool CreateDrawingResources(HINSTANCE) {
    gGreyBrush = CreateSolidBrush(RGB(84, 84, 84));
    if (!gGreyBrush) return false;
    gDefaultCursor = LoadCursorA(nullptr, IDC_ARROW);
    return true;
}

void ReleaseDrawingResources() {
    if (gGreyBrush) DeleteObject(gGreyBrush);
    gGreyBrush = nullptr;
    if (gBackground) DeleteObject(gBackground);
    gBackground = nullptr;
    gDefaultCursor = nullptr;
    gMenuButton = RECT{1, 4, 41, 44};
}

HCURSOR DeskDefaultCursor() { return gDefaultCursor ? gDefaultCursor : LoadCursorA(nullptr, IDC_ARROW); }
HBRUSH DeskGreyBrush() { return gGreyBrush; }
HCURSOR DeskMoveCursor() { return LoadCursorA(nullptr, IDC_SIZEALL); }

HRGN DeskDragRegion() { return nullptr; }
RECT DeskMenuButtonRect() { return gMenuButton; }
void ShiftDeskHitAreas(int dx, int dy) { OffsetRect(&gMenuButton, dx, dy); }
HBITMAP DeskBackgroundBitmap(int, bool) {
    if (!gBackground) gBackground = MakeGreyPicture();
    return gBackground;
}
