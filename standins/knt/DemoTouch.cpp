// What the demo console presents on its three touch views: the view number,
// the command line, the fader levels and the counters the host turns.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" __declspec(dllimport) unsigned char* Getdp(void);

namespace {

const COLORREF kViewBackground[3] = {RGB(16, 24, 56), RGB(16, 48, 24), RGB(56, 24, 16)};
const COLORREF kText = RGB(230, 230, 230);
const COLORREF kFaderLevel = RGB(90, 220, 90);
const COLORREF kFaderTrack = RGB(40, 40, 40);
enum { kFaderCount = 23, kFaderWidth = 20, kFaderGap = 7, kFaderLeft = 12, kFaderHeight = 200, kLineStep = 18 };

int16_t Counter(const unsigned char* data, int offset) {
    int16_t value = 0;
    if (data) std::memcpy(&value, data + offset, sizeof value);
    return value;
}

void Line(HDC dc, int& y, const char* text) {
    TextOutA(dc, 12, y, text, lstrlenA(text));
    y += kLineStep;
}

void DrawFaders(HDC dc, const unsigned char* data, int bottom) {
    char label[8];
    for (int n = 0; n < kFaderCount; ++n) {
        const int value = data ? data[kDpFaderValues + n] : 0;
        const int left = kFaderLeft + n * (kFaderWidth + kFaderGap);
        RECT track = {left, bottom - kFaderHeight, left + kFaderWidth, bottom};
        RECT level = {left, bottom - value * kFaderHeight / 255, left + kFaderWidth, bottom};
        HBRUSH trackBrush = CreateSolidBrush(kFaderTrack);
        HBRUSH levelBrush = CreateSolidBrush(kFaderLevel);
        FillRect(dc, &track, trackBrush);
        FillRect(dc, &level, levelBrush);
        DeleteObject(trackBrush);
        DeleteObject(levelBrush);
        snprintf(label, sizeof label, "%d", value);
        TextOutA(dc, left, bottom + 4, label, lstrlenA(label));
    }
}

void DrawView(HDC dc, const RECT& rc, int view) {
    HBRUSH background = CreateSolidBrush(kViewBackground[view]);
    FillRect(dc, &rc, background);
    DeleteObject(background);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    const unsigned char* data = Getdp();
    char text[kCmdlineMax + 48];
    int y = 10;
    snprintf(text, sizeof text, "Touch view %d", view + 1);
    Line(dc, y, text);
    snprintf(text, sizeof text, "Command: %s", gDemo.cmdline);
    Line(dc, y, text);
    snprintf(text, sizeof text, "Scroll: view 1 %d   view 2 %d   view 3 %d", Counter(data, kDpTouchScroll0),
             Counter(data, kDpTouchScroll1), Counter(data, kDpTouchScroll2));
    Line(dc, y, text);
    snprintf(text, sizeof text, "Encoders: %d %d %d %d", Counter(data, kDpEncoder1), Counter(data, kDpEncoder2),
             Counter(data, kDpEncoder3), Counter(data, kDpEncoder4));
    Line(dc, y, text);
    snprintf(text, sizeof text, "Track: %d / %d   Wheel: %d", Counter(data, kDpTrackVertical),
             Counter(data, kDpTrackHorizontal), Counter(data, kDpWheel));
    Line(dc, y, text);
    snprintf(text, sizeof text, "Lamps lit: %d", LitLampCount());
    Line(dc, y, text);
    DrawFaders(dc, data, rc.bottom - 30);
}

}  // namespace

// Drawn off screen first, then copied: the core presents whenever it likes,
// and the view must not flicker while the counters run.
bool DrawTouchView(int display) {
    if (display < 0 || display > 2) return false;
    HWND wnd = DisplayWindow(display);
    if (!wnd) return false;
    return DrawBuffered(wnd, DrawView, display);
}
