// The fader windows (_kntSlider). A vertical fader hands what the user does
// to the core data block and shows only the value the core sends back; the
// volume fader keeps its own value and sets the CD line volume.
#include "input/FaderWnd.h"

#include <algorithm>

#include "app/CoreBinding.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdVolume.h"
#include "common/WindowClass.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "dialogs/DeskLock.h"
#include "mainwindow/MainWindow.h"

namespace {

constexpr int kCoreFaderCount = 23;  // faders with a byte in the core data block
constexpr int kKnobLength = 19;      // along the travel
constexpr int kKnobMargin = 9;       // the knob's centre sits this far into it
constexpr int kVerticalMax = 255;
constexpr int kVolumeMax = 65535;
constexpr int kCoarseWheelStep = 10;

struct Fader {
    int index;
    int grabbed;  // the knob is held by the left button
    int value;    // what the knob shows
};

ATOM gFaderClass;

Fader* RecordOf(HWND wnd) { return reinterpret_cast<Fader*>(GetWindowLongPtrA(wnd, 0)); }

bool IsVolume(const Fader* rec) { return rec->index == kVolumeFader; }
int MaxValue(const Fader* rec) { return IsVolume(rec) ? kVolumeMax : kVerticalMax; }

FaderKind KindOf(const Fader* rec) {
    if (IsVolume(rec)) return FaderKind::Horizontal;
    return rec->index == kExecutorFader ? FaderKind::Executor : FaderKind::Bar;
}

// A word with bit 15 set is the pointer left of or above the window while
// the fader holds the capture.
int Coordinate(WORD word) { return (word & 0x8000) ? 0 : int(word); }

// ---- geometry ---------------------------------------------------------------
// Done wide: a window of any size and a pointer anywhere give a value in range.

int KnobStart(long long t, int extent) {
    const long long start = std::max(t - kKnobMargin, 0LL);
    return int(std::max(std::min(start, (long long)extent - kKnobLength), 0LL));
}

// Top of the knob of a vertical fader, left of the volume fader's knob.
int KnobPosition(const Fader* rec, const RECT& client) {
    if (IsVolume(rec)) return KnobStart((long long)rec->value * client.right / kVolumeMax, client.right);
    const int height = client.bottom;
    return KnobStart((long long)(kVerticalMax - rec->value) * height / kVerticalMax, height);
}

// A travel shorter than the knob margin still has one pixel, so the
// division stands.
int VerticalValueAt(int y, int height) {
    const long long travel = std::max(height - kKnobMargin, 1);
    const long long d = std::clamp(travel - y, 0LL, (long long)kVerticalMax);
    return int(std::min(d * kVerticalMax / travel, (long long)kVerticalMax));
}

int VolumeValueAt(int x, int width) {
    const long long travel = std::max(width - kKnobMargin, 1);
    const long long at = std::min(x, kVolumeMax);
    return int(std::min(at * kVolumeMax / travel, (long long)kVolumeMax));
}

// ---- painting -----------------------------------------------------------------

RECT KnobRect(const Fader* rec, const RECT& client) {
    const int at = KnobPosition(rec, client);
    if (IsVolume(rec)) return {at, client.top + 3, at + kKnobLength, client.bottom - 3};
    return {client.left + 5, at, client.right - 4, at + kKnobLength};
}

HBRUSH TrackBrush(FaderKind kind) {
    HBRUSH brush = FaderTrackBrush(kind);
    return brush ? brush : DeskGreyBrush();
}

// A knob picture that did not load is drawn as a plain light block.
void DrawKnob(HDC dc, const RECT& knob, FaderKind kind, bool held) {
    HBITMAP picture = FaderKnobBitmap(kind);
    if (!picture) {
        FillRect(dc, &knob, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        if (held) InvertRect(dc, &knob);
        return;
    }
    CopyDeskPicture(dc, {knob.left, knob.top}, picture, {0, 0}, {knob.right - knob.left, knob.bottom - knob.top},
                    held ? NOTSRCCOPY : SRCCOPY);
}

void Paint(HWND wnd, const Fader* rec) {
    RECT client;
    GetClientRect(wnd, &client);
    HDC dc = GetDC(wnd);
    const FaderKind kind = KindOf(rec);
    FillRect(dc, &client, TrackBrush(kind));
    DrawKnob(dc, KnobRect(rec, client), kind, rec->grabbed != 0);
    ReleaseDC(wnd, dc);
}

void Repaint(HWND wnd) { InvalidateRect(wnd, nullptr, FALSE); }

// ---- values -------------------------------------------------------------------

void ShowValue(HWND wnd, Fader* rec, long long value) {
    const int clamped = int(std::clamp(value, 0LL, (long long)MaxValue(rec)));
    if (clamped == rec->value) return;
    rec->value = clamped;
    if (VC_KNT_ACTIVE) Repaint(wnd);
}

// The core takes the value on when it reads the changed flag; the knob waits
// for its echo.
void HandToCore(int index, int value) {
    unsigned char* data = CoreData();
    if (!data || index < 0 || index >= kCoreFaderCount) return;
    CallEntry(gCore.SetFaderModeManual, index);
    data[kDpFaderValues + index] = static_cast<unsigned char>(std::clamp(value, 0, kVerticalMax));
    data[kDpFaderChanged + index] = 1;
}

// ---- mouse ----------------------------------------------------------------------

int AlongTravel(const Fader* rec, LPARAM lp) {
    return IsVolume(rec) ? Coordinate(LOWORD(lp)) : Coordinate(HIWORD(lp));
}

// A press beside the knob only takes the capture: the value never jumps.
LRESULT OnLButtonDown(HWND wnd, Fader* rec, LPARAM lp) {
    if (DeskLocked(true)) return 1;
    SetCapture(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    const int knob = KnobPosition(rec, client);
    const int at = AlongTravel(rec, lp);
    if (at >= knob && at <= knob + kKnobLength) {
        rec->grabbed = 1;
        Repaint(wnd);
    }
    return 0;
}

// Any other button or modifier key held makes the move no drag.
LRESULT OnMouseMove(HWND wnd, Fader* rec, WPARAM wp, LPARAM lp) {
    if (DeskLocked(false)) return 1;
    if (wp != MK_LBUTTON || !rec->grabbed) return 0;
    RECT client;
    GetClientRect(wnd, &client);
    if (!IsVolume(rec)) {
        HandToCore(rec->index, VerticalValueAt(Coordinate(HIWORD(lp)), client.bottom));
    } else if (!DisableCDPlayer) {
        const int value = VolumeValueAt(Coordinate(LOWORD(lp)), client.right);
        ShowValue(wnd, rec, value);
        SetCdVolume(value);
    }
    return 0;
}

void DropGrab(HWND wnd, Fader* rec) {
    if (!rec->grabbed) return;
    rec->grabbed = 0;
    Repaint(wnd);
}

LRESULT OnLButtonUp(HWND wnd, Fader* rec) {
    const bool locked = DeskLocked(false);
    if (!locked) DropGrab(wnd, rec);
    if (GetCapture() == wnd) ReleaseCapture();
    return locked ? 1 : 0;
}

// However the capture ends (a release behind a locked desk, a box coming up,
// another window taking it), the knob is let go: a grab left behind would
// let a later drag that began elsewhere move this fader.
void OnCaptureChanged(HWND wnd, Fader* rec, HWND newCapture) {
    if (newCapture != wnd) DropGrab(wnd, rec);
}

LRESULT OnMouseWheel(Fader* rec, WPARAM wp) {
    if (IsVolume(rec) || DeskLocked(false)) return 0;
    const int delta = GET_WHEEL_DELTA_WPARAM(wp);
    // A wheel message that turns by nothing is no step either way.
    if (delta == 0) return 0;
    const unsigned char* data = CoreData();
    if (!data || rec->index >= kCoreFaderCount) return 0;
    int step = delta > 0 ? 1 : -1;
    if (GET_KEYSTATE_WPARAM(wp) & MK_MBUTTON) step *= kCoarseWheelStep;
    HandToCore(rec->index, std::clamp(data[kDpFaderValues + rec->index] + step, 0, kVerticalMax));
    return 0;
}

// ---- life -------------------------------------------------------------------------

bool OnCreate(HWND wnd, const CREATESTRUCTA* cs) {
    const int index = int(reinterpret_cast<INT_PTR>(cs->hMenu)) - kFirstFaderId;
    if (index < 0 || index >= kFaderWindowCount) return false;
    auto* rec = new Fader{index, 0, 0};
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(rec));
    return true;
}

void OnDestroy(HWND wnd, Fader* rec) {
    SetWindowLongPtrA(wnd, 0, 0);
    delete rec;
}

LRESULT CALLBACK FaderWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    Fader* rec = RecordOf(wnd);
    if (!rec && msg != WM_CREATE) return DefWindowProcA(wnd, msg, wp, lp);
    switch (msg) {
    case WM_CREATE: return OnCreate(wnd, reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_DESTROY: OnDestroy(wnd, rec); return 0;
    case WM_PAINT:
        Paint(wnd, rec);
        ValidateRect(wnd, nullptr);
        return 0;
    case WM_NCHITTEST: DestroyInfoWindow(); break;
    case WM_LBUTTONDOWN: return OnLButtonDown(wnd, rec, lp);
    case WM_MOUSEMOVE: return OnMouseMove(wnd, rec, wp, lp);
    case WM_LBUTTONUP: return OnLButtonUp(wnd, rec);
    case WM_LBUTTONDBLCLK: return 1;
    case WM_MOUSEWHEEL: return OnMouseWheel(rec, wp);
    case WM_CAPTURECHANGED: OnCaptureChanged(wnd, rec, reinterpret_cast<HWND>(lp)); return 0;
    }
    return DefChildWindowProc(wnd, msg, wp, lp);
}

struct Placement {
    int x, y, width, height;
    bool visible;
};

Placement PlacementOf(int index) {
    if (index < 20) {
        // Two banks of five, with a gap between them.
        const int column = index % 10;
        return {column * 60 + 11 + (column > 4 ? 49 : 0), 576, 48, 109, false};
    }
    static const Placement kSpecial[] = {
        {307, 574, 46, 109, true},  // executor fader
        {960, 90, 46, 109, true},   // grand master
        {661, 90, 46, 109, true},   // preset fader
        {521, 719, 109, 36, true},  // CD volume
    };
    return kSpecial[index - 20];
}

}  // namespace

// ---- interfaces -------------------------------------------------------------------

ATOM RegisterFaderClass(HINSTANCE instance) {
    const ATOM atom = RegisterWindowClass(instance, {"_kntSlider", FaderWndProc, CS_OWNDC | CS_DBLCLKS, kRecordExtra,
                                                     nullptr, DeskDefaultCursor(), DeskGreyBrush()});
    if (atom) gFaderClass = atom;
    return atom;
}

bool CreateFaders(HWND main) {
    bool all = true;
    for (int index = 0; index < kFaderWindowCount; ++index) {
        if (index == kVolumeFader && DisableCDPlayer) continue;
        const Placement at = PlacementOf(index);
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (at.visible ? WS_VISIBLE : 0);
        HWND wnd = CreateWindowExA(0, "_kntSlider", nullptr, style, at.x, at.y, at.width, at.height, main,
                                   reinterpret_cast<HMENU>(INT_PTR(kFirstFaderId + index)), hInst, nullptr);
        if (!wnd) {
            all = false;
            continue;
        }
        ++gDeskChildCount;
    }
    return all;
}

bool FaderShownOnBar(int fader, int bar) {
    if (fader < 0 || fader >= kBarFaderCount) return false;
    if (fader == kExecutorFader) return bar == 5;
    return fader < 10 ? (bar == 1 || bar == 3) : (bar == 2 || bar == 4);
}

// Another child of the main window may carry a fader's id; only a window of
// this class holds a fader record.
HWND FaderWindow(int fader) {
    if (fader < 0 || fader >= kFaderWindowCount || !hMainWnd) return nullptr;
    HWND wnd = GetDlgItem(hMainWnd, kFirstFaderId + fader);
    if (!wnd || !gFaderClass || GetClassLongPtrA(wnd, GCW_ATOM) != gFaderClass) return nullptr;
    return wnd;
}

void SetFaderValue(int fader, long long value) {
    HWND wnd = FaderWindow(fader);
    if (Fader* rec = wnd ? RecordOf(wnd) : nullptr) ShowValue(wnd, rec, value);
}

int FaderValue(int fader) {
    HWND wnd = FaderWindow(fader);
    const Fader* rec = wnd ? RecordOf(wnd) : nullptr;
    return rec ? rec->value : -1;
}
