// The information window (class vcSHOWINFO): a plain white child that the core
// asks for over one of its display windows, at a rectangle of its choosing.
#pragma once
#include <windows.h>

constexpr int kInfoWindowId = 50000;

ATOM RegisterInfoClass(HINSTANCE instance);
void DestroyInfoWindow();
// Replaces any information window by one on parent at (x, y, width, height);
// while no core session runs it only removes the old one.
void ShowInfoWindow(HWND parent, int x, int y, int width, int height);
// The same for a request of the core, whose lParam points at x, y, width and
// height (four 32-bit values). A rectangle this process cannot read (null, or
// an address that came from another process) opens nothing.
void ShowInfoWindowAt(HWND parent, LPARAM record);
