// The window class of the CD player panel's twelve windows (_kntCDButton):
// their drawing, the press and release table, the pop-up menus and winding.
#include <windows.h>
#include <shellapi.h>

#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/FileDisc.h"
#include "cdplayer/CdPanel.h"
#include "common/DropTarget.h"
#include "common/Text.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "mainwindow/Placement.h"

UINT_PTR gCdWindTimer;
int gCdWindTicks;
int gCdWindPeriod = 200;

namespace {
constexpr int kPlayerPlaying = 2, kPlayerPaused = 3;
constexpr int kHighlightStyle = 7;  // the key face whose pictures are 189 and 197
constexpr DWORD kTrackArrowPressed = 0x10000, kArrowPressed = 1;
constexpr COLORREF kCyan = RGB(0, 255, 255);

const int kIcons[kCdPanelWindowCount] = {262, 264, 269, 266, 268, 265, 263, 278, 280, 290, -1, 279};
const int kTimeModeIcons[4] = {303, 302, 300, 301};
const int kPlayModeIcons[4] = {298, 299, 297, 294};

struct CdWnd {
    int index;
    DWORD pressed;
};

int gModeBeforeClick;

int PlayMode() { return gPlayMode >= kCdPlayAll && gPlayMode <= kCdRepeatAll ? gPlayMode : kCdPlayAll; }

CdWnd* RecordOf(HWND wnd) { return reinterpret_cast<CdWnd*>(GetWindowLongPtrA(wnd, 0)); }

// Icons come from the host's resources and are shared, so one load each.
HICON Icon(int id) {
    static HICON loaded[303 - 262 + 1];
    if (id < 262 || id > 303) return nullptr;
    HICON& icon = loaded[id - 262];
    if (!icon) icon = LoadIconA(hInst ? hInst : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    return icon;
}

void DrawIcon32(HDC dc, int x, int y, int id) {
    if (HICON icon = Icon(id)) DrawIconEx(dc, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
}

void FillBlack(HDC dc, int left, int top, int right, int bottom) {
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void InvertPolygon(HDC dc, const POINT* points, int count) {
    HRGN region = CreatePolygonRgn(points, count, WINDING);
    InvertRgn(dc, region);
    DeleteObject(region);
}

void PrepareDisplayDc(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kCyan);
    SelectObject(dc, LargeKeyFont());
}

// ---- drawing

void PaintStatus(HDC dc, const RECT& client) {
    DrawIcon32(dc, 0, 0, gCdStatusIcon);
    FillBlack(dc, 30, 0, client.right, client.bottom);
    RECT text = {30, 0, client.right, client.bottom};
    DrawTextA(dc, CdStatusText(), -1, &text, DT_SINGLELINE | DT_VCENTER);
}

void PaintTime(HDC dc, const RECT& client, DWORD pressed) {
    const int w = client.right, h = client.bottom;
    DrawIcon32(dc, 0, 0, kIcons[kCdTimeDisplay]);
    if (pressed >> 16) {
        const POINT arrow[] = {{4, 4}, {16, 4}, {10, 14}, {9, 14}};
        InvertPolygon(dc, arrow, 4);
    }
    FillBlack(dc, 20, 0, w / 2 + 20, h);
    char text[32];
    FormatBounded(text, sizeof text, " Track %2d   ", gCdCurrentTrack);
    RECT r = {20, 0, w / 2 + 20, h};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER);
    const int arrowX = w / 2 - 10;
    DrawIcon32(dc, arrowX, 0, 279);
    if (pressed & 0xFFFF) {
        const POINT arrow[] = {{110, 4}, {121, 9}, {121, 10}, {110, 14}};
        InvertPolygon(dc, arrow, 4);
    }
    const int timeX = arrowX + 18;
    FillBlack(dc, timeX, 0, w, h);
    FormatCdClock(gCdFirstTime, text, sizeof text);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
    r = {timeX, 0, timeX + size.cx + 2, h};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER);
    const int modeIconX = r.right;
    const int mode = gCdTimeMode >= kCdElapsedTrack && gCdTimeMode <= kCdRemainingDisc ? gCdTimeMode : kCdElapsedTrack;
    DrawIcon32(dc, modeIconX, 0, kTimeModeIcons[mode - kCdElapsedTrack]);
    SelectObject(dc, SmallKeyFont());
    FillBlack(dc, modeIconX + 20, 0, w, h);
    FormatCdClock(gCdSecondTime, text, sizeof text);
    r = {modeIconX + 20, 0, w, h};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_TOP);
    SelectObject(dc, LargeKeyFont());
}

void PaintPlayMode(HDC dc, const RECT& client, DWORD pressed) {
    DrawIcon32(dc, 0, 0, kIcons[kCdPlayModeDisplay]);
    if (pressed) {
        const POINT arrow[] = {{0, 4}, {11, 9}, {11, 10}, {0, 14}};
        InvertPolygon(dc, arrow, 4);
    }
    FillBlack(dc, 20, 0, client.right, client.bottom);
    const char* text = CdPlayModeText(PlayMode());
    RECT r = {20, 0, client.right, client.bottom};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
    DrawIcon32(dc, 20 + size.cx + 10, 0, kPlayModeIcons[PlayMode() - kCdPlayAll]);
}

void PaintTriggerSwitch(HDC dc, const RECT& client) {
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, SmallKeyFont());
    SetTextColor(dc, cd_trigger_timecode ? RGB(255, 255, 255) : RGB(0, 0, 0));
    RECT r = client;
    DrawTextA(dc, "Trigger TC", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}
}  // namespace

void PaintCdWindow(HWND wnd, HDC dc) {
    const CdWnd* rec = RecordOf(wnd);
    if (!rec) return;
    RECT client;
    GetClientRect(wnd, &client);
    // The desk's fonts go with the main window, before its children: a font
    // still selected in a window's own DC could not be deleted then.
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    switch (rec->index) {
    case kCdStatusDisplay: PrepareDisplayDc(dc); PaintStatus(dc, client); break;
    case kCdTimeDisplay: PrepareDisplayDc(dc); PaintTime(dc, client, rec->pressed); break;
    case kCdPlayModeDisplay: PrepareDisplayDc(dc); PaintPlayMode(dc, client, rec->pressed); break;
    case kCdTriggerSwitch: PaintTriggerSwitch(dc, client); break;
    default: DrawIcon32(dc, 11, 2, kIcons[rec->index]); break;
    }
    SelectObject(dc, font);
}

namespace {

bool Highlighted(const CdWnd* rec) {
    switch (rec->index) {
    case kCdPause: return rec->pressed || cd_mode == kPlayerPaused;
    case kCdPlay: return rec->pressed || cd_mode == kPlayerPlaying;
    case kCdTriggerSwitch: return cd_trigger_timecode != 0;
    default: return rec->pressed != 0;
    }
}

LRESULT OnEraseBackground(HWND wnd, const CdWnd* rec, HDC dc) {
    HBRUSH brush = nullptr;
    if (rec->index == kCdTimeDisplay || rec->index == kCdStatusDisplay || rec->index == kCdPlayModeDisplay)
        brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    else if (Highlighted(rec))
        brush = KeyFaceBrush(kHighlightStyle, true);
    if (!brush) return DefWindowProcA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(wnd, &client);
    FillRect(dc, &client, brush);
    return 1;
}

void OnPaint(HWND wnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    PaintCdWindow(wnd, dc);
    EndPaint(wnd, &ps);
}

void Repaint(HWND wnd, CdWnd* rec, DWORD pressed) {
    rec->pressed = pressed;
    InvalidateRect(wnd, nullptr, TRUE);
}

// ---- winding

void StartWind(UINT_PTR id) {
    if (!hCDDisplayWnd) return;
    if (gCdWindTimer) KillTimer(hCDDisplayWnd, gCdWindTimer);
    gCdWindTicks = 0;
    gCdWindPeriod = 200;
    gCdWindTimer = SetTimer(hCDDisplayWnd, id, 150, CdPanelTimerProc) ? id : 0;
}

// On the button's release and on a lost capture alike: a wind timer left
// running would seek on and on.
void StopWind() {
    if (!gCdWindTimer) return;
    KillTimer(hCDDisplayWnd, gCdWindTimer);
    gCdWindTimer = 0;
    gCdWindTicks = 0;
    gCdWindPeriod = 200;
    if (gModeBeforeClick != kPlayerPlaying) return;
    // Released before the first step: the drive never stopped, and Play
    // would leave the player reading "Pause" over a playing disc.
    if (gCdDevice.GetMode() == kCdModePlaying) SetPlayerMode(kPlayerPlaying);
    else gCdDevice.Play();
}

void WindTick(UINT_PTR id) {
    gCdDevice.Wind(id == kCdWindForwardTimer ? 1 : -1);
    RefreshPosition(true);
    if (++gCdWindTicks % 10 == 0 && gCdWindPeriod > 5 && hCDDisplayWnd) {
        KillTimer(hCDDisplayWnd, id);
        gCdWindPeriod /= 2;
        gCdWindTimer = SetTimer(hCDDisplayWnd, id, UINT(gCdWindPeriod), CdPanelTimerProc) ? id : 0;
    }
}

// ---- presses, menus and releases

void TrackMenu(HWND wnd, CdWnd* rec, HMENU menu, DWORD pressed, int x, int y, UINT align) {
    Repaint(wnd, rec, pressed);
    UpdateWindow(wnd);
    POINT at = {x, y};
    ClientToScreen(wnd, &at);
    TrackPopupMenu(menu, align, at.x, at.y, 0, wnd, nullptr);
    DestroyMenu(menu);
    Repaint(wnd, rec, 0);
}

void OnPress(HWND wnd, CdWnd* rec, int x, int y) {
    SetCapture(wnd);
    if (rec->index == kCdTriggerSwitch) {
        cd_trigger_timecode = !cd_trigger_timecode;
        InvalidateRect(wnd, nullptr, TRUE);
        return;
    }
    if (rec->index == kCdEject) {
        rec->pressed = 1;
        InvalidateRect(wnd, nullptr, TRUE);
        UpdateWindow(wnd);
        gCdDevice.ToggleDoor();
        // A disc of files goes for good: the drive takes its place.
        if (FileDiscLoaded()) EjectCdFileSource();
        // An open tray holds no disc; the media arrival brings it back.
        else if (gCdDevice.DoorOpen() && gCdDiscPresent) RefreshDiscState(0);
        return;
    }
    // Without a disc the track menu still offers audio files.
    if (!gCdDiscPresent && rec->index == kCdTimeDisplay && x < 18)
        TrackMenu(wnd, rec, BuildCdTrackMenu(), kTrackArrowPressed, x, y, TPM_CENTERALIGN);
    if (!gCdDiscPresent) return;
    gModeBeforeClick = cd_mode;
    if (rec->index == kCdTimeDisplay) {
        if (x < 18) TrackMenu(wnd, rec, BuildCdTrackMenu(), kTrackArrowPressed, x, y, TPM_CENTERALIGN);
        else if (x >= 110 && x <= 121) TrackMenu(wnd, rec, BuildCdTimeModeMenu(), kArrowPressed, x, y, TPM_RIGHTALIGN);
        return;
    }
    if (rec->index == kCdPlayModeDisplay) {
        if (x < 18) TrackMenu(wnd, rec, BuildCdPlayModeMenu(), kArrowPressed, x, y, TPM_RIGHTALIGN);
        return;
    }
    Repaint(wnd, rec, 1);
    if (rec->index == kCdFastBackward || rec->index == kCdFastForward) {
        if (gModeBeforeClick == kPlayerPlaying) SetPlayerMode(kPlayerPaused);
        StartWind(rec->index == kCdFastForward ? kCdWindForwardTimer : kCdWindBackwardTimer);
    }
}

void SeekAndRefresh(int track) {
    gCdDevice.Seek(track, 0, 0, 0, true);
    RefreshPosition(true);
    if (gModeBeforeClick == kPlayerPlaying) gCdDevice.Play();
}

void OnPrevious() {
    const int first = FirstAudioTrack();
    if (gCdCurrentTrack > first) {
        BYTE track, minutes, seconds, frames;
        EnterCriticalSection(&cd_criticalsection);
        gCdDevice.GetPosition(&track, &minutes, &seconds, &frames);
        LeaveCriticalSection(&cd_criticalsection);
        // Whole seconds: 1:03 into a track is well past its start.
        const int into = int(minutes) * 60 + seconds;
        SeekAndRefresh(into <= 5 ? gCdCurrentTrack - 1 : gCdCurrentTrack);
    } else if (gCdCurrentTrack >= 1) {
        EnterCriticalSection(&cd_criticalsection);
        gCdDevice.Seek(first, 0, 0, 0, true);
        LeaveCriticalSection(&cd_criticalsection);
        RefreshPosition(true);
        if (gModeBeforeClick == kPlayerPlaying) gCdDevice.Play();
    }
}

void OnRelease(HWND wnd, CdWnd* rec) {
    if (gCdDiscPresent) {
        switch (rec->index) {
        case kCdPrevious: OnPrevious(); break;
        case kCdNext:
            if (gCdCurrentTrack < gCdDevice.TrackCount()) SeekAndRefresh(gCdCurrentTrack + 1);
            break;
        case kCdFastBackward:
        case kCdFastForward: StopWind(); break;
        case kCdPause:
            if (gModeBeforeClick == kPlayerPlaying) gCdDevice.Pause();
            break;
        case kCdPlay: gCdDevice.Play(); break;
        case kCdStop:
            gCdDevice.Stop();
            gCdDevice.Seek(FirstAudioTrack(), 0, 0, 0, true);
            RefreshPosition(true);
            break;
        }
        Repaint(wnd, rec, 0);
        gModeBeforeClick = cd_mode;
    } else if (rec->pressed) {
        Repaint(wnd, rec, 0);
    }
    ReleaseCapture();
}

void OnCaptureLost(HWND wnd, CdWnd* rec) {
    if ((rec->index != kCdFastBackward && rec->index != kCdFastForward) || !gCdWindTimer) return;
    StopWind();
    Repaint(wnd, rec, 0);
}

void OnCommand(int id) {
    if (id == kCdOpenAudioFilesCommand) {
        ChooseCdAudioFiles(hMainWnd);
        return;
    }
    if (id >= kCdElapsedTrack && id <= kCdRemainingDisc) {
        SetCdTimeMode(id);
        return;
    }
    if (id >= kCdPlayAll && id <= kCdRepeatAll) {
        SetPlayMode(id);
        return;
    }
    const int track = id - kCdTrackCommandBase;
    if (track < 1 || UINT(track) > gCdDevice.TrackCount()) return;
    SeekAndRefresh(track);
    gModeBeforeClick = cd_mode;
}

void OnDropFiles(HDROP drop) {
    if (!drop) return;
    const std::vector<std::wstring> paths = DroppedPaths(drop);
    DragFinish(drop);
    LoadCdFileSource(paths, hMainWnd);
}

bool OnCreate(HWND wnd, const CREATESTRUCTA* cs) {
    const int index = int(reinterpret_cast<INT_PTR>(cs->hMenu)) - kFirstCdPanelId;
    if (index < 0 || index >= kCdPanelWindowCount) return false;
    auto* rec = new CdWnd{index, 0};
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    // Audio files dropped anywhere on the panel become its disc.
    AcceptDroppedFiles(wnd, true);
    if (index == kCdTimeDisplay) {
        hCDDisplayWnd = wnd;
        ReadStoredTimeMode();
    } else if (index == kCdPlayModeDisplay) {
        SetPlayMode(PlayMode());
    }
    return true;
}

void OnDestroy(HWND wnd, CdWnd* rec) {
    if (wnd == hCDDisplayWnd) {
        if (gCdWindTimer) KillTimer(wnd, gCdWindTimer);
        gCdWindTimer = 0;
        hCDDisplayWnd = nullptr;
    }
    delete rec;
    SetWindowLongPtrA(wnd, 0, 0);
}

LRESULT CALLBACK CdPanelWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CdWnd* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_PAINT: OnPaint(wnd); return 0;
    case WM_PRINTCLIENT: PaintCdWindow(wnd, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(wnd, rec, reinterpret_cast<HDC>(wp));
    case WM_LBUTTONDOWN: OnPress(wnd, rec, short(LOWORD(lp)), short(HIWORD(lp))); return 0;
    case WM_LBUTTONUP: OnRelease(wnd, rec); return 0;
    case WM_CAPTURECHANGED: OnCaptureLost(wnd, rec); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_NCHITTEST: DestroyInfoWindow(); break;
    case WM_MOUSEWHEEL: return 0;
    case MM_MCINOTIFY: OnCdTrackEnd(wnd, wp, lp); return 0;
    case MM_MIXM_CONTROL_CHANGE: gCdDevice.RefreshVolumeFader(); return 0;
    case kCdPositionPoll: OnCdPositionPoll(wnd); return 0;
    case kCdPlayAgain: gCdDevice.Play(); return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
}
}  // namespace

void CALLBACK CdPanelTimerProc(HWND wnd, UINT, UINT_PTR id, DWORD) {
    if (id == kCdAnimationTimer) AnimateCdStatus(wnd);
    else if (id == kCdWindForwardTimer || id == kCdWindBackwardTimer) WindTick(id);
}

ATOM RegisterCDButtonClass(HINSTANCE instance) {
    HBRUSH background = KeyFaceBrush(kHighlightStyle, false);
    return RegisterWindowClass(instance, {"_kntCDButton", CdPanelWndProc, CS_OWNDC | CS_DBLCLKS, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), background ? background : DeskGreyBrush()});
}
