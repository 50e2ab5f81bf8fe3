// Desk key windows (_kntButton): face, label and lamps of one key-table row,
// the press and release that reach the core, and the screen, bar and page keys.
#include "desk/KeyWnd.h"

#include <cstring>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "cdplayer/CdPanel.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "desk/KeyTable.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"
#include "dialogs/DeskLock.h"

namespace {

constexpr UINT kLampMessage = WM_APP + 1;
constexpr UINT_PTR kLampTimer = 500;
constexpr int kEditStatus = 193;        // what a right click on an executor button means
constexpr int kFaderModeStatus = 177;   // pulsed by every bar key
constexpr int kStoreKeyId = 195;
constexpr int kTiManKeyId = 176;
constexpr int kDefaultBar = 3;
constexpr int kDefaultView = 2;
constexpr int kTextTop = 5;
constexpr int kLedTop = 3;
constexpr int kLedWidth = 11;
constexpr int kLedBottom = 8;
constexpr int kSecondLedOffset = 16;
constexpr COLORREF kLedOutline = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

struct KeyWindow {
    int row;
    int keyId;
    int pressed;
    // The right button is down on an executor button and its release is owed.
    bool rightHeld;
    // The status a left press set to 1 and whose release the core is still
    // owed (an ordinary key's id, a page status, the bar keys' 177); 0 for none.
    int heldStatus;
    // The own device context has the key's font, face and text mode.
    bool dcReady;
};

// The key window of each row, kept by the window itself: finding it among the
// main window's children by its id asked the window server for the whole list
// of them, and a bar switch looks up every row.
HWND gKeyWindows[kKeyCount];

KeyWindow* RecordOf(HWND wnd) { return reinterpret_cast<KeyWindow*>(GetWindowLongPtrA(wnd, 0)); }

// ---- Drawing resources ------------------------------------------------------
// A resource that did not load leaves its role null; the key still draws,
// with a stock object or the DC's own colour in its place.

HFONT OrDefaultFont(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
HFONT LargeFont() { return OrDefaultFont(LargeKeyFont()); }
HFONT SmallFont() { return OrDefaultFont(SmallKeyFont()); }
HFONT ShortcutTextFont() { return OrDefaultFont(ShortcutFont()); }
HBRUSH FaceBrush(int faceStyle, bool pressed) {
    if (HBRUSH brush = KeyFaceBrush(faceStyle, pressed)) return brush;
    return pressed ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : DeskGreyBrush();
}
HBRUSH LedBrush(HDC dc, HBRUSH brush, COLORREF colour) {
    if (brush) return brush;
    SetDCBrushColor(dc, colour);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}
HBRUSH RedLed(HDC dc) { return LedBrush(dc, RedLedBrush(), kRed); }
HBRUSH GreenLed(HDC dc) { return LedBrush(dc, GreenLedBrush(), kGreen); }
HBRUSH YellowLed(HDC dc) { return LedBrush(dc, YellowLedBrush(), kYellow); }
HBRUSH UnlitLedBrush() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }
HPEN LedOutlinePen(HDC dc) {
    if (HPEN pen = LedPen()) return pen;
    SetDCPenColor(dc, kLedOutline);
    return static_cast<HPEN>(GetStockObject(DC_PEN));
}
HCURSOR StoreKeyCursor() {
    HCURSOR cursor = StoreCursor();
    return cursor ? cursor : DeskDefaultCursor();
}

// ---- Lookups that the core's values must not push out of range -----------

int ValidBar(LONG bar) { return bar >= 1 && bar <= kBarKeyCount ? int(bar) : kDefaultBar; }
int ValidView(LONG view) { return view >= 0 && view < kScreenKeyCount ? int(view) : kDefaultView; }
bool IsLedNumber(int led) { return led >= 0 && led < kLedCount; }
bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// Only key windows are kept: another child of the main window may share a
// small control id. A key of another (earlier) desk window is no key here.
HWND KeyWindowOfRow(int row) {
    if (!KeyRow(row) || !hMainWnd) return nullptr;
    HWND wnd = gKeyWindows[row];
    return wnd && GetAncestor(wnd, GA_PARENT) == hMainWnd ? wnd : nullptr;
}

bool UsesLargeFont(int keyId) { return keyId <= 100 || InRange(keyId, 209, 225); }

bool IsExecutorButton(int keyId) { return InRange(keyId, 61, 100); }

// Keys whose face text is the keyboard key itself, so it reads as a shortcut.
bool FaceIsKeyboardKey(int keyId) {
    return InRange(keyId, 203, 206) || InRange(keyId, 209, 221) || keyId == 225 || keyId == kPageUpKeyId ||
           keyId == kPageDownKeyId;
}

// ---- Painting ---------------------------------------------------------------

// What the keyboard dispatcher says about a key's shortcuts.
struct ShortcutView {
    char psc[48];
    bool used;   // programmed shortcuts are in use
    bool only;   // programmed shortcuts only
    bool taken;  // a programmed shortcut uses the key's default combination
};

ShortcutView ShortcutViewOf(const KeyRecord& key) {
    ShortcutView view = {};
    view.used = ProgrammedShortcutText(key.keyId, view.psc, sizeof view.psc);
    if (!view.used) view.psc[0] = '\0';
    // "Only" hides the defaults just while programmed shortcuts are in use;
    // otherwise the defaults are what the keyboard does, so they are shown.
    view.only = view.used && ProgrammedShortcutsOnly();
    view.taken = DefaultShortcutTaken(key.defaultShortcut) != 0;
    return view;
}

COLORREF ProgrammedColour(bool pressed) { return pressed ? RGB(0, 50, 0) : RGB(0, 120, 0); }
COLORREF DefaultColour(bool pressed) { return pressed ? RGB(32, 32, 111) : RGB(64, 64, 222); }

void DrawLine(HDC dc, const char* text, int length, RECT rect, UINT format) {
    if (length > 0) DrawTextA(dc, text, length, &rect, format);
}

bool WantsTwoLines(const ShortcutView& sc, bool paren) {
    const bool hasPsc = sc.psc[0] != '\0';
    return (!sc.used && paren) || (sc.used && !sc.only && paren && !sc.taken) || (sc.used && hasPsc);
}

void DrawKeyLedsOn(HWND wnd, HDC dc);

void PaintKey(HWND wnd) {
    const KeyWindow* rec = RecordOf(wnd);
    const KeyRecord* key = rec ? KeyRow(rec->row) : nullptr;
    if (!key) return;
    HDC dc = GetDC(wnd);
    const bool pressed = rec->pressed != 0;
    const bool showing = gShowHKeys && gShortcutMode;
    RECT client;
    GetClientRect(wnd, &client);
    FillRect(dc, &client,
             pressed ? FaceBrush(key->faceStyle, true) : static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));

    const char* label = KeyLabel(rec->row);
    const ShortcutView sc = ShortcutViewOf(*key);
    const bool hasPsc = sc.psc[0] != '\0';
    const bool paren = label && std::strchr(label, '(');
    int lines = 1;
    HGDIOBJ replacedLarge = nullptr;
    if (showing && WantsTwoLines(sc, paren)) {
        if (UsesLargeFont(key->keyId)) {
            replacedLarge = SelectObject(dc, SmallFont());
            if (key->keyId > 40) lines = 2;
        } else {
            lines = 2;
        }
    }
    const int lineHeight = (client.bottom - kTextTop) / lines;
    const RECT first = {0, kTextTop, client.right, kTextTop + lineHeight};
    const UINT firstFormat = DT_CENTER | DT_SINGLELINE | (lines == 1 ? DT_VCENTER : DT_BOTTOM);
    SetTextColor(dc, pressed ? RGB(255, 255, 255) : RGB(0, 0, 0));
    const KeyLabelParts parts = SplitKeyLabel(label);
    const int faceLength = int(parts.face.size());

    if (showing) {
        const bool defaultShown = !sc.used || (!sc.only && !sc.taken);
        if (key->keyId <= 40 || (!hasPsc && defaultShown && FaceIsKeyboardKey(key->keyId)))
            SetTextColor(dc, hasPsc ? ProgrammedColour(pressed) : DefaultColour(pressed));
        if (key->keyId > 40)
            DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
        else if (hasPsc)
            DrawLine(dc, sc.psc, int(std::strlen(sc.psc)), first, firstFormat);
        else if (!sc.only && !sc.taken)
            DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
    } else if (key->keyId > 40) {
        DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
    }

    HGDIOBJ replacedBySecond = nullptr;
    if (showing && lines == 2) {
        const RECT second = {0, kTextTop + lineHeight, client.right, kTextTop + 2 * lineHeight};
        replacedBySecond = SelectObject(dc, ShortcutTextFont());
        if (hasPsc) {
            SetTextColor(dc, ProgrammedColour(pressed));
            DrawLine(dc, sc.psc, int(std::strlen(sc.psc)), second, DT_CENTER | DT_SINGLELINE);
        } else {
            SetTextColor(dc, DefaultColour(pressed));
            DrawLine(dc, parts.shortcut.data(), int(parts.shortcut.size()), second, DT_CENTER | DT_SINGLELINE);
        }
    }
    if (replacedLarge)
        SelectObject(dc, LargeFont());
    else if (replacedBySecond)
        SelectObject(dc, replacedBySecond);
    // The same device context: each fetch of one is a round trip to the
    // window system on some platforms, and the desk paints over a hundred keys.
    DrawKeyLedsOn(wnd, dc);
    ReleaseDC(wnd, dc);
}

HBRUSH FirstLedBrush(HDC dc, const KeyRecord& key) {
    if (!VC_KNT_ACTIVE || !CallEntry(gCore.IsLed, key.led1)) return UnlitLedBrush();
    if (key.keyId == 148 || InRange(key.keyId, 41, 100)) return GreenLed(dc);
    if (key.keyId == 149 || key.keyId == 180) return YellowLed(dc);
    return RedLed(dc);
}

void DrawKeyLedsOn(HWND wnd, HDC dc) {
    const KeyRecord* key = KeyRow(GetDlgCtrlID(wnd));
    if (!key || key->led1 == -1) return;
    RECT client;
    GetClientRect(wnd, &client);
    const int left = client.right / 2 - (key->led2 == -1 ? 5 : 12);
    HGDIOBJ oldPen = SelectObject(dc, LedOutlinePen(dc));
    HGDIOBJ oldBrush = SelectObject(dc, FirstLedBrush(dc, *key));
    Rectangle(dc, left, kLedTop, left + kLedWidth, kLedBottom);
    if (key->led2 != -1) {
        // The second lamp is asked even while the core is not active.
        HBRUSH brush = UnlitLedBrush();
        if (CallEntry(gCore.IsLed, key->led2))
            brush = InRange(key->keyId, 41, 100) ? YellowLed(dc) : GreenLed(dc);
        SelectObject(dc, brush);
        const int second = left + kSecondLedOffset;
        Rectangle(dc, second, kLedTop, second + kLedWidth, kLedBottom);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void DrawKeyLeds(HWND wnd) {
    HDC dc = GetDC(wnd);
    DrawKeyLedsOn(wnd, dc);
    ReleaseDC(wnd, dc);
}

// CS_OWNDC: what is selected here stays for every later paint. Done at the
// first paint rather than at creation: a key hidden by the bar may never
// paint, and each first fetch of a window's device context costs a round
// trip to the window server.
void ReadyOwnDC(HWND wnd, KeyWindow* rec) {
    const KeyRecord* key = KeyRow(rec->row);
    if (rec->dcReady || !key) return;
    HDC dc = GetDC(wnd);
    SelectObject(dc, UsesLargeFont(key->keyId) ? LargeFont() : SmallFont());
    SelectObject(dc, FaceBrush(key->faceStyle, false));
    SetBkMode(dc, TRANSPARENT);
    ReleaseDC(wnd, dc);
    rec->dcReady = true;
}

void SetPressed(HWND wnd, int pressed) {
    if (KeyWindow* rec = RecordOf(wnd)) {
        rec->pressed = pressed;
        ReadyOwnDC(wnd, rec);
        PaintKey(wnd);
    }
}

// Marks one row of a radio group pressed and the others released.
void SelectInGroup(int firstRow, int count, int row) {
    for (int r = firstRow; r < firstRow + count; ++r)
        if (HWND wnd = KeyWindowOfRow(r)) SetPressed(wnd, r == row ? 1 : 0);
}

// ---- Mouse ------------------------------------------------------------------

void PressBarKey(KeyWindow* rec) {
    if (DeskLocked(true)) return;
    if (rec->keyId < kBarKeyId + 2 && !CallEntry(gCore.AnzHTPchannels)) return;
    if (!rec->pressed && SwitchBar(rec->row)) Sleep(50);
    CallEntry(gCore.VC_SetStatus, kFaderModeStatus, 1);
    rec->heldStatus = kFaderModeStatus;
    Sleep(50);
}

void OnLButtonDown(HWND wnd, KeyWindow* rec) {
    SetCapture(wnd);
    const int id = rec->keyId;
    if (InRange(id, kScreenKeyId, kScreenKeyId + kScreenKeyCount - 1)) {
        if (!DeskLocked(true) && !rec->pressed) SelectScreen(rec->row, false);
    } else if (InRange(id, kBarKeyId, kBarKeyId + kBarKeyCount - 1)) {
        PressBarKey(rec);
    } else if (id == kPageUpKeyId || id == kPageDownKeyId) {
        if (DeskLocked(true)) return;
        rec->heldStatus = PageKey(id, 1);
        SetPressed(wnd, 1);
    } else {
        CallEntry(gCore.VC_SetStatus, id, 1);
        rec->heldStatus = id;
        SetPressed(wnd, 1);
    }
}

void ReleaseBarKey(HWND wnd, const KeyWindow* rec) {
    if (DeskLocked(false)) return;
    if (rec->keyId < kBarKeyId + 2 && !CallEntry(gCore.AnzHTPchannels)) {
        // The box is modal: let go of the mouse before it comes up.
        if (GetCapture() == wnd) ReleaseCapture();
        MessageBoxA(hMainWnd, Tr("No HTP Channels present!"), knt_windows_title, MB_ICONINFORMATION);
        return;
    }
    CallEntry(gCore.VC_SetStatus, kFaderModeStatus, 0);
}

void OnLButtonUp(HWND wnd, KeyWindow* rec) {
    const int id = rec->keyId;
    // The release below is the one owed; the capture loss that follows owes none.
    rec->heldStatus = 0;
    if (InRange(id, kBarKeyId, kBarKeyId + kBarKeyCount - 1)) {
        ReleaseBarKey(wnd, rec);
    } else if (id == kPageUpKeyId || id == kPageDownKeyId) {
        if (!DeskLocked(false)) {
            PageKey(id, 0);
            SetPressed(wnd, 0);
        }
    } else if (id < kScreenKeyId) {
        CallEntry(gCore.VC_SetStatus, id, 0);
        SetPressed(wnd, 0);
    }
    if (GetCapture() == wnd) ReleaseCapture();
}

void OnRButtonDown(HWND wnd, KeyWindow* rec) {
    if (!IsExecutorButton(rec->keyId)) return;
    SetCapture(wnd);
    rec->rightHeld = true;
    CallEntry(gCore.VC_SetStatus, kEditStatus, 1);
    SetPressed(wnd, 1);
}

// The core must hear the release however the press ends, or Edit stays held.
void EndRightPress(HWND wnd, KeyWindow* rec) {
    rec->rightHeld = false;
    CallEntry(gCore.VC_SetStatus, kEditStatus, 0);
    SetPressed(wnd, 0);
}

void OnRButtonUp(HWND wnd, KeyWindow* rec) {
    if (!IsExecutorButton(rec->keyId)) return;
    rec->rightHeld = false;  // the capture loss that follows owes nothing more
    if (GetCapture() == wnd) ReleaseCapture();
    EndRightPress(wnd, rec);
}

void OnCaptureChanged(HWND wnd, KeyWindow* rec) {
    if (rec->rightHeld) EndRightPress(wnd, rec);
    // A press that loses the mouse (another window took it, a box came up)
    // must still be released, or the core goes on holding the key.
    if (rec->heldStatus) {
        const int status = rec->heldStatus;
        rec->heldStatus = 0;
        CallEntry(gCore.VC_SetStatus, status, 0);
        if (rec->keyId == kPageUpKeyId || rec->keyId == kPageDownKeyId || rec->keyId < kScreenKeyId)
            SetPressed(wnd, 0);
    }
}

void OnMouseMove(const KeyWindow* rec) {
    if (VC_OPEN_STOREWND_DELAYED) SetCursor(rec->keyId == kStoreKeyId ? StoreKeyCursor() : DeskDefaultCursor());
}

bool OnCreate(HWND wnd, const CREATESTRUCTA* cs) {
    const int row = int(reinterpret_cast<INT_PTR>(cs->hMenu));
    const KeyRecord* key = KeyRow(row);
    if (!key) return false;
    auto* rec = new KeyWindow{row, key->keyId, 0, false, 0, false};
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    gKeyWindows[row] = wnd;
    return true;
}

void OnDestroy(HWND wnd, KeyWindow* rec) {
    for (HWND& led : ledHWnd)
        if (led == wnd) led = nullptr;
    if (gKeyWindows[rec->row] == wnd) gKeyWindows[rec->row] = nullptr;
    SetWindowLongPtrA(wnd, 0, 0);
    delete rec;
}

LRESULT CALLBACK KeyWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    KeyWindow* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_PAINT: ReadyOwnDC(wnd, rec); PaintKey(wnd); ValidateRect(wnd, nullptr); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(wnd, rec); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wnd, rec); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(wnd, rec); return 0;
    case WM_RBUTTONUP: OnRButtonUp(wnd, rec); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(wnd, rec); return 0;
    case WM_MOUSEMOVE: OnMouseMove(rec); break;
    case WM_NCHITTEST: DestroyInfoWindow(); break;
    case WM_TIMER: if (wp == kLampTimer) DrawKeyLeds(wnd); return 0;
    case WM_MOUSEWHEEL: return 0;
    case kLampMessage: DrawKeyLeds(wnd); return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
}

void ShowKey(HWND wnd, bool shown) { ShowWindow(wnd, shown ? SW_SHOW : SW_HIDE); }

// Which keys a bar puts on the desk; other keys keep their state.
void ShowKeysForBar(int bar) {
    for (int row = 0; KeyTable()[row].keyId != 0; ++row) {
        HWND wnd = KeyWindowOfRow(row);
        if (!wnd) continue;
        const int id = KeyTable()[row].keyId;
        if (id == kPageUpKeyId || id == kPageDownKeyId)
            ShowKey(wnd, bar != 6);
        else if (IsExecutorButton(id) || id == kTiManKeyId)
            ShowKey(wnd, bar == 5);
        else if (id <= 60)
            ShowKey(wnd, ((id - 1) % 20 < 10) ? (bar == 1 || bar == 3) : (bar == 2 || bar == 4));
    }
}

void PulseStatus(int status) {
    CallEntry(gCore.VC_SetStatus, status, 1);
    Sleep(50);
    CallEntry(gCore.VC_SetStatus, status, 0);
}

}  // namespace

// ---- Interfaces ---------------------------------------------------------------

ATOM RegisterKeyClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntButton", KeyWndProc, CS_DBLCLKS | CS_OWNDC, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
}

bool CreateDeskKeys(HWND main) {
    ClearKeyIndexMap();
    for (int row = 0; KeyTable()[row].keyId != 0; ++row) {
        const KeyRecord& key = KeyTable()[row];
        HWND wnd = CreateWindowExA(0, "_kntButton", nullptr, WS_CHILD | WS_CLIPSIBLINGS, key.x, key.y, key.width,
                                   key.height, main, reinterpret_cast<HMENU>(INT_PTR(row)), hInst, nullptr);
        if (!wnd) continue;
        ++gDeskChildCount;
        MapKeyRow(key.keyId, row);
        for (int led : {key.led1, key.led2})
            if (IsLedNumber(led)) ledHWnd[led] = wnd;
        if (key.keyId > 147 && key.keyId != kTiManKeyId && key.keyId != kPageUpKeyId && key.keyId != kPageDownKeyId)
            ShowWindow(wnd, SW_SHOW);
    }
    return true;
}

HWND KeyWindowOfId(int keyId) { return KeyWindowOfRow(RowOfKeyId(keyId)); }

void SelectScreen(int row, bool forced) {
    if (!InRange(row, kScreenKeyRow, kScreenKeyRow + kScreenKeyCount - 1))
        row = kScreenKeyRow + kDefaultView;
    if (VC_KNT_ACTIVE && !CallEntry(gCore.CanSwitchTouch)) return;
    if (KeyWindowOfRow(row)) SelectInGroup(kScreenKeyRow, kScreenKeyCount, row);
    const LONG view = row - kScreenKeyRow;
    if (maindlg_count == 5 || forced) {
        InterlockedExchange(&current_touch, view);
        InterlockedExchange(&current_background, view);
    } else if (background_mode) {
        InterlockedExchange(&current_touch, view);
    } else {
        InterlockedExchange(&current_background, view);
    }
    CallEntry(gCore.Flip, ValidView(current_touch), 1);
}

namespace {

// Under Wine each child shown or hidden on a visible desk costs the window
// server a pass over all its siblings; with drawing held back the bar's ~100
// changes cost a fraction of that, and one repaint shows them together.
// Only the operator's switches on a shown desk are held: turning drawing back
// on would mark a hidden desk visible without showing it, and a session's
// start keeps its own order of painting.
bool HoldDeskDrawing() {
    if (CoreSessionState() != SessionState::Running || !hMainWnd || !IsWindowVisible(hMainWnd)) return false;
    SendMessageA(hMainWnd, WM_SETREDRAW, FALSE, 0);
    return true;
}
void ReleaseDeskDrawing(bool held) {
    if (!hMainWnd) return;
    if (held) SendMessageA(hMainWnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hMainWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | (held ? RDW_ALLCHILDREN : 0));
}

}  // namespace

int SwitchBar(int row) {
    if (!InRange(row, kBarKeyRow, kBarKeyRow + kBarKeyCount - 1)) row = kBarKeyRow + kDefaultBar - 1;
    const int bar = row - kBarKeyRow + 1;
    int result = 0;
    if (KeyWindowOfRow(row)) {
        SelectInGroup(kBarKeyRow, kBarKeyCount, row);
        if (VC_KNT_ACTIVE) {
            const bool htpBar = bar == 1 || bar == 2;
            const bool executorBar = bar == 3 || bar == 4;
            if (htpBar && !CallEntry(gCore.IsHtpActiv)) {
                PulseStatus(142);
                result = 1;
            } else if (executorBar && CallEntry(gCore.IsHtpActiv)) {
                PulseStatus(144);
                result = 1;
            }
        }
        if (bar == 6 || current_bar == 6) InvalidateRect(hMainWnd, nullptr, FALSE);
        InterlockedExchange(&current_bar, bar);
        if (hTouchWnd) InvalidateRect(hTouchWnd, nullptr, FALSE);
    }
    const bool held = HoldDeskDrawing();
    if (KeyWindowOfRow(row)) ShowKeysForBar(bar);
    ShowFadersForBar(bar);
    ShowEncodersForBar(bar);
    ShowCdPanel();
    ReleaseDeskDrawing(held);
    return result;
}

int PageKey(int keyId, int pressed) {
    if (keyId != kPageUpKeyId && keyId != kPageDownKeyId) return 0;
    static const int kPageUpStatus[kBarKeyCount] = {142, 142, 144, 144, 146, 0};
    const int upStatus = kPageUpStatus[ValidBar(current_bar) - 1];
    if (!upStatus) return 0;
    const int status = keyId == kPageUpKeyId ? upStatus : upStatus + 1;
    CallEntry(gCore.VC_SetStatus, status, pressed);
    return status;
}

void SelectTouchView(int view, bool forced) { SelectScreen(kScreenKeyRow + ValidView(view), forced); }
int SelectFaderBar(int bar) { return SwitchBar(kBarKeyRow + ValidBar(bar) - 1); }

void RefreshZeroDotLabels() {
    const int zeroDot = CallEntry(gCore.GetZeroDot);
    const int dotRow = RowOfKeyId(kDotKeyId);
    const int zeroRow = RowOfKeyId(kZeroKeyId);
    HWND dot = KeyWindowOfRow(dotRow);
    HWND zero = KeyWindowOfRow(zeroRow);
    if (!dot || !zero) return;
    const char* label = KeyLabel(dotRow);
    const bool swapWanted = zeroDot ? std::strcmp(label, ".") == 0 : std::strcmp(label, "0") == 0;
    if (!swapWanted || !SwapKeyLabels(dotRow, zeroRow)) return;
    InvalidateRect(dot, nullptr, FALSE);
    InvalidateRect(zero, nullptr, FALSE);
}

void RefreshHighliteSoloLabel() {
    const int solo = CallEntry(gCore.GetHighliteSolo);
    const int row = RowOfKeyId(kHighlightKeyId);
    HWND wnd = KeyWindowOfRow(row);
    if (!wnd) return;
    const char* label = KeyLabel(row);
    const char* wanted = nullptr;
    if (solo && std::strcmp(label, "Highlight~(H)") == 0) wanted = "Solo~(H)";
    if (!solo && std::strcmp(label, "Solo~(H)") == 0) wanted = "Highlight~(H)";
    if (wanted && SetKeyLabel(row, wanted)) InvalidateRect(wnd, nullptr, FALSE);
}

void RefreshAlignLabel() {
    const char* text = CallEntry(gCore.GetAlignButtonText);
    const int row = RowOfKeyId(kAlignKeyId);
    HWND wnd = KeyWindowOfRow(row);
    if (wnd && SetKeyLabel(row, text)) InvalidateRect(wnd, nullptr, FALSE);
}

void RefreshCoreLabels() {
    RefreshZeroDotLabels();
    RefreshHighliteSoloLabel();
}
