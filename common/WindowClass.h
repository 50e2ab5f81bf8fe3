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
