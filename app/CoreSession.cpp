// Start, end and restart of the core session.
#include "app/CoreSession.h"

#include <windows.h>

#include <cstring>

#include "app/CoreBinding.h"
#include "app/ErrorBox.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "app/StartupTrace.h"
#include "cdplayer/CdDevice.h"
#include "common/DropTarget.h"
#include "common/FaultGuard.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "mainwindow/MainWindow.h"

int gCmdLineLock;
int gShortcutMode;
int gPriorityOption;

namespace {

SessionState gState = SessionState::NotLoaded;
const char kTempIpKey[] = ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs";

void ResetViewState() {
    InterlockedExchange(&maindlg_count, 0);
    InterlockedExchange(&current_touch, 2);
    InterlockedExchange(&current_background, 2);
    InterlockedExchange(&background_mode, 0);
    InterlockedExchange(&current_bar, 3);
}

void ClearJobQueues() {
    memset(char_jq, 0, sizeof char_jq);
    memset(mouse_jq, 0, sizeof mouse_jq);
    mouse_jq_in = mouse_jq_out = char_jq_in = char_jq_out = 0;
}

// Stored values are clamped as unsigned numbers, so a negative one takes the
// upper bound instead of indexing outside the desk's tables.
void ReadStoredBar() {
    int stored = 0xFFFF;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, "bar", &stored, nullptr) == -1) return;
    unsigned bar = unsigned(stored);
    if (bar == 0) bar = 1;
    if (bar > 6) bar = 6;
    InterlockedExchange(&current_bar, LONG(bar));
}

void ReadStoredTouch() {
    int stored = 0xFFFF;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, "touch", &stored, nullptr) == -1) return;
    const unsigned view = unsigned(stored) > 1 ? 2 : unsigned(stored);
    InterlockedExchange(&current_touch, LONG(view));
}

void ApplyHtpRule() {
    if ((current_bar == 1 || current_bar == 2) && !CallEntry(gCore.AnzHTPchannels))
        InterlockedExchange(&current_bar, 3);
    SelectFaderBar(int(current_bar));
    if (current_bar == 5) {
        CallEntry(gCore.VC_SetStatus, 177, 1);
        Sleep(50);
        CallEntry(gCore.VC_SetStatus, 177, 0);
    }
}

void TellCoreCmdLineLock(int on) {
    CallEntry(gCore.VC_OnKeyDown, on ? 1000 : 1001, 0, 0);
    gCmdLineLock = on;
    InvalidateLockIndicators();
}

// The keyboard's Scroll Lock light shows the command line lock. A synthesised
// stroke makes the light agree; the main window's key routing then sets the
// lock back to the stored value and tells the core. Only the toggle bit counts.
void SyncCmdLineLock() {
    int stored = 0;
    LookUpRegKeyInt(HKEY_CURRENT_USER, "cLock", &stored, nullptr);
    stored = stored ? 1 : 0;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const int light = keys[VK_SCROLL] & 1;
    if (light == stored) {
        if (stored) TellCoreCmdLineLock(1);
        return;
    }
    if (GetForegroundWindow() == hMainWnd && SendScrollLockStroke()) {
        gCmdLineLock = !stored;
        return;
    }
    // The stroke would reach another window, or none: set the lock here instead.
    TellCoreCmdLineLock(stored);
}

// Shown without the system erasing each shown window of the desk first
// (under Wine a device context fetched and released and two messages for
// each, 30 ms in all): every window's own paint, which comes next, draws
// all of it. The show that follows does nothing to a shown window but keeps
// what a program's first show does: take the start-up show command its
// starter gave, if any. A window made hidden learns its size and place at
// its first show; shown by SetWindowPos, it is told here.
void ShowDesk(HWND main) {
    const bool wasShown = IsWindowVisible(main) != FALSE;
    SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_DEFERERASE);
    ShowWindow(main, SW_SHOW);
    if (wasShown || !IsWindow(main)) return;
    RECT client;
    GetClientRect(main, &client);
    const WPARAM kind = IsIconic(main) ? SIZE_MINIMIZED : IsZoomed(main) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessageA(main, WM_SIZE, kind, MAKELPARAM(client.right, client.bottom));
    POINT origin = {0, 0};
    ClientToScreen(main, &origin);
    SendMessageA(main, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

bool RunStart() {
    ResetViewState();
    SelectTouchView(2, false);
    ClearJobQueues();
    if (!LoadCoreLibrary(hMainWnd)) return false;
    TraceStartupStep("knt.dll loaded");
    if (!gCore.StartKantrel) {
        // The desk would close again at once with no word of why.
        ShowErrorBox(hMainWnd, "knt.dll provides no StartKantrel! Program cannot be executed!");
        UnloadCoreLibrary();
        return false;
    }
    ReadStoredBar();
    SelectFaderBar(int(current_bar));
    ShowDesk(hMainWnd);
    TraceStartupStep("desk shown");
    UpdateWindow(hMainWnd);
    TraceStartupStep("desk painted");
    ReadStoredTouch();
    VC_REBOOT_KANTREL = 0;
    const int started = CallEntry(gCore.StartKantrel);
    TraceStartupStep("StartKantrel");
    if (!started) {
        // Nothing may call into a core that did not start.
        UnloadCoreLibrary();
        return false;
    }
    RunModalLoop(hMainWnd);
    TraceStartupStep("modal loop");
    EnableDeskScrollBars(true);
    SelectTouchView(int(current_touch), false);
    HideProgress();
    VC_KNT_ACTIVE = 1;
    ApplyHtpRule();
    RefreshCoreLabels();
    RedrawWindow(hMainWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    AcceptDroppedFiles(hMainWnd, true);
    SyncCmdLineLock();
    if (gShortcutMode) CallEntry(gCore.VC_OnKeyDown, gShortcutMode, 0, 0);
    if (gPriorityOption == 1) SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    return true;
}

void EnableDeskWindows(BOOL enable) {
    for (HWND wnd : {hMainWnd, hExt1Wnd, hExt2Wnd})
        if (wnd) EnableWindow(wnd, enable);
}

}  // namespace

bool SendScrollLockStroke() {
    INPUT strokes[2] = {};
    strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
    strokes[0].ki.wVk = strokes[1].ki.wVk = VK_SCROLL;
    strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
    const UINT sent = SendInput(2, strokes, sizeof(INPUT));
    if (sent == 1) SendInput(1, &strokes[1], sizeof(INPUT));
    return sent > 0;
}

SessionState CoreSessionState() { return gState; }

bool StartCoreSession() {
    gState = SessionState::Starting;
    const bool started = RunStart();
    gState = started ? SessionState::Running : SessionState::NotLoaded;
    OnCoreSessionSettled();
    return started;
}

namespace {

bool StartCatchingExceptions(void* faulted) {
    try {
        return StartCoreSession();
    } catch (...) {
        *static_cast<bool*>(faulted) = true;
        return false;
    }
}

}  // namespace

StartOutcome StartCoreSessionGuarded() {
    bool threw = false;
    DWORD fault = 0;
    if (CallWithFaultGuard(StartCatchingExceptions, &threw, &fault)) return StartOutcome::Started;
    if (!fault && !threw) return StartOutcome::Failed;
    AbandonCoreLibrary();
    gState = SessionState::NotLoaded;
    OnCoreSessionSettled();
    return StartOutcome::Faulted;
}

bool EndCoreSession(bool restart, bool saveRequested) {
    gState = SessionState::Ending;
    if (!restart)
        ShowProgress(Tr(saveRequested ? "Kantrel System saving actshow and shutdown ..." : "Kantrel System down ..."));
    const DWORD priority = GetPriorityClass(GetCurrentProcess());
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    AcceptDroppedFiles(hMainWnd, false);
    if (!DisableCDPlayer) CdStopPlayback();
    bool ended = true;
    if (!restart) {
        if (!DisableCDPlayer) CdCloseDevice();
        VC_KNT_ACTIVE = 0;
        EnableDeskWindows(FALSE);
        if (!CallEntry(gCore.EndKantrel)) {
            ShowErrorBox(hMainWnd, "Error unloading Kantrel data!");
            ended = false;
        }
        Sleep(0);
        HideProgress();
    }
    CallEntry(gCore.DeleteLanguageMap);
    const bool freed = UnloadCoreLibrary();
    // The command line's copy of the core's text belongs to the session.
    ForgetCmdlineText();
    SetPriorityClass(GetCurrentProcess(), priority);
    CallEntry(gService.DeleteIPAddresses);
    RegDeleteKeyA(HKEY_USERS, kTempIpKey);
    gState = SessionState::NotLoaded;
    OnCoreSessionSettled();
    return ended && freed;
}
