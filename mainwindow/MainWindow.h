// The desk window: class _KNTOVRIN, 1024 x 768, no system frame.
#pragma once
#include <windows.h>

constexpr int kDeskWidth = 1024;
constexpr int kDeskHeight = 768;

ATOM RegisterMainWindowClass(HINSTANCE instance);
// Creates the window, stores hInst and hMainWnd; null on failure.
HWND CreateMainWindow(HINSTANCE instance);

// Called when a core session start or end is over, so that requests that
// arrived during the transition can be served now.
void OnCoreSessionSettled();
