// The command line window (_kntCmdline). The text and the cursor belong to
// the core; this window shows them, passes keys on and turns a click into a
// cursor position.
#include "input/CmdlineWnd.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/ReadableMemory.h"
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
    kNoCursor = -1,
};
constexpr RECT kTextRect = {6, 6, 342, 22};
// No real command line comes near this; it only bounds a text whose
// terminator the core lost.
constexpr size_t kTextLimit = 64 * 1024;

struct CmdlineWindow {
    // What the last drawing showed, copied from the core, so that the next
    // click does not depend on the core keeping its text alive.
    std::string text;
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

// Reads the core's text up to its terminator, never further and never into
// memory that is not readable.
void CopyCoreText(CmdlineWindow* rec, const char* text) {
    rec->text.assign(text, ReadableStringLength(text, kTextLimit));
    rec->hasText = true;
}

void Forget(CmdlineWindow* rec) {
    rec->text.clear();
    rec->hasText = false;
    rec->hidden = 0;
}

int Length(const CmdlineWindow* rec) { return int(rec->text.size()); }

// The width of the first i characters for every i, in one measuring call:
// a long text measured piece by piece would cost a call per character.
std::vector<int> Extents(HDC dc, const std::string& text) {
    std::vector<int> extents(text.size() + 1, 0);
    SIZE total = {};
    if (!text.empty()) GetTextExtentExPointA(dc, text.c_str(), int(text.size()), 0, nullptr, extents.data() + 1, &total);
    return extents;
}

// Draws the text that selector names. With a cursor the text scrolls only as
// far as the cursor needs; without one its end is shown.
// False when the core had no text to show: nothing was drawn.
bool Draw(HWND wnd, CmdlineWindow* rec, LPARAM selector, int cursor) {
    const char* core = VC_KNT_ACTIVE ? CallEntry(gCore.GetCmdlineString, selector) : nullptr;
    if (!core) {
        Forget(rec);
        return false;
    }
    CopyCoreText(rec, core);
    // A cursor beyond the text would have the measuring read past its end.
    const int length = Length(rec);
    if (cursor != kNoCursor) cursor = std::clamp(cursor, 0, length);
    HDC dc = GetDC(wnd);
    const std::vector<int> extents = Extents(dc, rec->text);
    // The first character from which the text up to the cursor (or its end)
    // fits the field.
    const int end = cursor == kNoCursor ? length : cursor;
    int start = 0;
    while (kTextRect.left + extents[size_t(end)] - extents[size_t(start)] >= kTextRect.right) ++start;
    const int width = extents[size_t(end)] - extents[size_t(start)];
    rec->hidden = start;
    RECT rect = kTextRect;
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // No prefix processing: an ampersand is part of the command, and the
    // shown text must measure as the click measures it.
    DrawTextA(dc, rec->text.c_str() + start, length - start, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // The caret is the thread's: without the focus it may be another window's.
    if (GetFocus() == wnd) {
        SetCaretPos(kTextRect.left + width, kTextRect.top);
        ShowCaret(wnd);
    }
    ReleaseDC(wnd, dc);
    ValidateRect(wnd, &kTextRect);
    return true;
}

// The surround of the text is the class's background, as the default paint
// would erase it; the default paint, begun and ended, cost four round trips
// to the window server under Wine on top of the drawing.
void FillSurround(HWND wnd, const RECT& waiting, bool textDrawn) {
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(wnd, GCLP_HBRBACKGROUND));
    if (!brush) return;
    if (reinterpret_cast<UINT_PTR>(brush) <= COLOR_MENUBAR + 1)
        brush = GetSysColorBrush(int(reinterpret_cast<UINT_PTR>(brush)) - 1);
    const RECT& t = kTextRect;
    const RECT around[] = {{waiting.left, waiting.top, waiting.right, t.top},
                           {waiting.left, t.bottom, waiting.right, waiting.bottom},
                           {waiting.left, t.top, t.left, t.bottom},
                           {t.right, t.top, waiting.right, t.bottom}};
    HDC dc = GetDC(wnd);
    if (!textDrawn) {
        FillRect(dc, &waiting, brush);
    } else {
        RECT r;
        for (const RECT& part : around)
            if (IntersectRect(&r, &part, &waiting)) FillRect(dc, &r, brush);
    }
    ReleaseDC(wnd, dc);
}

void OnPaint(HWND wnd, CmdlineWindow* rec) {
    RECT waiting;
    const bool any = GetUpdateRect(wnd, &waiting, FALSE);
    const bool drawn = Draw(wnd, rec, 0, kNoCursor);
    if (any) FillSurround(wnd, waiting, drawn);
    ValidateRect(wnd, nullptr);
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
    const int offset = x - kTextRect.left;
    HDC dc = GetDC(wnd);
    const std::vector<int> extents = Extents(dc, rec->text);
    ReleaseDC(wnd, dc);
    const int hidden = std::min(rec->hidden, Length(rec));
    int count = Length(rec) - hidden;
    while (count > 0 && offset < extents[size_t(hidden + count)] - extents[size_t(hidden)]) --count;
    return count + hidden;
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
    case WM_PAINT: OnPaint(wnd, rec); return 0;
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
    return DefChildWindowProc(wnd, msg, wp, lp);
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
