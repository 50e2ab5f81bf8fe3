// The shortcut dispatcher behind the real desk window: keys sent to the main
// window in shortcut mode with the modifiers set in this thread's keyboard
// state, the programmed shortcuts loaded from a real psc.cfg, and what the
// core hears, what the counters and the desk view do and what the keys show.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "input/CoreCounters.h"
#include "input/HostShortcuts.h"
#include "input/KeyboardDispatch.h"
#include "input/ShortcutFile.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::SameSequence;

using harness::Status;

namespace {

constexpr int32_t kShift = 0x10000000;
constexpr int32_t kAlt = 0x20000000;
constexpr int32_t kCtrl = 0x40000000;

std::string Invoke(int vk, int flags, int pressed) {
    return "InvokeShortcut " + std::to_string(vk) + " " + std::to_string(flags) + " " + std::to_string(pressed);
}

// The core calls of a gesture, without the desk-lock test that the main
// window's key routing asks before every key.
std::vector<std::string> DispatchCalls() {
    std::vector<std::string> calls;
    for (const std::string& line : harness::CoreCalls())
        if (line != "IsDesklocked") calls.push_back(line);
    return calls;
}

bool HasFlip() {
    for (const std::string& line : harness::JournalLines())
        if (line.rfind("Flip ", 0) == 0) return true;
    return false;
}

void PutInt32(std::string* bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes->push_back(char(uint32_t(value) >> (8 * i)));
}

class KeyboardDispatchTest : public harness::DeskTest {
protected:
    void SetUp() override {
        std::memset(ledHWnd, 0, sizeof ledHWnd);
        ResetKeyLabels();
        DeskTest::SetUp();
        ASSERT_TRUE(CreateDeskKeys(main_));
        path_ = SharedDir() + "\\ide0\\psc.cfg";
    }
    void TearDown() override {
        Hold({});
        ReleaseShortcutList();
        DeskTest::TearDown();
        ClearKeyIndexMap();
        ResetKeyLabels();
    }

    // psc.cfg with these entries, the two flags stored, and the settings loaded.
    void Program(const ShortcutList& entries, int active = 1, int only = 0) {
        ASSERT_TRUE(WriteShortcutFile(path_.c_str(), entries));
        SetInt("pscActive", DWORD(active));
        SetInt("pscOnly", DWORD(only));
        LoadShortcutSettings();
        ASSERT_EQ(entries.size(), ProgrammedShortcuts()->size());
    }
    // A session on the stand-in core with shortcut mode on and nothing journaled.
    void Start() {
        StartSession();
        gShortcutMode = 1;
        StandinClearCoreData();
        harness::ClearJournal();
    }
    // Exactly these keys down in this thread's keyboard state; caps toggles Caps Lock on.
    void Hold(const std::vector<int>& keys, bool caps = false) {
        BYTE state[256] = {};
        for (int vk : keys) state[vk] = 0x80;
        if (caps) state[VK_CAPITAL] = 0x01;
        SetKeyboardState(state);
        alt_ = (state[VK_MENU] & 0x80) != 0;
    }
    // Alt turns key messages into their system variants, as the keyboard does.
    void KeyDown(int vk, bool repeat = false) {
        SendMessageA(main_, alt_ ? WM_SYSKEYDOWN : WM_KEYDOWN, WPARAM(vk), repeat ? 0x40000001 : 1);
    }
    void KeyUp(int vk) { SendMessageA(main_, alt_ ? WM_SYSKEYUP : WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u)); }
    void Stroke(int vk) {
        KeyDown(vk);
        KeyUp(vk);
        harness::PumpUntilIdle();
    }
    // The core calls of one stroke.
    std::vector<std::string> CallsOfStroke(int vk) {
        harness::ClearJournal();
        Stroke(vk);
        return DispatchCalls();
    }
    void WriteRaw(const std::string& bytes) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::string path_;
    bool alt_ = false;
};

// ---- routing through the main window

TEST_F(KeyboardDispatchTest, ModifiersSetInTheKeyboardStateReachTheDispatcher) {
    Program({});
    Start();
    Hold({VK_SHIFT});
    EXPECT_TRUE(SameSequence({Invoke('X', 0x10, 1), Invoke('X', 0x10, 0)}, CallsOfStroke('X')));
    Hold({VK_CONTROL});
    EXPECT_TRUE(SameSequence({Invoke('X', 0x0C, 1), Invoke('X', 0x0C, 0)}, CallsOfStroke('X')));
    Hold({VK_MENU});
    EXPECT_TRUE(SameSequence({Invoke('X', 0x01, 1), Invoke('X', 0x01, 0)}, CallsOfStroke('X')));
    Hold({});
    EXPECT_TRUE(SameSequence({Invoke('X', 0, 1), Invoke('X', 0, 0)}, CallsOfStroke('X')));
}

TEST_F(KeyboardDispatchTest, ProgrammedEntryRunsInsteadOfTheHostDefaultForTheSameKey) {
    Program({{kCtrl + VK_F1, 150}});
    Start();
    const LONG touch = current_touch, background = current_background;
    Hold({VK_CONTROL});
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CallsOfStroke(VK_F1)));
    EXPECT_EQ(touch, current_touch);
    EXPECT_EQ(background, current_background);
    EXPECT_FALSE(HasFlip());

    // Ctrl+F2 has no entry: the default selects touch view 1.
    EXPECT_TRUE(SameSequence({"CanSwitchTouch"}, CallsOfStroke(VK_F2)));
    EXPECT_EQ(1, current_background);
    EXPECT_TRUE(HasFlip());

    // With programmed shortcuts off the same Ctrl+F1 is the default again.
    SetProgrammedShortcutFlags(0, 0);
    EXPECT_TRUE(SameSequence({"CanSwitchTouch"}, CallsOfStroke(VK_F1)));
    EXPECT_EQ(0, current_background);
}

TEST_F(KeyboardDispatchTest, ProgrammedOnlyDropsEveryUnmappedKeyIncludingInsert) {
    Program({{kShift + 'A', 150}}, 1, 1);
    Start();
    const LONG bar = current_bar, touch = current_touch, background = current_background;
    const struct {
        std::initializer_list<int> held;
        int vk;
    } dropped[] = {{{}, 'B'}, {{}, VK_INSERT}, {{}, VK_PRIOR}, {{VK_CONTROL}, VK_F1}, {{VK_MENU}, VK_F5},
                   {{VK_MENU}, VK_LEFT}, {{VK_SHIFT}, 'B'}, {{}, 'A'}};
    for (const auto& key : dropped) {
        Hold(key.held);
        EXPECT_TRUE(SameSequence({}, CallsOfStroke(key.vk))) << key.vk;
    }
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_EQ(bar, current_bar);
    EXPECT_EQ(touch, current_touch);
    EXPECT_EQ(background, current_background);
    Hold({VK_SHIFT});
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CallsOfStroke('A')));

    // Keeping the defaults: unmapped keys fall through to the default table.
    SetProgrammedShortcutFlags(1, 0);
    Hold({});
    EXPECT_TRUE(SameSequence({Invoke('B', 0, 1), Invoke('B', 0, 0)}, CallsOfStroke('B')));
    harness::ClearJournal();
    KeyDown(VK_INSERT);
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_TRUE(SameSequence({}, DispatchCalls()));
}

TEST_F(KeyboardDispatchTest, ProgrammedInsertKeepsShortcutModeOn) {
    Program({{VK_INSERT, 150}});
    Start();
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CallsOfStroke(VK_INSERT)));
    EXPECT_EQ(1, gShortcutMode);
}

TEST_F(KeyboardDispatchTest, InsertWithoutAnEntrySwitchesShortcutModeOffOnPressOnly) {
    Program({});
    Start();
    harness::ClearJournal();
    KeyDown(VK_INSERT);
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_TRUE(SameSequence({}, DispatchCalls()));
    // Directly: a release never toggles.
    gShortcutMode = 1;
    DispatchShortcut(VK_INSERT, 0);
    EXPECT_EQ(1, gShortcutMode);
}

TEST_F(KeyboardDispatchTest, NothingIsDispatchedWithShortcutModeOffOrWithoutTheList) {
    Program({{'Q', 150}});
    Start();
    gShortcutMode = 0;
    DispatchShortcut('Q', 1);
    DispatchShortcut('X', 1);
    gShortcutMode = 1;
    ReleaseShortcutList();
    EXPECT_EQ(nullptr, ProgrammedShortcuts());
    DispatchShortcut('Q', 1);
    DispatchShortcut('X', 1);
    DispatchShortcut(VK_INSERT, 1);
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_TRUE(SameSequence({}, DispatchCalls()));
    EXPECT_STREQ("", ShortcutLabel(150));
    EXPECT_EQ(0, DefaultShortcutTaken('Q'));
}

// ---- programmed commands

TEST_F(KeyboardDispatchTest, ProgrammedViewBarPageAndKeyCommands) {
    Program({{'V', 248}, {'W', 254}, {'P', 256}, {'N', 257}, {'K', 193}});
    Start();
    ASSERT_EQ(3, current_bar);
    ASSERT_EQ(2, current_touch);
    EXPECT_TRUE(SameSequence({"CanSwitchTouch"}, CallsOfStroke('V')));
    EXPECT_EQ(1, current_background);
    // Bar 3's page keys.
    EXPECT_TRUE(SameSequence({Status(144, 1), Status(144, 0)}, CallsOfStroke('P')));
    EXPECT_TRUE(SameSequence({Status(145, 1), Status(145, 0)}, CallsOfStroke('N')));
    // Bar 5 ("Ex Btn") and its fader-mode pulse on press and release.
    EXPECT_TRUE(SameSequence({Status(177, 1), Status(177, 0)}, CallsOfStroke('W')));
    EXPECT_EQ(5, current_bar);
    EXPECT_TRUE(SameSequence({Status(177, 1), Status(177, 0)}, CallsOfStroke('W')));
    EXPECT_EQ(5, current_bar);
    EXPECT_TRUE(SameSequence({Status(146, 1), Status(146, 0)}, CallsOfStroke('P')));
    EXPECT_TRUE(SameSequence({Status(193, 1), Status(193, 0)}, CallsOfStroke('K')));
}

TEST_F(KeyboardDispatchTest, EncoderCommandsMoveTheirCountersOnPressAndRelease) {
    ShortcutList list;
    for (int i = 0; i < 20; ++i) list[int32_t('A' + i)] = 258 + i;
    Program(list);
    Start();
    const int counters[4] = {kDpEncoder1, kDpEncoder2, kDpEncoder3, kDpEncoder4};
    for (int i = 0; i < 20; ++i) {
        const int command = 258 + i;
        int encoder = i / 3, delta = 0;
        std::vector<std::string> expected;
        if (command < 270) {
            const int op = i % 3;
            delta = op == 0 ? 2 : op == 1 ? -2 : 0;
            if (op == 2) expected = {Status(104 + encoder, 1), Status(104 + encoder, 0)};
        } else {
            encoder = (command - 270) % 4;
            delta = command < 274 ? -30 : 30;
        }
        int16_t before[4];
        for (int e = 0; e < 4; ++e) before[e] = CoreCounter(counters[e]);
        EXPECT_TRUE(SameSequence(expected, CallsOfStroke('A' + i))) << command;
        for (int e = 0; e < 4; ++e)
            EXPECT_EQ(int16_t(before[e] + (e == encoder ? delta : 0)), CoreCounter(counters[e])) << command << " " << e;
    }
}

TEST_F(KeyboardDispatchTest, EncoderCounterWrapsAtSixteenBits) {
    Program({{'U', 258}, {'L', 270}});
    Start();
    AddToCoreCounter(kDpEncoder1, 32767);
    KeyDown('U');
    EXPECT_EQ(-32768, CoreCounter(kDpEncoder1));
    KeyUp('U');
    EXPECT_EQ(-32767, CoreCounter(kDpEncoder1));
    Stroke('L');
    EXPECT_EQ(int16_t(-32767 - 30), CoreCounter(kDpEncoder1));
}

TEST_F(KeyboardDispatchTest, ScrollEncoderCommandsFollowTheCurrentView) {
    Program({{'U', 278}, {'D', 279}, {'P', 282}});
    Start();
    const struct {
        LONG view;
        int counter;
        int status;
    } views[] = {{0, kDpTouchScroll0, 101}, {1, kDpTouchScroll1, 102}, {2, kDpTouchScroll2, 103}};
    for (const auto& v : views) {
        InterlockedExchange(&current_touch, v.view);
        const int16_t before = CoreCounter(v.counter);
        EXPECT_TRUE(SameSequence({}, CallsOfStroke('U')));  // press only
        EXPECT_EQ(int16_t(before - 1), CoreCounter(v.counter));
        CallsOfStroke('D');
        CallsOfStroke('D');
        EXPECT_EQ(int16_t(before + 1), CoreCounter(v.counter));
        EXPECT_TRUE(SameSequence({Status(v.status, 1), Status(v.status, 0)}, CallsOfStroke('P')));
    }
    // Another view changes nothing.
    InterlockedExchange(&current_touch, 3);
    int16_t before[3];
    for (int i = 0; i < 3; ++i) before[i] = CoreCounter(views[i].counter);
    EXPECT_TRUE(SameSequence({}, CallsOfStroke('P')));
    Stroke('U');
    Stroke('D');
    for (int i = 0; i < 3; ++i) EXPECT_EQ(before[i], CoreCounter(views[i].counter)) << i;
}

TEST_F(KeyboardDispatchTest, HeldScrollRightPressesOnceCountsEveryRepeatAndReleasesOnce) {
    Program({{'R', 281}, {'L', 280}});
    Start();
    KeyDown('R');
    KeyDown('R', true);
    KeyDown('R', true);
    KeyDown('R', true);
    EXPECT_TRUE(SameSequence({Status(103, 1)}, DispatchCalls()));
    KeyUp('R');
    EXPECT_TRUE(SameSequence({Status(103, 1), Status(103, 0)}, DispatchCalls()));
    EXPECT_EQ(4, CoreCounter(kDpTouchScroll2));

    // Left on view 0, and a second hold presses again.
    InterlockedExchange(&current_touch, 0);
    harness::ClearJournal();
    KeyDown('L');
    KeyDown('L', true);
    KeyUp('L');
    KeyDown('L');
    KeyUp('L');
    EXPECT_TRUE(SameSequence({Status(101, 1), Status(101, 0), Status(101, 1), Status(101, 0)}, DispatchCalls()));
    EXPECT_EQ(-3, CoreCounter(kDpTouchScroll0));
}

TEST_F(KeyboardDispatchTest, CountersStayWithoutACoreDataBlock) {
    Program({{'U', 258}, {'R', 281}});
    Start();
    StandinSetResult("Getdp.null", 1);
    Stroke('U');
    Hold({VK_MENU});
    Stroke(VK_DOWN);
    Hold({});
    harness::ClearJournal();
    Stroke('R');
    StandinSetResult("Getdp.null", 0);
    EXPECT_TRUE(SameSequence({Status(103, 1), Status(103, 0)}, DispatchCalls()));
    for (int offset = kDpTouchScroll1; offset <= kDpWheel; offset += 2) EXPECT_EQ(0, CoreCounter(offset)) << offset;
}

// ---- default table

TEST_F(KeyboardDispatchTest, TwoOrThreeModifiersHaveNoDefault) {
    Program({});
    Start();
    const LONG touch = current_touch, background = current_background;
    const struct {
        std::initializer_list<int> held;
        int vk;
    } keys[] = {{{VK_CONTROL, VK_SHIFT}, VK_F1}, {{VK_MENU, VK_CONTROL}, 'X'}, {{VK_MENU, VK_SHIFT}, VK_F5},
                {{VK_MENU, VK_SHIFT, VK_CONTROL}, 'X'}, {{VK_CONTROL, VK_SHIFT}, VK_PRIOR}};
    for (const auto& key : keys) {
        Hold(key.held);
        EXPECT_TRUE(SameSequence({}, CallsOfStroke(key.vk))) << key.vk;
    }
    EXPECT_EQ(touch, current_touch);
    EXPECT_EQ(background, current_background);
    EXPECT_EQ(3, current_bar);
}

TEST_F(KeyboardDispatchTest, CapsLockAloneDoesNothingAndToggledSetsBit80) {
    Program({});
    Start();
    Hold({}, true);
    EXPECT_TRUE(SameSequence({}, CallsOfStroke(VK_CAPITAL)));
    EXPECT_TRUE(SameSequence({Invoke('A', 0x80, 1), Invoke('A', 0x80, 0)}, CallsOfStroke('A')));
    Hold({VK_SHIFT}, true);
    EXPECT_TRUE(SameSequence({Invoke('A', 0x90, 1), Invoke('A', 0x90, 0)}, CallsOfStroke('A')));
    Hold({VK_CONTROL}, true);
    EXPECT_TRUE(SameSequence({Invoke('A', 0x8C, 1), Invoke('A', 0x8C, 0)}, CallsOfStroke('A')));
}

TEST_F(KeyboardDispatchTest, AltF5SelectsBarFiveAndPulsesFaderModeEvenWhenCurrent) {
    Program({});
    Start();
    ASSERT_EQ(3, current_bar);
    Hold({VK_MENU});
    harness::ClearJournal();
    KeyDown(VK_F5);
    EXPECT_EQ(5, current_bar);
    EXPECT_TRUE(SameSequence({Status(177, 1)}, DispatchCalls()));
    KeyUp(VK_F5);
    EXPECT_TRUE(SameSequence({Status(177, 1), Status(177, 0)}, DispatchCalls()));
    EXPECT_TRUE(SameSequence({Status(177, 1), Status(177, 0)}, CallsOfStroke(VK_F5)));
    EXPECT_EQ(5, current_bar);
    // Alt+F6 selects bar 6 with no pulse.
    EXPECT_TRUE(SameSequence({}, CallsOfStroke(VK_F6)));
    EXPECT_EQ(6, current_bar);
}

TEST_F(KeyboardDispatchTest, AltArrowsMoveTheTrackByItsResolutionOnPressAndRelease) {
    Program({});
    Start();
    StandinSetResult("GetTrackResolution", 7);
    Hold({VK_MENU});
    const struct {
        int vk;
        int counter;
        int step;
    } arrows[] = {{VK_LEFT, kDpTrackHorizontal, 7}, {VK_UP, kDpTrackVertical, -7},
                  {VK_RIGHT, kDpTrackHorizontal, -7}, {VK_DOWN, kDpTrackVertical, 7}};
    for (const auto& a : arrows) {
        const int16_t before = CoreCounter(a.counter);
        EXPECT_TRUE(SameSequence({"GetTrackResolution", "GetTrackResolution"}, CallsOfStroke(a.vk))) << a.vk;
        EXPECT_EQ(int16_t(before + 2 * a.step), CoreCounter(a.counter)) << a.vk;
    }
    EXPECT_EQ(0, CoreCounter(kDpWheel));
}

TEST_F(KeyboardDispatchTest, PlainPageKeysPageTheCurrentBar) {
    Program({});
    Start();
    EXPECT_TRUE(SameSequence({Status(144, 1), Status(144, 0)}, CallsOfStroke(VK_PRIOR)));
    EXPECT_TRUE(SameSequence({Status(145, 1), Status(145, 0)}, CallsOfStroke(VK_NEXT)));
    Hold({VK_SHIFT});
    EXPECT_TRUE(SameSequence({Invoke(VK_PRIOR, 0x10, 1), Invoke(VK_PRIOR, 0x10, 0)}, CallsOfStroke(VK_PRIOR)));
}

TEST_F(KeyboardDispatchTest, CtrlF4AndF5ShowAndHideTheExternalMonitorsOnPress) {
    Program({});
    Start();
    HWND monitor = CreateWindowExA(0, "STATIC", "monitor", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, monitor);
    hExt1Wnd = monitor;
    hExt2Wnd = nullptr;
    gExtMonShown[0] = 1;
    gExtMonShown[1] = 1;
    Hold({VK_CONTROL});
    harness::ClearJournal();
    KeyDown(VK_F4);
    EXPECT_FALSE(IsWindowVisible(monitor));
    EXPECT_EQ(0, gExtMonShown[0]);
    KeyUp(VK_F4);
    EXPECT_FALSE(IsWindowVisible(monitor));
    Stroke(VK_F4);
    EXPECT_TRUE(IsWindowVisible(monitor));
    EXPECT_EQ(1, gExtMonShown[0]);
    // Monitor 2 does not exist: nothing happens.
    Stroke(VK_F5);
    EXPECT_EQ(1, gExtMonShown[1]);
    EXPECT_TRUE(SameSequence({}, DispatchCalls()));
    hExt1Wnd = nullptr;
    DestroyWindow(monitor);
}

// ---- settings

TEST_F(KeyboardDispatchTest, LoadNormalisesTheFlagsAndNeedsAnEntryForProgrammedShortcuts) {
    const struct {
        int sLock, pscActive, pscOnly;  // -100: absent
        bool entries;
        int mode, use, only;
    } cases[] = {
        {1, 1, 1, true, 1, 1, 1},      {5, 7, 2, true, 1, 1, 1},     {-3, -1, -9, true, 0, 0, 0},
        {0, 0, 0, true, 0, 0, 0},      {-100, -100, -100, true, 0, 0, 0},
        {1, 1, 1, false, 1, 0, 1},
    };
    for (const auto& c : cases) {
        RegDeleteTreeA(HKEY_CURRENT_USER, ProgramKey().c_str());
        if (c.sLock != -100) SetInt("sLock", DWORD(c.sLock));
        if (c.pscActive != -100) SetInt("pscActive", DWORD(c.pscActive));
        if (c.pscOnly != -100) SetInt("pscOnly", DWORD(c.pscOnly));
        ASSERT_TRUE(WriteShortcutFile(path_.c_str(), c.entries ? ShortcutList{{'Q', 150}} : ShortcutList{}));
        gShortcutMode = 1 - c.mode;
        LoadShortcutSettings();
        EXPECT_EQ(c.mode, gShortcutMode) << c.sLock;
        EXPECT_EQ(c.use, UsesProgrammedShortcuts()) << c.pscActive;
        EXPECT_EQ(c.only, ProgrammedShortcutsOnly()) << c.pscOnly;
    }
    // No file at all: programmed shortcuts stay off whatever is stored.
    DeleteFileA(path_.c_str());
    SetInt("pscActive", 1);
    LoadShortcutSettings();
    ASSERT_NE(nullptr, ProgrammedShortcuts());
    EXPECT_TRUE(ProgrammedShortcuts()->empty());
    EXPECT_EQ(0, UsesProgrammedShortcuts());
}

TEST_F(KeyboardDispatchTest, OldVersionFileLoadsAndOutOfRangeVersionsLoadNothing) {
    for (int32_t version : {5700, 5699, 5801}) {
        std::string bytes;
        for (int32_t v : {version, 2}) PutInt32(&bytes, v);
        bytes.append(32, '\0');
        for (int32_t code : {int32_t('A'), kShift + 'B'}) {
            PutInt32(&bytes, code);
            PutInt32(&bytes, 150);
            bytes.append(32, '\0');
        }
        WriteRaw(bytes);
        SetInt("pscActive", 1);
        LoadShortcutSettings();
        EXPECT_EQ(version == 5700 ? 2u : 0u, ProgrammedShortcuts()->size()) << version;
        EXPECT_EQ(version == 5700 ? 1 : 0, UsesProgrammedShortcuts()) << version;
    }
}

TEST_F(KeyboardDispatchTest, ReplacingTheListKeepsOnlyValidEntries) {
    Program({{'Q', 150}});
    EXPECT_TRUE(ReplaceProgrammedShortcuts({{'A', 1}, {-1, 150}, {'B', 5000}, {kCtrl + 'C', 282}}));
    EXPECT_EQ((ShortcutList{{'A', 1}, {kCtrl + 'C', 282}}), *ProgrammedShortcuts());
    ReleaseShortcutList();
    EXPECT_FALSE(ReplaceProgrammedShortcuts({{'A', 1}}));
    EXPECT_EQ(nullptr, ProgrammedShortcuts());
}

// ---- labels

TEST_F(KeyboardDispatchTest, LabelShowsTheLowestCodeOfAKeyWithOneModifierWord) {
    const struct {
        std::vector<int32_t> codes;
        const char* label;
    } cases[] = {
        {{'A', kCtrl + 'A'}, "(A)"},     {{kAlt + 'A'}, "(Alt A)"},       {{kCtrl + kShift + VK_F2}, "(Shift F2)"},
        {{kCtrl + kAlt + 'Z'}, "(Alt Z)"}, {{VK_BACK}, "(Bs)"},            {{kShift + VK_SPACE}, "(Shift Space)"},
        {{VK_PRIOR}, "(PgUp)"},          {{VK_NEXT}, "(PgDn)"},           {{VK_END}, "(End)"},
        {{VK_HOME}, "(Home)"},           {{kCtrl + VK_INSERT}, "(Ctrl Ins)"}, {{VK_DELETE}, "(Del)"},
        {{kShift + VK_F1}, "(Shift F1)"}, {{kCtrl + VK_F12}, "(Ctrl F12)"}, {{kCtrl + '5'}, "(Ctrl 5)"},
    };
    ShortcutList list;
    int id = 1;
    for (const auto& c : cases) {
        for (int32_t code : c.codes) list[code] = id;
        ++id;
    }
    Program(list);
    id = 1;
    for (const auto& c : cases) {
        EXPECT_STREQ(c.label, ShortcutLabel(id)) << id;
        char buf[48] = "x";
        EXPECT_TRUE(ProgrammedShortcutText(id, buf, sizeof buf));
        EXPECT_STREQ(c.label, buf);
        ++id;
    }
    EXPECT_STREQ("", ShortcutLabel(150));  // no entry runs it
    char small[5] = "zzzz";
    EXPECT_TRUE(ProgrammedShortcutText(2, small, sizeof small));
    EXPECT_STREQ("(Alt", small);
    EXPECT_TRUE(ProgrammedShortcutText(2, nullptr, 0));

    SetProgrammedShortcutFlags(0, 0);
    EXPECT_STREQ("", ShortcutLabel(1));
    char buf[16] = "x";
    EXPECT_FALSE(ProgrammedShortcutText(1, buf, sizeof buf));
    EXPECT_STREQ("", buf);
}

TEST_F(KeyboardDispatchTest, DefaultShortcutIsTakenOnlyByAnEntryInUse) {
    Program({{VK_F3, 148}, {kCtrl + 'F', 150}});
    EXPECT_EQ(1, DefaultShortcutTaken(VK_F3));
    EXPECT_EQ(1, DefaultShortcutTaken(uint32_t(kCtrl + 'F')));
    EXPECT_EQ(0, DefaultShortcutTaken(uint32_t(kShift + VK_F3)));
    EXPECT_EQ(0, DefaultShortcutTaken(kNoShortcut));
    SetProgrammedShortcutFlags(0, 0);
    EXPECT_EQ(0, DefaultShortcutTaken(VK_F3));
}

TEST_F(KeyboardDispatchTest, CommandNamesCoverTheSpecialCommandsAndTheirSpareRows) {
    EXPECT_STREQ("1. ENCODER UP", ShortcutCommandName(258));
    EXPECT_STREQ("1. ENCODER PRESS", ShortcutCommandName(260));
    EXPECT_STREQ("4. ENCODER DOWN", ShortcutCommandName(268));
    EXPECT_STREQ("1. ENCODER LEFT", ShortcutCommandName(270));
    EXPECT_STREQ("4. ENCODER LEFT", ShortcutCommandName(273));
    EXPECT_STREQ("1. ENCODER RIGHT", ShortcutCommandName(274));
    EXPECT_STREQ("4. ENCODER RIGHT", ShortcutCommandName(277));
    EXPECT_STREQ("SCROLLENC UP", ShortcutCommandName(278));
    EXPECT_STREQ("SCROLLENC RIGHT", ShortcutCommandName(281));
    EXPECT_STREQ("SCROLLENC PRESS", ShortcutCommandName(282));
    for (int n = 283; n <= 307; ++n) EXPECT_STREQ("---", ShortcutCommandName(n)) << n;
    for (int n : {257, 308, 0, -1}) EXPECT_EQ(nullptr, ShortcutCommandName(n)) << n;
}

// ---- the default shortcut picture

// The picture's rows as the art generator drew them: what each row stands for
// (desk keys, one of the host's own defaults, or nothing) and its key texts.
struct PictureRow {
    const char* command;
    int firstKey, lastKey;
    int host, hostTarget;  // a DefaultAction other than Core: one of the host's own defaults
    const char* cells[4];  // Direct, Ctrl, Alt, Shift
};
const PictureRow kPicture[] = {
#include "shortcut-picture-cells.inc"
};
constexpr uint32_t kColumnModifier[4] = {0, kShortcutCtrl, kShortcutAlt, kShortcutShift};
const char* const kColumnWord[4] = {"", "Ctrl ", "Alt ", "Shift "};

// The code of a key text, with the modifiers this keyboard needs to type a
// character; 0 for a text that names no key.
uint32_t CodeOfKeyText(const std::string& text) {
    static const struct { const char* name; int vk; } kNames[] = {
        {"Backspace", VK_BACK}, {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT}, {"End", VK_END}, {"Home", VK_HOME},
        {"Left", VK_LEFT}, {"Up", VK_UP}, {"Right", VK_RIGHT}, {"Down", VK_DOWN}, {"Insert", VK_INSERT},
        {"Delete", VK_DELETE}, {"Esc", VK_ESCAPE}, {"Pause", VK_PAUSE},
        {"+", VK_ADD}, {"-", VK_SUBTRACT}};  // the number pad's, there without Shift on every layout
    for (const auto& n : kNames)
        if (text == n.name) return uint32_t(n.vk);
    if (text.size() > 1 && text[0] == 'F' && text.find_first_not_of("0123456789", 1) == std::string::npos)
        return VK_F1 + uint32_t(std::stoi(text.substr(1))) - 1;
    if (text.size() != 1) return 0;
    if (std::isupper(static_cast<unsigned char>(text[0])) || std::isdigit(static_cast<unsigned char>(text[0])))
        return uint32_t(text[0]);
    const SHORT typed = VkKeyScanA(text[0]);
    if (typed == -1) return 0;
    const int shifts = HIBYTE(typed);
    return LOBYTE(typed) + (shifts & 1 ? kShortcutShift : 0) + (shifts & 2 ? kShortcutCtrl : 0) +
           (shifts & 4 ? kShortcutAlt : 0);
}

// The codes of a cell: one key, or a run of keys such as "1-9".
std::vector<uint32_t> CodesOfCell(const std::string& text, uint32_t modifier) {
    const size_t dash = text.find('-', 1);
    const uint32_t first = CodeOfKeyText(dash == std::string::npos ? text : text.substr(0, dash));
    const uint32_t last = dash == std::string::npos ? first : CodeOfKeyText(text.substr(dash + 1));
    std::vector<uint32_t> codes;
    if (first && last >= first)
        for (uint32_t key = first; key <= last; ++key) codes.push_back(modifier + key);
    return codes;
}

int CoreFlags(uint32_t code) {
    return (code & kShortcutCtrl ? 0x0C : 0) | (code & kShortcutShift ? 0x10 : 0) | (code & kShortcutAlt ? 0x01 : 0);
}

TEST_F(KeyboardDispatchTest, EveryCellOfTheDefaultShortcutPictureIsWhatTheKeyboardDoes) {
    Program({});
    Start();
    ASSERT_EQ(129u, sizeof kPicture / sizeof kPicture[0]);
    std::set<uint32_t> shown;
    for (const PictureRow& row : kPicture) {
        for (int c = 0; c < 4; ++c) {
            const std::string text = row.cells[c];
            if (text.empty()) continue;
            SCOPED_TRACE(std::string(row.command) + ": " + kColumnWord[c] + text);
            const std::vector<uint32_t> codes = CodesOfCell(text, kColumnModifier[c]);
            EXPECT_FALSE(codes.empty()) << "names no key";
            for (uint32_t code : codes) {
                shown.insert(code);
                const HostShortcut done = ResolveDefaultShortcut(code);
                if (row.host != int(DefaultAction::Core)) {
                    EXPECT_EQ(row.host, int(done.action));
                    EXPECT_EQ(row.hostTarget, done.target);
                } else if (done.action == DefaultAction::DeskKey) {
                    EXPECT_TRUE(done.target >= row.firstKey && done.target <= row.lastKey) << done.target;
                } else {
                    ASSERT_EQ(DefaultAction::Core, done.action) << "the keyboard drops it";
                    ASSERT_NE(0, row.firstKey) << "a row without a key shows a key";
                    // The core runs the key whose default it is, or that the desk prints it on.
                    bool claimed = false;
                    for (int id = row.firstKey; id <= row.lastKey; ++id) {
                        const KeyRecord& key = *KeyRow(FindRowOfKeyId(id));
                        claimed = claimed || key.defaultShortcut == code ||
                                  (key.defaultShortcut == kNoShortcut &&
                                   SplitKeyLabel(key.label).shortcut == "(" + std::string(kColumnWord[c]) + text + ")");
                    }
                    EXPECT_TRUE(claimed) << "no key of the row has it";
                    // And the keyboard really hands it to the core, with its modifiers and nothing else.
                    std::vector<int> held;
                    if (code & kShortcutCtrl) held.push_back(VK_CONTROL);
                    if (code & kShortcutShift) held.push_back(VK_SHIFT);
                    if (code & kShortcutAlt) held.push_back(VK_MENU);
                    Hold(held);
                    const int vk = int(code & kShortcutKeyMask);
                    EXPECT_TRUE(SameSequence({Invoke(vk, CoreFlags(code), 1), Invoke(vk, CoreFlags(code), 0)},
                                             CallsOfStroke(vk)));
                }
            }
        }
    }
    // Every default the tables hold is in the picture, but for the keys it has
    // no row for: the number keys and the two channel fader bars.
    for (const KeyRecord* key = KeyTable(); key->keyId != 0; ++key) {
        const bool noRow = (key->keyId >= 209 && key->keyId <= 218) || key->keyId == 250 || key->keyId == 251;
        if (key->defaultShortcut != kNoShortcut && !noRow) {
            EXPECT_TRUE(shown.count(key->defaultShortcut)) << key->command;
        }
    }
    for (size_t i = 0; i < kHostShortcutCount; ++i)
        EXPECT_TRUE(shown.count(kHostShortcuts[i].code)) << std::hex << kHostShortcuts[i].code;
}

// ---- what the keys show

int CountColour(HWND wnd, COLORREF colour) {
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    HDC dc = GetDC(wnd);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(wnd, dc);
    return count;
}

TEST_F(KeyboardDispatchTest, KeysShowProgrammedShortcutsGreenAndHideTakenDefaults) {
    const COLORREF green = RGB(0, 120, 0), blue = RGB(64, 64, 222);
    Program({});
    Start();
    gShowHKeys = 1;
    HWND pause = KeyWindowOfId(150), go = KeyWindowOfId(148);
    ASSERT_TRUE(pause && go);
    EXPECT_GT(CountColour(pause, blue), 0);  // "(F3)"
    EXPECT_EQ(0, CountColour(go, green));

    // F3 now runs Go+: Go+ shows it in green, Pause no longer shows F3.
    Program({{VK_F3, 148}});
    gShortcutMode = 1;  // the load read "sLock", which this test never stored
    EXPECT_GT(CountColour(go, green), 0);
    EXPECT_EQ(0, CountColour(go, blue));
    EXPECT_EQ(0, CountColour(pause, blue));
    EXPECT_EQ(0, CountColour(pause, green));
}

TEST_F(KeyboardDispatchTest, ProgrammedOnlyHidesDefaultTextsOnlyWhileProgrammedShortcutsAreUsed) {
    const COLORREF blue = RGB(64, 64, 222);
    Program({{'Q', 150}}, 1, 1);
    Start();
    gShowHKeys = 1;
    HWND executor = KeyWindowOfId(1);  // "(Shift 1)"
    ASSERT_NE(nullptr, executor);
    EXPECT_EQ(0, CountColour(executor, blue));
    // Defaults only, with the "only" choice still stored: the defaults work, so they show.
    SetProgrammedShortcutFlags(0, 1);
    EXPECT_GT(CountColour(executor, blue), 0);
    Hold({VK_SHIFT});
    EXPECT_TRUE(SameSequence({Invoke('1', 0x10, 1), Invoke('1', 0x10, 0)}, CallsOfStroke('1')));
}

// ---- the installed program

// Start-up itself must load the settings and the file: the real executable,
// started with shortcut mode and one programmed shortcut stored, runs it for
// a key posted to its desk.
class ShortcutStartupTest : public harness::HostTest {
protected:
    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        HostTest::TearDown();
    }
    bool StartProgram() {
        const std::string dir = harness::ProgramDir() + "\\..\\install\\program";
        const std::string exe = dir + "\\KantrelOvrin.exe";
        std::string command = "\"" + exe + "\" /disable_CDplayer";
        SetEnvironmentVariableA("KNT_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("KNT_REGKEY", ProgramKey().c_str());
        SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", "101");
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        const BOOL ok = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                                       &si, &process_);
        for (const char* name : {"KNT_JOURNAL", "KNT_REGKEY", "KNT_VCMESSAGEBOX_ANSWER"})
            SetEnvironmentVariableA(name, nullptr);
        return ok != FALSE;
    }
    bool JournalHas(const std::string& wanted) const {
        std::ifstream in(journal_);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == wanted) return true;
        }
        return false;
    }
    bool WaitForLine(const std::string& wanted) const {
        for (int waited = 0; waited < 30000; waited += 50) {
            if (JournalHas(wanted)) return true;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return JournalHas(wanted);
        }
        return false;
    }
    std::string journal_;
    PROCESS_INFORMATION process_ = {};
};

TEST_F(ShortcutStartupTest, StartUpLoadsTheShortcutFileAndItsSettings) {
    journal_ = SharedDir() + "\\journal.txt";
    const std::string path = SharedDir() + "\\ide0\\psc.cfg";
    ASSERT_TRUE(WriteShortcutFile(path.c_str(), ShortcutList{{'Q', 150}}));
    SetInt("sLock", 1);
    SetInt("pscActive", 1);
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(WaitForLine("StartKantrel"));
    HWND desk = nullptr;
    for (int waited = 0; waited < 10000 && !desk; waited += 50, Sleep(50))
        desk = FindWindowA("_KNTOVRIN", "Kantrel Ovrin");
    ASSERT_NE(nullptr, desk);
    PostMessageA(desk, WM_KEYDOWN, 'Q', 1);
    PostMessageA(desk, WM_KEYUP, 'Q', LPARAM(0xC0000001u));
    EXPECT_TRUE(WaitForLine("VC_SetStatus 150 0"));
    EXPECT_TRUE(JournalHas("VC_SetStatus 150 1"));
    EXPECT_FALSE(JournalHas("InvokeShortcut 81 0 1"));
    PostMessageA(desk, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 30000));
}

}  // namespace
