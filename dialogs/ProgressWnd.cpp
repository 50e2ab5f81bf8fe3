// The progress window: sized from its text, filling on its timer and on the
// core's step request until the bar is full.
#include "dialogs/ProgressWnd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"

namespace {

const char kClassName[] = "vcPROGRESS";
constexpr int kTextMargin = 100;
constexpr int kBarInset = 15;
constexpr int kBarBottomGap = 5;

struct ProgressRecord {
    char* text;    // own copy; null when shown without one
    int progress;  // fill width in pixels
    RECT bar;
};

ProgressRecord* RecordOf(HWND wnd) { return reinterpret_cast<ProgressRecord*>(GetWindowLongPtrA(wnd, 0)); }

char* CopyOf(const char* text) {
    if (!text) return nullptr;
    const size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, text, size);
    return copy;
}

// The fill ends one pixel inside the bar's frame.
int FullWidth(const RECT& bar) { return std::max(0, int(bar.right - bar.left - 1)); }

void SizeToText(HWND wnd, const char* text) {
    HDC dc = GetDC(wnd);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &extent);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    ReleaseDC(wnd, dc);
    RECT window;
    GetWindowRect(wnd, &window);
    SetWindowPos(wnd, nullptr, 0, 0, std::min(int(extent.cx) + kTextMargin, kProgressMaxWidth),
                 window.bottom - window.top, SWP_NOMOVE | SWP_SHOWWINDOW);
    SetTimer(wnd, kProgressTimer, kProgressTimerMs, nullptr);
}

LRESULT OnCreate(HWND wnd, const CREATESTRUCTA* create) {
    ProgressRecord* rec = new ProgressRecord{CopyOf(static_cast<const char*>(create->lpCreateParams)), 0, {}};
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    rec->progress = kProgressStepPixels;
    if (rec->text) SizeToText(wnd, rec->text);
    RECT client;
    GetClientRect(wnd, &client);
    rec->bar = {client.left + kBarInset, client.bottom / 2, client.right - kBarInset, client.bottom - kBarBottomGap};
    return 0;
}

void Paint(HDC dc, const ProgressRecord* rec, const RECT& client) {
    if (rec->text) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT line = client;
        DrawTextA(dc, rec->text, -1, &line, DT_SINGLELINE | DT_CENTER);
    }
    const RECT& bar = rec->bar;
    HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    const RECT fill = {bar.left + 1, bar.top + 1, std::min(int(bar.left + rec->progress), int(bar.right - 1)),
                       bar.bottom - 1};
    if (fill.right > fill.left && fill.bottom > fill.top) FillRect(dc, &fill, BlueBrush());
}

void OnPaint(HWND wnd, const ProgressRecord* rec) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT client;
    GetClientRect(wnd, &client);
    Paint(dc, rec, client);
    EndPaint(wnd, &ps);
}

// A full bar stays full: its timer goes, and further steps change nothing.
void OnStep(HWND wnd, ProgressRecord* rec) {
    const int full = FullWidth(rec->bar);
    if (rec->progress < full) {
        rec->progress = std::min(rec->progress + kProgressStepPixels, full);
        InvalidateRect(wnd, &rec->bar, FALSE);
    }
    if (rec->progress >= full) KillTimer(wnd, kProgressTimer);
}

void OnDestroy(HWND wnd, ProgressRecord* rec) {
    KillTimer(wnd, kProgressTimer);
    free(rec->text);
    delete rec;
    SetWindowLongPtrA(wnd, 0, 0);
    if (hProgress == wnd) hProgress = nullptr;
}

LRESULT CALLBACK ProgressWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    ProgressRecord* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp));
    case WM_PAINT: OnPaint(wnd, rec); return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(wnd, &client);
        Paint(reinterpret_cast<HDC>(wp), rec, client);
        return 0;
    }
    case WM_TIMER:
        if (wp != kProgressTimer) break;
        OnStep(wnd, rec);
        return 0;
    case kReqProgressStep: OnStep(wnd, rec); return 0;
    case WM_NCHITTEST: return HTNOWHERE;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterProgressClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {kClassName, ProgressWndProc, CS_OWNDC, kRecordExtra, nullptr,
                                          LoadCursorA(nullptr, IDC_ARROW), static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))});
}

void ShowProgress(const char* text) {
    HideProgress();
    hProgress = CreateWindowExA(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_THICKFRAME, 0, kProgressTop, 0,
                                kProgressHeight, hTouchWnd, reinterpret_cast<HMENU>(INT_PTR(kProgressWindowId)),
                                hInst, const_cast<char*>(text));
}

void HideProgress() {
    if (!hProgress) return;
    HWND wnd = hProgress;
    hProgress = nullptr;
    DestroyWindow(wnd);
    RedrawWindow(hTouchWnd, nullptr, nullptr, RDW_INVALIDATE);
}
