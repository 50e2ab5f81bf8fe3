// Keeps the Wine desktop of a test lane in use for a whole test run. Wine ends
// its desktop process a moment after the last program that used the desktop
// ends, so every test otherwise paid for a new one, and a test whose windows
// were being made while the old desktop went away could lose its X windows
// under it. This program uses the desktop and waits until it is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!GetDesktopWindow()) return 1;
    // A message-only window: nothing on the screen, nothing to activate.
    HWND keeper = CreateWindowExA(0, "STATIC", "desk test desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (keeper) DestroyWindow(keeper);
    return 0;
}
