// Window placement and option persistence. Placement from the stored values
// and the saving at close arrive with the desk frame; until then the desk
// takes the work area's origin and its own size.
#include "mainwindow/Placement.h"

#include "mainwindow/MainWindow.h"

void PlaceMainWindow(HWND main) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = work.right - work.left < kDeskWidth ? work.right - work.left : kDeskWidth;
    const int height = work.bottom - work.top < kDeskHeight ? work.bottom - work.top : kDeskHeight;
    SetWindowPos(main, nullptr, work.left, work.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LoadWindowSettings(HWND) {}
void RestoreDeskScrollPositions(HWND) {}
void SaveWindowSettings(HWND) {}
