// The desk's view: the touch view and fader bar switches, and which of the
// desk's windows each bar puts on the desk. A switch shows and hides them in
// one positioning pass with nothing drawn meanwhile, then repaints only what
// changed.
#include "mainwindow/DeskView.h"

#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdPanel.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "input/EncoderWnd.h"
#include "input/FaderWnd.h"

namespace {

constexpr int kDefaultBar = 3;
constexpr int kDefaultView = 2;
constexpr int kExecutorBar = 5;
constexpr int kEncoderBar = 6;
constexpr int kTiManKeyId = 176;
constexpr int kFirstExecutorButton = 61, kLastExecutorButton = 100;
constexpr int kLastFaderKeyId = 60;  // keys 1..60: three rows of twenty over the faders
// The core's page statuses that put it in channel (HTP) or executor mode.
constexpr int kChannelModeStatus = 142, kExecutorModeStatus = 144;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
int ValidBar(int bar) { return InRange(bar, 1, kBarKeyCount) ? bar : kDefaultBar; }
int ValidView(LONG view) { return view >= 0 && view < kScreenKeyCount ? int(view) : kDefaultView; }

// ---- which windows a bar shows ------------------------------------------------

enum class OnBar { Leave, Show, Hide };

OnBar ShownIf(bool shown) { return shown ? OnBar::Show : OnBar::Hide; }

// Keys 1..60 go with the fader of their column, the executor buttons and Tim
// Man with bar 5, the page keys with every bar but the encoder bar; the
// other keys stay as they are.
OnBar KeyOnBar(int keyId, int bar) {
    if (keyId == kPageUpKeyId || keyId == kPageDownKeyId) return ShownIf(bar != kEncoderBar);
    if (InRange(keyId, kFirstExecutorButton, kLastExecutorButton) || keyId == kTiManKeyId)
        return ShownIf(bar == kExecutorBar);
    if (InRange(keyId, 1, kLastFaderKeyId)) return ShownIf(FaderShownOnBar((keyId - 1) % 20, bar));
    return OnBar::Leave;
}

// What one switch decides: the bar the keys, faders and encoders go by, the
// bar the CD panel goes by (the current one), and which families it moves.
struct BarView {
    int bar;
    int cdBar;
    bool keys;
    bool controls;
};

// Faders, encoders and the CD panel are found by control id, whatever class
// sits there, as they always were.
OnBar ControlOnBar(int id, const BarView& view) {
    const int fader = id - kFirstFaderId;
    const int encoder = id - kFirstEncoderId;
    if (view.controls && InRange(fader, 0, kBarFaderCount - 1)) return ShownIf(FaderShownOnBar(fader, view.bar));
    if (view.controls && InRange(encoder, kEncoder1, kEncoder4)) return ShownIf(EncoderShownOnBar(encoder, view.bar));
    if (DisableCDPlayer) return OnBar::Leave;
    if (fader == kVolumeFader || InRange(id - kFirstCdPanelId, 0, kCdPanelWindowCount - 1))
        return ShownIf(CdPanelShownOnBar(view.cdBar));
    return OnBar::Leave;
}

OnBar WindowOnBar(HWND wnd, const BarView& view) {
    if (const int keyId = KeyIdOfWindow(wnd)) return view.keys ? KeyOnBar(keyId, view.bar) : OnBar::Leave;
    return ControlOnBar(GetDlgCtrlID(wnd), view);
}

// ---- the desk's children ---------------------------------------------------------
// Listed once and kept: under Wine every lookup by control id, and every step
// of a walk over the children, is a round trip to the window server, and a
// switch asked over two hundred of them. A window made later goes last among
// its siblings, so the list is taken again when the last child is another,
// or when a listed window is gone or no longer the desk's.

struct DeskChildList {
    HWND main = nullptr;
    HWND last = nullptr;
    std::vector<HWND> windows;
};
DeskChildList gChildren;

bool StillListed(HWND last) {
    if (gChildren.main != hMainWnd || gChildren.last != last) return false;
    for (HWND wnd : gChildren.windows)
        if (!IsWindow(wnd) || GetParent(wnd) != hMainWnd) return false;
    return true;
}

const std::vector<HWND>& DeskChildWindows() {
    HWND first = hMainWnd ? GetWindow(hMainWnd, GW_CHILD) : nullptr;
    HWND last = first ? GetWindow(first, GW_HWNDLAST) : nullptr;
    if (!StillListed(last)) {
        gChildren = {hMainWnd, last, {}};
        for (HWND wnd = first; wnd; wnd = GetWindow(wnd, GW_HWNDNEXT)) gChildren.windows.push_back(wnd);
    }
    return gChildren.windows;
}

// The screen or bar key of keyId drawn selected and the other keys of its
// group not; false, changing nothing, when that key has no window.
bool SelectGroupKey(int firstKeyId, int count, int keyId) {
    if (!KeyWindowOfId(keyId)) return false;
    for (int id = firstKeyId; id < firstKeyId + count; ++id)
        if (HWND key = KeyWindowOfId(id)) SetKeySelected(key, id == keyId);
    return true;
}

// ---- the switch ---------------------------------------------------------------

struct Change {
    HWND wnd;
    bool shown;
};

std::vector<Change> ChangesFor(const BarView& view) {
    std::vector<Change> changes;
    for (HWND wnd : DeskChildWindows()) {
        const OnBar wanted = WindowOnBar(wnd, view);
        if (wanted == OnBar::Leave) continue;
        const bool shown = wanted == OnBar::Show;
        if (shown != ((GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) != 0)) changes.push_back({wnd, shown});
    }
    return changes;
}

constexpr UINT kQuietPlacement =
    SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW;

UINT PlacementOf(const Change& change) { return kQuietPlacement | (change.shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW); }

// Each window shown or hidden on its own made the window system repaint
// around it; in one deferred pass with redrawing left out, the desk is
// repainted once, and only where a window came or went. Redrawing is left
// out window by window rather than turned off for the whole desk
// (WM_SETREDRAW), which would drop every paint still owed to the windows the
// switch does not touch.
void ApplyChanges(const std::vector<Change>& changes) {
    HDWP batch = BeginDeferWindowPos(int(changes.size()));
    for (const Change& change : changes)
        if (batch) batch = DeferWindowPos(batch, change.wnd, nullptr, 0, 0, 0, 0, PlacementOf(change));
    if (batch && EndDeferWindowPos(batch)) return;
    // A failed batch is dropped whole: place the windows one by one instead.
    for (const Change& change : changes) SetWindowPos(change.wnd, nullptr, 0, 0, 0, 0, PlacementOf(change));
}

// The desk's area each change uncovers or covers, in its client coordinates.
HRGN ChangedArea(const std::vector<Change>& changes) {
    HRGN area = CreateRectRgn(0, 0, 0, 0);
    HRGN piece = CreateRectRgn(0, 0, 0, 0);
    for (const Change& change : changes) {
        RECT at;
        if (!GetWindowRect(change.wnd, &at)) continue;
        MapWindowPoints(nullptr, hMainWnd, reinterpret_cast<POINT*>(&at), 2);
        SetRectRgn(piece, at.left, at.top, at.right, at.bottom);
        CombineRgn(area, area, piece, RGN_OR);
    }
    DeleteObject(piece);
    return area;
}

// An operator's switch on a shown desk repaints only what changed. Otherwise
// (a hidden desk, a session starting or ending) the desk picture is
// repainted whole, as the session's start expects.
bool OperatorSwitch() {
    return CoreSessionState() == SessionState::Running && IsWindowVisible(hMainWnd);
}

// wholePicture: the desk picture itself changed (to or from the encoder bar).
void ShowView(const BarView& view, bool wholePicture) {
    if (!hMainWnd) return;
    const std::vector<Change> changes = ChangesFor(view);
    ApplyChanges(changes);
    if (wholePicture || !OperatorSwitch()) RedrawWindow(hMainWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
    if (changes.empty()) return;
    HRGN area = ChangedArea(changes);
    RedrawWindow(hMainWnd, nullptr, area, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    DeleteObject(area);
}

void PulseStatus(int status) {
    CallEntry(gCore.VC_SetStatus, status, 1);
    Sleep(50);
    CallEntry(gCore.VC_SetStatus, status, 0);
}

// Bars 1 and 2 want the core in channel mode, bars 3 and 4 in executor mode.
int PulseCoreModeFor(int bar) {
    if (!VC_KNT_ACTIVE) return 0;
    if ((bar == 1 || bar == 2) && !CallEntry(gCore.IsHtpActiv)) {
        PulseStatus(kChannelModeStatus);
        return 1;
    }
    if ((bar == 3 || bar == 4) && CallEntry(gCore.IsHtpActiv)) {
        PulseStatus(kExecutorModeStatus);
        return 1;
    }
    return 0;
}

}  // namespace

void SelectTouchView(int view, bool forced) {
    view = ValidView(view);
    if (VC_KNT_ACTIVE && !CallEntry(gCore.CanSwitchTouch)) return;
    SelectGroupKey(kScreenKeyId, kScreenKeyCount, kScreenKeyId + view);
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

int SelectFaderBar(int bar) {
    bar = ValidBar(bar);
    const bool keyMade = SelectGroupKey(kBarKeyId, kBarKeyCount, kBarKeyId + bar - 1);
    int pulsed = 0;
    bool wholePicture = false;
    if (keyMade) {
        pulsed = PulseCoreModeFor(bar);
        wholePicture = bar == kEncoderBar || current_bar == kEncoderBar;
        InterlockedExchange(&current_bar, bar);
    }
    // The encoder bar's picture frames the CD panel, which may have come or gone.
    wholePicture |= !DisableCDPlayer && current_bar == kEncoderBar;
    ShowView({bar, int(current_bar), keyMade, true}, wholePicture);
    // The core presents the touch view again for the new bar.
    if (keyMade && hTouchWnd) InvalidateRect(hTouchWnd, nullptr, FALSE);
    return pulsed;
}

void ShowCdPanelForCurrentBar() {
    if (DisableCDPlayer) return;
    const int bar = int(current_bar);
    ShowView({bar, bar, false, false}, bar == kEncoderBar);
}
