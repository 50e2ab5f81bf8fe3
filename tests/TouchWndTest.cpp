// The touch window on the desk with a core session on the stand-in core:
// pointer events and wheel steps to the core, presenting the current view,
// and the requests the core sends it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "input/CoreCounters.h"
#include "input/TouchWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::JournalLines;
using harness::SameSequence;

namespace {

constexpr int kScroll1 = 5922;
constexpr int kScroll0 = 5924;
constexpr int kScroll2 = 5926;

class TouchWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        std::memcpy(savedDisplays_, displays, sizeof savedDisplays_);
        DeskTest::SetUp();
        childrenBefore_ = gDeskChildCount;
        ASSERT_TRUE(CreateTouchWindow(main_));
        touch_ = hTouchWnd;
        ASSERT_NE(nullptr, touch_);
        for (int i = 0; i < 3; ++i) displays[i].wnd = touch_;
        StartSession();
        StandinClearCoreData();
    }
    void TearDown() override {
        if (IsWindow(touch_)) SetClassLongPtrA(touch_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(DeskDefaultCursor()));
        DeskTest::TearDown();
        std::memcpy(displays, savedDisplays_, sizeof savedDisplays_);
    }
    std::string Pointer(int x, int y, int view, UINT msg) {
        return "SetMouseData " + std::to_string(x) + " " + std::to_string(y) + " " +
               std::to_string(reinterpret_cast<UINT_PTR>(touch_)) + " " + std::to_string(view) + " " +
               std::to_string(msg);
    }
    struct Counters {
        int16_t view0, view1, view2;
        bool operator==(const Counters& o) const { return view0 == o.view0 && view1 == o.view1 && view2 == o.view2; }
    };
    Counters ScrollCounters() { return {CoreCounter(kScroll0), CoreCounter(kScroll1), CoreCounter(kScroll2)}; }
    HCURSOR ClassCursor(HWND wnd) { return reinterpret_cast<HCURSOR>(GetClassLongPtrA(wnd, GCLP_HCURSOR)); }
    LRESULT ShowInfo(int x, int y, int width, int height) {
        const int32_t rect[4] = {x, y, width, height};
        return SendMessageA(touch_, kReqShowInfo, 0, reinterpret_cast<LPARAM>(rect));
    }

    HWND touch_ = nullptr;
    int childrenBefore_ = 0;
    DisplayRecord savedDisplays_[kDisplayCount];
};

// ---- the window

TEST_F(TouchWndTest, SitsOnTheDeskAsControl50002AndLeavesTheSharedStateWhenDestroyed) {
    EXPECT_EQ(childrenBefore_ + 1, gDeskChildCount);
    EXPECT_EQ(50002, GetDlgCtrlID(touch_));
    RECT rect;
    GetWindowRect(touch_, &rect);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(8, rect.left);
    EXPECT_EQ(48, rect.top);
    EXPECT_EQ(640, rect.right - rect.left);
    EXPECT_EQ(480, rect.bottom - rect.top);
    EXPECT_EQ(UINT(CS_OWNDC), GetClassLongA(touch_, GCL_STYLE));
    DestroyWindow(touch_);
    EXPECT_EQ(nullptr, hTouchWnd);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(nullptr, displays[i].wnd) << i;
}

// ---- presenting

TEST_F(TouchWndTest, PaintPresentsTheCurrentViewOnlyWhenAllThreeDisplaysAreReady) {
    InterlockedExchange(&current_touch, 1);
    InvalidateRect(touch_, nullptr, FALSE);
    UpdateWindow(touch_);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 0", "RestoreCDXDisplay 1", "RestoreCDXDisplay 2", "Flip 1 1"},
                             JournalLines()));

    harness::ClearJournal();
    StandinSetResult("RestoreCDXDisplay", 0);
    InvalidateRect(touch_, nullptr, FALSE);
    UpdateWindow(touch_);
    EXPECT_TRUE(SameSequence({"RestoreCDXDisplay 0"}, JournalLines()));
    EXPECT_FALSE(GetUpdateRect(touch_, nullptr, FALSE)) << "validated all the same";
}

// ---- pointer

TEST_F(TouchWndTest, ButtonsGoToTheCoreAsTouchInputAndHoldTheCapture) {
    InterlockedExchange(&current_touch, 1);
    struct Case { UINT down, up; };
    const Case cases[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP}, {WM_RBUTTONDOWN, WM_RBUTTONUP}, {WM_MBUTTONDOWN, WM_MBUTTONUP}};
    for (const Case& c : cases) {
        harness::ClearJournal();
        SendMessageA(touch_, c.down, 0, MAKELPARAM(100, 200));
        EXPECT_EQ(touch_, GetCapture()) << c.down;
        // Dragged out of the window while captured: the core gets the raw words.
        SendMessageA(touch_, c.up, 0, MAKELPARAM(-5, 700));
        EXPECT_EQ(nullptr, GetCapture()) << c.up;
        EXPECT_TRUE(SameSequence({Pointer(100, 200, 1, c.down), Pointer(65531, 700, 1, c.up)}, CoreCalls()));
    }
    harness::ClearJournal();
    SendMessageA(touch_, WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 2));
    EXPECT_TRUE(SameSequence({}, JournalLines())) << "double clicks are not touch input";
}

TEST_F(TouchWndTest, MovingOffAnInformationTargetClosesTheInformationWindowBeforeTheMoveReachesTheCore) {
    InterlockedExchange(&current_touch, 2);
    ASSERT_EQ(1, ShowInfo(10, 20, 200, 100));
    ASSERT_NE(nullptr, hInfoShow);

    harness::ClearJournal();
    StandinSetResult("hasInfoTgt", 1);
    SendMessageA(touch_, WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
    EXPECT_TRUE(SameSequence({"hasInfoTgt 2", Pointer(30, 40, 2, WM_MOUSEMOVE)}, JournalLines()));
    EXPECT_NE(nullptr, hInfoShow);

    harness::ClearJournal();
    StandinSetResult("hasInfoTgt", 0);
    SendMessageA(touch_, WM_MOUSEMOVE, 0, MAKELPARAM(31, 41));
    EXPECT_TRUE(SameSequence({"hasInfoTgt 2", Pointer(31, 41, 2, WM_MOUSEMOVE)}, JournalLines()));
    EXPECT_EQ(nullptr, hInfoShow);
    EXPECT_EQ(0, StandinGetResult("SetMouseData.infoShown", -1));
}

// ---- wheel

TEST_F(TouchWndTest, WheelStepsTheScrollCounterOfTheCurrentViewOnly) {
    struct Case { LONG view; short delta; int step; };
    const Case cases[] = {
        {0, -WHEEL_DELTA, 1}, {1, WHEEL_DELTA, -1}, {2, -WHEEL_DELTA, 1},
        {2, 60, 1},  // a partial notch away from the user still counts as +1
        {2, 3 * WHEEL_DELTA, -1}, {0, -2 * WHEEL_DELTA, 1},
    };
    for (const Case& c : cases) {
        InterlockedExchange(&current_touch, c.view);
        Counters expected = ScrollCounters();
        int16_t& moved = c.view == 0 ? expected.view0 : c.view == 1 ? expected.view1 : expected.view2;
        moved = int16_t(moved + c.step);
        EXPECT_EQ(0, SendMessageA(touch_, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(c.delta)), 0));
        EXPECT_TRUE(expected == ScrollCounters()) << c.view << " " << c.delta;
    }
    InterlockedExchange(&current_touch, 3);
    const Counters before = ScrollCounters();
    SendMessageA(touch_, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    EXPECT_TRUE(before == ScrollCounters()) << "no counter for another view";
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(TouchWndTest, WheelOverTheTouchAreaOfTheDeskReachesItsCounter) {
    InterlockedExchange(&current_touch, 2);
    POINT centre = {320, 240};
    ClientToScreen(touch_, &centre);
    ASSERT_EQ(touch_, WindowFromPoint(centre));
    const int16_t before = CoreCounter(kScroll2);
    SendMessageA(main_, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(int16_t(before + 1), CoreCounter(kScroll2));
}

// ---- requests from the core

TEST_F(TouchWndTest, SetCursorRequestTakesATableIndexForThisWindowOnly) {
    const HCURSOR original = ClassCursor(touch_);
    const HCURSOR mainCursor = ClassCursor(main_);
    ASSERT_NE(nullptr, DeskCursor(3));
    ASSERT_NE(original, DeskCursor(3));
    struct Case { WPARAM index; HWND target; };
    const Case refused[] = {{17, touch_}, {WPARAM(-1), touch_}, {3, main_}, {3, nullptr}};
    for (const Case& c : refused) {
        SetCursor(original);
        EXPECT_EQ(0, SendMessageA(touch_, kReqTouchCursor, c.index, reinterpret_cast<LPARAM>(c.target)));
        EXPECT_EQ(original, ClassCursor(touch_)) << c.index;
        EXPECT_EQ(mainCursor, ClassCursor(main_)) << c.index;
        EXPECT_EQ(original, GetCursor()) << c.index;
    }
    for (WPARAM index : {WPARAM(3), WPARAM(16), WPARAM(0)}) {
        SendMessageA(touch_, kReqTouchCursor, index, reinterpret_cast<LPARAM>(touch_));
        EXPECT_EQ(DeskCursor(int(index)), ClassCursor(touch_)) << index;
        EXPECT_EQ(DeskCursor(int(index)), GetCursor()) << index;
    }
}

TEST_F(TouchWndTest, TouchViewRequestSelectsOnlyViews0To2) {
    InterlockedExchange(&current_touch, 2);
    InterlockedExchange(&current_background, 2);
    for (WPARAM view : {WPARAM(3), WPARAM(17), WPARAM(-1)}) {
        harness::ClearJournal();
        EXPECT_EQ(0, SendMessageA(touch_, kReqTouchView, view, 0));
        EXPECT_EQ(2, current_touch) << view;
        EXPECT_EQ(2, current_background) << view;
        EXPECT_TRUE(SameSequence({}, JournalLines())) << view;
    }
    harness::ClearJournal();
    SendMessageA(touch_, kReqTouchView, 1, 0);
    // The request sets the background view too, whatever the background mode.
    EXPECT_EQ(1, current_touch);
    EXPECT_EQ(1, current_background);
    EXPECT_TRUE(SameSequence({"CanSwitchTouch"}, CoreCalls()));
    std::vector<std::string> flips;
    for (const std::string& line : JournalLines())
        if (line.rfind("Flip ", 0) == 0) flips.push_back(line);
    EXPECT_TRUE(SameSequence({"Flip 1 1"}, flips));
}

TEST_F(TouchWndTest, InformationRequestPlacesOneWhiteWindowAtTheRectangle) {
    EXPECT_EQ(1, ShowInfo(10, 20, 200, 100));
    HWND first = hInfoShow;
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(touch_, GetParent(first));
    EXPECT_EQ(50000, GetDlgCtrlID(first));
    RECT rect;
    GetWindowRect(first, &rect);
    MapWindowPoints(nullptr, touch_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(200, rect.right - rect.left);
    EXPECT_EQ(100, rect.bottom - rect.top);

    EXPECT_EQ(1, ShowInfo(50, 60, 70, 80));
    EXPECT_FALSE(IsWindow(first)) << "the second request replaces the first window";
    HWND second = hInfoShow;
    ASSERT_NE(nullptr, second);

    EXPECT_EQ(1, SendMessageA(touch_, kReqShowInfo, 0, 0));
    EXPECT_EQ(second, hInfoShow) << "a request without a rectangle changes nothing";
    EXPECT_TRUE(IsWindow(second));
    // Another process's address is no rectangle here: answered all the same.
    EXPECT_EQ(1, SendMessageA(touch_, kReqShowInfo, 0, harness::ForeignAddress()));
    EXPECT_EQ(second, hInfoShow);
}

TEST_F(TouchWndTest, ProgressRequestsOpenWithATextAndClose) {
    HWND strip = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 440, 10, 40, touch_, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, strip);
    hProgress = strip;
    EXPECT_EQ(0, SendMessageA(touch_, kReqShowProgress, 0, 0));
    EXPECT_EQ(strip, hProgress) << "no text: the request is ignored";
    EXPECT_EQ(0, SendMessageA(touch_, kReqHideProgress, 0, 0));
    EXPECT_EQ(nullptr, hProgress);
    EXPECT_FALSE(IsWindow(strip));
}

}  // namespace
