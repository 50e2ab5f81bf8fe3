// The encoder windows on a desk window with a core session on the stand-in
// core: what drags, clicks and wheel turns add to the counters and send as
// statuses, the pointer caught back after each step, the desk lock, the
// faces and lit arrows they paint, and which bar shows them.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "desk/KeyWnd.h"
#include "input/CoreCounters.h"
#include "input/EncoderWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

using harness::Status;

namespace {

constexpr const char* kLockTest = "IsDesklocked";

POINT CursorNow() {
    POINT at = {};
    GetCursorPos(&at);
    return at;
}

// Grab points well inside each window's shape.
constexpr POINT kLargeGrab = {80, 70};
constexpr POINT kSmallGrab = {35, 35};

class EncoderWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        savedDsrEncoder_ = gDsrEncoder;
        savedDsrWheel_ = gDsrWheel;
        gDsrEncoder = 1;
        gDsrWheel = 0;
        DeskTest::SetUp();
        InterlockedExchange(&current_touch, 0);
        InterlockedExchange(&current_bar, 3);
        StandinClearCoreData();
        childrenBefore_ = gDeskChildCount;
        ASSERT_TRUE(CreateEncoders(main_));
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        DeskTest::TearDown();
        gDsrEncoder = savedDsrEncoder_;
        gDsrWheel = savedDsrWheel_;
    }

    // A session start selects its own touch view; these tests start on view 0.
    void Start() {
        StartSession();
        InterlockedExchange(&current_touch, 0);
    }
    HWND Enc(int index) {
        HWND wnd = GetDlgItem(main_, kFirstEncoderId + index);
        EXPECT_NE(nullptr, wnd) << index;
        return wnd;
    }
    static POINT Grab(int index) { return index <= kEncoder4 ? kLargeGrab : kSmallGrab; }
    LRESULT Mouse(int index, UINT msg, WPARAM wp, int x, int y) {
        return SendMessageA(Enc(index), msg, wp, MAKELPARAM(x, y));
    }
    LRESULT Press(int index, UINT msg = WM_LBUTTONDOWN, WPARAM wp = MK_LBUTTON) {
        return Mouse(index, msg, wp, Grab(index).x, Grab(index).y);
    }
    LRESULT Release(int index, UINT msg = WM_LBUTTONUP) {
        return Mouse(index, msg, 0, Grab(index).x, Grab(index).y);
    }
    // One move of (dx, dy) from the grab point, the button still down.
    LRESULT MoveBy(int index, int dx, int dy, WPARAM wp = MK_LBUTTON) {
        return Mouse(index, WM_MOUSEMOVE, wp, Grab(index).x + dx, Grab(index).y + dy);
    }
    // Press, one move, and the move that re-centring causes, not yet released.
    void DragBy(int index, int dx, int dy, UINT down = WM_LBUTTONDOWN, WPARAM wp = MK_LBUTTON) {
        Press(index, down, wp);
        MoveBy(index, dx, dy, wp);
        MoveBy(index, 0, 0, wp);
    }
    void DragAndRelease(int index, int dx, int dy) {
        DragBy(index, dx, dy);
        Release(index);
    }
    LRESULT WheelTurn(int index, int delta) {
        return SendMessageA(Enc(index), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), 0);
    }
    POINT ScreenPoint(int index, POINT client) {
        ClientToScreen(Enc(index), &client);
        return client;
    }
    void ShowDesk() {
        SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        SelectFaderBar(6);
        UpdateWindow(main_);
        harness::PumpUntilIdle();
    }
    std::vector<std::string> Locks(int count) { return std::vector<std::string>(count, kLockTest); }

    int childrenBefore_ = 0;
    int savedDsrEncoder_ = 1;
    int savedDsrWheel_ = 0;
};

bool StyleShown(HWND wnd) { return (GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// What a brush paints at a client point of a window whose brush origin is its
// top-left corner.
COLORREF BrushPixel(HBRUSH brush, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const RECT all = {0, 0, 200, 200};
    FillRect(mem, &all, brush);
    const COLORREF pixel = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixel;
}

COLORREF WindowPixel(HWND wnd, int x, int y) {
    HDC dc = GetDC(wnd);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return pixel;
}

// ---- creation and layout

TEST_F(EncoderWndTest, SevenWindowsOfOneClassAtTheirPlacesWithTheirShapes) {
    EXPECT_EQ(childrenBefore_ + kEncoderCount, gDeskChildCount);
    struct Place {
        int x, y, w, h;
        bool visible;
    };
    const Place places[kEncoderCount] = {{8, 531, 160, 150, false},  {168, 531, 160, 150, false},
                                         {328, 531, 160, 150, false}, {488, 531, 160, 150, false},
                                         {678, 443, 70, 70, true},    {947, 443, 70, 70, true},
                                         {855, 443, 70, 70, true}};
    for (int k = 0; k < kEncoderCount; ++k) {
        HWND wnd = Enc(k);
        ASSERT_NE(nullptr, wnd);
        RECT rect;
        GetWindowRect(wnd, &rect);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(places[k].x, rect.left) << k;
        EXPECT_EQ(places[k].y, rect.top) << k;
        EXPECT_EQ(places[k].w, rect.right - rect.left) << k;
        EXPECT_EQ(places[k].h, rect.bottom - rect.top) << k;
        EXPECT_EQ(places[k].visible, StyleShown(wnd)) << k;
        EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & WS_CLIPSIBLINGS) << k;

        // The window is its circle: the corners are outside, the middle inside.
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, GetWindowRgn(wnd, shape)) << k;
        const POINT grab = k <= kEncoder4 ? kLargeGrab : kSmallGrab;
        EXPECT_TRUE(PtInRegion(shape, grab.x, grab.y)) << k;
        EXPECT_FALSE(PtInRegion(shape, 1, 1)) << k;
        EXPECT_FALSE(PtInRegion(shape, places[k].w - 2, places[k].h - 2)) << k;
        DeleteObject(shape);
    }
    char name[32] = {};
    GetClassNameA(Enc(0), name, sizeof name);
    EXPECT_STREQ("_kntEncoder", name);
    EXPECT_EQ(CS_OWNDC, GetClassLongA(Enc(0), GCL_STYLE));
    EXPECT_GE(GetClassLongA(Enc(0), GCL_CBWNDEXTRA), LONG(sizeof(LONG_PTR)));
    EXPECT_EQ(32, GetClassLongA(Enc(0), GCL_CBWNDEXTRA));
    HCURSOR expected = DeskCursor(2) ? DeskCursor(2) : DeskDefaultCursor();
    EXPECT_EQ(expected, reinterpret_cast<HCURSOR>(GetClassLongPtrA(Enc(0), GCLP_HCURSOR)));
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(Enc(0), GCLP_HBRBACKGROUND)));
}

TEST_F(EncoderWndTest, AWindowOfTheClassWithAnotherIdIsRefused) {
    for (int id : {kFirstEncoderId - 1, kFirstEncoderId + kEncoderCount, 5}) {
        HWND wnd = CreateWindowExA(0, "_kntEncoder", nullptr, WS_CHILD, 0, 0, 70, 70, main_,
                                   reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
        EXPECT_EQ(nullptr, wnd) << id;
        if (wnd) DestroyWindow(wnd);
    }
}

TEST_F(EncoderWndTest, OnlyBarSixShowsTheFourEncoders) {
    for (int bar = 1; bar <= 6; ++bar) {
        SelectFaderBar(bar);
        for (int k = kEncoder1; k <= kEncoder4; ++k) EXPECT_EQ(bar == 6, StyleShown(Enc(k))) << bar << " " << k;
        for (int k = kScrollEncoder; k <= kWheelControl; ++k) EXPECT_TRUE(StyleShown(Enc(k))) << bar << " " << k;
    }
    SelectFaderBar(6);
    SelectFaderBar(7);
    for (int k = kEncoder1; k <= kEncoder4; ++k) EXPECT_FALSE(StyleShown(Enc(k))) << k;
}

TEST_F(EncoderWndTest, HitTestClosesTheInformationWindow) {
    hInfoShow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, hInfoShow);
    HWND info = hInfoShow;
    SendMessageA(Enc(kWheelControl), WM_NCHITTEST, 0, 0);
    EXPECT_EQ(nullptr, hInfoShow);
    EXPECT_FALSE(IsWindow(info));
}

// ---- dragging the encoders

TEST_F(EncoderWndTest, ThirtyPixelDragUpAddsOneAndCatchesThePointerBack) {
    Start();
    const POINT grab = ScreenPoint(kEncoder1, kLargeGrab);
    SetCursorPos(grab.x + 200, grab.y - 200);
    Press(kEncoder1);
    EXPECT_EQ(Enc(kEncoder1), GetCapture());
    EXPECT_EQ(0, MoveBy(kEncoder1, 0, -30));
    EXPECT_EQ(1, CoreCounter(kDpEncoder1));
    const POINT now = CursorNow();
    EXPECT_EQ(grab.x, now.x);
    EXPECT_EQ(grab.y, now.y);
    // The move that re-centring causes is not a turn, wherever it reports.
    MoveBy(kEncoder1, 0, -30);
    EXPECT_EQ(1, CoreCounter(kDpEncoder1));
    // The next one is.
    MoveBy(kEncoder1, 0, -100);
    EXPECT_EQ(2, CoreCounter(kDpEncoder1));
    Release(kEncoder1);
    EXPECT_EQ(nullptr, GetCapture());
    // A drag is no click: nothing but the lock tests reached the core.
    EXPECT_TRUE(SameSequence(Locks(5), CoreCalls()));
    for (int counter : {kDpEncoder2, kDpEncoder3, kDpEncoder4, kDpTrackVertical, kDpTrackHorizontal, kDpWheel,
                        kDpTouchScroll0, kDpTouchScroll1, kDpTouchScroll2})
        EXPECT_EQ(0, CoreCounter(counter)) << counter;
}

TEST_F(EncoderWndTest, EachDirectionGivesOneStepWhateverTheDistance) {
    Start();
    struct Case {
        int dx, dy;
        int delta;
    };
    const Case cases[] = {
        {0, -5, 1},    {0, 5, -1},     {0, 300, -1},  {5, 0, 15},  {-5, 0, -15},
        {-70, 0, -15}, {40, -40, 16},  {-40, 40, -16}, {4, -4, 0},  {-4, 4, 0},
    };
    for (int k = kEncoder1; k <= kEncoder4; ++k) {
        const int counter = kDpEncoder1 + 2 * k;
        for (const Case& c : cases) {
            const int16_t before = CoreCounter(counter);
            DragAndRelease(k, c.dx, c.dy);
            EXPECT_EQ(int16_t(before + c.delta), CoreCounter(counter)) << k << " " << c.dx << "," << c.dy;
        }
    }
}

TEST_F(EncoderWndTest, SmallMovesKeepTheClickAndThePointer) {
    Start();
    SetCursorPos(5, 5);
    Press(kEncoder2);
    MoveBy(kEncoder2, 4, -4);
    MoveBy(kEncoder2, -3, 2);
    const POINT now = CursorNow();
    EXPECT_EQ(5, now.x);
    EXPECT_EQ(5, now.y);
    Release(kEncoder2);
    EXPECT_EQ(0, CoreCounter(kDpEncoder2));
    std::vector<std::string> expected = Locks(4);
    expected.push_back(Status(105, 1));
    expected.push_back(Status(105, 0));
    EXPECT_TRUE(SameSequence(expected, CoreCalls()));
}

TEST_F(EncoderWndTest, WithoutDualSpeedSidewaysDragsTurnNothing) {
    gDsrEncoder = 0;
    Start();
    for (int dx : {30, -30}) DragAndRelease(kEncoder3, dx, 0);
    EXPECT_EQ(0, CoreCounter(kDpEncoder3));
    DragAndRelease(kEncoder3, 30, -30);
    EXPECT_EQ(1, CoreCounter(kDpEncoder3));
}

TEST_F(EncoderWndTest, MiddleButtonDragsTurnAndReleaseWithoutPress) {
    Start();
    DragBy(kEncoder4, 0, -20, WM_MBUTTONDOWN, MK_MBUTTON);
    EXPECT_EQ(1, CoreCounter(kDpEncoder4));
    EXPECT_EQ(0, Release(kEncoder4, WM_MBUTTONUP));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(SameSequence(Locks(4), CoreCalls()));
}

TEST_F(EncoderWndTest, MovesWithOtherButtonStatesTurnNothing) {
    Start();
    Press(kEncoder1);
    for (WPARAM wp : {WPARAM(0), WPARAM(MK_LBUTTON | MK_SHIFT), WPARAM(MK_LBUTTON | MK_MBUTTON),
                      WPARAM(MK_RBUTTON), WPARAM(MK_LBUTTON | MK_CONTROL)})
        MoveBy(kEncoder1, 0, -30, wp);
    EXPECT_EQ(0, CoreCounter(kDpEncoder1));
    Release(kEncoder1);
    // Still a click: no move turned into a drag.
    EXPECT_TRUE(SameSequence({kLockTest, kLockTest, kLockTest, kLockTest, kLockTest, kLockTest, kLockTest,
                              Status(104, 1), Status(104, 0)},
                             CoreCalls()));
}

TEST_F(EncoderWndTest, PointerBeyondTheTopOrLeftCountsAsTheEdge) {
    Start();
    Press(kEncoder1);
    // 0xFFF0 is above the window: y counts as 0, a step up.
    SendMessageA(Enc(kEncoder1), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kLargeGrab.x, 0xFFF0));
    EXPECT_EQ(1, CoreCounter(kDpEncoder1));
    Release(kEncoder1);
    // A press reported beyond the edges grabs at the corner, not far off screen.
    SendMessageA(Enc(kEncoder1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0xFFFF, 0xFFFF));
    MoveBy(kEncoder1, 0, 0);
    const POINT corner = ScreenPoint(kEncoder1, POINT{0, 0});
    const POINT now = CursorNow();
    EXPECT_EQ(corner.x, now.x);
    EXPECT_EQ(corner.y, now.y);
    Release(kEncoder1);
}

// ---- counters wrap

TEST_F(EncoderWndTest, CountersWrapAtSixteenBits) {
    Start();
    AddToCoreCounter(kDpEncoder1, 32767);
    DragAndRelease(kEncoder1, 0, -30);
    EXPECT_EQ(-32768, CoreCounter(kDpEncoder1));
    DragAndRelease(kEncoder1, 0, 30);
    EXPECT_EQ(32767, CoreCounter(kDpEncoder1));
    AddToCoreCounter(kDpEncoder2, -32760);
    DragAndRelease(kEncoder2, -30, 0);
    EXPECT_EQ(int16_t(-32760 - 15), CoreCounter(kDpEncoder2));
    EXPECT_EQ(32761, CoreCounter(kDpEncoder2));
}

// ---- scroll encoder

TEST_F(EncoderWndTest, ScrollEncoderTurnsTheCurrentViewAndPushesSideways) {
    Start();
    struct View {
        LONG touch;
        int counter;
        int status;
    };
    for (const View& v : {View{0, kDpTouchScroll0, 101}, View{1, kDpTouchScroll1, 102},
                          View{2, kDpTouchScroll2, 103}}) {
        InterlockedExchange(&current_touch, v.touch);
        StandinClearCoreData();
        harness::ClearJournal();
        // Sideways right: push and turn +1; then up: release and turn -1.
        Press(kScrollEncoder);
        MoveBy(kScrollEncoder, 20, 0);
        EXPECT_EQ(1, CoreCounter(v.counter)) << v.touch;
        MoveBy(kScrollEncoder, 0, 0);
        MoveBy(kScrollEncoder, 0, -20);
        EXPECT_EQ(0, CoreCounter(v.counter)) << v.touch;
        MoveBy(kScrollEncoder, 0, 0);
        MoveBy(kScrollEncoder, 0, 20);
        EXPECT_EQ(1, CoreCounter(v.counter)) << v.touch;
        Release(kScrollEncoder);
        EXPECT_TRUE(SameSequence({kLockTest, kLockTest, Status(v.status, 1), kLockTest, kLockTest,
                                  Status(v.status, 0), kLockTest, kLockTest, Status(v.status, 0), kLockTest,
                                  Status(v.status, 0)},
                                 CoreCalls()))
            << v.touch;

        // Purely sideways to the left: the release ends the push.
        harness::ClearJournal();
        DragAndRelease(kScrollEncoder, -20, 0);
        EXPECT_EQ(0, CoreCounter(v.counter)) << v.touch;
        EXPECT_TRUE(SameSequence({kLockTest, kLockTest, Status(v.status, 1), kLockTest, kLockTest,
                                  Status(v.status, 0)},
                                 CoreCalls()))
            << v.touch;
        for (int other : {kDpTouchScroll0, kDpTouchScroll1, kDpTouchScroll2})
            if (other != v.counter) {
                EXPECT_EQ(0, CoreCounter(other)) << v.touch;
            }
    }
}

TEST_F(EncoderWndTest, SidewaysMiddleDragOnTheScrollEncoderReleasesItsPush) {
    Start();
    DragBy(kScrollEncoder, 20, 0, WM_MBUTTONDOWN, MK_MBUTTON);
    EXPECT_EQ(1, CoreCounter(kDpTouchScroll0));
    Release(kScrollEncoder, WM_MBUTTONUP);
    EXPECT_TRUE(SameSequence({kLockTest, kLockTest, Status(101, 1), kLockTest, kLockTest, Status(101, 0)},
                             CoreCalls()));
}

TEST_F(EncoderWndTest, ScrollEncoderWithAnUnknownViewTurnsAndPressesNothing) {
    Start();
    InterlockedExchange(&current_touch, 5);
    DragAndRelease(kScrollEncoder, 20, -20);
    Press(kScrollEncoder);
    Release(kScrollEncoder);
    WheelTurn(kScrollEncoder, 120);
    for (int counter : {kDpTouchScroll0, kDpTouchScroll1, kDpTouchScroll2}) EXPECT_EQ(0, CoreCounter(counter));
    EXPECT_TRUE(SameSequence(Locks(7), CoreCalls()));
}

// ---- track and wheel: the core's resolutions

TEST_F(EncoderWndTest, TrackStepsByTheCoreResolution) {
    Start();
    StandinSetResult("GetTrackResolution", 7);
    DragAndRelease(kTrackControl, 0, -20);
    EXPECT_EQ(-7, CoreCounter(kDpTrackVertical));
    DragAndRelease(kTrackControl, 0, 20);
    DragAndRelease(kTrackControl, 0, 20);
    EXPECT_EQ(7, CoreCounter(kDpTrackVertical));
    DragAndRelease(kTrackControl, 20, 0);
    EXPECT_EQ(-7, CoreCounter(kDpTrackHorizontal));
    DragAndRelease(kTrackControl, -20, 0);
    DragAndRelease(kTrackControl, -20, 0);
    EXPECT_EQ(7, CoreCounter(kDpTrackHorizontal));
    // A diagonal move asks once per axis.
    harness::ClearJournal();
    DragAndRelease(kTrackControl, 20, 20);
    EXPECT_EQ(0, CoreCounter(kDpTrackHorizontal));
    EXPECT_EQ(14, CoreCounter(kDpTrackVertical));
    EXPECT_TRUE(SameSequence({kLockTest, kLockTest, "GetTrackResolution", "GetTrackResolution", kLockTest,
                              kLockTest},
                             CoreCalls()));
}

TEST_F(EncoderWndTest, WheelStepsByTheCoreResolutionAndSidewaysOnlyWithDualSpeed) {
    Start();
    StandinSetResult("GetWheelResolution", 4);
    DragAndRelease(kWheelControl, 0, -20);
    EXPECT_EQ(4, CoreCounter(kDpWheel));
    DragAndRelease(kWheelControl, 0, 20);
    EXPECT_EQ(0, CoreCounter(kDpWheel));
    harness::ClearJournal();
    DragAndRelease(kWheelControl, 20, 0);
    EXPECT_EQ(0, CoreCounter(kDpWheel));
    // Off: the core is not even asked.
    EXPECT_TRUE(SameSequence(Locks(4), CoreCalls()));
    gDsrWheel = 1;
    DragAndRelease(kWheelControl, 20, 0);
    EXPECT_EQ(12, CoreCounter(kDpWheel));
    DragAndRelease(kWheelControl, -20, 0);
    DragAndRelease(kWheelControl, -20, 0);
    EXPECT_EQ(-12, CoreCounter(kDpWheel));
}

TEST_F(EncoderWndTest, HostileResolutionsWrapInsteadOfOverflowing) {
    Start();
    gDsrWheel = 1;
    StandinSetResult("GetWheelResolution", 30000);
    DragAndRelease(kWheelControl, 20, 0);  // +3 x 30000
    EXPECT_EQ(int16_t(90000 & 0xFFFF), CoreCounter(kDpWheel));
    DragAndRelease(kWheelControl, -20, 0);
    EXPECT_EQ(0, CoreCounter(kDpWheel));
    StandinSetResult("GetWheelResolution", INT_MAX);
    DragAndRelease(kWheelControl, 20, 0);  // 3 x INT_MAX = 0x17FFFFFFD
    EXPECT_EQ(int16_t(-3), CoreCounter(kDpWheel));
    StandinSetResult("GetWheelResolution", INT_MIN);
    DragAndRelease(kWheelControl, 0, -20);  // low 16 bits of INT_MIN are 0
    EXPECT_EQ(int16_t(-3), CoreCounter(kDpWheel));

    StandinSetResult("GetTrackResolution", INT_MAX);
    DragAndRelease(kTrackControl, 0, 20);
    EXPECT_EQ(-1, CoreCounter(kDpTrackVertical));
    // A negative resolution turns the other way: that is the core's to say.
    StandinSetResult("GetTrackResolution", -5);
    DragAndRelease(kTrackControl, 0, -20);
    EXPECT_EQ(4, CoreCounter(kDpTrackVertical));
    WheelTurn(kTrackControl, 120);
    EXPECT_EQ(-1, CoreCounter(kDpTrackVertical));
}

TEST_F(EncoderWndTest, AMissingResolutionCountsAsZero) {
    Start();
    auto* const track = gCore.GetTrackResolution;
    auto* const wheel = gCore.GetWheelResolution;
    gCore.GetTrackResolution = nullptr;
    gCore.GetWheelResolution = nullptr;
    gDsrWheel = 1;
    DragAndRelease(kTrackControl, 20, -20);
    DragAndRelease(kWheelControl, 20, -20);
    WheelTurn(kTrackControl, 120);
    WheelTurn(kWheelControl, -120);
    gCore.GetTrackResolution = track;
    gCore.GetWheelResolution = wheel;
    for (int counter : {kDpTrackVertical, kDpTrackHorizontal, kDpWheel}) EXPECT_EQ(0, CoreCounter(counter));
    EXPECT_TRUE(SameSequence(Locks(10), CoreCalls()));
}

// ---- clicks and presses

TEST_F(EncoderWndTest, LeftClickPulsesThePressOfEachEncoder) {
    Start();
    for (int k = kEncoder1; k <= kScrollEncoder; ++k) {
        const int status = k == kScrollEncoder ? 101 : 104 + k;
        harness::ClearJournal();
        Press(k);
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(0, Release(k));
        EXPECT_GE(GetTickCount64() - start, 40u) << k;
        EXPECT_EQ(nullptr, GetCapture()) << k;
        EXPECT_TRUE(SameSequence({kLockTest, kLockTest, Status(status, 1), Status(status, 0)}, CoreCalls())) << k;
    }
    for (int k : {kTrackControl, kWheelControl}) {
        harness::ClearJournal();
        Press(k);
        Release(k);
        Press(k, WM_RBUTTONDOWN, MK_RBUTTON);
        Release(k, WM_RBUTTONUP);
        EXPECT_EQ(nullptr, GetCapture()) << k;
        EXPECT_TRUE(SameSequence(Locks(4), CoreCalls())) << k;
    }
}

TEST_F(EncoderWndTest, RightButtonHoldsThePressAndTurnsNothing) {
    Start();
    Press(kEncoder3, WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(Enc(kEncoder3), GetCapture());
    MoveBy(kEncoder3, 0, -30, MK_RBUTTON);
    MoveBy(kEncoder3, 30, -30, MK_RBUTTON);
    // Held pressed, even a left-button move does not turn it.
    MoveBy(kEncoder3, 0, -30, MK_LBUTTON);
    EXPECT_EQ(0, CoreCounter(kDpEncoder3));
    EXPECT_EQ(0, Release(kEncoder3, WM_RBUTTONUP));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(SameSequence({kLockTest, Status(106, 1), kLockTest, kLockTest, kLockTest, kLockTest,
                              Status(106, 0)},
                             CoreCalls()));
}

TEST_F(EncoderWndTest, APressWhileAnotherButtonIsDownIsIgnored) {
    Start();
    struct Case {
        UINT msg;
        WPARAM wp;
    };
    for (const Case& c : {Case{WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON}, Case{WM_LBUTTONDOWN, MK_LBUTTON | MK_MBUTTON},
                          Case{WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON}, Case{WM_RBUTTONDOWN, MK_RBUTTON | MK_MBUTTON},
                          Case{WM_MBUTTONDOWN, MK_MBUTTON | MK_LBUTTON}, Case{WM_MBUTTONDOWN, MK_MBUTTON | MK_RBUTTON}}) {
        EXPECT_EQ(0, Press(kEncoder2, c.msg, c.wp)) << c.msg;
        EXPECT_EQ(nullptr, GetCapture()) << c.msg;
    }
    // Releases without the capture are not ours either.
    for (UINT up : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) EXPECT_EQ(0, Release(kEncoder2, up));
    EXPECT_TRUE(CoreCalls().empty());
}

TEST_F(EncoderWndTest, LosingTheCaptureReleasesAHeldPress) {
    Start();
    Press(kEncoder1, WM_RBUTTONDOWN, MK_RBUTTON);
    SetCapture(main_);
    ReleaseCapture();
    EXPECT_TRUE(SameSequence({kLockTest, Status(104, 1), Status(104, 0)}, CoreCalls()));
    // Nothing is owed any more.
    harness::ClearJournal();
    Press(kEncoder1, WM_RBUTTONDOWN, MK_RBUTTON);
    Release(kEncoder1, WM_RBUTTONUP);
    EXPECT_TRUE(SameSequence({kLockTest, Status(104, 1), kLockTest, Status(104, 0)}, CoreCalls()));
}

// ---- the mouse wheel

TEST_F(EncoderWndTest, WheelTurnsOneStepPerMessageAndPartNotchesGoDown) {
    Start();
    struct Case {
        int delta;
        int step;
    };
    for (const Case& c : {Case{60, -1}, Case{120, 1}, Case{360, 1}, Case{-120, -1}, Case{-60, -1}, Case{119, -1},
                          Case{-32768, -1}, Case{32767, 1}}) {
        const int16_t before = CoreCounter(kDpEncoder1);
        EXPECT_EQ(0, WheelTurn(kEncoder1, c.delta));
        EXPECT_EQ(int16_t(before + c.step), CoreCounter(kDpEncoder1)) << c.delta;
    }
    StandinSetResult("GetTrackResolution", 3);
    StandinSetResult("GetWheelResolution", 5);
    WheelTurn(kScrollEncoder, 120);
    WheelTurn(kTrackControl, 120);
    WheelTurn(kWheelControl, -120);
    EXPECT_EQ(-1, CoreCounter(kDpTouchScroll0));
    EXPECT_EQ(3, CoreCounter(kDpTrackVertical));
    EXPECT_EQ(-5, CoreCounter(kDpWheel));
}

TEST_F(EncoderWndTest, AZeroWheelDeltaIsNoTurn) {
    Start();
    for (int k = 0; k < kEncoderCount; ++k) EXPECT_EQ(0, WheelTurn(k, 0)) << k;
    for (int counter = kDpTouchScroll1; counter <= kDpWheel; counter += 2) EXPECT_EQ(0, CoreCounter(counter));
    EXPECT_TRUE(CoreCalls().empty());
}

TEST_F(EncoderWndTest, MainWindowHandsTheWheelToTheEncoderUnderThePointer) {
    Start();
    ShowDesk();
    harness::ClearJournal();
    const POINT at = ScreenPoint(kScrollEncoder, kSmallGrab);
    EXPECT_EQ(1, SendMessageA(main_, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(at.x, at.y)));
    EXPECT_EQ(-1, CoreCounter(kDpTouchScroll0));
    const POINT enc = ScreenPoint(kEncoder2, kLargeGrab);
    EXPECT_EQ(1, SendMessageA(main_, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(enc.x, enc.y)));
    EXPECT_EQ(1, CoreCounter(kDpEncoder2));
    EXPECT_TRUE(SameSequence(Locks(2), CoreCalls()));
}

// ---- desk lock

TEST_F(EncoderWndTest, LockedDeskSaysSoOncePerPressAndDoesNothing) {
    Start();
    StandinSetResult("IsDesklocked", 1);
    harness::MessageBoxCapture boxes;
    for (int k : {kEncoder1, kScrollEncoder, kTrackControl}) {
        for (UINT down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
            const WPARAM wp = down == WM_LBUTTONDOWN ? MK_LBUTTON : down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON;
            EXPECT_EQ(1, Press(k, down, wp)) << k << " " << down;
            EXPECT_EQ(nullptr, GetCapture());
            MoveBy(k, 0, -30, wp);
            EXPECT_EQ(0, Release(k, down + 1)) << k << " " << down;
        }
        EXPECT_EQ(1, WheelTurn(k, 120)) << k;
    }
    ASSERT_EQ(9u, boxes.Boxes().size());
    for (const harness::CapturedBox& box : boxes.Boxes()) {
        EXPECT_EQ("Desk is locked!", box.text);
        EXPECT_EQ("Kantrel Ovrin", box.caption);
        EXPECT_EQ(main_, box.owner);
        EXPECT_EQ(UINT(MB_ICONINFORMATION), box.icon);
    }
    for (int counter = kDpTouchScroll1; counter <= kDpWheel; counter += 2) EXPECT_EQ(0, CoreCounter(counter));
    // One test a press, one a wheel turn; moves without the capture ask nothing.
    EXPECT_TRUE(SameSequence(Locks(12), CoreCalls()));
}

TEST_F(EncoderWndTest, DeskLockedMidDragStopsTurningSilently) {
    Start();
    harness::MessageBoxCapture boxes;
    Press(kEncoder1);
    StandinSetResult("IsDesklocked", 1);
    EXPECT_EQ(1, MoveBy(kEncoder1, 0, -30));
    EXPECT_EQ(1, WheelTurn(kEncoder1, 120));
    EXPECT_EQ(0, CoreCounter(kDpEncoder1));
    EXPECT_TRUE(boxes.Boxes().empty());
    // The release is refused with the message, and lets go of the mouse.
    EXPECT_EQ(1, Release(kEncoder1));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(1u, boxes.Boxes().size());
    EXPECT_TRUE(SameSequence(Locks(4), CoreCalls()));
}

TEST_F(EncoderWndTest, ReleaseRefusedByTheLockStillEndsAHeldPress) {
    Start();
    harness::MessageBoxCapture boxes;
    Press(kEncoder3, WM_RBUTTONDOWN, MK_RBUTTON);
    StandinSetResult("IsDesklocked", 1);
    EXPECT_EQ(1, Release(kEncoder3, WM_RBUTTONUP));
    EXPECT_EQ(nullptr, GetCapture());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Desk is locked!", boxes.Boxes()[0].text);
    EXPECT_TRUE(SameSequence({kLockTest, Status(106, 1), kLockTest, Status(106, 0)}, CoreCalls()));
}

// ---- painting

TEST_F(EncoderWndTest, FacesShowThePressAndLitArrowsShowTheTurn) {
    Start();
    ShowDesk();
    HWND enc = Enc(kEncoder1);
    const POINT middle = kLargeGrab;
    const POINT upArrow = {80, 22};
    const POINT rightArrow = {125, 73};
    const POINT secondRight = {134, 73};
    const COLORREF released = BrushPixel(LargeEncoderFaceBrush(false), middle.x, middle.y);
    const COLORREF pressed = BrushPixel(LargeEncoderFaceBrush(true), middle.x, middle.y);
    const COLORREF red = BrushPixel(EncoderMarkerBrush(MarkerColour::Red), upArrow.x, upArrow.y);
    ASSERT_NE(released, pressed);
    ASSERT_NE(red, BrushPixel(LargeEncoderFaceBrush(false), upArrow.x, upArrow.y));

    SendMessageA(enc, WM_PAINT, 0, 0);
    EXPECT_EQ(released, WindowPixel(enc, middle.x, middle.y));
    Press(kEncoder1, WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(pressed, WindowPixel(enc, middle.x, middle.y));
    Release(kEncoder1, WM_RBUTTONUP);
    EXPECT_EQ(released, WindowPixel(enc, middle.x, middle.y));

    Press(kEncoder1);
    MoveBy(kEncoder1, 30, -30);
    EXPECT_EQ(red, WindowPixel(enc, upArrow.x, upArrow.y));
    EXPECT_EQ(BrushPixel(EncoderMarkerBrush(MarkerColour::Red), rightArrow.x, rightArrow.y),
              WindowPixel(enc, rightArrow.x, rightArrow.y));
    EXPECT_EQ(BrushPixel(EncoderMarkerBrush(MarkerColour::Red), secondRight.x, secondRight.y),
              WindowPixel(enc, secondRight.x, secondRight.y));
    Release(kEncoder1);
    EXPECT_EQ(BrushPixel(LargeEncoderFaceBrush(false), upArrow.x, upArrow.y), WindowPixel(enc, upArrow.x, upArrow.y));
}

TEST_F(EncoderWndTest, WithoutDualSpeedNoSideArrowIsDrawn) {
    gDsrEncoder = 0;
    ReloadEncoderFaceBrushes(GetModuleHandleA(nullptr));
    Start();
    ShowDesk();
    HWND enc = Enc(kEncoder2);
    const POINT rightArrow = {125, 73};
    const COLORREF face = BrushPixel(LargeEncoderFaceBrush(false), rightArrow.x, rightArrow.y);
    ASSERT_NE(face, BrushPixel(EncoderMarkerBrush(MarkerColour::Red), rightArrow.x, rightArrow.y));
    Press(kEncoder2);
    MoveBy(kEncoder2, 30, 0);
    EXPECT_EQ(face, WindowPixel(enc, rightArrow.x, rightArrow.y));
    Release(kEncoder2);
}

TEST_F(EncoderWndTest, WheelTurnLightsAnArrowUntilThePointerMovesOn) {
    Start();
    ShowDesk();
    HWND wheel = Enc(kWheelControl);
    const POINT up = {35, 10};
    const POINT down = {34, 59};
    const COLORREF faceUp = BrushPixel(WheelFaceBrush(), up.x, up.y);
    const COLORREF blue = BrushPixel(EncoderMarkerBrush(MarkerColour::Blue), up.x, up.y);
    const COLORREF green = BrushPixel(EncoderMarkerBrush(MarkerColour::Green), down.x, down.y);
    ASSERT_NE(faceUp, blue);
    ASSERT_NE(BrushPixel(WheelFaceBrush(), down.x, down.y), green);

    WheelTurn(kWheelControl, 120);
    EXPECT_EQ(blue, WindowPixel(wheel, up.x, up.y));
    WheelTurn(kWheelControl, -120);
    EXPECT_EQ(green, WindowPixel(wheel, down.x, down.y));
    EXPECT_EQ(faceUp, WindowPixel(wheel, up.x, up.y));
    Mouse(kWheelControl, WM_MOUSEMOVE, 0, 30, 30);
    EXPECT_EQ(BrushPixel(WheelFaceBrush(), down.x, down.y), WindowPixel(wheel, down.x, down.y));
}

// ---- real pointer input

// The X server reports pointer positions of its own a little later; wait
// until the pointer stays where it was put.
bool PointerSettlesAt(POINT at) {
    SetCursorPos(at.x, at.y);
    for (int waited = 0; waited < 1000; waited += 20) {
        harness::PumpFor(20);
        const POINT now = CursorNow();
        if (now.x == at.x && now.y == at.y) {
            harness::PumpFor(50);
            const POINT still = CursorNow();
            if (still.x == at.x && still.y == at.y) return true;
        }
    }
    return false;
}

// Absolute pointer input as the mouse driver gives it, then its messages.
void RealPointer(POINT at, DWORD buttons) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG(at.x * 65535LL / (width - 1));
    in.mi.dy = LONG(at.y * 65535LL / (height - 1));
    in.mi.dwFlags = buttons | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    harness::PumpUntilIdle();
}

TEST_F(EncoderWndTest, RealPointerDragTurnsOnceAndEndsWhereItStarted) {
    Start();
    ShowDesk();
    const POINT grab = ScreenPoint(kEncoder1, kLargeGrab);
    ASSERT_TRUE(PointerSettlesAt(grab));
    harness::ClearJournal();
    RealPointer(grab, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(Enc(kEncoder1), GetCapture());
    RealPointer(POINT{grab.x, grab.y - 30}, 0);
    EXPECT_EQ(1, CoreCounter(kDpEncoder1));
    const POINT now = CursorNow();
    EXPECT_EQ(grab.x, now.x);
    EXPECT_EQ(grab.y, now.y);
    RealPointer(grab, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(1, CoreCounter(kDpEncoder1));
    for (const std::string& call : CoreCalls()) EXPECT_EQ(kLockTest, call);

    // And a real click presses encoder 2.
    const POINT second = ScreenPoint(kEncoder2, kLargeGrab);
    ASSERT_TRUE(PointerSettlesAt(second));
    harness::ClearJournal();
    RealPointer(second, MOUSEEVENTF_LEFTDOWN);
    RealPointer(second, MOUSEEVENTF_LEFTUP);
    std::vector<std::string> statuses;
    for (const std::string& call : CoreCalls())
        if (call != kLockTest) statuses.push_back(call);
    EXPECT_TRUE(SameSequence({Status(105, 1), Status(105, 0)}, statuses));
}

}  // namespace
