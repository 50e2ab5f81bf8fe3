// The desk window procedure: keys, mouse, scrolling, close flow and the
// requests of the core.
#include "mainwindow/MainWindow.h"

#include <windows.h>
#include <ddraw.h>
#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/ErrorBox.h"
#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "common/Text.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "dialogs/DeskLock.h"
#include "input/FaderWnd.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/DeskMenus.h"
#include "mainwindow/DeskPicture.h"
#include "mainwindow/Placement.h"
#include "resources/resource.h"

int gShowHKeys = 1;
// Scroll bars show when needed unless the options say otherwise.
int gShowHScroll = 1;
int gShowVScroll = 1;
int gSaveOnShutdown;
int gCenterMainWhenCovered;
int gDeskOffsetX;
int gDeskOffsetY;

namespace {

const DWORD kMainStyle = WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
// The restart runs from the message loop, never inside the core's own call.
const UINT kRunRestart = WM_APP + 0x1F0;
const int kFirstFrameId = 40600, kLastFrameId = 40699;
const HRESULT kDisplayHeldElsewhere = HRESULT(0x887600E1);

HDC gMemoryDC;
HGDIOBJ gMemoryDCBitmap;
// The client size as of the last size message, or of the window's creation.
SIZE gLastClientSize;
bool gInsertSwitchedMode;
bool gForwardingWheel;
bool gRestartQueued;
bool gRestartRunning;
// Requests that came while a session was starting or ending.
bool gDeferredClose;
bool gDeferredForcedClose;
bool gDeferredRestart;

void CreateMemoryDC(HWND wnd) {
    HDC dc = GetDC(wnd);
    gMemoryDC = CreateCompatibleDC(dc);
    ReleaseDC(wnd, dc);
    gMemoryDCBitmap = gMemoryDC ? GetCurrentObject(gMemoryDC, OBJ_BITMAP) : nullptr;
}

void DeleteMemoryDC() {
    if (!gMemoryDC) return;
    // The desk picture belongs to the drawing resources: hand it back first.
    if (gMemoryDCBitmap) SelectObject(gMemoryDC, gMemoryDCBitmap);
    DeleteDC(gMemoryDC);
    gMemoryDC = nullptr;
    ForgetDeskPictures();
    gMemoryDCBitmap = nullptr;
}

bool InTransition() {
    const SessionState state = CoreSessionState();
    return gRestartRunning || state == SessionState::Starting || state == SessionState::Ending;
}

void ServeDeferredRequests(HWND wnd) {
    if (InTransition() || !IsWindow(wnd)) return;
    if (gDeferredClose) PostMessageA(wnd, WM_CLOSE, 0, gDeferredForcedClose ? 1 : 0);
    if (gDeferredRestart) PostMessageA(wnd, kReqRestart, 0, 0);
    gDeferredClose = gDeferredForcedClose = gDeferredRestart = false;
}

// Mouse positions are signed: a point left of or above the window is negative.
int LowSigned(LPARAM lp) { return short(LOWORD(lp)); }
int HighSigned(LPARAM lp) { return short(HIWORD(lp)); }

// Held as of the message being handled, or right now: a busy desk may handle
// a real press after its release has already reached the system.
bool PrimaryButtonHeld() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return ((GetKeyState(button) | GetAsyncKeyState(button)) & 0x8000) != 0;
}

bool DraggingAllowed() { return !(BackgroundWindowExists() && gCenterMainWhenCovered); }

bool InDragRegion(int x, int y) {
    HRGN region = DeskDragRegion();
    return region && PtInRegion(region, x, y);
}

// ---- painting and layout

// Selecting a picture into a memory DC costs a few microseconds under Wine:
// the shared DC keeps the last picture selected, so pictures drawn one after
// the other (the desk's, the faders' knobs, the frame's edges) select nothing
// again.
void SelectIntoMemoryDC(HBITMAP picture) {
    if (GetCurrentObject(gMemoryDC, OBJ_BITMAP) != picture) SelectObject(gMemoryDC, picture);
}

// The desk picture where dc may draw, and within area when one is given.
void DrawDeskPictureIn(HDC dc, const RECT* area) {
    RECT clip;
    if (!dc || !gMemoryDC || GetClipBox(dc, &clip) == ERROR) return;
    if (area && !IntersectRect(&clip, &clip, area)) return;
    const bool cdShown = gCdPlayerShown && !DisableCDPlayer;
    HBITMAP picture = DeskBackgroundBitmap(int(current_bar), cdShown);
    if (!picture) return;
    SelectIntoMemoryDC(picture);
    PaintDeskPicture(dc, gMemoryDC, clip, {gDeskOffsetX, gDeskOffsetY});
}

// The system erases a window that waits for painting just before its paint,
// which draws the picture over all that waits: drawing it here as well
// converted the picture from its few colours twice in every full repaint.
// An erase asked for anywhere else (the size message's, the CD panel's, an
// erase within a paint begun by the default procedure, which has already
// marked the window painted) still draws.
bool PaintWillDraw(HWND wnd, HDC dc) {
    RECT clip, waiting, both;
    if (GetClipBox(dc, &clip) == ERROR || !GetUpdateRect(wnd, &waiting, FALSE)) return false;
    return IntersectRect(&both, &clip, &waiting) && EqualRect(&both, &clip);
}

LRESULT OnEraseBackground(HWND wnd, HDC dc) {
    if (!PaintWillDraw(wnd, dc)) DrawDeskPictureIn(dc, nullptr);
    return 1;
}

// The desk picture is all the main window shows, so a paint copies it through
// the window's own DC, which already leaves the children out, and marks the
// window painted. A paint begun and ended would fetch the window's visible
// region from the window server, hundreds of rectangles with the keys cut
// out, at every paint. The window's DC reaches the whole desk: only what
// needs painting is drawn (a bar switch asks for the windows that came or
// went, not for the whole picture).
void OnPaint(HWND wnd) {
    RECT dirty;
    if (GetUpdateRect(wnd, &dirty, FALSE)) {
        HDC dc = GetDC(wnd);
        DrawDeskPictureIn(dc, &dirty);
        ReleaseDC(wnd, dc);
    }
    ValidateRect(wnd, nullptr);
}

void OnSize(HWND wnd, int width, int height) {
    const POINT offsets = {gDeskOffsetX, gDeskOffsetY};
    const bool resized = width != gLastClientSize.cx || height != gLastClientSize.cy;
    gLastClientSize = {width, height};
    LayOutDesk(wnd, width, height);
    // A size message that changes neither the size nor the desk's place (the
    // one the first show sends once it has erased the whole desk) leaves the
    // picture as it is: drawing it again cost a second full repaint.
    if (!resized && offsets.x == gDeskOffsetX && offsets.y == gDeskOffsetY) return;
    HDC dc = GetDC(wnd);
    SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(wnd, dc);
}

LRESULT OnSizing(HWND wnd, RECT* rect) {
    if (!rect) return 1;
    if (rect->right - rect->left > kDeskWidth) rect->right = rect->left + kDeskWidth;
    if (rect->bottom - rect->top > kDeskHeight) rect->bottom = rect->top + kDeskHeight;
    LayOutDesk(wnd, rect->right - rect->left, rect->bottom - rect->top);
    return 1;
}

void OnGetMinMaxInfo(MINMAXINFO* info) {
    if (!info) return;
    info->ptMaxSize.x = std::min(info->ptMaxSize.x, LONG(kDeskWidth));
    info->ptMaxSize.y = std::min(info->ptMaxSize.y, LONG(kDeskHeight));
    info->ptMaxTrackSize.x = std::min(info->ptMaxTrackSize.x, LONG(kDeskWidth));
    info->ptMaxTrackSize.y = std::min(info->ptMaxTrackSize.y, LONG(kDeskHeight));
    info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, LONG(kMinDeskWidth));
    info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, LONG(kMinDeskHeight));
}

// Window and client rectangles coincide (no system frame), so bounding the
// window bounds the client area, whoever moves the window.
LRESULT OnWindowPosChanging(HWND wnd, WINDOWPOS* pos, WPARAM wp, LPARAM lp) {
    if (pos && !(pos->flags & SWP_NOSIZE)) {
        pos->cx = std::min(pos->cx, kDeskWidth);
        pos->cy = std::min(pos->cy, kDeskHeight);
    }
    return DefWindowProcA(wnd, WM_WINDOWPOSCHANGING, wp, lp);
}

// ---- shortcut mode and keys

bool KeyGoesToCore() { return gCmdLineLock || !gShortcutMode || CallEntry(gCore.IsDesklocked); }

// Only real virtual keys: codes from 1000 up are the host's own signals to the core.
bool IsVirtualKey(WPARAM vk) { return vk >= 1 && vk <= 254; }

void ToggleCmdLineLock(HWND wnd) {
    const int nowOn = !gCmdLineLock;
    CallEntry(gCore.VC_OnKeyDown, nowOn ? 1000 : 1001, 0, 0);
    gCmdLineLock = nowOn;
    InvalidateLockIndicators();
    InvalidateShortcutIndicator();
    (void)wnd;
}

void OnKeyDown(HWND wnd, WPARAM vk, LPARAM lp) {
    if (!IsVirtualKey(vk)) return;
    gInsertSwitchedMode = false;
    if (vk == VK_INSERT && !gShortcutMode) {
        SetShortcutMode(wnd, 2);
        gInsertSwitchedMode = true;
        return;
    }
    if (vk == VK_SCROLL) {
        ToggleCmdLineLock(wnd);
        return;
    }
    if (vk != VK_INSERT && KeyGoesToCore()) {
        CallEntry(gCore.VC_OnKeyDown, int(vk), int(LOWORD(lp)), 0);
        return;
    }
    DispatchShortcut(int(vk), 1);
    Sleep(20);
}

void OnKeyUp(WPARAM vk, LPARAM lp) {
    if (!IsVirtualKey(vk)) return;
    // The release of a press that only switched a mode or a lock has no press to end.
    if (vk == VK_SCROLL) return;
    if (vk == VK_INSERT && gInsertSwitchedMode) {
        gInsertSwitchedMode = false;
        return;
    }
    if (KeyGoesToCore()) CallEntry(gCore.VC_OnKeyUp, int(vk), int(LOWORD(lp)), 0);
    else DispatchShortcut(int(vk), 0);
}

void OnChar(WPARAM ch) {
    if (ch < 1 || ch > 255) return;
    if (KeyGoesToCore()) CallEntry(gCore.VC_OnCharacter, int(ch));
}

// ---- mouse

void OnButtonDown(HWND wnd, UINT msg, int x, int y) {
    if (GetCapture() != wnd) SetCapture(wnd);
    if (InDragRegion(x, y) && DraggingAllowed()) SetCursor(DeskMoveCursor());
    if (!VC_KNT_ACTIVE) return;
    bool menuOpened = false;
    const RECT button = DeskMenuButtonRect();
    if (PtInRect(&button, POINT{x, y})) {
        if (DeskLocked()) {
            // A modal box must not run under the desk's mouse capture.
            ReleaseCapture();
            TellDeskLocked();
        } else {
            OpenDeskMenu(wnd, POINT{x, y});
            menuOpened = true;
        }
    }
    if (!menuOpened && msg == WM_RBUTTONDOWN) OpenViewMenu(wnd, POINT{x, y});
}

void OnButtonUp(HWND wnd) {
    if (GetCapture() == wnd) ReleaseCapture();
}

void OnMouseMove(HWND wnd, WPARAM keys, int x, int y) {
    if (!VC_KNT_ACTIVE || !DraggingAllowed()) return;
    const bool inRegion = InDragRegion(x, y);
    if ((keys & MK_LBUTTON) && inRegion) {
        ReleaseCapture();
        SendMessageA(wnd, WM_SYSCOMMAND, 0xF011, 0);
        return;
    }
    SetCursor(inRegion ? DeskMoveCursor() : DeskDefaultCursor());
}

// Scroll bars and many controls hand the wheel on to their parent: the
// guard keeps that from coming straight back to the child.
LRESULT OnMouseWheel(HWND wnd, WPARAM wp, LPARAM lp) {
    if (gForwardingWheel) return 0;
    const POINT at = {LowSigned(lp), HighSigned(lp)};
    HWND target = WindowFromPoint(at);
    if (!target || target == wnd || GetParent(target) != wnd) return 0;
    gForwardingWheel = true;
    SendMessageA(target, WM_MOUSEWHEEL, wp, lp);
    gForwardingWheel = false;
    return 1;
}

// ---- scrolling

int NewScrollPosition(int code, int thumb, int current, int extent, int clientSize) {
    const int last = std::max(0, extent - clientSize);
    switch (code) {
    case SB_LINEUP: return std::max(0, current - 1);
    case SB_LINEDOWN: return std::min(last, current + 1);
    case SB_PAGEUP: return 0;
    case SB_PAGEDOWN: return last;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return std::clamp(thumb, 0, last);
    }
    return current;
}

void OnScroll(HWND wnd, bool vertical, WPARAM wp, HWND control) {
    RECT client;
    GetClientRect(wnd, &client);
    int& offset = vertical ? gDeskOffsetY : gDeskOffsetX;
    const int next = NewScrollPosition(LOWORD(wp), HIWORD(wp), offset, vertical ? kDeskHeight : kDeskWidth,
                                       vertical ? client.bottom : client.right);
    if (next == offset) return;
    if (!control) control = DeskScrollBar(vertical);
    if (control) SetScrollPos(control, SB_CTL, next, TRUE);
    const int shift = offset - next;
    offset = next;
    if (vertical) ShiftDesk(wnd, 0, shift);
    else ShiftDesk(wnd, shift, 0);
}

// ---- close flow and restart

int AskSaveShow(bool forced) {
    char buttons[256];
    if (forced)
        FormatBounded(buttons, sizeof buttons, "%s|%s", Tr("Yes"), Tr("No"));
    else
        FormatBounded(buttons, sizeof buttons, "%s|%s|%s", Tr("Yes"), Tr("No"), Tr("Cancel"));
    return VCMessageBox(forced ? 1 : 2, 0, Tr("Save actual Show ?"), buttons);
}

LRESULT FinishClose(HWND wnd, bool forced) {
    DestroyInfoWindow();
    DeleteMemoryDC();
    // Hidden first, and the window system's answer to that taken in (a peek
    // that removes nothing): Wine's X driver aborts the process when a mapped
    // window that once owned a message box is destroyed at once.
    ShowWindow(wnd, SW_HIDE);
    MSG pending;
    PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE);
    return DefWindowProcA(wnd, WM_CLOSE, 0, forced ? 1 : 0);
}

LRESULT OnClose(HWND wnd, bool forced) {
    if (InTransition()) {
        gDeferredClose = true;
        gDeferredForcedClose = gDeferredForcedClose || forced;
        return 1;
    }
    if (!VC_KNT_ACTIVE) return 1;
    if (CoreSessionState() != SessionState::Running) {
        // A failed restart left no core: nothing to ask or save, only to close.
        SaveWindowSettings(wnd);
        VC_KNT_ACTIVE = 0;
        return FinishClose(wnd, forced);
    }
    const int answer = AskSaveShow(forced);
    const bool save = answer == kVcAnswer1;
    // Only an explicit No exits unsaved; anything unknown cancels if it may.
    if (!forced && !save && answer != kVcAnswer2) return 1;
    if (save) CallEntry(gCore.DoPultSave);
    SaveWindowSettings(wnd);
    EndCoreSession(false, save);
    return FinishClose(wnd, forced);
}

void RunRestart(HWND wnd) {
    gRestartQueued = false;
    if (CoreSessionState() != SessionState::Running) return;
    gRestartRunning = true;
    bool ok = EndCoreSession(true, false);
    if (!ok) {
        ShowSystemError(wnd, "Error unloading Kantrel data! Cannot restart the program! (errno. %d)", GetLastError());
    } else if (!(ok = StartCoreSessionGuarded() == StartOutcome::Started)) {
        ShowSystemError(wnd, "Error loading Kantrel data! Cannot restart the program! (errno. %d)", GetLastError());
    } else {
        for (HWND shown : {hMainWnd, hExt1Wnd, hExt2Wnd})
            if (shown) EnableWindow(shown, TRUE);
    }
    gRestartRunning = false;
    if (!ok) {
        gDeferredRestart = false;
        SendMessageA(wnd, WM_CLOSE, 0, 0);
        return;
    }
    ServeDeferredRequests(wnd);
}

LRESULT OnRestartRequest(HWND wnd) {
    if (InTransition() || gRestartQueued) {
        gDeferredRestart = true;
        return 1;
    }
    if (CoreSessionState() != SessionState::Running) return 1;
    gRestartQueued = true;
    PostMessageA(wnd, kRunRestart, 0, 0);
    return 1;
}

LRESULT OnEndSession() {
    if (gSaveOnShutdown) {
        CallEntry(gCore.DoPultSave);
        Sleep(1000);
    }
    return 0;
}

// ---- display, media, dropped files

// True when the primary surface is held by another program right now.
bool DisplayBusyElsewhere(HWND wnd) {
    using CreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw) return true;
    auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreate")));
    LPDIRECTDRAW dd = nullptr;
    bool busy = true;
    if (create && SUCCEEDED(create(nullptr, &dd, nullptr)) && dd) {
        if (SUCCEEDED(dd->SetCooperativeLevel(wnd, DDSCL_NORMAL))) {
            DDSURFACEDESC desc = {};
            desc.dwSize = sizeof desc;
            desc.dwFlags = DDSD_CAPS;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
            LPDIRECTDRAWSURFACE surface = nullptr;
            const HRESULT made = dd->CreateSurface(&desc, &surface, nullptr);
            busy = made == kDisplayHeldElsewhere;
            if (surface) surface->Release();
        }
        dd->Release();
    }
    FreeLibrary(ddraw);
    return busy;
}

void OnDisplayChange(HWND wnd) {
    if (DisplayBusyElsewhere(wnd)) return;
    if (GetBitCount() == RGBBitCount) return;
    if (RGBBitCountAndDirectDrawTest(1, 0)) {
        for (int display = 0; display < kDisplayCount; ++display) CallEntry(gCore.RestoreCDXDisplay, display);
        return;
    }
    MessageBoxA(wnd,
                Tr("Display settings have been changed from outside this application!\nWith this settings Kantrel "
                   "Ovrin is not able to continue!\nEnding program now!"),
                knt_windows_title, MB_ICONERROR);
    SendMessageA(wnd, WM_CLOSE, 0, 1);
}

void OnDeviceChange(WPARAM event, LPARAM lp) {
    if (DisableCDPlayer || (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
    if (!header || header->dbch_size < sizeof(DEV_BROADCAST_VOLUME) || header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
    if (!(volume->dbcv_flags & DBTF_MEDIA) || !volume->dbcv_unitmask) return;
    const char letter = DriveLetterOfUnitMask(volume->dbcv_unitmask);
    const char* drive = ConfiguredCdDrive();
    if (letter && drive && toupper(static_cast<unsigned char>(drive[0])) == letter) CdPanelRecheckDisc(-1);
}

void OnDropFiles(HDROP drop) {
    if (!drop) return;
    char path[MAX_PATH];
    // A path that does not fit would be loaded cut short: load nothing then.
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0 && DragQueryFileA(drop, 0, nullptr, 0) < sizeof path &&
        DragQueryFileA(drop, 0, path, sizeof path) > 0)
        CallEntry(gCore.LoadShowCompressedShow, path);
    DragFinish(drop);
}

// ---- requests of the core

LRESULT OnModalLoopRequest(HWND wnd) {
    EnableDeskScrollBars(false);
    RunModalLoop(wnd);
    return 1;
}

// Checked wide: an index beyond the faders must not wrap onto one of them.
void OnFaderValue(WPARAM index, LPARAM value) {
    if (index >= WPARAM(kFaderWindowCount)) return;
    SetFaderValue(int(index), value);
}

LRESULT OnSysCommand(HWND wnd, WPARAM wp, LPARAM lp) {
    switch (wp & 0xFFF0) {
    case SC_MINIMIZE:
        ShowWindow(wnd, SW_HIDE);
        ShowWindow(wnd, SW_SHOWMINIMIZED);
        return 0;
    case SC_RESTORE:
        ShowWindow(wnd, SW_HIDE);
        ShowWindow(wnd, SW_SHOWNORMAL);
        return 0;
    }
    if (wp == SC_SIZE || wp == SC_MOVE) return 0;
    // A mouse move or size without the button held would leave the system's
    // loop waiting for a release that never comes.
    if (((wp & 0xFFF0) == SC_SIZE || (wp & 0xFFF0) == SC_MOVE) && !PrimaryButtonHeld()) return 0;
    return DefWindowProcA(wnd, WM_SYSCOMMAND, wp, lp);
}

LRESULT OnActivateApp(HWND wnd, WPARAM wp, LPARAM lp) {
    if (!RestackOnActivateApp(BOOL(wp))) return DefWindowProcA(wnd, WM_ACTIVATEAPP, wp, lp);
    return 0;
}

void OnDestroy(HWND wnd) {
    // The core and the other windows read the shared handle: never leave them
    // one that names a dead window, or a later window that reuses its value.
    if (hMainWnd == wnd) hMainWnd = nullptr;
    DeleteMemoryDC();
    ReleaseDrawingResources();
    gRestartQueued = gDeferredClose = gDeferredForcedClose = gDeferredRestart = false;
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int x = LowSigned(lp), y = HighSigned(lp);
    switch (msg) {
    case WM_CREATE: PlaceMainWindow(wnd); return 0;
    case WM_DESTROY: OnDestroy(wnd); return 0;
    case WM_SIZE: OnSize(wnd, LOWORD(lp), HIWORD(lp)); return 0;
    case WM_SIZING: return OnSizing(wnd, reinterpret_cast<RECT*>(lp));
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp)); return 0;
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(wnd, reinterpret_cast<WINDOWPOS*>(lp), wp, lp);
    case WM_PAINT: OnPaint(wnd); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(wnd, reinterpret_cast<HDC>(wp));
    case WM_CLOSE: return OnClose(wnd, lp != 0);
    case WM_ENDSESSION: return OnEndSession();
    case WM_ACTIVATEAPP: return OnActivateApp(wnd, wp, lp);
    case WM_DISPLAYCHANGE: OnDisplayChange(wnd); return 0;
    case WM_NOTIFY: TooltipNotify(lp); return 0;
    case WM_NCCALCSIZE: return 0;
    case WM_NCPAINT: return 0;
    case WM_NCACTIVATE: return 1;
    case WM_SYSCOMMAND: return OnSysCommand(wnd, wp, lp);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: OnKeyDown(wnd, wp, lp); return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: OnKeyUp(wp, lp); return 0;
    case WM_CHAR: OnChar(wp); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(wnd, msg, x, y); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: OnButtonUp(wnd); return 0;
    case WM_LBUTTONDBLCLK: return 1;
    case WM_MOUSEMOVE: OnMouseMove(wnd, wp, x, y); return 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(wnd, wp, lp);
    case WM_HSCROLL: OnScroll(wnd, false, wp, reinterpret_cast<HWND>(lp)); return 0;
    case WM_VSCROLL: OnScroll(wnd, true, wp, reinterpret_cast<HWND>(lp)); return 0;
    case WM_DEVICECHANGE: OnDeviceChange(wp, lp); break;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_COMMAND: return HandleDeskCommand(wnd, wp, lp);
    case kReqNothing: return 1;
    case kReqModalLoop: return OnModalLoopRequest(wnd);
    case kReqFaderValue: OnFaderValue(wp, lp); return 0;
    case kReqPrint: CallEntry(gCore.DoPrint, wp, lp); return 0;
    case kReqRestart: return OnRestartRequest(wnd);
    case kRunRestart: RunRestart(wnd); return 0;
    case kReqZeroDot: RefreshZeroDotLabels(); return 0;
    case kReqHighliteSolo: RefreshHighliteSoloLabel(); return 0;
    case kReqAlign: RefreshAlignLabel(); return 0;
    case kReqShortcutMode: return SetShortcutMode(wnd, wp);
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int SetShortcutMode(HWND main, WPARAM mode) {
    if ((mode == 0 || mode == 1) && int(mode) == gShortcutMode) return 0;
    if (mode == 0 || mode == 1) gShortcutMode = int(mode);
    else if (mode == 2) gShortcutMode = !gShortcutMode;
    if (gShowHKeys) RedrawWindow(main, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    else InvalidateShortcutIndicator();
    return 1;
}

void ShiftDesk(HWND main, int dx, int dy) {
    ShiftDeskHitAreas(dx, dy);
    RECT client;
    GetClientRect(main, &client);
    ScrollWindow(main, dx, dy, &client, nullptr);
    HDWP batch = BeginDeferWindowPos(std::max(1, gDeskChildCount));
    for (HWND child = GetWindow(main, GW_CHILD); child && batch; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id >= kFirstFrameId && id <= kLastFrameId) continue;
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
        batch = DeferWindowPos(batch, child, HWND_BOTTOM, place.left + dx, place.top + dy, 0, 0,
                               SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (batch) EndDeferWindowPos(batch);
    UpdateWindow(main);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_KNTOVRIN", MainWndProc, CS_OWNDC | CS_DBLCLKS, 0,
                                          LoadIconA(instance, MAKEINTRESOURCEA(IDI_KANTREL)),
                                          DeskDefaultCursor(), nullptr});
}

HWND CreateMainWindow(HINSTANCE instance) {
    hInst = instance;
    HWND wnd = CreateWindowExA(0, "_KNTOVRIN", knt_windows_title, kMainStyle, CW_USEDEFAULT, 0, kDeskWidth,
                               kDeskHeight, nullptr, nullptr, instance, nullptr);
    hMainWnd = wnd;
    gDeskOffsetX = gDeskOffsetY = 0;
    RECT client = {};
    if (wnd) GetClientRect(wnd, &client);
    gLastClientSize = {client.right, client.bottom};
    if (wnd) CreateMemoryDC(wnd);
    return wnd;
}

HDC DeskMemoryDC() { return gMemoryDC; }

// Making and deleting a memory DC for each copy cost some twenty
// microseconds under Wine: the shared one is used whenever it exists.
void CopyDeskPicture(HDC dc, POINT to, HBITMAP picture, POINT from, SIZE size, DWORD rop) {
    if (!dc || !picture) return;
    if (gMemoryDC) {
        SelectIntoMemoryDC(picture);
        BitBlt(dc, to.x, to.y, size.cx, size.cy, gMemoryDC, from.x, from.y, rop);
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(dc, to.x, to.y, size.cx, size.cy, memory, from.x, from.y, rop);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void OnCoreSessionSettled() {
    if (hMainWnd) ServeDeferredRequests(hMainWnd);
}
