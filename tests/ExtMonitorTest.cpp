// The external monitor windows beside the real desk window, on the stand-in
// core: their shape and menu, what closing does, and what the pointer, the
// wheel, the keys, the menu commands and the core's requests make of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DrawingResources.h"
#include "desk/ExtMonitor.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::JournalLines;
using harness::SameSequence;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
// The header colours of the demo console's two monitor screens.
constexpr COLORREF kMonitor1Header = RGB(0, 120, 130);
constexpr COLORREF kMonitor2Header = RGB(120, 40, 140);

std::string Handle(HWND wnd) { return std::to_string(reinterpret_cast<UINT_PTR>(wnd)); }

std::string Mouse(int x, int y, HWND wnd, int display, UINT msg) {
    return "SetMouseData " + std::to_string(x) + " " + std::to_string(y) + " " + Handle(wnd) + " " +
           std::to_string(display) + " " + std::to_string(msg);
}

std::string MenuText(HMENU menu, int position) {
    char text[64] = "";
    GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// The id of the system-menu item with this text; 0 when there is none.
UINT SystemMenuId(HWND wnd, const char* text) {
    HMENU menu = GetSystemMenu(wnd, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (MenuText(menu, i) == text) return GetMenuItemID(menu, i);
    return 0;
}

COLORREF PixelAt(HWND wnd, int x, int y) {
    HDC dc = GetDC(wnd);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return pixel;
}

class ExtMonitorTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        gExtMonShown[0] = gExtMonShown[1] = 0;
    }
    void TearDown() override {
        for (HWND wnd : {hExt1Wnd, hExt2Wnd}) {
            if (!wnd || !IsWindow(wnd)) continue;
            ShowWindow(wnd, SW_HIDE);
            harness::PumpUntilIdle();
            DestroyWindow(wnd);
        }
        gExtMonShown[0] = gExtMonShown[1] = 0;
        DeskTest::TearDown();
    }
    // Monitor 1 at (20, 30) and monitor 2 at (860, 30), both shown.
    void CreateBoth() {
        first_ = CreateExtMonitor(kExtMonitor1Display, 20, 30, 1);
        second_ = CreateExtMonitor(kExtMonitor2Display, 860, 30, 1);
        ASSERT_NE(nullptr, first_);
        ASSERT_NE(nullptr, second_);
        harness::PumpUntilIdle();
    }
    // A session with both monitors shown and painted, and nothing journaled.
    void StartWithBoth() {
        StartSession();
        CreateBoth();
        harness::PumpUntilIdle();
        harness::ClearJournal();
    }
    void Repaint(HWND wnd) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE);
        UpdateWindow(wnd);
    }
    HWND first_ = nullptr;
    HWND second_ = nullptr;
};

// ---- creation and destruction

TEST_F(ExtMonitorTest, EachMonitorIsAFixedEightHundredBySixHundredTopLevelWindow) {
    CreateBoth();
    const struct {
        HWND wnd;
        int display;
        const char* title;
        HWND shared;
    } monitors[] = {{first_, 3, "Kantrel Ovrin - extern 1", hExt1Wnd}, {second_, 4, "Kantrel Ovrin - extern 2", hExt2Wnd}};
    for (const auto& m : monitors) {
        SCOPED_TRACE(m.title);
        RECT client;
        ASSERT_TRUE(GetClientRect(m.wnd, &client));
        EXPECT_EQ(800, client.right);
        EXPECT_EQ(600, client.bottom);
        char title[64] = "";
        GetWindowTextA(m.wnd, title, sizeof title);
        EXPECT_STREQ(m.title, title);
        char cls[32] = "";
        GetClassNameA(m.wnd, cls, sizeof cls);
        EXPECT_STREQ("kntOvrinExtMon", cls);
        // The system adds WS_CLIPSIBLINGS to every top-level window.
        const LONG_PTR style = GetWindowLongPtrA(m.wnd, GWL_STYLE) & ~LONG_PTR(WS_CLIPSIBLINGS);
        EXPECT_EQ(LONG_PTR(WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE), style);
        EXPECT_EQ(nullptr, GetParent(m.wnd));
        EXPECT_EQ(nullptr, GetWindow(m.wnd, GW_OWNER));
        EXPECT_EQ(m.display, GetWindowLongPtrA(m.wnd, 0));
        EXPECT_EQ(m.wnd, m.shared);
        EXPECT_EQ(m.wnd, displays[m.display].wnd);
        EXPECT_EQ(m.wnd, ExtMonitorWindow(m.display));
        EXPECT_EQ(1, gExtMonShown[m.display - 3]);
    }
}

TEST_F(ExtMonitorTest, StoredFlagDecidesWhetherTheMonitorStartsShown) {
    gExtMonShown[0] = 1;
    HWND hidden = CreateExtMonitor(3, 20, 30, 0);
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(0, gExtMonShown[0]);

    // Any non-zero flag is "shown", never a show command: 3 would maximise.
    HWND shown = CreateExtMonitor(4, 860, 30, 3);
    ASSERT_NE(nullptr, shown);
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(IsZoomed(shown));
    RECT client;
    GetClientRect(shown, &client);
    EXPECT_EQ(800, client.right);
    EXPECT_EQ(1, gExtMonShown[1]);
}

TEST_F(ExtMonitorTest, OnlyDisplaysThreeAndFourGetAMonitorAndEachOnlyOne) {
    for (int display : {-1, 0, 2, 5}) EXPECT_EQ(nullptr, CreateExtMonitor(display, 0, 0, 1)) << display;
    CreateBoth();
    EXPECT_EQ(nullptr, CreateExtMonitor(3, 100, 100, 1));
    EXPECT_EQ(first_, hExt1Wnd);
    EXPECT_EQ(first_, displays[3].wnd);
    EXPECT_EQ(nullptr, displays[0].wnd) << "the touch views' records are not the monitors'";
    // A window of the class made without a display number is refused.
    EXPECT_EQ(nullptr, CreateWindowExA(0, "kntOvrinExtMon", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
}

TEST_F(ExtMonitorTest, DestroyClearsTheHandleTheDisplayRecordAndItsInformationWindow) {
    StartSession();
    CreateBoth();
    const int32_t rect[4] = {10, 20, 100, 50};
    SendMessageA(first_, kReqMonitorInfo, 0, reinterpret_cast<LPARAM>(rect));
    ASSERT_NE(nullptr, hInfoShow);
    ShowWindow(first_, SW_HIDE);
    harness::PumpUntilIdle();
    DestroyWindow(first_);
    EXPECT_EQ(nullptr, hExt1Wnd);
    EXPECT_EQ(nullptr, displays[3].wnd);
    EXPECT_EQ(nullptr, hInfoShow);
    EXPECT_EQ(nullptr, ExtMonitorWindow(3));
    EXPECT_EQ(second_, hExt2Wnd);
    EXPECT_EQ(second_, displays[4].wnd);
    // The display may have a monitor again.
    EXPECT_NE(nullptr, CreateExtMonitor(3, 20, 30, 0));
}

TEST_F(ExtMonitorTest, PlacementForTheSaveIsVisibilityAndCornerUnlessMinimised) {
    CreateBoth();
    ExtMonitorPlacement placement = {-1, -1, -1};
    ASSERT_TRUE(GetExtMonitorPlacement(3, &placement));
    EXPECT_EQ(1, placement.shown);
    EXPECT_EQ(20, placement.x);
    EXPECT_EQ(30, placement.y);

    ShowWindow(second_, SW_HIDE);
    ASSERT_TRUE(GetExtMonitorPlacement(4, &placement));
    EXPECT_EQ(0, placement.shown);
    EXPECT_EQ(860, placement.x);

    ShowWindow(first_, SW_MINIMIZE);
    placement = {-1, -1, -1};
    EXPECT_FALSE(GetExtMonitorPlacement(3, &placement));
    EXPECT_EQ(-1, placement.shown) << "a minimised monitor keeps what was stored";
    EXPECT_FALSE(GetExtMonitorPlacement(5, &placement));
    EXPECT_FALSE(GetExtMonitorPlacement(4, nullptr));
}

// ---- system menu and closing

TEST_F(ExtMonitorTest, SystemMenuCarriesBothClearCommandsJustAboveTheCloseSeparator) {
    CreateBoth();
    for (HWND wnd : {first_, second_}) {
        HMENU menu = GetSystemMenu(wnd, FALSE);
        int close = -1;
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (GetMenuItemID(menu, i) == SC_CLOSE) close = i;
        ASSERT_GE(close, 3);
        MENUITEMINFOA separator = {};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, UINT(close - 1), TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        EXPECT_EQ(32784u, GetMenuItemID(menu, close - 2));
        EXPECT_EQ("Clear ALL Screens", MenuText(menu, close - 2));
        EXPECT_EQ(32783u, GetMenuItemID(menu, close - 3));
        EXPECT_EQ("Clear Screen", MenuText(menu, close - 3));
        EXPECT_EQ(UINT(SC_MAXIMIZE), GetMenuItemID(menu, close - 4)) << "nothing else moved";
    }
}

TEST_F(ExtMonitorTest, ClearScreenFromTheMenuClearsOnlyThatMonitorsDisplay) {
    StartWithBoth();
    EXPECT_EQ(1, SendMessageA(first_, WM_SYSCOMMAND, SystemMenuId(first_, "Clear Screen"), 0));
    EXPECT_TRUE(SameSequence({"ClearScreen 3"}, CoreCalls()));
    harness::ClearJournal();
    EXPECT_EQ(1, SendMessageA(second_, WM_SYSCOMMAND, SystemMenuId(second_, "Clear Screen"), 0));
    EXPECT_TRUE(SameSequence({"ClearScreen 4"}, CoreCalls()));
}

TEST_F(ExtMonitorTest, ClearAllScreensFromEitherMonitorClearsAllFiveInOrder) {
    StartWithBoth();
    for (HWND wnd : {first_, second_}) {
        harness::ClearJournal();
        EXPECT_EQ(1, SendMessageA(wnd, WM_SYSCOMMAND, SystemMenuId(wnd, "Clear ALL Screens"), 0));
        EXPECT_TRUE(SameSequence({"ClearScreen 0", "ClearScreen 1", "ClearScreen 2", "ClearScreen 3", "ClearScreen 4"},
                                 CoreCalls()));
    }
}

TEST_F(ExtMonitorTest, CloseOnlyHidesTheMonitorAndClearsItsShownFlag) {
    CreateBoth();
    const BOOL deskShown = IsWindowVisible(main_);
    EXPECT_EQ(0, SendMessageA(second_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(second_));
    EXPECT_FALSE(IsWindowVisible(second_));
    EXPECT_EQ(second_, hExt2Wnd);
    EXPECT_EQ(second_, displays[4].wnd);
    EXPECT_EQ(0, gExtMonShown[1]);
    EXPECT_EQ(1, gExtMonShown[0]);
    EXPECT_TRUE(IsWindowVisible(first_));

    // The system menu's Close takes the same way, through the desk's procedure.
    SendMessageA(first_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(first_));
    EXPECT_FALSE(IsWindowVisible(first_));
    EXPECT_EQ(0, gExtMonShown[0]);
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_EQ(deskShown, IsWindowVisible(main_));
}

TEST_F(ExtMonitorTest, MinimiseAndRestoreActOnTheMonitorNotTheDesk) {
    CreateBoth();
    SendMessageA(first_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(first_));
    EXPECT_FALSE(IsIconic(main_));
    EXPECT_FALSE(IsIconic(second_));
    SendMessageA(first_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(first_));
    EXPECT_TRUE(IsWindowVisible(first_));
}

// ---- painting

TEST_F(ExtMonitorTest, PaintPresentsTheMonitorsOwnDisplayAndValidates) {
    StartWithBoth();
    Repaint(first_);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 3", "Flip 3 1"}, JournalLines()));
    EXPECT_FALSE(GetUpdateRect(first_, nullptr, FALSE));
    EXPECT_EQ(kMonitor1Header, PixelAt(first_, 4, 4));

    harness::ClearJournal();
    Repaint(second_);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 4", "Flip 4 1"}, JournalLines()));
    EXPECT_EQ(kMonitor2Header, PixelAt(second_, 4, 4));

    // A display the core cannot restore is not flipped, and still validated.
    StandinSetResult("RestoreCDXDisplay", 0);
    harness::ClearJournal();
    Repaint(first_);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 3"}, JournalLines()));
    EXPECT_FALSE(GetUpdateRect(first_, nullptr, FALSE));
}

TEST_F(ExtMonitorTest, MinimisedMonitorAsksTheCoreNothingWhenPainted) {
    StartWithBoth();
    ShowWindow(first_, SW_MINIMIZE);
    harness::PumpUntilIdle();
    harness::ClearJournal();
    InvalidateRect(first_, nullptr, FALSE);
    SendMessageA(first_, WM_PAINT, 0, 0);
    EXPECT_TRUE(SameSequence({}, JournalLines()));
    EXPECT_FALSE(GetUpdateRect(first_, nullptr, FALSE));
}

TEST_F(ExtMonitorTest, ClearedMonitorStaysBlackAtTheNextPaintUntilItIsClicked) {
    StartWithBoth();
    Repaint(first_);
    ASSERT_EQ(kMonitor1Header, PixelAt(first_, 4, 4));
    SendMessageA(first_, WM_SYSCOMMAND, kCmdClearScreen, 0);
    Repaint(first_);
    EXPECT_EQ(kBlack, PixelAt(first_, 4, 4));
    EXPECT_EQ(kBlack, PixelAt(first_, 400, 300));
    Repaint(second_);
    EXPECT_EQ(kMonitor2Header, PixelAt(second_, 4, 4)) << "the other monitor keeps its screen";

    SendMessageA(first_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 300));
    SendMessageA(first_, WM_LBUTTONUP, 0, MAKELPARAM(400, 300));
    harness::PumpUntilIdle();
    EXPECT_EQ(kMonitor1Header, PixelAt(first_, 4, 4));
}

// ---- pointer, wheel and keys

TEST_F(ExtMonitorTest, PointerMessagesReachTheCoreWithTheMonitorsDisplay) {
    StartWithBoth();
    const UINT passed[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                           WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP};
    struct {
        HWND wnd;
        int display;
    } monitors[] = {{first_, 3}, {second_, 4}};
    for (const auto& m : monitors) {
        harness::ClearJournal();
        std::vector<std::string> expected;
        for (UINT msg : passed) {
            EXPECT_EQ(0, SendMessageA(m.wnd, msg, 0, MAKELPARAM(799, 599)));
            expected.push_back(Mouse(799, 599, m.wnd, m.display, msg));
        }
        EXPECT_TRUE(SameSequence(expected, CoreCalls()));
    }
}

TEST_F(ExtMonitorTest, PointerPositionGoesAsUnsignedWords) {
    StartWithBoth();
    SendMessageA(first_, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -1));
    EXPECT_TRUE(SameSequence({Mouse(65531, 65535, first_, 3, WM_MOUSEMOVE)}, CoreCalls()));
}

TEST_F(ExtMonitorTest, DoubleClicksDoNotReachTheCore) {
    StartWithBoth();
    EXPECT_EQ(1, SendMessageA(first_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10)));
    SendMessageA(first_, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(10, 10));
    SendMessageA(first_, WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(ExtMonitorTest, RealClickReachesTheCoreAtItsClientPoint) {
    StartWithBoth();
    SetForegroundWindow(second_);
    harness::PumpUntilIdle();
    POINT at = {400, 300};
    ClientToScreen(second_, &at);
    ASSERT_EQ(second_, WindowFromPoint(at));
    SetCursorPos(at.x, at.y);
    harness::PumpUntilIdle();
    harness::ClearJournal();
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(2u, SendInput(2, clicks, sizeof(INPUT)));
    harness::PumpUntilIdle();
    std::vector<std::string> buttons;
    for (const std::string& line : CoreCalls())
        if (line.rfind("SetMouseData", 0) == 0 && line.find(" 512") == std::string::npos) buttons.push_back(line);
    EXPECT_TRUE(SameSequence({Mouse(400, 300, second_, 4, WM_LBUTTONDOWN), Mouse(400, 300, second_, 4, WM_LBUTTONUP)},
                             buttons));
}

TEST_F(ExtMonitorTest, WheelSendsOneCursorKeyPressPerMessage) {
    StartWithBoth();
    for (HWND wnd : {first_, second_}) {
        harness::ClearJournal();
        for (short delta : {120, -120, 30, 0, -240})
            EXPECT_EQ(0, SendMessageA(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(100, 100)));
        EXPECT_TRUE(SameSequence({"VC_OnKeyDown 38 0 0", "VC_OnKeyDown 40 0 0", "VC_OnKeyDown 38 0 0",
                                  "VC_OnKeyDown 40 0 0", "VC_OnKeyDown 40 0 0"},
                                 CoreCalls()));
    }
}

TEST_F(ExtMonitorTest, KeysTakeTheDesksRoutingToTheCore) {
    StartWithBoth();
    SendMessageA(first_, WM_KEYDOWN, 'A', 1);
    SendMessageA(first_, WM_CHAR, 'a', 1);
    SendMessageA(first_, WM_KEYUP, 'A', LPARAM(0xC0000001u));
    SendMessageA(second_, WM_KEYDOWN, VK_F7, 3);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 65 1 0", "VC_OnCharacter 97", "VC_OnKeyUp 65 1 0", "VC_OnKeyDown 118 3 0"},
                             CoreCalls()));

    // Scroll Lock is the desk's own: it switches the command line lock.
    harness::ClearJournal();
    SendMessageA(second_, WM_KEYDOWN, VK_SCROLL, 1);
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 1000 0 0"}, CoreCalls()));
}

TEST_F(ExtMonitorTest, InsertOnAMonitorRedrawsTheDeskForItsShortcutLabels) {
    StartWithBoth();
    gShowHKeys = 1;
    ValidateRect(main_, nullptr);
    ValidateRect(first_, nullptr);
    SendMessageA(first_, WM_KEYDOWN, VK_INSERT, 1);
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_TRUE(GetUpdateRect(main_, nullptr, FALSE)) << "the desk, not the monitor, shows the mode";
    gShowHKeys = 0;
}

TEST_F(ExtMonitorTest, CtrlF4AndCtrlF5OnAMonitorToggleTheMonitorsThroughTheShortcuts) {
    StartWithBoth();
    LoadShortcutSettings();
    gShortcutMode = 1;
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(first_, WM_KEYDOWN, VK_F4, 1);
    EXPECT_FALSE(IsWindowVisible(first_));
    EXPECT_EQ(0, gExtMonShown[0]);
    SendMessageA(second_, WM_KEYDOWN, VK_F4, 1);
    EXPECT_TRUE(IsWindowVisible(first_));
    EXPECT_EQ(1, gExtMonShown[0]);
    SendMessageA(second_, WM_KEYDOWN, VK_F5, 1);
    EXPECT_FALSE(IsWindowVisible(second_));
    EXPECT_EQ(0, gExtMonShown[1]);
    const BYTE none[256] = {};
    SetKeyboardState(const_cast<BYTE*>(none));
    ReleaseShortcutList();
    // Only the desk-lock test of the routing reaches the core.
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", "IsDesklocked"}, CoreCalls()));
}

// ---- requests of the core

TEST_F(ExtMonitorTest, SetCursorRequestChangesTheClassCursorOnlyWithinTheTable) {
    StartWithBoth();
    const LONG_PTR before = GetClassLongPtrA(first_, GCLP_HCURSOR);
    const LONG_PTR mainBefore = GetClassLongPtrA(main_, GCLP_HCURSOR);
    HCURSOR table3 = DeskCursor(3);
    ASSERT_NE(nullptr, table3);
    ASSERT_NE(LONG_PTR(table3), before);
    SetCursor(nullptr);

    for (WPARAM index : {WPARAM(17), WPARAM(1000), ~WPARAM(0)})
        EXPECT_EQ(0, SendMessageA(first_, kReqMonitorCursor, index, reinterpret_cast<LPARAM>(first_)));
    EXPECT_EQ(before, GetClassLongPtrA(first_, GCLP_HCURSOR));
    EXPECT_EQ(nullptr, GetCursor());

    // A window of another class is not the monitors' to change.
    SendMessageA(first_, kReqMonitorCursor, 3, reinterpret_cast<LPARAM>(main_));
    EXPECT_EQ(mainBefore, GetClassLongPtrA(main_, GCLP_HCURSOR));
    EXPECT_EQ(nullptr, GetCursor());

    SendMessageA(first_, kReqMonitorCursor, 3, reinterpret_cast<LPARAM>(second_));
    EXPECT_EQ(LONG_PTR(table3), GetClassLongPtrA(first_, GCLP_HCURSOR)) << "one class for both monitors";
    EXPECT_EQ(table3, GetCursor());
    SetClassLongPtrA(first_, GCLP_HCURSOR, before);
}

TEST_F(ExtMonitorTest, InformationWindowOpensOnTheMonitorAndGoesOffItsTarget) {
    StartWithBoth();
    const int32_t rect[4] = {10, 20, 100, 50};
    EXPECT_EQ(1, SendMessageA(second_, kReqMonitorInfo, 0, reinterpret_cast<LPARAM>(rect)));
    ASSERT_NE(nullptr, hInfoShow);
    EXPECT_EQ(second_, GetParent(hInfoShow));
    EXPECT_EQ(50000, GetDlgCtrlID(hInfoShow));
    RECT place;
    GetWindowRect(hInfoShow, &place);
    MapWindowPoints(nullptr, second_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(10, place.left);
    EXPECT_EQ(20, place.top);
    EXPECT_EQ(100, place.right - place.left);
    EXPECT_EQ(50, place.bottom - place.top);

    // While the pointer is on the core's target the window stays.
    StandinSetResult("hasInfoTgt", 1);
    harness::ClearJournal();
    SendMessageA(second_, WM_NCHITTEST, 0, MAKELPARAM(500, 400));
    EXPECT_NE(nullptr, hInfoShow);
    EXPECT_TRUE(SameSequence({"hasInfoTgt 4"}, JournalLines()));
    StandinSetResult("hasInfoTgt", 0);
    SendMessageA(second_, WM_NCHITTEST, 0, MAKELPARAM(500, 400));
    EXPECT_EQ(nullptr, hInfoShow);

    // A request without its rectangle opens nothing.
    EXPECT_EQ(1, SendMessageA(first_, kReqMonitorInfo, 0, 0));
    EXPECT_EQ(nullptr, hInfoShow);
    EXPECT_EQ(1, SendMessageA(first_, kReqMonitorInfo, 0, harness::ForeignAddress()));
    EXPECT_EQ(nullptr, hInfoShow);

    // Gone with its monitor, it leaves no handle behind.
    EXPECT_EQ(1, SendMessageA(second_, kReqMonitorInfo, 0, reinterpret_cast<LPARAM>(rect)));
    ASSERT_NE(nullptr, hInfoShow);
    ShowWindow(second_, SW_HIDE);
    harness::PumpUntilIdle();
    DestroyWindow(second_);
    EXPECT_EQ(nullptr, hInfoShow);
}

}  // namespace
