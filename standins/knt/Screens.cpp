// What the demo console presents on its displays: a small status screen.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdio>

namespace {

const COLORREF kScreenBackground = RGB(16, 24, 40);
const COLORREF kScreenText = RGB(230, 230, 230);
const int kLineStep = 18;

void DrawLine(HDC dc, int& y, const char* text) {
    TextOutA(dc, 8, y, text, lstrlenA(text));
    y += kLineStep;
}

void DrawStatus(HDC dc, const RECT& rc, int display) {
    HBRUSH background = CreateSolidBrush(kScreenBackground);
    FillRect(dc, &rc, background);
    DeleteObject(background);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kScreenText);
    char text[kCmdlineMax + 32];
    int y = 8;
    snprintf(text, sizeof text, "Display %d", display);
    DrawLine(dc, y, text);
    snprintf(text, sizeof text, "Command: %s", gDemo.cmdline);
    DrawLine(dc, y, text);
    snprintf(text, sizeof text, "Lamps lit: %d", LitLampCount());
    DrawLine(dc, y, text);
    if (gDemo.anyStatus) snprintf(text, sizeof text, "Last status: %d = %d", gDemo.lastCode, gDemo.lastValue);
    else snprintf(text, sizeof text, "Last status: none");
    DrawLine(dc, y, text);
    SelectObject(dc, oldFont);
}

void DrawBlank(HDC dc, const RECT& rc, int) { FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); }

// Draws straight into the window, as the core presents outside any paint cycle.
bool DrawInto(int display, void (*draw)(HDC, const RECT&, int)) {
    HWND wnd = DisplayWindow(display);
    if (!wnd) return false;
    HDC dc = GetDC(wnd);
    if (!dc) return false;
    RECT rc;
    GetClientRect(wnd, &rc);
    draw(dc, rc, display);
    ReleaseDC(wnd, dc);
    return true;
}

}  // namespace

HWND DisplayWindow(int display) {
    if (display < 0 || display >= kDisplayCount) return nullptr;
    HWND wnd = displays[display].wnd;
    return wnd && IsWindow(wnd) ? wnd : nullptr;
}

// Composed off-screen first, so that views redrawn while counters run never
// flicker.
bool DrawBuffered(HWND wnd, void (*draw)(HDC, const RECT&, int), int which) {
    HDC dc = wnd ? GetDC(wnd) : nullptr;
    if (!dc) return false;
    RECT rc;
    GetClientRect(wnd, &rc);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = GetCurrentObject(memory, OBJ_FONT);
    draw(memory, rc, which);
    BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(wnd, dc);
    return true;
}

bool DrawStatusScreen(int display) { return DrawInto(display, DrawStatus); }

bool BlankScreen(int display) { return DrawInto(display, DrawBlank); }
