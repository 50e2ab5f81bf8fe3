// Desk key windows (_kntButton): face, label and lamps of one key-table row,
// the press and release that reach the core, and the screen, bar and page keys.
#include "desk/KeyWnd.h"

#include <cstring>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "desk/KeyFace.h"
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

// The face atlas lives while any key window does.
int gKeyWindowCount;
// The key window of each row, kept by the window itself: finding it among the
// main window's children by its id asked the window server for the whole list
// of them, and a bar switch looks up every row.
HWND gKeyWindows[kKeyCount];

KeyWindow* RecordOf(HWND wnd) { return reinterpret_cast<KeyWindow*>(GetWindowLongPtrA(wnd, 0)); }

HCURSOR StoreKeyCursor() {
    HCURSOR cursor = StoreCursor();
    return cursor ? cursor : DeskDefaultCursor();
}

// ---- Lookups that the core's values must not push out of range -----------

int ValidBar(LONG bar) { return bar >= 1 && bar <= kBarKeyCount ? int(bar) : kDefaultBar; }
bool IsLedNumber(int led) { return led >= 0 && led < kLedCount; }
bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// Only key windows are kept: another child of the main window may share a
// small control id. A key of another (earlier) desk window is no key here.
HWND KeyWindowOfRow(int row) {
    if (!KeyRow(row) || !hMainWnd) return nullptr;
    HWND wnd = gKeyWindows[row];
    return wnd && GetAncestor(wnd, GA_PARENT) == hMainWnd ? wnd : nullptr;
}

bool IsExecutorButton(int keyId) { return InRange(keyId, 61, 100); }

void PaintKey(HWND wnd, const KeyWindow* rec) { PaintKeyFace(wnd, rec->row, rec->pressed != 0); }

// CS_OWNDC: what is selected here stays for every later paint. Done at the
// first paint rather than at creation: a key hidden by the bar may never
// paint, and each first fetch of a window's device context costs a round
// trip to the window server.
void ReadyOwnDC(HWND wnd, KeyWindow* rec) {
    const KeyRecord* key = KeyRow(rec->row);
    if (rec->dcReady || !key) return;
    HDC dc = GetDC(wnd);
    SelectObject(dc, KeyLabelFont(key->keyId));
    SelectObject(dc, KeyFaceBrushOrDefault(key->faceStyle, false));
    SetBkMode(dc, TRANSPARENT);
    ReleaseDC(wnd, dc);
    rec->dcReady = true;
}

void SetPressed(HWND wnd, int pressed) {
    if (KeyWindow* rec = RecordOf(wnd)) {
        rec->pressed = pressed;
        ReadyOwnDC(wnd, rec);
        PaintKey(wnd, rec);
    }
}

// ---- Mouse ------------------------------------------------------------------

void PressBarKey(KeyWindow* rec) {
    if (DeskLocked(true)) return;
    if (rec->keyId < kBarKeyId + 2 && !CallEntry(gCore.AnzHTPchannels)) return;
    if (!rec->pressed && SelectFaderBar(rec->keyId - kBarKeyId + 1)) Sleep(50);
    CallEntry(gCore.VC_SetStatus, kFaderModeStatus, 1);
    rec->heldStatus = kFaderModeStatus;
    Sleep(50);
}

void OnLButtonDown(HWND wnd, KeyWindow* rec) {
    SetCapture(wnd);
    const int id = rec->keyId;
    if (InRange(id, kScreenKeyId, kScreenKeyId + kScreenKeyCount - 1)) {
        if (!DeskLocked(true) && !rec->pressed) SelectTouchView(id - kScreenKeyId, false);
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
    ++gKeyWindowCount;
    gKeyWindows[row] = wnd;
    return true;
}

void OnDestroy(HWND wnd, KeyWindow* rec) {
    for (HWND& led : ledHWnd)
        if (led == wnd) led = nullptr;
    if (gKeyWindows[rec->row] == wnd) gKeyWindows[rec->row] = nullptr;
    SetWindowLongPtrA(wnd, 0, 0);
    delete rec;
    if (--gKeyWindowCount == 0) ReleaseKeyFaces();
}

LRESULT CALLBACK KeyWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    KeyWindow* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_PAINT: ReadyOwnDC(wnd, rec); PaintKey(wnd, rec); ValidateRect(wnd, nullptr); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(wnd, rec); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wnd, rec); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(wnd, rec); return 0;
    case WM_RBUTTONUP: OnRButtonUp(wnd, rec); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(wnd, rec); return 0;
    case WM_MOUSEMOVE: OnMouseMove(rec); break;
    case WM_NCHITTEST: DestroyInfoWindow(); break;
    case WM_TIMER: if (wp == kLampTimer) RefreshKeyLamps(wnd, rec->row); return 0;
    case WM_MOUSEWHEEL: return 0;
    case kLampMessage: RefreshKeyLamps(wnd, rec->row); return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
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

int KeyIdOfWindow(HWND wnd) {
    // A key's id is its row; only the window kept for that row is a key.
    const int row = wnd ? int(GetWindowLongPtrA(wnd, GWLP_ID)) : -1;
    if (!KeyRow(row) || gKeyWindows[row] != wnd) return 0;
    const KeyWindow* rec = RecordOf(wnd);
    return rec ? rec->keyId : 0;
}

void SetKeySelected(HWND key, bool selected) {
    const KeyWindow* rec = KeyIdOfWindow(key) ? RecordOf(key) : nullptr;
    if (rec && (rec->pressed != 0) != selected) SetPressed(key, selected ? 1 : 0);
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
