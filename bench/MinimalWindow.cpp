// The floor for start-up figures: a bare Win32 program with one 1024 x 768
// window, nothing else. It ends when its window is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK MinimalWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "KntMinimalWindow";
    if (!RegisterClassA(&wc)) return 1;
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 1024, 768,
                               nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
