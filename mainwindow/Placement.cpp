// Window placement and option persistence. The main window's placement is
// read here; the other settings and the saving at close arrive with the desk
// frame.
#include "mainwindow/Placement.h"

#include <algorithm>
#include <string>

#include "app/hostlibs/RegistryLib.h"
#include "mainwindow/MainWindow.h"

namespace {
std::string PositionKey() { return std::string(TlmRegKey) + "\\WPos"; }

bool ReadPosition(const char* name, int* value) {
    return LookUpRegKeyInt(HKEY_CURRENT_USER, name, value, PositionKey().c_str()) != -1;
}
}  // namespace

RECT MainWindowPlacement(const RECT& work, bool stored, DWORD sz, int xp, int yp) {
    const int areaWidth = std::max(0L, work.right - work.left), areaHeight = std::max(0L, work.bottom - work.top);
    int width = std::min(areaWidth, kDeskWidth), height = std::min(areaHeight, kDeskHeight);
    int x = work.left, y = work.top;
    const int storedWidth = int(sz >> 16), storedHeight = int(sz & 0xFFFF);
    if (stored && storedWidth > 0 && storedHeight > 0) {
        width = std::min(storedWidth, width);
        height = std::min(storedHeight, height);
        // Clamped against the work area itself, not the screen's origin.
        x = std::clamp(xp, int(work.left), int(work.left) + std::max(0, areaWidth - width));
        y = std::clamp(yp, int(work.top), int(work.top) + std::max(0, areaHeight - height));
    }
    return RECT{x, y, x + width, y + height};
}

void PlaceMainWindow(HWND main) {
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) SetRect(&work, 0, 0, kDeskWidth, kDeskHeight);
    int sz = 0, yp = 0, xp = 0;
    const bool haveSize = ReadPosition("sz", &sz);
    const bool haveY = ReadPosition("yp", &yp);
    const bool haveX = ReadPosition("xp", &xp);
    const RECT place = MainWindowPlacement(work, haveSize && haveY && haveX, DWORD(sz), xp, yp);
    SetWindowPos(main, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top, 0);
}

void LoadWindowSettings(HWND) {}
void RestoreDeskScrollPositions(HWND) {}
void SaveWindowSettings(HWND) {}
