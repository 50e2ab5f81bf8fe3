// Registration of the host's window classes from one description each.
#pragma once
#include <windows.h>

struct WindowClassSpec {
    const char* name;
    WNDPROC proc;
    UINT style;
    int windowExtra;
    HICON icon;
    HCURSOR cursor;
    HBRUSH background;
};

ATOM RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec);
// Room for the per-window record pointer, whatever size the Part counts.
constexpr int kRecordExtra = int(sizeof(LONG_PTR));
