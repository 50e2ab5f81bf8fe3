// The desk window with a core session running in this process on the
// stand-in core: key routing, close flow, restart, scrolling and requests.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DrawingResources.h"
#include "input/FaderWnd.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Placement.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

namespace {

HMODULE WINAPI LoaderWithoutCore(LPCSTR name) {
    if (lstrcmpiA(name, "knt.dll") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryA(name);
}

void CALLBACK EndModalPhase(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SetModalPhase(0);
}

class MainWindowTest : public harness::DeskTest {
protected:
    // Start-up creates the (here empty) shortcut list before any key arrives.
    void SetUp() override {
        DeskTest::SetUp();
        LoadShortcutSettings();
    }
    void TearDown() override {
        ReleaseShortcutList();
        DeskTest::TearDown();
    }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(main_, msg, wp, lp); }
    LRESULT SendFromCore(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        auto send = reinterpret_cast<StandinSendToMainFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSendToMain")));
        EXPECT_NE(nullptr, send);
        return send ? send(msg, wp, lp) : 0;
    }
    void Key(UINT msg, WPARAM vk, LPARAM lp = 1) { Send(msg, vk, lp); }
    HWND Child(const char* cls, int id, int x, int y, int w, int h, DWORD style = 0) {
        return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, main_,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    }
    POINT ClientPos(HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        POINT p = {r.left, r.top};
        ScreenToClient(main_, &p);
        return p;
    }
};

// ---- keys

TEST_F(MainWindowTest, InsertWithShortcutModeOffOnlySwitchesItOn) {
    StartSession();
    Key(WM_KEYDOWN, VK_INSERT);
    Key(WM_KEYUP, VK_INSERT, 0xC0000001);
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));

    // With the mode on, Insert goes to the dispatcher, whose default switches the mode off.
    Key(WM_KEYDOWN, VK_INSERT);
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, ScrollLockTogglesTheLockWithoutTheDispatcher) {
    StartSession();
    gShortcutMode = 1;
    Key(WM_KEYDOWN, VK_SCROLL);
    EXPECT_EQ(1, gCmdLineLock);
    Key(WM_KEYUP, VK_SCROLL, 0xC0000001);
    Key(WM_SYSKEYDOWN, VK_SCROLL);
    EXPECT_EQ(0, gCmdLineLock);
    Key(WM_SYSKEYUP, VK_SCROLL, 0xC0000001);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 1000 0 0", "VC_OnKeyDown 1001 0 0"}, CoreCalls()));
}

TEST_F(MainWindowTest, CoreKeysCarryTheRepeatCount) {
    StartSession();
    Key(WM_KEYDOWN, 'A', 3);
    Key(WM_CHAR, 'a', 3);
    Key(WM_KEYUP, 'A', 0xC0000001);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 65 3 0", "VC_OnCharacter 97", "VC_OnKeyUp 65 1 0"}, CoreCalls()));

    // Shortcut mode on: the lock and the desk lock still send keys to the core.
    gShortcutMode = 1;
    gCmdLineLock = 1;
    harness::ClearJournal();
    Key(WM_KEYDOWN, 'B', 2);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 66 2 0"}, CoreCalls()));
    gCmdLineLock = 0;
    StandinSetResult("IsDesklocked", 1);
    harness::ClearJournal();
    Key(WM_KEYDOWN, 'B', 2);
    Key(WM_CHAR, 'b', 2);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "VC_OnKeyDown 66 2 0", "IsDesklocked", "VC_OnCharacter 98"},
                             CoreCalls()));
    StandinSetResult("IsDesklocked", 0);
    harness::ClearJournal();
    Key(WM_KEYDOWN, 'B', 2);
    Key(WM_CHAR, 'b', 2);
    Key(WM_KEYUP, 'B', 0xC0000001);
    EXPECT_TRUE(SameSequence(
        {"IsDesklocked", "InvokeShortcut 66 0 1", "IsDesklocked", "IsDesklocked", "InvokeShortcut 66 0 0"},
        CoreCalls()));
}

TEST_F(MainWindowTest, KeyCodesOutsideTheKeyRangeReachNothing) {
    StartSession();
    for (int mode : {0, 1}) {
        gShortcutMode = mode;
        for (WPARAM code : {WPARAM(0), WPARAM(255), WPARAM(1000), WPARAM(1001), WPARAM(0x10091)}) {
            for (UINT msg : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP, WM_SYSKEYUP}) Key(msg, code);
        }
        for (WPARAM ch : {WPARAM(0), WPARAM(256), WPARAM(1000)}) Key(WM_CHAR, ch);
    }
    EXPECT_EQ(0, gCmdLineLock);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, ShortcutModeRequestAnswersWhetherItChanged) {
    StartSession();
    struct Case { int before; WPARAM asked; LRESULT result; int after; };
    const Case cases[] = {{0, 0, 0, 0}, {0, 1, 1, 1}, {1, 1, 0, 1}, {1, 0, 1, 0},
                          {0, 2, 1, 1}, {1, 2, 1, 0}, {0, 7, 1, 0}, {1, 7, 1, 1}};
    for (const Case& c : cases) {
        gShortcutMode = c.before;
        EXPECT_EQ(c.result, SendFromCore(kReqShortcutMode, c.asked, 0)) << c.before << " " << c.asked;
        EXPECT_EQ(c.after, gShortcutMode) << c.before << " " << c.asked;
    }
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

// ---- close flow

TEST_F(MainWindowTest, ForcedCloseOffersTwoButtonsAndEndsUnsavedOnNo) {
    StartSession();
    VCMessageBoxSetAnswer(kVcAnswer2);
    Send(WM_CLOSE, 0, 1);
    EXPECT_EQ(1, VCMessageBoxLastType());
    EXPECT_STREQ("Yes|No", VCMessageBoxLastButtons());
    EXPECT_STREQ("Save actual Show ?", VCMessageBoxLastQuestion());
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"}, CoreCalls()));
}

TEST_F(MainWindowTest, ForcedCloseTakesAnUnknownAnswerAsNo) {
    StartSession();
    VCMessageBoxSetAnswer(7);
    Send(WM_CLOSE, 0, 1);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"}, CoreCalls()));
}

TEST_F(MainWindowTest, UnforcedCloseOffersThreeButtonsAndCancelKeepsRunning) {
    StartSession();
    for (int answer : {int(kVcAnswer3), 7, 99, 103}) {
        VCMessageBoxSetAnswer(answer);
        EXPECT_EQ(1, Send(WM_CLOSE));
        EXPECT_EQ(2, VCMessageBoxLastType());
        EXPECT_STREQ("Yes|No|Cancel", VCMessageBoxLastButtons());
        EXPECT_TRUE(IsWindow(main_)) << answer;
        EXPECT_EQ(SessionState::Running, CoreSessionState());
    }
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, YesSavesTheShowThenEnds) {
    StartSession();
    VCMessageBoxSetAnswer(kVcAnswer1);
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"DoPultSave", "HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"}, CoreCalls()));
}

TEST_F(MainWindowTest, CloseWithoutASessionDoesNothing) {
    VCMessageBoxSetAnswer(kVcAnswer2);
    const int asked = VCMessageBoxCallCount();
    EXPECT_EQ(1, Send(WM_CLOSE, 0, 1));
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_EQ(asked, VCMessageBoxCallCount());
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, CloseDuringTheStartIsServedAfterIt) {
    VCMessageBoxSetAnswer(kVcAnswer2);
    const int asked = VCMessageBoxCallCount();
    SetModalPhase(1);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    SetTimer(nullptr, 0, 100, EndModalPhase);
    ASSERT_TRUE(StartCoreSession());
    EXPECT_EQ(asked, VCMessageBoxCallCount());
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_EQ(SessionState::Running, CoreSessionState());
    harness::ClearJournal();
    harness::PumpUntilIdle();
    EXPECT_EQ(asked + 1, VCMessageBoxCallCount());
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"}, CoreCalls()));
}

// ---- restart

TEST_F(MainWindowTest, RestartKeepsTheWindowsAndRereadsTheView) {
    gShortcutMode = 1;
    StartSession();
    SetInt("bar", 6);
    SetInt("touch", 0);
    EXPECT_EQ(1, SendFromCore(kReqRestart));
    harness::PumpUntilIdle();
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(main_, hMainWnd);
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_EQ(0, gCmdLineLock);
    EXPECT_EQ(6, current_bar);
    EXPECT_EQ(0, current_touch);
    EXPECT_EQ(1, VC_KNT_ACTIVE);
    EXPECT_EQ(SessionState::Running, CoreSessionState());
    // The first touch-view selection finds no core to ask and is refused.
    EXPECT_TRUE(SameSequence({"DeleteLanguageMap", "DeleteIPAddresses", "StartKantrel", "CanSwitchTouch",
                              "GetZeroDot", "GetHighliteSolo", "VC_OnKeyDown 1 0 0"},
                             CoreCalls()));
}

TEST_F(MainWindowTest, RestartWithoutTheCoreClosesWithoutCallingIt) {
    StartSession();
    SetLibraryLoader(LoaderWithoutCore);
    harness::MessageBoxCapture boxes;
    const int asked = VCMessageBoxCallCount();
    Send(kReqRestart);
    harness::PumpUntilIdle();
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ(0u, boxes.Boxes()[0].text.rfind("Error loading knt.dll! (errno.: ", 0));
    EXPECT_EQ(0u, boxes.Boxes()[1].text.rfind("Error loading Kantrel data! Cannot restart the program! (errno. ", 0));
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[1].icon);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_EQ(asked, VCMessageBoxCallCount());
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_TRUE(SameSequence({"DeleteLanguageMap", "DeleteIPAddresses", "HasConsoleWindow"}, CoreCalls()));
}

// A core that faults in its second start must not take the desk with it: the
// restart reports the failure and the close flow still stores the settings.
TEST_F(MainWindowTest, RestartWhoseCoreFaultsStoresTheSettingsAndCloses) {
    StartSession();
    StandinSetResult("StartKantrel.faultAt", StandinGetResult("StartKantrel.count", 0) + 1);
    SetWindowPos(main_, nullptr, 37, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    harness::MessageBoxCapture boxes;
    Send(kReqRestart);
    harness::PumpUntilIdle();
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(0u, boxes.Boxes()[0].text.rfind("Error loading Kantrel data! Cannot restart the program! (errno. ", 0))
        << boxes.Boxes()[0].text;
    EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
    EXPECT_EQ(main_, boxes.Boxes()[0].owner);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_EQ(nullptr, hMainWnd);
    EXPECT_TRUE(CoreGroupIsClear());
    DWORD x = 0, y = 0;
    EXPECT_TRUE(GetInt("xp", &x, "WPos"));
    EXPECT_TRUE(GetInt("yp", &y, "WPos"));
    EXPECT_EQ(37u, x);
    EXPECT_EQ(23u, y);
    // Nothing reaches the core after its fault.
    EXPECT_TRUE(SameSequence({"DeleteLanguageMap", "DeleteIPAddresses", "StartKantrel", "HasConsoleWindow"},
                             CoreCalls()));
}

// ---- core requests

TEST_F(MainWindowTest, FaderEchoReachesOnlyRealFaders) {
    StartSession();
    ASSERT_TRUE(CreateFaders(main_));
    // Another child carrying a fader's id knows nothing of fader values.
    DestroyWindow(FaderWindow(5));
    HWND other = Child("STATIC", 40005, 730, 100, 20, 100);
    harness::PumpUntilIdle();
    harness::ClearJournal();
    for (WPARAM index : {WPARAM(5), WPARAM(30), WPARAM(-1), WPARAM(24), ~WPARAM(0) - 20}) {
        EXPECT_EQ(0, SendFromCore(kReqFaderValue, index, 200));
        for (int fader = 0; fader < kFaderWindowCount; ++fader)
            if (fader != 5) {
                EXPECT_NE(200, FaderValue(fader)) << index << " moved fader " << fader;
            }
    }
    EXPECT_TRUE(IsWindow(other));
    SendFromCore(kReqFaderValue, 3, 200);
    EXPECT_EQ(200, FaderValue(3));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, CoreRequestsCallTheirEntryPoints) {
    StartSession();
    EXPECT_EQ(1, SendFromCore(kReqNothing));
    EXPECT_EQ(0, SendFromCore(kReqPrint, 12, 34));
    EXPECT_EQ(0, SendFromCore(kReqZeroDot));
    EXPECT_EQ(0, SendFromCore(kReqHighliteSolo));
    EXPECT_EQ(0, SendFromCore(kReqAlign));
    EXPECT_EQ(1, SendFromCore(kReqModalLoop));
    EXPECT_TRUE(SameSequence({"DoPrint 12 34", "GetZeroDot", "GetHighliteSolo", "GetAlignButtonText"}, CoreCalls()));
}

// ---- display and window bounds

TEST_F(MainWindowTest, DisplayChangeToTheSameDepthChangesNothing) {
    StartSession();
    SetSimulatedBitCount(32);
    RGBBitCount = 32;
    harness::MessageBoxCapture boxes;
    EXPECT_EQ(0, Send(WM_DISPLAYCHANGE, 32, 0));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(SameSequence({}, harness::JournalLines()));
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(MainWindowTest, DisplayChangeToAnotherUsableDepthRestoresTheDisplays) {
    StartSession();
    RGBBitCount = 32;
    SetSimulatedBitCount(16);
    harness::MessageBoxCapture boxes;
    Send(WM_DISPLAYCHANGE, 16, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(16, RGBBitCount);
    std::vector<std::string> restores;
    for (const std::string& line : harness::JournalLines())
        if (line.rfind("RestoreCDXDisplay", 0) == 0) restores.push_back(line);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 0", "RestoreCDXDisplay 1", "RestoreCDXDisplay 2",
                              "RestoreCDXDisplay 3", "RestoreCDXDisplay 4"},
                             restores));
}

TEST_F(MainWindowTest, DisplayChangeToAnUnusableDepthForcesTheClose) {
    StartSession();
    RGBBitCount = 32;
    SetSimulatedBitCount(8);
    VCMessageBoxSetAnswer(kVcAnswer1);
    harness::MessageBoxCapture boxes;
    Send(WM_DISPLAYCHANGE, 8, 0);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Display settings have been changed from outside this application!\nWith this settings Kantrel Ovrin "
              "is not able to continue!\nEnding program now!",
              boxes.Boxes()[0].text);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    EXPECT_EQ(1, VCMessageBoxLastType());
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"DoPultSave", "HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"}, CoreCalls()));
}

TEST_F(MainWindowTest, ClientAreaNeverGrowsPastTheDesk) {
    StartSession();
    MINMAXINFO info = {};
    info.ptMaxSize = {1600, 1200};
    info.ptMaxTrackSize = {1600, 1200};
    info.ptMinTrackSize = {100, 100};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(kDeskWidth, info.ptMaxSize.x);
    EXPECT_EQ(kDeskHeight, info.ptMaxSize.y);
    EXPECT_EQ(kDeskWidth, info.ptMaxTrackSize.x);
    EXPECT_EQ(kDeskHeight, info.ptMaxTrackSize.y);

    SetWindowPos(main_, nullptr, 0, 0, 1500, 1100, SWP_NOZORDER | SWP_NOMOVE);
    RECT client;
    GetClientRect(main_, &client);
    EXPECT_LE(client.right, kDeskWidth);
    EXPECT_LE(client.bottom, kDeskHeight);
    ShowWindow(main_, SW_MAXIMIZE);
    harness::PumpUntilIdle();
    GetClientRect(main_, &client);
    EXPECT_LE(client.right, kDeskWidth);
    EXPECT_LE(client.bottom, kDeskHeight);

    RECT sizing = {10, 20, 1510, 1120};
    EXPECT_EQ(1, Send(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&sizing)));
    EXPECT_EQ(10 + kDeskWidth, sizing.right);
    EXPECT_EQ(20 + kDeskHeight, sizing.bottom);
}

// ---- scrolling, wheel, mouse

TEST_F(MainWindowTest, ScrollingMovesTheDeskButNotTheFrame) {
    StartSession();
    SetWindowPos(main_, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOMOVE);
    HWND vbar = Child("SCROLLBAR", 40613, 786, 51, 10, 500, SBS_VERT);
    HWND hbar = Child("SCROLLBAR", 40612, 15, 586, 700, 10, SBS_HORZ);
    SetScrollRange(vbar, SB_CTL, 0, 767, FALSE);
    SetScrollRange(hbar, SB_CTL, 0, 1023, FALSE);
    HWND key = Child("STATIC", 5, 10, 300, 20, 20);
    HWND frame = Child("STATIC", 40601, 0, 0, 30, 30);

    Send(WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(768 - 600, gDeskOffsetY);
    EXPECT_EQ(768 - 600, GetScrollPos(vbar, SB_CTL));
    EXPECT_EQ(300 - 168, ClientPos(key).y);
    EXPECT_EQ(0, ClientPos(frame).y);
    EXPECT_EQ(51, ClientPos(vbar).y);

    Send(WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(168, gDeskOffsetY);
    Send(WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(167, gDeskOffsetY);
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(168, gDeskOffsetY);
    Send(WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(vbar));
    EXPECT_EQ(0, gDeskOffsetY);
    EXPECT_EQ(300, ClientPos(key).y);

    Send(WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(hbar));
    EXPECT_EQ(1024 - 800, gDeskOffsetX);
    EXPECT_EQ(10 - 224, ClientPos(key).x);
    EXPECT_EQ(0, ClientPos(frame).x);
    const RECT button = DeskMenuButtonRect();
    EXPECT_EQ(1 - 224, button.left);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

WNDPROC gStaticProc;
int gWheelsSeen;
LRESULT CALLBACK WheelToParent(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEWHEEL) {
        ++gWheelsSeen;
        return SendMessageA(GetParent(wnd), msg, wp, lp);
    }
    return CallWindowProcA(gStaticProc, wnd, msg, wp, lp);
}

TEST_F(MainWindowTest, WheelIsForwardedOnceEvenWhenHandedBack) {
    StartSession();
    HWND child = Child("STATIC", 7, 100, 100, 50, 50, SS_NOTIFY);
    gStaticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WheelToParent)));
    harness::PumpUntilIdle();
    POINT at = {125, 125};
    ClientToScreen(main_, &at);
    HWND hit = WindowFromPoint(at);
    char cls[64] = "";
    GetClassNameA(hit, cls, sizeof cls);
    ASSERT_EQ(child, hit) << cls << " main " << main_ << " vis " << IsWindowVisible(main_);
    gWheelsSeen = 0;
    EXPECT_EQ(1, Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y)));
    EXPECT_EQ(1, gWheelsSeen);
    POINT outside = {400, 400};
    ClientToScreen(main_, &outside);
    EXPECT_EQ(0, Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(outside.x, outside.y)));
    EXPECT_EQ(1, gWheelsSeen);
}

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(MainWindowTest, MenuButtonOfALockedDeskShowsTheLock) {
    StartSession();
    StandinSetResult("IsDesklocked", 1);
    harness::MessageBoxCapture boxes;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_NE(main_, GetCapture());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Desk is locked!", boxes.Boxes()[0].text);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.Boxes()[0].icon);
    // Outside the button the lock is not asked. The right click opens the
    // view menu, which a timer closes again from inside the menu's loop.
    SetTimer(nullptr, 0, 200, EndMenuSoon);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 300));
    Send(WM_RBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(1u, boxes.Boxes().size());
    EXPECT_TRUE(SameSequence({"IsDesklocked"}, CoreCalls()));
}

// ---- dropped files and media notices

HDROP MakeDrop(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& f : files) list += f + '\0';
    list += '\0';
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() + 1);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

TEST_F(MainWindowTest, DroppedFilesLoadOnlyTheFirstThatFits) {
    StartSession();
    Send(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\shows\\first.shw", "C:\\shows\\second.shw"})));
    EXPECT_TRUE(SameSequence({"LoadShowCompressedShow \"C:\\shows\\first.shw\""}, CoreCalls()));
    harness::ClearJournal();
    Send(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({})));
    Send(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\" + std::string(300, 'x') + ".shw", "C:\\b.shw"})));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(MainWindowTest, MalformedMediaNoticesAreIgnored) {
    StartSession();
    DisableCDPlayer = 0;
    // Each notice still reaches the default handling.
    const LRESULT usual = DefWindowProcA(main_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    DEV_BROADCAST_HDR shortNotice = {sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_VOLUME, 0};
    EXPECT_EQ(usual, Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0));
    EXPECT_EQ(usual, Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&shortNotice)));
    DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 0, DBTF_MEDIA};
    EXPECT_EQ(usual, Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)));
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

// ---- placement

TEST(MainWindowPlacing, StoredPlacementStaysOnTheWorkArea) {
    struct Case { RECT work; bool stored; DWORD sz; int xp, yp; RECT expected; };
    const Case cases[] = {
        {{0, 0, 1024, 768}, true, (1280u << 16) | 1024, 300, 200, {0, 0, 1024, 768}},
        {{0, 0, 1280, 1024}, true, (800u << 16) | 600, -50, 10, {0, 10, 800, 610}},
        {{0, 0, 1280, 1024}, true, (800u << 16) | 600, 5000, 9000, {480, 424, 1280, 1024}},
        {{100, 50, 1380, 1074}, true, (800u << 16) | 600, 0, 0, {100, 50, 900, 650}},
        {{100, 50, 1380, 1074}, true, (800u << 16) | 600, 300, 60, {300, 60, 1100, 660}},
        {{100, 50, 1380, 1074}, false, (800u << 16) | 600, 300, 60, {100, 50, 1124, 818}},
        {{0, 0, 1280, 1024}, true, 0, 40, 40, {0, 0, 1024, 768}},
        {{0, 0, 1280, 1024}, true, 800u << 16, 40, 40, {0, 0, 1024, 768}},
        {{0, 0, 800, 600}, false, 0, 0, 0, {0, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        const RECT got = MainWindowPlacement(c.work, c.stored, c.sz, c.xp, c.yp);
        EXPECT_TRUE(EqualRect(&got, &c.expected))
            << c.sz << " " << c.xp << " " << c.yp << " -> " << got.left << "," << got.top << "," << got.right << ","
            << got.bottom;
    }
}

TEST(MainWindowPlacing, StoredSizeBelowTheSmallestUsableDeskGrows) {
    struct Case { RECT work; DWORD sz; int xp, yp; RECT expected; };
    const Case cases[] = {
        {{0, 0, 1280, 1024}, (1u << 16) | 1, 1279, 1023, {880, 724, 1280, 1024}},
        {{0, 0, 1280, 1024}, (399u << 16) | 299, 10, 20, {10, 20, 410, 320}},
        {{0, 0, 1280, 1024}, (400u << 16) | 300, 10, 20, {10, 20, 410, 320}},
        {{0, 0, 1280, 1024}, (401u << 16) | 1, 10, 20, {10, 20, 411, 320}},
        // A work area smaller than that still bounds the window.
        {{0, 0, 320, 240}, (1u << 16) | 1, 300, 200, {0, 0, 320, 240}},
    };
    for (const Case& c : cases) {
        const RECT got = MainWindowPlacement(c.work, true, c.sz, c.xp, c.yp);
        EXPECT_TRUE(EqualRect(&got, &c.expected))
            << c.sz << " -> " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST_F(MainWindowTest, StoredPlacementOfTheWrongTypeKeepsTheDefault) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetInt("sz", (640u << 16) | 480, "WPos");
    SetInt("xp", work.left + 12, "WPos");
    SetInt("yp", work.top + 34, "WPos");
    PlaceMainWindow(main_);
    RECT got;
    GetWindowRect(main_, &got);
    RECT expected = MainWindowPlacement(work, true, (640u << 16) | 480, work.left + 12, work.top + 34);
    EXPECT_TRUE(EqualRect(&got, &expected));

    SetString("sz", "640x480", "WPos");
    PlaceMainWindow(main_);
    GetWindowRect(main_, &got);
    expected = MainWindowPlacement(work, false, 0, 0, 0);
    EXPECT_TRUE(EqualRect(&got, &expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
}

}  // namespace
