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
