// Window class registration.
#include "common/WindowClass.h"

ATOM RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = spec.style;
    wc.lpfnWndProc = spec.proc ? spec.proc : DefWindowProcA;
    wc.cbWndExtra = spec.windowExtra;
    wc.hInstance = instance;
    wc.hIcon = spec.icon;
    wc.hIconSm = spec.icon;
    wc.hCursor = spec.cursor;
    wc.hbrBackground = spec.background;
    wc.lpszClassName = spec.name;
    return RegisterClassExA(&wc);
}
