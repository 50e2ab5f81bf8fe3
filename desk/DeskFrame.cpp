// The desk frame: the vcNONCLIENT pieces the host draws in place of a system
// caption and border, the two desk scroll bars and the layout step.
#include "desk/DeskFrame.h"

#include <algorithm>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"
#include "mainwindow/MainWindow.h"
#include "dialogs/DeskLock.h"

namespace {

// Slots of the frame list; 10 and 11 hold nothing.
constexpr int kSlotCount = 14;
constexpr int kHScrollSlot = kDeskHScrollId - kFrameFirstId;
constexpr int kVScrollSlot = kDeskVScrollId - kFrameFirstId;
constexpr SIZE kGripSize = {15, 15};
constexpr SIZE kButtonSize = {16, 14};
constexpr SIZE kToggleSize = {50, 14};

// One flag for every frame button: only one can be held at a time.
bool gPressed;
bool gFullSize = true;
SIZE gRestoreSize = {kDeskWidth, kDeskHeight};

struct SlotPlace {
    int x, y, width, height;
    bool keepSize;
};

// Where a slot's window goes for a client size w x h.
SlotPlace PlaceOfSlot(int slot, int w, int h) {
    switch (slot) {
    case kFrameGrip: return {w - 15, h - 15, 15, 15, true};
    case kFrameRightEdge: return {w - 2, 0, 2, h - 15, false};
    case kFrameBottomEdge: return {0, h - 2, w - 15, 2, false};
    case kFrameMinimise: return {w - 54, 4, 16, 14, true};
    case kFrameMaximise: return {w - 38, 4, 16, 14, true};
    case kFrameClose: return {w - 20, 4, 16, 14, true};
    case kFrameShortcutToggle: return {w - 54, 32, 50, 14, true};
    case kFrameCmdLockToggle: return {w - 54, 18, 50, 14, true};
    case kFrameLeftEdge: return {0, 0, 2, h - 2, false};
    case kFrameTopEdge: return {2, 0, w - 4, 2, false};
    case kHScrollSlot: return {15, h - 14, w - 35, 10, false};
    case kVScrollSlot: return {w - 14, 51, 10, h - 57, false};
    }
    return {0, 0, 0, 0, true};
}

bool IsEmptySlot(int slot) { return slot == 10 || slot == 11; }
bool IsScrollBarSlot(int slot) { return slot == kHScrollSlot || slot == kVScrollSlot; }
bool IsButton(int piece) { return piece >= kFrameMinimise && piece <= kFrameCmdLockToggle; }

DWORD InitialStyle(int slot) {
    if (slot == kFrameLeftEdge || slot == kFrameTopEdge) return WS_CHILD | WS_VISIBLE | WS_DISABLED;
    if (slot == kHScrollSlot) return WS_CHILD | WS_DISABLED | SBS_HORZ;
    if (slot == kVScrollSlot) return WS_CHILD | WS_DISABLED | SBS_VERT;
    return WS_CHILD | WS_DISABLED;
}

HWND SlotWindow(HWND main, int slot) { return main ? GetDlgItem(main, kFrameFirstId + slot) : nullptr; }
HWND MainOf(HWND piece) { return GetParent(piece); }

bool PointInPiece(HWND wnd, int x, int y) {
    RECT client;
    GetClientRect(wnd, &client);
    return PtInRect(&client, POINT{x, y}) != FALSE;
}

// A missing cursor keeps whatever the pointer shows.
void ShowCursorOf(HCURSOR cursor) {
    if (cursor) SetCursor(cursor);
}

// ---- drawing

// The edges show the plain panel picture's own border, whichever bar is up.
HBITMAP PanelPicture() { return DeskBackgroundBitmap(1, false); }

void CopyPicture(HDC dc, HBITMAP picture, POINT from, SIZE size, DWORD rop) {
    CopyDeskPicture(dc, {0, 0}, picture, from, size, rop);
}

// Only the button that holds the pointer shows the press; the shared flag
// alone would make every repainted button look held.
bool LooksPressed(HWND wnd) { return gPressed && GetCapture() == wnd; }

void PaintPiece(HWND wnd, int piece, HDC dc) {
    RECT client;
    GetClientRect(wnd, &client);
    const SIZE size = {client.right, client.bottom};
    const bool pressed = LooksPressed(wnd);
    switch (piece) {
    case kFrameGrip: CopyPicture(dc, SizeGripBitmap(), {0, 0}, kGripSize, SRCCOPY); break;
    case kFrameRightEdge: CopyPicture(dc, PanelPicture(), {kDeskWidth - size.cx, 0}, size, SRCCOPY); break;
    case kFrameBottomEdge: CopyPicture(dc, PanelPicture(), {0, kDeskHeight - size.cy}, size, SRCCOPY); break;
    case kFrameLeftEdge: CopyPicture(dc, PanelPicture(), {0, 0}, size, SRCCOPY); break;
    case kFrameTopEdge: CopyPicture(dc, PanelPicture(), {2, 0}, size, SRCCOPY); break;
    case kFrameMinimise: CopyPicture(dc, MinimiseButtonBitmap(pressed), {0, 0}, kButtonSize, SRCCOPY); break;
    case kFrameMaximise: {
        HBITMAP picture = gFullSize ? RestoreButtonBitmap(pressed) : MaximiseButtonBitmap(pressed);
        CopyPicture(dc, picture, {0, 0}, kButtonSize, SRCCOPY);
        break;
    }
    case kFrameClose: CopyPicture(dc, CloseButtonBitmap(pressed), {0, 0}, kButtonSize, SRCCOPY); break;
    case kFrameShortcutToggle: {
        const bool sunken = (gShortcutMode != 0) != pressed;
        // Both modes on: shortcuts are set but the lock keeps keys from them.
        const DWORD rop = gCmdLineLock && gShortcutMode ? NOTSRCCOPY : SRCCOPY;
        CopyPicture(dc, ShortcutToggleBitmap(sunken), {0, 0}, kToggleSize, rop);
        break;
    }
    case kFrameCmdLockToggle: {
        const bool sunken = (gCmdLineLock != 0) != pressed;
        CopyPicture(dc, CommandLockToggleBitmap(sunken), {0, 0}, kToggleSize, SRCCOPY);
        break;
    }
    }
}

// The pieces have no border and no background brush, so a paint is the piece's
// picture alone: drawn on the window's own DC and the window marked painted.
// A paint begun and ended costs four more round trips to the window server
// under Wine (caret, update and visible regions), times ten pieces.
void OnPaint(HWND wnd, int piece) {
    HDC dc = GetDC(wnd);
    PaintPiece(wnd, piece, dc);
    ReleaseDC(wnd, dc);
    ValidateRect(wnd, nullptr);
}

// ---- mouse

void SetPressed(HWND wnd, bool pressed) {
    if (gPressed == pressed) return;
    gPressed = pressed;
    InvalidateRect(wnd, nullptr, FALSE);
}

void OnMouseMove(HWND wnd, int piece, WPARAM keys, int x, int y) {
    switch (piece) {
    case kFrameGrip: ShowCursorOf(SizeCornerCursor()); return;
    case kFrameRightEdge: ShowCursorOf(SizeRightEdgeCursor()); return;
    case kFrameBottomEdge: ShowCursorOf(SizeBottomEdgeCursor()); return;
    }
    if (!IsButton(piece)) return;
    // Only the button the press began on follows the pointer.
    if ((keys & MK_LBUTTON) && GetCapture() == wnd && !DeskLocked()) SetPressed(wnd, PointInPiece(wnd, x, y));
    ShowCursorOf(ArrowCursor());
}

// The system's sizing loop runs inside the call; the size it leaves is the
// one the maximise button comes back to.
void RunSizingLoop(HWND wnd, WPARAM command) {
    HWND main = MainOf(wnd);
    SendMessageA(main, WM_SYSCOMMAND, command, 0);
    RECT client;
    if (!IsWindow(main) || IsIconic(main) || !GetClientRect(main, &client)) return;
    gRestoreSize = {client.right, client.bottom};
}

void OnLButtonDown(HWND wnd, int piece) {
    switch (piece) {
    case kFrameGrip: RunSizingLoop(wnd, SC_SIZE + WMSZ_BOTTOMRIGHT); return;
    case kFrameRightEdge: RunSizingLoop(wnd, SC_SIZE + WMSZ_RIGHT); return;
    case kFrameBottomEdge: RunSizingLoop(wnd, SC_SIZE + WMSZ_BOTTOM); return;
    }
    if (!IsButton(piece)) return;
    SetCapture(wnd);
    gPressed = true;
    InvalidateRect(wnd, nullptr, FALSE);
}

void ToggleFullSize(HWND main) {
    SIZE size = gRestoreSize;
    if (!gFullSize) {
        RECT work;
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) SetRect(&work, 0, 0, kDeskWidth, kDeskHeight);
        size = MaximisedDeskSize(work);
    }
    SetWindowPos(main, HWND_TOP, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW);
}

// The stroke keeps the keyboard's Scroll Lock light in step with the lock.
// It reaches the desk only while the desk is in front; otherwise the desk
// gets the key directly.
void ToggleCmdLineLockByStroke(HWND main) {
    if (GetForegroundWindow() == main && SendScrollLockStroke()) return;
    SendMessageA(main, WM_KEYDOWN, VK_SCROLL, 1);
    SendMessageA(main, WM_KEYUP, VK_SCROLL, LPARAM(0xC0000001u));
}

void RunButton(HWND wnd, int piece) {
    HWND main = MainOf(wnd);
    switch (piece) {
    case kFrameMinimise:
        ShowWindow(main, SW_HIDE);
        ShowWindow(main, SW_SHOWMINIMIZED);
        break;
    case kFrameMaximise:
        ToggleFullSize(main);
        InvalidateRect(wnd, nullptr, FALSE);
        break;
    case kFrameClose:
        InvalidateRect(wnd, nullptr, FALSE);
        if (!DeskLocked()) SendMessageA(main, WM_CLOSE, 0, 0);
        break;
    case kFrameShortcutToggle: SetShortcutMode(main, 2); break;
    case kFrameCmdLockToggle: ToggleCmdLineLockByStroke(main); break;
    }
}

void OnLButtonUp(HWND wnd, int piece, int x, int y) {
    if (!IsButton(piece)) return;
    // A release whose press began somewhere else is no click on this button.
    const bool held = GetCapture() == wnd;
    if (held) ReleaseCapture();
    gPressed = false;
    // Repainted even when the pointer left while the desk was locked and the
    // look could not follow it.
    InvalidateRect(wnd, nullptr, FALSE);
    if (held && PointInPiece(wnd, x, y)) RunButton(wnd, piece);
}

// A box or another window taking the mouse ends the press.
void OnCaptureChanged(HWND wnd, HWND taker) {
    if (taker == wnd || !gPressed) return;
    gPressed = false;
    InvalidateRect(wnd, nullptr, FALSE);
}

void ShapeGrip(HWND wnd) {
    const POINT corners[] = {{14, 0}, {15, 0}, {15, 15}, {0, 15}, {0, 13}};
    HRGN region = CreatePolygonRgn(corners, 5, ALTERNATE);
    // Once set, the region belongs to the window.
    if (region && !SetWindowRgn(wnd, region, FALSE)) DeleteObject(region);
}

LRESULT CALLBACK FrameWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int piece = GetDlgCtrlID(wnd) - kFrameFirstId;
    const int x = short(LOWORD(lp)), y = short(HIWORD(lp));
    switch (msg) {
    case WM_CREATE: if (piece == kFrameGrip) ShapeGrip(wnd); break;
    case WM_PAINT: OnPaint(wnd, piece); return 0;
    case WM_PRINTCLIENT: PaintPiece(wnd, piece, reinterpret_cast<HDC>(wp)); break;
    case WM_MOUSEMOVE: OnMouseMove(wnd, piece, wp, x, y); break;
    case WM_LBUTTONDOWN: OnLButtonDown(wnd, piece); break;
    case WM_LBUTTONUP: OnLButtonUp(wnd, piece, x, y); break;
    case WM_CAPTURECHANGED: OnCaptureChanged(wnd, reinterpret_cast<HWND>(lp)); break;
    case WM_MOUSEWHEEL: return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
}

// ---- layout

int& OffsetOf(bool vertical) { return vertical ? gDeskOffsetY : gDeskOffsetX; }
int ExtentOf(bool vertical) { return vertical ? kDeskHeight : kDeskWidth; }

void ShiftAxis(HWND main, bool vertical, int delta) {
    if (vertical) ShiftDesk(main, 0, delta);
    else ShiftDesk(main, delta, 0);
}

// Moves the desk on one axis to a new offset. The shift is what the desk is
// actually off by, so a scroll bar that disagrees with it cannot leave the
// picture and the controls apart.
void MoveDeskTo(HWND main, bool vertical, int target) {
    int& offset = OffsetOf(vertical);
    if (target == offset) return;
    const int delta = offset - target;
    offset = target;
    ShiftAxis(main, vertical, delta);
}

void FitAxis(HWND main, bool vertical, int clientSize) {
    HWND bar = SlotWindow(main, vertical ? kVScrollSlot : kHScrollSlot);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (!bar || !GetScrollInfo(bar, SB_CTL, &info)) return;
    const int extent = ExtentOf(vertical);
    const int target = std::clamp(OffsetOf(vertical), 0, std::max(0, extent - clientSize));
    if (info.nPos != target) {
        info.nPos = target;
        SetScrollInfo(bar, SB_CTL, &info, TRUE);
    }
    MoveDeskTo(main, vertical, target);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = extent - 1;
    info.nPage = UINT(std::max(0, clientSize));
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

// Where a piece stands in the main window's client area, and its size.
RECT PieceRect(HWND main, HWND piece) {
    RECT rect = {};
    GetWindowRect(piece, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The batch below leaves the pieces at their places on top of the desk's
// other children, the last slot topmost. When they already stand so (the
// size message of the show, the layout after the core's start), the batch
// would change nothing; under Wine it still cost 10 to 30 ms, each piece's
// move to the top working through the desk's 250 windows.
bool PiecesInPlace(HWND main, int w, int h) {
    HWND above = GetWindow(main, GW_CHILD);
    for (int slot = kSlotCount - 1; slot >= 0; --slot) {
        HWND piece = SlotWindow(main, slot);
        if (!piece) continue;
        if (piece != above) return false;
        const SlotPlace place = PlaceOfSlot(slot, w, h);
        const RECT now = PieceRect(main, piece);
        if (now.left != place.x || now.top != place.y) return false;
        if (!place.keepSize &&
            (now.right - now.left != std::max(0, place.width) || now.bottom - now.top != std::max(0, place.height)))
            return false;
        above = GetWindow(piece, GW_HWNDNEXT);
    }
    return true;
}

void MovePieces(HWND main, int w, int h) {
    if (PiecesInPlace(main, w, h)) return;
    HDWP batch = BeginDeferWindowPos(kSlotCount);
    for (int slot = 0; slot < kSlotCount && batch; ++slot) {
        HWND piece = SlotWindow(main, slot);
        if (!piece) continue;
        const SlotPlace place = PlaceOfSlot(slot, w, h);
        batch = DeferWindowPos(batch, piece, HWND_TOP, place.x, place.y, std::max(0, place.width),
                               std::max(0, place.height), place.keepSize ? SWP_NOSIZE : 0);
    }
    if (batch) EndDeferWindowPos(batch);
}

void ShowOrHide(HWND wnd, bool shown) {
    if (wnd) ShowWindow(wnd, shown ? SW_SHOW : SW_HIDE);
}

}  // namespace

ATOM RegisterFrameClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"vcNONCLIENT", FrameWndProc, CS_OWNDC, 0, nullptr, nullptr, nullptr});
}

void CreateDeskFrame(HWND main) {
    if (!main) return;
    RECT client;
    GetClientRect(main, &client);
    gPressed = false;
    gRestoreSize = {kDeskWidth, kDeskHeight};
    gFullSize = client.right == kDeskWidth && client.bottom == kDeskHeight;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(main, GWLP_HINSTANCE));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (IsEmptySlot(slot) || SlotWindow(main, slot)) continue;
        const SlotPlace place = PlaceOfSlot(slot, client.right, client.bottom);
        CreateWindowExA(0, IsScrollBarSlot(slot) ? "scrollbar" : "vcNONCLIENT", nullptr, InitialStyle(slot),
                        place.x, place.y, std::max(0, place.width), std::max(0, place.height), main,
                        reinterpret_cast<HMENU>(INT_PTR(kFrameFirstId + slot)), instance, nullptr);
    }
}

namespace {

// A size that arrives while a layout runs (a window of another thread lets
// sent messages in while the batch waits for it) is laid out after that one,
// never inside its half-applied batch.
bool gLayingOut;
bool gLayoutPending;
SIZE gPendingSize;
constexpr int kMostFollowUpLayouts = 4;

void LayOutOnce(HWND main, int clientWidth, int clientHeight) {
    FitAxis(main, false, clientWidth);
    FitAxis(main, true, clientHeight);
    MovePieces(main, clientWidth, clientHeight);
    gFullSize = clientWidth == kDeskWidth && clientHeight == kDeskHeight;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        HWND piece = SlotWindow(main, slot);
        if (!piece) continue;
        if (IsScrollBarSlot(slot)) {
            // Scrolling moves the core's windows too: only while a session runs.
            if (VC_KNT_ACTIVE) EnableWindow(piece, TRUE);
            continue;
        }
        EnableWindow(piece, TRUE);
        ShowWindow(piece, SW_SHOW);
        InvalidateRect(piece, nullptr, FALSE);
    }
    ShowOrHide(SlotWindow(main, kHScrollSlot), clientWidth != kDeskWidth && gShowHScroll);
    ShowOrHide(SlotWindow(main, kVScrollSlot), clientHeight != kDeskHeight && gShowVScroll);
}

}  // namespace

void LayOutDesk(HWND main, int clientWidth, int clientHeight) {
    if (!main) return;
    if (gLayingOut) {
        gPendingSize = {clientWidth, clientHeight};
        gLayoutPending = true;
        return;
    }
    gLayingOut = true;
    LayOutOnce(main, clientWidth, clientHeight);
    for (int round = 0; gLayoutPending && round < kMostFollowUpLayouts; ++round) {
        gLayoutPending = false;
        LayOutOnce(main, gPendingSize.cx, gPendingSize.cy);
    }
    gLayoutPending = false;
    gLayingOut = false;
}

HWND DeskScrollBar(bool vertical) { return SlotWindow(hMainWnd, vertical ? kVScrollSlot : kHScrollSlot); }

void EnableDeskScrollBars(bool enable) {
    for (bool vertical : {false, true})
        if (HWND bar = DeskScrollBar(vertical)) EnableWindow(bar, enable);
}

void InvalidateLockIndicators() {
    for (int slot : {kFrameCmdLockToggle, kFrameShortcutToggle})
        if (HWND piece = SlotWindow(hMainWnd, slot)) RedrawWindow(piece, nullptr, nullptr, RDW_INVALIDATE);
}

void InvalidateShortcutIndicator() {
    if (HWND piece = SlotWindow(hMainWnd, kFrameShortcutToggle)) RedrawWindow(piece, nullptr, nullptr, RDW_INVALIDATE);
}

SIZE DeskRestoreSize() { return gRestoreSize; }
bool DeskIsFullSize() { return gFullSize; }

SIZE MaximisedDeskSize(const RECT& workArea) {
    const LONG width = std::max(0L, workArea.right - workArea.left);
    const LONG height = std::max(0L, workArea.bottom - workArea.top);
    return {std::min(width, LONG(kDeskWidth)), std::min(height, LONG(kDeskHeight))};
}

void SetDeskScrollOffsets(HWND main, int horizontal, int vertical) {
    if (!main) return;
    for (bool onVertical : {true, false}) {
        const int extent = ExtentOf(onVertical);
        const int target = std::clamp(onVertical ? vertical : horizontal, 0, extent - 1);
        if (HWND bar = SlotWindow(main, onVertical ? kVScrollSlot : kHScrollSlot)) {
            SCROLLINFO info = {};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_POS;
            info.nMin = 0;
            info.nMax = extent - 1;
            info.nPos = target;
            SetScrollInfo(bar, SB_CTL, &info, TRUE);
        }
        MoveDeskTo(main, onVertical, target);
    }
}
