// The echo console: a plain top-level window that shows the tail of the lines
// the core logs.
#include "standins/StandinControl.h"
#include "KntLib.h"

#include <deque>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const char kEchoClass[] = "kntEchoConsole";
const size_t kEchoLineLimit = 200;
const int kEchoWidth = 400;
const int kEchoHeight = 250;

StandinLock gEchoLock;
std::deque<std::string> gEchoLines;
HWND gEchoWnd;

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

void PaintTail(HWND wnd, HDC dc) {
    RECT rc;
    GetClientRect(wnd, &rc);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    int lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 12;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(200, 200, 200));
    StandinGuard guard(gEchoLock);
    int y = rc.bottom - lineHeight;
    for (auto it = gEchoLines.rbegin(); it != gEchoLines.rend() && y > -lineHeight; ++it, y -= lineHeight)
        TextOutA(dc, 4, y, it->c_str(), static_cast<int>(it->size()));
    SelectObject(dc, oldFont);
}

void OnPaint(HWND wnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    PaintTail(wnd, dc);
    EndPaint(wnd, &ps);
}

LRESULT CALLBACK EchoWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(wnd); return 0;
    case WM_PRINTCLIENT: PaintTail(wnd, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return 1;
    // The host decides when the echo window goes; the user can only hide it.
    case WM_CLOSE: ShowWindow(wnd, SW_HIDE); return 0;
    case WM_NCDESTROY:
        if (gEchoWnd == wnd) gEchoWnd = nullptr;
        break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

bool RegisterEchoClass() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(ThisModule(), kEchoClass, &wc)) {
        // A class left behind by an earlier load of this library points into
        // the old image; it goes unless a window still holds it.
        if (wc.lpfnWndProc == EchoWndProc) return true;
        if (!UnregisterClassA(kEchoClass, ThisModule())) return false;
        wc = {};
        wc.cbSize = sizeof wc;
    }
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = EchoWndProc;
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kEchoClass;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace

HWND CreateEchoWindow(const char* title, HICON icon) {
    if (!EchoWindow()) {
        if (!RegisterEchoClass()) return nullptr;
        gEchoWnd = CreateWindowExA(0, kEchoClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                   kEchoWidth, kEchoHeight, nullptr, nullptr, ThisModule(), nullptr);
        if (!gEchoWnd) return nullptr;
    }
    SetWindowTextA(gEchoWnd, title ? title : "");
    if (icon) {
        SendMessageA(gEchoWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(gEchoWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    return gEchoWnd;
}

HWND EchoWindow(void) { return gEchoWnd && IsWindow(gEchoWnd) ? gEchoWnd : nullptr; }

bool DestroyEchoWindow(void) {
    HWND wnd = EchoWindow();
    gEchoWnd = nullptr;
    return wnd && DestroyWindow(wnd);
}

void ReleaseEchoWindow(void) {
    HWND wnd = EchoWindow();
    if (wnd && GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId()) {
        // Another thread owns it: hand it a procedure that stays loaded and let
        // that thread close it.
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        SetClassLongPtrA(wnd, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        PostMessageA(wnd, WM_CLOSE, 0, 0);
        gEchoWnd = nullptr;
    } else {
        DestroyEchoWindow();
    }
    UnregisterClassA(kEchoClass, ThisModule());
}

STANDIN_API void StandinEcho(const char* line) {
    if (!line) return;
    {
        StandinGuard guard(gEchoLock);
        gEchoLines.push_back(OneLine(line));
        while (gEchoLines.size() > kEchoLineLimit) gEchoLines.pop_front();
    }
    if (HWND wnd = EchoWindow()) InvalidateRect(wnd, nullptr, FALSE);
}

STANDIN_API int StandinEchoRead(char* buf, int size) {
    std::string text;
    {
        StandinGuard guard(gEchoLock);
        for (const std::string& line : gEchoLines) text += line + '\n';
    }
    return CopyOutText(text, buf, size);
}
