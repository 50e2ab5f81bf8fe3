// Process-wide drawing resources. The pictures, pens and fonts of the desk
// join this set as the desk surface is built; for now the desk has its grey
// and the default cursor.
#include "desk/DrawingResources.h"

namespace {
HBRUSH gGreyBrush;
HCURSOR gDefaultCursor;
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
    gDefaultCursor = nullptr;
}

HCURSOR DeskDefaultCursor() { return gDefaultCursor ? gDefaultCursor : LoadCursorA(nullptr, IDC_ARROW); }
HBRUSH DeskGreyBrush() { return gGreyBrush; }
