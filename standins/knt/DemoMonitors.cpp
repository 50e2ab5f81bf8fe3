// What the demo console presents on its two external monitors (displays 3
// and 4), and the cleared state that ClearScreen leaves on any display.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdio>

namespace {

enum {
    kFirstMonitor = 3,
    kMonitorCount = 2,
    kHeaderHeight = 72,
    kLineStep = 22,
    kLampCell = 14,
    kLampColumns = 32,
    kMarkerSize = 12,
};

const COLORREF kBackground[kMonitorCount] = {RGB(0, 40, 48), RGB(36, 12, 48)};
const COLORREF kHeader[kMonitorCount] = {RGB(0, 120, 130), RGB(120, 40, 140)};
const COLORREF kText = RGB(240, 240, 240);
const COLORREF kLampOn = RGB(255, 200, 40);
const COLORREF kLampOff = RGB(60, 60, 60);
const COLORREF kMarker = RGB(255, 80, 80);

struct Pointer {
    int x;
    int y;
    UINT msg;
    bool seen;
};

bool gCleared[kDisplayCount];
Pointer gPointer[kMonitorCount];
int gFrames[kMonitorCount];

bool IsMonitor(int display) { return display >= kFirstMonitor && display < kFirstMonitor + kMonitorCount; }
bool IsDisplay(int display) { return display >= 0 && display < kDisplayCount; }
bool IsButtonDown(UINT msg) { return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN; }

const char* MessageName(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE: return "move";
    case WM_LBUTTONDOWN: return "left down";
    case WM_LBUTTONUP: return "left up";
    case WM_RBUTTONDOWN: return "right down";
    case WM_RBUTTONUP: return "right up";
    case WM_MBUTTONDOWN: return "middle down";
    case WM_MBUTTONUP: return "middle up";
    }
    return "other";
}

void Fill(HDC dc, const RECT& rc, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x, int& y, const char* text) {
    TextOutA(dc, x, y, text, lstrlenA(text));
    y += kLineStep;
}

void DrawHeader(HDC dc, const RECT& rc, int monitor) {
    Fill(dc, RECT{0, 0, rc.right, kHeaderHeight}, kHeader[monitor]);
    HFONT big = CreateFontA(44, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, big ? static_cast<HGDIOBJ>(big) : GetStockObject(DEFAULT_GUI_FONT));
    char text[32];
    snprintf(text, sizeof text, "Monitor %d", monitor + 1);
    TextOutA(dc, 20, 12, text, lstrlenA(text));
    SelectObject(dc, old);
    if (big) DeleteObject(big);
    snprintf(text, sizeof text, "Display %d", kFirstMonitor + monitor);
    TextOutA(dc, rc.right - 110, 28, text, lstrlenA(text));
}

void DrawLamps(HDC dc, int left, int top) {
    for (int lamp = 0; lamp < kLampSlots; ++lamp) {
        const int x = left + (lamp % kLampColumns) * kLampCell, y = top + (lamp / kLampColumns) * kLampCell;
        Fill(dc, RECT{x, y, x + kLampCell - 3, y + kLampCell - 3}, LampOf(lamp) ? kLampOn : kLampOff);
    }
}

void DrawMarker(HDC dc, const Pointer& pointer) {
    if (!pointer.seen) return;
    Fill(dc, RECT{pointer.x - kMarkerSize, pointer.y - 1, pointer.x + kMarkerSize + 1, pointer.y + 2}, kMarker);
    Fill(dc, RECT{pointer.x - 1, pointer.y - kMarkerSize, pointer.x + 2, pointer.y + kMarkerSize + 1}, kMarker);
}

void DrawMonitor(HDC dc, const RECT& rc, int monitor) {
    Fill(dc, rc, kBackground[monitor]);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    DrawHeader(dc, rc, monitor);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    char text[kCmdlineMax + 48];
    int y = kHeaderHeight + 16;
    snprintf(text, sizeof text, "Frame %d", gFrames[monitor]);
    Line(dc, 20, y, text);
    snprintf(text, sizeof text, "Command: %s", gDemo.cmdline);
    Line(dc, 20, y, text);
    if (gDemo.anyStatus) snprintf(text, sizeof text, "Last status: %d = %d", gDemo.lastCode, gDemo.lastValue);
    else snprintf(text, sizeof text, "Last status: none");
    Line(dc, 20, y, text);
    const Pointer& pointer = gPointer[monitor];
    if (pointer.seen) snprintf(text, sizeof text, "Pointer: %d, %d (%s)", pointer.x, pointer.y, MessageName(pointer.msg));
    else snprintf(text, sizeof text, "Pointer: none yet");
    Line(dc, 20, y, text);
    snprintf(text, sizeof text, "Lamps lit: %d", LitLampCount());
    Line(dc, 20, y, text);
    DrawLamps(dc, 20, y + 8);
    DrawMarker(dc, pointer);
}

// Drawn off screen, then copied, like the touch views.
bool DrawMonitorScreen(int display) {
    HWND wnd = IsMonitor(display) ? DisplayWindow(display) : nullptr;
    if (!wnd) return false;
    const int monitor = display - kFirstMonitor;
    ++gFrames[monitor];
    return DrawBuffered(wnd, DrawMonitor, monitor);
}

// The host repaints through Flip; leaving the background alone avoids a
// black flash between the two.
void RequestRepaint(int display) {
    if (HWND wnd = DisplayWindow(display)) InvalidateRect(wnd, nullptr, FALSE);
}

}  // namespace

bool PresentDisplay(int display) {
    if (IsDisplay(display) && gCleared[display]) return BlankScreen(display);
    if (IsMonitor(display)) return DrawMonitorScreen(display);
    return DrawTouchView(display);
}

bool ClearDisplay(int display) {
    if (!IsDisplay(display)) return false;
    gCleared[display] = true;
    return BlankScreen(display);
}

void NotePointer(int display, int x, int y, UINT msg) {
    if (!IsDisplay(display)) return;
    if (IsButtonDown(msg)) gCleared[display] = false;
    if (!IsMonitor(display)) return;
    gPointer[display - kFirstMonitor] = Pointer{x, y, msg, true};
    RequestRepaint(display);
}

void RefreshMonitors(void) {
    for (int display = kFirstMonitor; display < kFirstMonitor + kMonitorCount; ++display) RequestRepaint(display);
}
