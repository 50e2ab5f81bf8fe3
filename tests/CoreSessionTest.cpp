// The core session in this process: what a start reads and tells the core,
// the full end and the restart form, against the stand-in core's journal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/Harness.h"

namespace {

const char kTempIpKey[] = ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs";
const std::vector<std::string> kPlainStart = {"StartKantrel", "GetZeroDot", "GetHighliteSolo"};
// A restart runs with the core active, so its touch-view selection asks first.
const std::vector<std::string> kRestartStart = {"StartKantrel", "CanSwitchTouch", "GetZeroDot", "GetHighliteSolo"};

bool ScrollLockLit() { return (GetKeyState(VK_SCROLL) & 1) != 0; }

void PressScrollLock() {
    INPUT strokes[2] = {};
    strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
    strokes[0].ki.wVk = strokes[1].ki.wVk = VK_SCROLL;
    strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, strokes, sizeof(INPUT));
    harness::PumpUntilIdle();
}

// The core calls with the texts the host had translated on the way, in order.
std::vector<std::string> CallsAndTexts() {
    const std::vector<std::string> calls = harness::CoreCalls();
    std::vector<std::string> out;
    size_t next = 0;
    for (const std::string& line : harness::JournalLines()) {
        if (next < calls.size() && line == calls[next]) {
            out.push_back(line);
            ++next;
        } else if (line.rfind("exp$ ", 0) == 0) {
            out.push_back(line);
        }
    }
    return out;
}

bool TempIpKeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_USERS, kTempIpKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CreateTempIpKey() {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_USERS, kTempIpKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    RegCloseKey(key);
}

class CoreSessionTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        knt_windows_title = "Kantrel Ovrin";
        DisableCDPlayer = 0;
        VC_KNT_ACTIVE = 0;
        gCmdLineLock = gShortcutMode = gPriorityOption = 0;
        scrollLockWasLit_ = ScrollLockLit();
        GetKeyboardState(keysBefore_);
        RegisterAllClasses(GetModuleHandleA(nullptr));
        main_ = CreateMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, main_);
        ASSERT_TRUE(LoadConsoleLibraries(main_));
    }
    void TearDown() override {
        {
            harness::MessageBoxCapture boxes;
            if (IsCoreLoaded()) EndCoreSession(false, false);
        }
        if (hProgress) DestroyWindow(hProgress);
        hProgress = nullptr;
        if (ScrollLockLit() != scrollLockWasLit_) PressScrollLock();
        DestroyWindow(main_);
        hMainWnd = nullptr;
        ReleaseConsoleLibraries();
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        VC_KNT_ACTIVE = 0;
        gCmdLineLock = gShortcutMode = gPriorityOption = 0;
        HostTest::TearDown();
    }

    // Starts a session with the journal cleared first; the journal then holds
    // only what the start did.
    void Start() {
        harness::ClearJournal();
        ASSERT_TRUE(StartCoreSession());
    }
    void SetStored(const char* name, int value) { SetInt(name, DWORD(value)); }
    void ForgetStored(const char* name) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey().c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    // Sets only this thread's view of Scroll Lock, as GetKeyboardState reads it.
    void SetScrollLockByte(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SCROLL] = state;
        SetKeyboardState(keys);
    }
    void EnsureScrollLockOff() {
        if (ScrollLockLit()) PressScrollLock();
        ASSERT_FALSE(ScrollLockLit());
        harness::ClearJournal();
    }
    void RestoreKeyboardState() { SetKeyboardState(keysBefore_); }

    HWND main_ = nullptr;
    bool scrollLockWasLit_ = false;
    BYTE keysBefore_[256] = {};
};

// A window that the test makes the foreground window while the core's modal
// phase runs, i.e. after the desk was shown and before the lock is synced.
LRESULT CALLBACK StealForeground(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        SetForegroundWindow(wnd);
        SetModalPhase(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND MakeForegroundThief() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StealForeground;
    wc.lpszClassName = "CoreSessionTestThief";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA(wc.lpszClassName, "thief", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
    PostMessageA(wnd, WM_APP, 0, 0);
    SetModalPhase(1);
    return wnd;
}

HMODULE WINAPI LoadAllButTheCore(LPCSTR file) {
    if (lstrcmpiA(file, "knt.dll") != 0) return LoadLibraryA(file);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// A library by the core's name that exports none of the core's entry points.
HMODULE WINAPI LoadACoreWithoutStart(LPCSTR file) {
    return LoadLibraryA(lstrcmpiA(file, "knt.dll") == 0 ? "kntVX.dll" : file);
}

}  // namespace

TEST_F(CoreSessionTest, StoredBarIsClampedAsUnsigned) {
    struct Case { bool stored; int value; LONG bar; };
    const Case cases[] = {{false, 0, 3}, {true, 0, 1}, {true, 4, 4}, {true, 6, 6},
                          {true, 9, 6},  {true, -1, 6}, {true, 0xFFFF, 6}};
    for (const Case& c : cases) {
        if (c.stored) SetStored("bar", c.value);
        else ForgetStored("bar");
        Start();
        EXPECT_EQ(c.bar, current_bar) << "stored " << c.stored << " value " << c.value;
        std::vector<std::string> calls = {"StartKantrel"};
        if (c.bar == 1) calls.push_back("AnzHTPchannels");
        calls.insert(calls.end(), {"GetZeroDot", "GetHighliteSolo"});
        EXPECT_TRUE(harness::SameSequence(calls, harness::CoreCalls())) << "value " << c.value;
        ASSERT_TRUE(EndCoreSession(false, false));
    }
}

TEST_F(CoreSessionTest, StoredTouchViewIsClampedAsUnsigned) {
    struct Case { bool stored; int value; LONG view; };
    const Case cases[] = {{false, 0, 2}, {true, 0, 0}, {true, 1, 1}, {true, 2, 2}, {true, 5, 2}, {true, -1, 2}};
    for (const Case& c : cases) {
        if (c.stored) SetStored("touch", c.value);
        else ForgetStored("touch");
        Start();
        EXPECT_EQ(c.view, current_touch) << "value " << c.value;
        EXPECT_EQ(c.view, current_background) << "value " << c.value;
        EXPECT_TRUE(harness::SameSequence(kPlainStart, harness::CoreCalls())) << "value " << c.value;
        ASSERT_TRUE(EndCoreSession(false, false));
    }
}

TEST_F(CoreSessionTest, HtpBarsNeedHtpChannels) {
    struct Case { int bar; INT_PTR channels; LONG started; };
    const Case cases[] = {{1, 0, 3}, {2, 0, 3}, {1, 24, 1}, {2, 1, 2}};
    for (const Case& c : cases) {
        SetStored("bar", c.bar);
        StandinSetResult("AnzHTPchannels", c.channels);
        Start();
        EXPECT_EQ(c.started, current_bar) << "bar " << c.bar << " channels " << c.channels;
        EXPECT_TRUE(harness::SameSequence({"StartKantrel", "AnzHTPchannels", "GetZeroDot", "GetHighliteSolo"},
                                          harness::CoreCalls()));
        ASSERT_TRUE(EndCoreSession(false, false));
    }
}

TEST_F(CoreSessionTest, BarFivePulsesItsStatusKey) {
    SetStored("bar", 5);
    Start();
    EXPECT_EQ(5, current_bar);
    EXPECT_TRUE(harness::SameSequence({"StartKantrel", "VC_SetStatus 177 1", "VC_SetStatus 177 0", "GetZeroDot", "GetHighliteSolo"},
                                      harness::CoreCalls()));
}

TEST_F(CoreSessionTest, StartResetsViewStateAndJobQueues) {
    InterlockedExchange(&maindlg_count, 7);
    InterlockedExchange(&background_mode, 1);
    char_jq[0] = char_jq[kCharJqSize - 1] = mouse_jq[kMouseJqSize - 1] = 9;
    char_jq_in = char_jq_out = mouse_jq_in = mouse_jq_out = 5;
    VC_REBOOT_KANTREL = 1;
    Start();
    EXPECT_EQ(0, maindlg_count);
    EXPECT_EQ(0, background_mode);
    EXPECT_EQ(0, char_jq[0] | char_jq[kCharJqSize - 1] | mouse_jq[kMouseJqSize - 1]);
    EXPECT_EQ(0, char_jq_in | char_jq_out | mouse_jq_in | mouse_jq_out);
    EXPECT_EQ(0, VC_REBOOT_KANTREL);
    EXPECT_EQ(1, VC_KNT_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(harness::SameSequence(kPlainStart, harness::CoreCalls()));
}

TEST_F(CoreSessionTest, ShortcutModeIsHandedToTheCore) {
    gShortcutMode = 1;
    Start();
    EXPECT_TRUE(harness::SameSequence({"StartKantrel", "GetZeroDot", "GetHighliteSolo", "VC_OnKeyDown 1 0 0"}, harness::CoreCalls()));
}

TEST_F(CoreSessionTest, StoredLockWithLightOnTellsTheCoreDirectly) {
    SetStored("cLock", 1);
    SetScrollLockByte(0x01);
    Start();
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_TRUE(harness::SameSequence({"StartKantrel", "GetZeroDot", "GetHighliteSolo", "VC_OnKeyDown 1000 0 0"},
                                      harness::CoreCalls()));
    RestoreKeyboardState();
}

// The pressed bit (0x80) of the keyboard state is not the light.
TEST_F(CoreSessionTest, HeldScrollLockIsNotTheLight) {
    struct Case { int stored; BYTE state; std::vector<std::string> calls; int lock; };
    const Case cases[] = {{0, 0x80, kPlainStart, 0},
                          {1, 0x81, {"StartKantrel", "GetZeroDot", "GetHighliteSolo", "VC_OnKeyDown 1000 0 0"}, 1}};
    for (const Case& c : cases) {
        SetStored("cLock", c.stored);
        SetScrollLockByte(c.state);
        gCmdLineLock = 0;
        Start();
        EXPECT_EQ(c.lock, gCmdLineLock) << "state " << int(c.state);
        EXPECT_TRUE(harness::SameSequence(c.calls, harness::CoreCalls())) << "state " << int(c.state);
        RestoreKeyboardState();
        ASSERT_TRUE(EndCoreSession(false, false));
    }
}

TEST_F(CoreSessionTest, StoredLockWithLightOffIsSyncedByOneStroke) {
    SetStored("cLock", 1);
    EnsureScrollLockOff();
    Start();
    ASSERT_EQ(main_, GetForegroundWindow());
    EXPECT_EQ(0, gCmdLineLock) << "the stroke, not the start, sets the lock";
    EXPECT_TRUE(harness::SameSequence(kPlainStart, harness::CoreCalls()));
    harness::ClearJournal();
    harness::PumpUntilIdle();
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_TRUE(ScrollLockLit());
    EXPECT_TRUE(harness::SameSequence({"VC_OnKeyDown 1000 0 0"}, harness::CoreCalls()));
}

TEST_F(CoreSessionTest, StoredLockWithoutTheForegroundIsSetDirectly) {
    struct Case { int stored; bool lit; const char* call; };
    const Case cases[] = {{1, false, "VC_OnKeyDown 1000 0 0"}, {0, true, "VC_OnKeyDown 1001 0 0"}};
    for (const Case& c : cases) {
        SetStored("cLock", c.stored);
        gCmdLineLock = !c.stored;
        if (c.lit) SetScrollLockByte(0x01);
        else SetScrollLockByte(0x00);
        HWND thief = MakeForegroundThief();
        Start();
        ASSERT_EQ(thief, GetForegroundWindow());
        EXPECT_EQ(c.stored, gCmdLineLock);
        harness::PumpUntilIdle();
        EXPECT_EQ(c.lit, ScrollLockLit()) << "no stroke may go to another window";
        EXPECT_TRUE(harness::SameSequence({"StartKantrel", "GetZeroDot", "GetHighliteSolo", c.call}, harness::CoreCalls()));
        DestroyWindow(thief);
        RestoreKeyboardState();
        ASSERT_TRUE(EndCoreSession(false, false));
    }
}

TEST_F(CoreSessionTest, PriorityIsHighWhileRunningAndRealtimeWhileEnding) {
    struct Case { int option; DWORD running; };
    const Case cases[] = {{0, NORMAL_PRIORITY_CLASS}, {1, HIGH_PRIORITY_CLASS}};
    for (const Case& c : cases) {
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        StandinClearResults();
        gPriorityOption = c.option;
        Start();
        EXPECT_EQ(c.running, GetPriorityClass(GetCurrentProcess())) << "option " << c.option;
        harness::ClearJournal();
        ASSERT_TRUE(EndCoreSession(false, false));
        EXPECT_EQ(INT_PTR(REALTIME_PRIORITY_CLASS), StandinGetResult("DeleteLanguageMap.priority", 0));
        EXPECT_EQ(c.running, GetPriorityClass(GetCurrentProcess())) << "option " << c.option;
        EXPECT_TRUE(harness::SameSequence({"EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"},
                                          harness::CoreCalls()));
    }
}

TEST_F(CoreSessionTest, FullEndShowsItsTextAndTearsDownInOrder) {
    struct Case { bool save; const char* text; };
    const Case cases[] = {{false, "exp$ \"Kantrel System down ...\""},
                          {true, "exp$ \"Kantrel System saving actshow and shutdown ...\""}};
    for (const Case& c : cases) {
        Start();
        CreateTempIpKey();
        StandinAddIPAddress(0x0A000001);
        StandinClearResults();
        hProgress = CreateWindowA("STATIC", "progress", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        HWND progress = hProgress;
        harness::ClearJournal();
        EXPECT_TRUE(EndCoreSession(false, c.save));
        EXPECT_TRUE(harness::SameSequence({c.text, "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"},
                                          CallsAndTexts()));
        EXPECT_EQ(0, StandinGetResult("EndKantrel.active", -1)) << "the core ends with the session inactive";
        EXPECT_EQ(0, StandinGetResult("EndKantrel.mainEnabled", -1)) << "and the desk disabled";
        EXPECT_EQ(nullptr, hProgress);
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_EQ(0, VC_KNT_ACTIVE);
        EXPECT_FALSE(IsWindowEnabled(main_));
        EXPECT_TRUE(CoreGroupIsClear());
        EXPECT_FALSE(IsCoreLoaded());
        EXPECT_EQ(0, StandinIPAddressCount());
        EXPECT_FALSE(TempIpKeyExists());
        EnableWindow(main_, TRUE);
    }
}

TEST_F(CoreSessionTest, FailedCoreEndIsReportedAndStillUnloads) {
    Start();
    StandinSetResult("EndKantrel", 0);
    harness::ClearJournal();
    harness::MessageBoxCapture boxes;
    EXPECT_FALSE(EndCoreSession(false, false));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Error unloading Kantrel data!", boxes.Boxes()[0].text);
    EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
    EXPECT_EQ(main_, boxes.Boxes()[0].owner);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    EXPECT_TRUE(harness::SameSequence({"exp$ \"Kantrel System down ...\"", "EndKantrel",
                                       "exp$ \"Error unloading Kantrel data!\"", "DeleteLanguageMap",
                                       "DeleteIPAddresses"},
                                      CallsAndTexts()));
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_FALSE(IsCoreLoaded());
    EXPECT_EQ(0, VC_KNT_ACTIVE);
}

TEST_F(CoreSessionTest, MissingKntLibraryFailsTheStart) {
    SetLibraryLoader(LoadAllButTheCore);
    harness::MessageBoxCapture boxes;
    harness::ClearJournal();
    EXPECT_FALSE(StartCoreSession());
    SetLibraryLoader(nullptr);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Error loading knt.dll! (errno.: 126) Program cannot be executed!", boxes.Boxes()[0].text);
    EXPECT_EQ(main_, boxes.Boxes()[0].owner);
    EXPECT_EQ(0, VC_KNT_ACTIVE);
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_TRUE(harness::SameSequence({}, harness::CoreCalls()));
}

TEST_F(CoreSessionTest, RestartFormKeepsTheCoreDataAndTheDesk) {
    SetStored("bar", 4);
    SetStored("touch", 1);
    Start();
    ASSERT_EQ(4, current_bar);
    CreateTempIpKey();
    StandinClearResults();
    harness::ClearJournal();
    EXPECT_TRUE(EndCoreSession(true, false));
    EXPECT_TRUE(harness::SameSequence({"DeleteLanguageMap", "DeleteIPAddresses"}, CallsAndTexts()));
    EXPECT_EQ(-1, StandinGetResult("EndKantrel.active", -1));
    EXPECT_EQ(INT_PTR(REALTIME_PRIORITY_CLASS), StandinGetResult("DeleteLanguageMap.priority", 0));
    EXPECT_EQ(1, VC_KNT_ACTIVE);
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_FALSE(TempIpKeyExists());

    // The restarted session takes what the last save stored.
    SetStored("bar", 9);
    SetStored("touch", 0);
    Start();
    EXPECT_EQ(6, current_bar);
    EXPECT_EQ(0, current_touch);
    EXPECT_EQ(1, VC_KNT_ACTIVE);
    EXPECT_TRUE(harness::SameSequence(kRestartStart, harness::CoreCalls()));
}

TEST_F(CoreSessionTest, CoreWithoutStartKantrelFailsTheStartAndSaysWhy) {
    SetLibraryLoader(LoadACoreWithoutStart);
    harness::MessageBoxCapture boxes;
    harness::ClearJournal();
    EXPECT_FALSE(StartCoreSession());
    SetLibraryLoader(nullptr);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("knt.dll provides no StartKantrel! Program cannot be executed!", boxes.Boxes()[0].text);
    EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
    EXPECT_EQ(main_, boxes.Boxes()[0].owner);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    EXPECT_EQ(0, VC_KNT_ACTIVE);
    EXPECT_FALSE(IsCoreLoaded());
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_EQ(SessionState::NotLoaded, CoreSessionState());
}
