// The command line window (_kntCmdline). The text and the cursor belong to
// the core; this window shows them, passes keys on and turns a click into a
// cursor position.
#include "input/CmdlineWnd.h"

#include <algorithm>
#include <cstring>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "dialogs/DeskLock.h"

namespace {

enum {
    kCmdlineId = 40700,
    kCmdlineX = 657,
    kCmdlineY = 209,
    kCmdlineWidth = 354,
    kCmdlineHeight = 28,
    kCaretWidth = 2,
    kCaretHeight = 16,
    // The copy of the core's text; a longer text is cut here.
    kTextCapacity = 1024,
    kNoCursor = -1,
};
constexpr RECT kTextRect = {6, 6, 342, 22};

struct CmdlineWindow {
    // What the last drawing showed, copied from the core, so that the next
    // click does not depend on the core keeping its text alive.
    char text[kTextCapacity];
    int length;
    bool hasText;
    int hidden;  // characters before the first visible one
};

CmdlineWindow* RecordOf(HWND wnd) { return reinterpret_cast<CmdlineWindow*>(GetWindowLongPtrA(wnd, 0)); }

bool InTextRect(int x, int y) {
    const POINT pt = {x, y};
    return PtInRect(&kTextRect, pt) != FALSE;
}

// Only real virtual keys and characters go on; the codes from 1000 up are the
// host's own signals to the core.
bool IsVirtualKey(WPARAM vk) { return vk >= 1 && vk <= 254; }
bool IsCharacter(WPARAM ch) { return ch >= 1 && ch <= 255; }

// Reads the core's text up to its terminator, never further, and at most
// what the copy holds.
void CopyCoreText(CmdlineWindow* rec, const char* text) {
    int length = 0;
    while (length < kTextCapacity - 1 && text[length] != '\0') ++length;
    std::memcpy(rec->text, text, size_t(length));
    rec->text[length] = '\0';
    rec->length = length;
    rec->hasText = true;
}

void Forget(CmdlineWindow* rec) {
    rec->length = 0;
    rec->text[0] = '\0';
    rec->hasText = false;
    rec->hidden = 0;
}

int TextWidth(HDC dc, const char* text, int count) {
    SIZE extent = {};
    if (count <= 0 || !GetTextExtentPoint32A(dc, text, count, &extent)) return 0;
    return int(extent.cx);
}

// Draws the text that selector names. With a cursor the text scrolls only as
// far as the cursor needs; without one its end is shown.
void Draw(HWND wnd, CmdlineWindow* rec, LPARAM selector, int cursor) {
    const char* core = VC_KNT_ACTIVE ? CallEntry(gCore.GetCmdlineString, selector) : nullptr;
    if (!core) {
        Forget(rec);
        return;
    }
    CopyCoreText(rec, core);
    // A cursor beyond the text would have the measuring read past its end.
    if (cursor != kNoCursor) cursor = std::clamp(cursor, 0, rec->length);
    HDC dc = GetDC(wnd);
    int start = 0;
    int width = 0;
    for (;;) {
        const int count = cursor == kNoCursor ? rec->length - start : cursor;
        width = TextWidth(dc, rec->text + start, count);
        if (kTextRect.left + width < kTextRect.right) break;
        if (cursor != kNoCursor) --cursor;
        ++start;
    }
    rec->hidden = start;
    RECT rect = kTextRect;
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // No prefix processing: an ampersand is part of the command, and the
    // shown text must measure as the click measures it.
    DrawTextA(dc, rec->text + start, rec->length - start, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // The caret is the thread's: without the focus it may be another window's.
    if (GetFocus() == wnd) {
        SetCaretPos(kTextRect.left + width, kTextRect.top);
        ShowCaret(wnd);
    }
    ReleaseDC(wnd, dc);
    ValidateRect(wnd, &kTextRect);
}

bool OnLButtonDown(HWND wnd, int x, int y) {
    if (DeskLocked(true)) return false;
    if (VC_KNT_ACTIVE) {
        SetCapture(wnd);
        SetFocus(wnd);
    }
    if (InTextRect(x, y)) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        // The stroke's key messages come back here and on to the main
        // window, which turns the lock on.
        if (keys[VK_SCROLL] == 0) SendScrollLockStroke();
    }
    return true;
}

// The cursor lands before the first visible character whose right edge lies
// right of the click.
int CursorAt(HWND wnd, const CmdlineWindow* rec, int x) {
    const char* visible = rec->text + rec->hidden;
    const int offset = x - kTextRect.left;
    HDC dc = GetDC(wnd);
    int count = rec->length - rec->hidden;
    while (count > 0 && offset < TextWidth(dc, visible, count)) --count;
    ReleaseDC(wnd, dc);
    return count + rec->hidden;
}

bool OnLButtonUp(HWND wnd, const CmdlineWindow* rec, int x, int y) {
    if (GetCapture() != wnd) return true;
    if (DeskLocked()) {
        // A held capture would send every later click here; let go before
        // the modal box comes up.
        ReleaseCapture();
        TellDeskLocked();
        return false;
    }
    if (InTextRect(x, y) && rec->hasText) {
        const int position = CursorAt(wnd, rec, x);
        CallEntry(gCore.SetCmdlineCursorPos, position, rec->hidden > 0 ? 1 : 0);
    }
    ReleaseCapture();
    return true;
}

void OnKeyDown(WPARAM vk, LPARAM lp) {
    if (vk == VK_SCROLL) {
        SendMessageA(hMainWnd, WM_KEYDOWN, vk, lp);
        return;
    }
    if (IsVirtualKey(vk)) CallEntry(gCore.VC_OnKeyDown, int(vk), int(LOWORD(lp)), 0);
}

void OnKeyUp(HWND wnd, WPARAM vk, LPARAM lp) {
    if (vk == VK_SCROLL) {
        SendMessageA(hMainWnd, WM_KEYUP, vk, lp);
        return;
    }
    if (!IsVirtualKey(vk)) return;
    CallEntry(gCore.VC_OnKeyUp, int(vk), int(LOWORD(lp)), 0);
    // The release has reached the core; only now may the desk have the keys.
    if (vk == VK_RETURN || vk == VK_ESCAPE) {
        SetFocus(hMainWnd);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE);
    }
}

void OnSetFocus(HWND wnd) {
    if (!DeskLocked(false)) CreateCaret(wnd, nullptr, kCaretWidth, kCaretHeight);
}

void OnKillFocus(HWND wnd) {
    if (DeskLocked(false)) return;
    HideCaret(wnd);
    DestroyCaret();
}

void OnCreate(HWND wnd) {
    auto* rec = new CmdlineWindow{};
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    // CS_OWNDC: these settings stay for every later drawing.
    HDC dc = GetDC(wnd);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    if (HFONT font = SmallKeyFont()) SelectObject(dc, font);
    ReleaseDC(wnd, dc);
}

void OnDestroy(HWND wnd, CmdlineWindow* rec) {
    if (hCmdlineWnd == wnd) hCmdlineWnd = nullptr;
    SetWindowLongPtrA(wnd, 0, 0);
    delete rec;
}

LRESULT CALLBACK CmdlineWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CmdlineWindow* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: OnCreate(wnd); break;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_SETFOCUS: OnSetFocus(wnd); break;
    case WM_KILLFOCUS: OnKillFocus(wnd); break;
    case WM_PAINT: Draw(wnd, rec, 0, kNoCursor); break;
    case kReqCmdlineRedraw: Draw(wnd, rec, LPARAM(wp), int(lp)); break;
    case WM_KEYDOWN: OnKeyDown(wp, lp); return 0;
    case WM_KEYUP: OnKeyUp(wnd, wp, lp); return 0;
    case WM_CHAR:
        if (IsCharacter(wp)) CallEntry(gCore.VC_OnCharacter, int(wp));
        return 0;
    case WM_LBUTTONDOWN:
        if (!OnLButtonDown(wnd, short(LOWORD(lp)), short(HIWORD(lp)))) return 1;
        break;
    case WM_LBUTTONUP:
        if (!OnLButtonUp(wnd, rec, short(LOWORD(lp)), short(HIWORD(lp)))) return 1;
        break;
    case WM_MOUSEWHEEL: return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ATOM RegisterCmdlineClass(HINSTANCE instance) {
    HCURSOR cursor = TextCursor() ? TextCursor() : LoadCursorA(nullptr, IDC_IBEAM);
    HBRUSH background = CommandLineBrush() ? CommandLineBrush() : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    return RegisterWindowClass(instance, {"_kntCmdline", CmdlineWndProc, CS_OWNDC | CS_DBLCLKS, kRecordExtra, nullptr,
                                          cursor, background});
}

bool CreateCmdlineWindow(HWND main) {
    HWND wnd = CreateWindowExA(0, "_kntCmdline", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, kCmdlineX,
                               kCmdlineY, kCmdlineWidth, kCmdlineHeight, main,
                               reinterpret_cast<HMENU>(INT_PTR(kCmdlineId)), hInst, nullptr);
    if (!wnd) return false;
    hCmdlineWnd = wnd;
    ++gDeskChildCount;
    return true;
}

void ForgetCmdlineText() {
    if (CmdlineWindow* rec = hCmdlineWnd ? RecordOf(hCmdlineWnd) : nullptr) Forget(rec);
}

int CmdlineHiddenCount() {
    const CmdlineWindow* rec = hCmdlineWnd ? RecordOf(hCmdlineWnd) : nullptr;
    return rec && rec->hasText ? rec->hidden : -1;
}
