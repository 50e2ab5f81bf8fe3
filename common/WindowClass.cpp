// Window class registration.
#include "common/WindowClass.h"

ATOM RegisterWindowClass(HINSTANCE instance, const WindowClassDesc& desc) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = desc.style;
    wc.lpfnWndProc = desc.proc ? desc.proc : DefWindowProcA;
    wc.cbWndExtra = desc.windowExtra;
    wc.hInstance = instance;
    wc.hIcon = desc.icon;
    wc.hIconSm = desc.icon;
    wc.hCursor = desc.cursor;
    wc.hbrBackground = desc.background;
    wc.lpszClassName = desc.name;
    return RegisterClassExA(&wc);
}

namespace {

bool HasFrame(HWND wnd) {
    constexpr LONG_PTR kFrameStyles = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL;
    constexpr LONG_PTR kFrameExStyles = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
    return (GetWindowLongPtrA(wnd, GWL_STYLE) & kFrameStyles) || (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & kFrameExStyles);
}

}  // namespace

LRESULT CALLBACK DefChildWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCPAINT && !HasFrame(wnd)) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}
