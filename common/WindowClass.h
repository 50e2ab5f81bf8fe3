// Registration of the host's window classes from one description each.
#pragma once
#include <windows.h>

struct WindowClassDesc {
    const char* name;
    WNDPROC proc;
    UINT style;
    int windowExtra;
    HICON icon;
    HCURSOR cursor;
    HBRUSH background;
};

ATOM RegisterWindowClass(HINSTANCE instance, const WindowClassDesc& desc);
// Room for the per-window record pointer: a pointer wide on every target.
constexpr int kRecordExtra = int(sizeof(LONG_PTR));

// The default handling of a desk child window. One with no frame at all (no
// border, caption, scroll bars or edges) has no non-client area: the default
// painting of it would only fetch and give back a window device context, a
// dozen requests to the window server under Wine, for each such window shown.
LRESULT CALLBACK DefChildWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
