// The host-drawn desk frame on a real main window: where the layout puts the
// pieces and scroll bars for a client size, how the desk follows the scroll
// offsets, what the buttons draw and do under the mouse.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskFrame.h"
#include "desk/DrawingResources.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "common/ScreenPicture.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

namespace {

using Pixels = std::vector<DWORD>;

// A top-down 32-bit surface that a piece or a picture is drawn into.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        if (MakeScreenPicture(&picture_, width, height)) PatBlt(picture_.dc, 0, 0, width, height, BLACKNESS);
    }
    ~Canvas() { ReleaseScreenPicture(&picture_); }
    HDC Dc() const { return picture_.dc; }
    Pixels Read() const {
        if (!picture_.bits) return {};
        GdiFlush();
        Pixels out(picture_.bits, picture_.bits + width_ * height_);
        for (DWORD& px : out) px &= 0xFFFFFF;
        return out;
    }

private:
    int width_, height_;
    ScreenPicture picture_ = {};
};

// What a picture looks like at (x, y) of the picture, width x height, copied
// with rop; the reference a piece's drawing is compared with. The desk's
// memory DC may hold the picture, and a bitmap lives in one DC at a time.
Pixels PictureOf(HBITMAP picture, int x, int y, int width, int height, DWORD rop = SRCCOPY) {
    Canvas canvas(width, height);
    HDC source = DeskMemoryDC();
    EXPECT_NE(nullptr, source);
    if (!source || !SelectObject(source, picture)) return {};
    BitBlt(canvas.Dc(), 0, 0, width, height, source, x, y, rop);
    return canvas.Read();
}

struct PieceCase {
    int piece;
    RECT place;  // client coordinates of the main window
};

class DeskFrameTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        gShowHScroll = gShowVScroll = 1;
        CreateDeskFrame(main_);
        VCMessageBoxSetAnswer(kVcAnswer3);
    }
    void TearDown() override {
        if (IsWindow(main_) && IsIconic(main_)) ShowWindow(main_, SW_RESTORE);
        DeskTest::TearDown();
        gShowHScroll = gShowVScroll = 1;
    }

    HWND Piece(int piece) const { return GetDlgItem(main_, kFrameFirstId + piece); }
    HWND Bar(bool vertical) const { return GetDlgItem(main_, vertical ? kDeskVScrollId : kDeskHScrollId); }
    HWND DeskChild(int id, int x, int y) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, 20, 20, main_,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    }
    void Resize(int width, int height) {
        SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        harness::PumpUntilIdle();
    }
    SIZE ClientSize() const {
        RECT client;
        GetClientRect(main_, &client);
        return {client.right, client.bottom};
    }
    RECT PlaceOf(HWND wnd) const {
        RECT r;
        GetWindowRect(wnd, &r);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    POINT PosOf(HWND wnd) const {
        const RECT r = PlaceOf(wnd);
        return {r.left, r.top};
    }
    static bool Styled(HWND wnd, DWORD style) { return (GetWindowLongPtrA(wnd, GWL_STYLE) & style) == style; }

    // The piece as it paints itself now.
    Pixels Look(int piece) {
        RECT client;
        GetClientRect(Piece(piece), &client);
        Canvas canvas(client.right, client.bottom);
        SendMessageA(Piece(piece), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        return canvas.Read();
    }

    void Press(int piece, int x = 5, int y = 5) {
        SendMessageA(Piece(piece), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Drag(int piece, int x, int y) {
        SendMessageA(Piece(piece), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Release(int piece, int x = 5, int y = 5) {
        SendMessageA(Piece(piece), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        harness::PumpUntilIdle();
    }
    void Click(int piece) {
        Press(piece);
        Release(piece);
    }
    SCROLLINFO BarInfo(bool vertical) const {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Bar(vertical), SB_CTL, &info);
        return info;
    }
    // The offsets, both bars and a desk child whose home is (home.x, home.y)
    // all put the desk at (x, y).
    void ExpectScrolledTo(HWND child, POINT home, int x, int y) const {
        EXPECT_EQ(x, gDeskOffsetX);
        EXPECT_EQ(y, gDeskOffsetY);
        EXPECT_EQ(x, BarInfo(false).nPos);
        EXPECT_EQ(y, BarInfo(true).nPos);
        EXPECT_EQ(home.x - x, PosOf(child).x);
        EXPECT_EQ(home.y - y, PosOf(child).y);
    }
};

Pixels ButtonPicture(HBITMAP picture) { return PictureOf(picture, 0, 0, 16, 14); }
Pixels TogglePicture(HBITMAP picture, DWORD rop = SRCCOPY) { return PictureOf(picture, 0, 0, 50, 14, rop); }

// ---- layout

TEST_F(DeskFrameTest, LayoutAtSixHundredByFourHundredPlacesPiecesAndBothBars) {
    StartSession();
    Resize(600, 400);
    const PieceCase cases[] = {
        {kFrameGrip, {585, 385, 600, 400}},
        {kFrameRightEdge, {598, 0, 600, 385}},
        {kFrameBottomEdge, {0, 398, 585, 400}},
        {kFrameMinimise, {546, 4, 562, 18}},
        {kFrameMaximise, {562, 4, 578, 18}},
        {kFrameClose, {580, 4, 596, 18}},
        {kFrameShortcutToggle, {546, 32, 596, 46}},
        {kFrameCmdLockToggle, {546, 18, 596, 32}},
        {kFrameLeftEdge, {0, 0, 2, 398}},
        {kFrameTopEdge, {2, 0, 598, 2}},
        {kDeskHScrollId - kFrameFirstId, {15, 386, 580, 396}},
        {kDeskVScrollId - kFrameFirstId, {586, 51, 596, 394}},
    };
    for (const PieceCase& c : cases) {
        HWND wnd = Piece(c.piece);
        ASSERT_NE(nullptr, wnd) << "piece " << c.piece;
        const RECT got = PlaceOf(wnd);
        EXPECT_TRUE(EqualRect(&got, &c.place)) << "piece " << c.piece << ": " << got.left << "," << got.top << ","
                                               << got.right << "," << got.bottom;
        EXPECT_TRUE(IsWindowVisible(wnd)) << "piece " << c.piece;
        EXPECT_TRUE(IsWindowEnabled(wnd)) << "piece " << c.piece;
    }
    const SCROLLINFO h = BarInfo(false), v = BarInfo(true);
    EXPECT_EQ(0, h.nMin);
    EXPECT_EQ(1023, h.nMax);
    EXPECT_EQ(600u, h.nPage);
    EXPECT_EQ(0, v.nMin);
    EXPECT_EQ(767, v.nMax);
    EXPECT_EQ(400u, v.nPage);
    EXPECT_FALSE(DeskIsFullSize());
    EXPECT_TRUE(SameSequence({}, CoreCalls()));

    // A window made later (the core's) lies over the close button; the next
    // layout at the same size must still bring every piece back over it.
    HWND later = DeskChild(5000, 570, 0);
    SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayOutDesk(main_, 600, 400);
    for (const PieceCase& c : cases) {
        bool above = false;
        for (HWND wnd = GetWindow(later, GW_HWNDPREV); wnd && !above; wnd = GetWindow(wnd, GW_HWNDPREV))
            above = wnd == Piece(c.piece);
        EXPECT_TRUE(above) << "piece " << c.piece;
    }
}

TEST_F(DeskFrameTest, ScrollingToTheEndThenGrowingClampsTheDeskAndItsChildren) {
    StartSession();
    HWND key = DeskChild(5, 100, 300);
    Resize(600, 400);
    SendMessageA(main_, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(Bar(false)));
    SendMessageA(main_, WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(Bar(true)));
    EXPECT_EQ(424, gDeskOffsetX);
    EXPECT_EQ(368, gDeskOffsetY);
    EXPECT_EQ(100 - 424, PosOf(key).x);
    EXPECT_EQ(300 - 368, PosOf(key).y);
    EXPECT_EQ(585, PosOf(Piece(kFrameGrip)).x) << "the frame stays where it is";

    Resize(800, 600);
    EXPECT_EQ(224, gDeskOffsetX);
    EXPECT_EQ(168, gDeskOffsetY);
    EXPECT_EQ(224, BarInfo(false).nPos);
    EXPECT_EQ(168, BarInfo(true).nPos);
    EXPECT_EQ(800u, BarInfo(false).nPage);
    EXPECT_EQ(600u, BarInfo(true).nPage);
    EXPECT_EQ(100 - 224, PosOf(key).x);
    EXPECT_EQ(300 - 168, PosOf(key).y);
    const RECT button = DeskMenuButtonRect();
    EXPECT_EQ(1 - 224, button.left);
    EXPECT_EQ(4 - 168, button.top);
    EXPECT_EQ(785, PosOf(Piece(kFrameGrip)).x);
}

TEST_F(DeskFrameTest, GrowingToFullSizeWhileScrolledScrollsHome) {
    StartSession();
    HWND key = DeskChild(5, 100, 300);
    Resize(600, 400);
    SendMessageA(main_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 200), reinterpret_cast<LPARAM>(Bar(false)));
    SendMessageA(main_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), reinterpret_cast<LPARAM>(Bar(true)));
    ASSERT_EQ(200, gDeskOffsetX);
    ASSERT_EQ(100, gDeskOffsetY);
    EXPECT_EQ(ButtonPicture(MaximiseButtonBitmap(false)), Look(kFrameMaximise));

    Resize(kDeskWidth, kDeskHeight);
    EXPECT_EQ(0, gDeskOffsetX);
    EXPECT_EQ(0, gDeskOffsetY);
    EXPECT_EQ(0, BarInfo(false).nPos);
    EXPECT_EQ(0, BarInfo(true).nPos);
    EXPECT_EQ(100, PosOf(key).x);
    EXPECT_EQ(300, PosOf(key).y);
    const RECT button = DeskMenuButtonRect();
    EXPECT_EQ(1, button.left);
    EXPECT_EQ(4, button.top);
    EXPECT_FALSE(IsWindowVisible(Bar(false)));
    EXPECT_FALSE(IsWindowVisible(Bar(true)));
    EXPECT_TRUE(DeskIsFullSize());
    EXPECT_EQ(ButtonPicture(RestoreButtonBitmap(false)), Look(kFrameMaximise));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(DeskFrameTest, ScrollBarsFollowTheOptionsAndOnlyASessionEnablesThem) {
    Resize(600, 400);
    for (bool vertical : {false, true}) {
        EXPECT_TRUE(Styled(Bar(vertical), WS_VISIBLE)) << vertical;
        EXPECT_FALSE(IsWindowEnabled(Bar(vertical))) << "no session yet, " << vertical;
    }
    EXPECT_TRUE(IsWindowEnabled(Piece(kFrameClose)));

    gShowHScroll = 0;
    Resize(700, 500);
    EXPECT_FALSE(Styled(Bar(false), WS_VISIBLE));
    EXPECT_TRUE(Styled(Bar(true), WS_VISIBLE));

    // Only the side that is cut short gets its bar.
    gShowHScroll = 1;
    Resize(700, kDeskHeight);
    EXPECT_TRUE(Styled(Bar(false), WS_VISIBLE));
    EXPECT_FALSE(Styled(Bar(true), WS_VISIBLE));
}

TEST_F(DeskFrameTest, StoredOffsetsAreClampedSoTheDeskStaysAligned) {
    StartSession();
    const POINT home = {100, 300};
    HWND key = DeskChild(5, home.x, home.y);
    Resize(600, 400);
    SetDeskScrollOffsets(main_, 300, 100);
    ExpectScrolledTo(key, home, 300, 100);

    // A negative stored offset (a corrupt value) means the desk's home.
    SetDeskScrollOffsets(main_, -50, -1);
    ExpectScrolledTo(key, home, 0, 0);

    // Beyond the desk: capped at its range, then the layout cuts to the client.
    SetDeskScrollOffsets(main_, 5000, 1000);
    EXPECT_EQ(1023, gDeskOffsetX);
    EXPECT_EQ(767, gDeskOffsetY);
    LayOutDesk(main_, 600, 400);
    ExpectScrolledTo(key, home, 424, 368);

    // Whatever the offset was left at, the layout brings picture and keys back together.
    gDeskOffsetX = -40;
    ShiftDesk(main_, 424 + 40, 0);  // the desk really sits 40 pixels right of home
    LayOutDesk(main_, 600, 400);
    EXPECT_EQ(0, gDeskOffsetX);
    EXPECT_EQ(100, PosOf(key).x);
}

// ---- pictures

TEST_F(DeskFrameTest, EdgesAndGripShowTheirArtAndTheGripIsATriangle) {
    StartSession();
    Resize(600, 400);
    HBITMAP panel = DeskBackgroundBitmap(1, false);
    EXPECT_EQ(PictureOf(panel, 1022, 0, 2, 385), Look(kFrameRightEdge));
    EXPECT_EQ(PictureOf(panel, 0, 766, 585, 2), Look(kFrameBottomEdge));
    EXPECT_EQ(PictureOf(panel, 0, 0, 2, 398), Look(kFrameLeftEdge));
    EXPECT_EQ(PictureOf(panel, 2, 0, 596, 2), Look(kFrameTopEdge));
    EXPECT_EQ(PictureOf(SizeGripBitmap(), 0, 0, 15, 15), Look(kFrameGrip));

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(Piece(kFrameGrip), region));
    EXPECT_TRUE(PtInRegion(region, 14, 14));
    EXPECT_TRUE(PtInRegion(region, 1, 14));
    EXPECT_TRUE(PtInRegion(region, 14, 1));
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the upper-left half belongs to the desk";
    EXPECT_FALSE(PtInRegion(region, 5, 5));
    DeleteObject(region);
}

TEST_F(DeskFrameTest, ShortcutToggleFlipsTheModeAndIsInvertedUnderTheLock) {
    StartSession();
    Resize(600, 400);
    EXPECT_EQ(TogglePicture(ShortcutToggleBitmap(false)), Look(kFrameShortcutToggle));
    Press(kFrameShortcutToggle);
    EXPECT_EQ(TogglePicture(ShortcutToggleBitmap(true)), Look(kFrameShortcutToggle)) << "held: shows the flip";
    Release(kFrameShortcutToggle);
    EXPECT_EQ(1, gShortcutMode);
    EXPECT_EQ(TogglePicture(ShortcutToggleBitmap(true)), Look(kFrameShortcutToggle));

    gCmdLineLock = 1;
    EXPECT_EQ(TogglePicture(ShortcutToggleBitmap(true), NOTSRCCOPY), Look(kFrameShortcutToggle));
    EXPECT_EQ(TogglePicture(CommandLockToggleBitmap(true)), Look(kFrameCmdLockToggle));
    gCmdLineLock = 0;

    Click(kFrameShortcutToggle);
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_EQ(TogglePicture(ShortcutToggleBitmap(false)), Look(kFrameShortcutToggle));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(DeskFrameTest, CommandLineToggleFlipsTheLockThroughTheKeyRouting) {
    StartSession();
    Resize(600, 400);
    SetForegroundWindow(main_);
    harness::PumpUntilIdle();
    ASSERT_EQ(main_, GetForegroundWindow());
    const int light = GetKeyState(VK_SCROLL) & 1;
    Click(kFrameCmdLockToggle);
    harness::PumpUntilIdle(60);
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_NE(light, GetKeyState(VK_SCROLL) & 1) << "a real stroke keeps the keyboard light in step";
    EXPECT_EQ(TogglePicture(CommandLockToggleBitmap(true)), Look(kFrameCmdLockToggle));
    Click(kFrameCmdLockToggle);
    harness::PumpUntilIdle(60);
    EXPECT_EQ(0, gCmdLineLock);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 1000 0 0", "VC_OnKeyDown 1001 0 0"}, CoreCalls()));
}

// ---- buttons under the mouse

TEST_F(DeskFrameTest, SlidingOffAPressedButtonShowsItReleasedAndReleasingOutsideDoesNothing) {
    StartSession();
    Resize(600, 400);
    struct ButtonCase {
        int piece;
        Pixels normal, pressed;
    };
    const ButtonCase cases[] = {
        {kFrameMinimise, ButtonPicture(MinimiseButtonBitmap(false)), ButtonPicture(MinimiseButtonBitmap(true))},
        {kFrameMaximise, ButtonPicture(MaximiseButtonBitmap(false)), ButtonPicture(MaximiseButtonBitmap(true))},
        {kFrameClose, ButtonPicture(CloseButtonBitmap(false)), ButtonPicture(CloseButtonBitmap(true))},
        {kFrameShortcutToggle, TogglePicture(ShortcutToggleBitmap(false)), TogglePicture(ShortcutToggleBitmap(true))},
        {kFrameCmdLockToggle, TogglePicture(CommandLockToggleBitmap(false)),
         TogglePicture(CommandLockToggleBitmap(true))},
    };
    const int asked = VCMessageBoxCallCount();
    for (const ButtonCase& c : cases) {
        harness::ClearJournal();
        Press(c.piece);
        EXPECT_EQ(c.pressed, Look(c.piece)) << "piece " << c.piece;
        const bool onClose = c.piece == kFrameClose;
        EXPECT_EQ(onClose ? cases[0].normal : cases[2].normal, Look(onClose ? kFrameMinimise : kFrameClose))
            << "no other button looks held, piece " << c.piece;
        Drag(c.piece, 60, 30);
        EXPECT_EQ(c.normal, Look(c.piece)) << "slid off, piece " << c.piece;
        Drag(c.piece, 8, 7);
        EXPECT_EQ(c.pressed, Look(c.piece)) << "slid back, piece " << c.piece;
        Drag(c.piece, -3, 7);
        EXPECT_EQ(c.normal, Look(c.piece)) << "slid off again, piece " << c.piece;
        Release(c.piece, -3, 7);
        EXPECT_NE(Piece(c.piece), GetCapture());
        EXPECT_EQ(c.normal, Look(c.piece));
        EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", "IsDesklocked"}, CoreCalls()))
            << "piece " << c.piece;
    }
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_FALSE(IsIconic(main_));
    EXPECT_EQ(600, ClientSize().cx);
    EXPECT_EQ(400, ClientSize().cy);
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_EQ(0, gCmdLineLock);
    EXPECT_EQ(asked, VCMessageBoxCallCount());
}

TEST_F(DeskFrameTest, OnlyAPressThatBeganOnTheButtonActs) {
    StartSession();
    Resize(600, 400);
    const int asked = VCMessageBoxCallCount();
    // A release dragged in from elsewhere.
    Drag(kFrameClose, 5, 5);
    Release(kFrameClose);
    Drag(kFrameShortcutToggle, 5, 5);
    Release(kFrameShortcutToggle);
    EXPECT_EQ(asked, VCMessageBoxCallCount());
    EXPECT_EQ(0, gShortcutMode);
    EXPECT_EQ(ButtonPicture(CloseButtonBitmap(false)), Look(kFrameClose));

    // A press the system breaks off (a box taking the mouse) ends released.
    Press(kFrameClose);
    SetCapture(main_);
    EXPECT_EQ(ButtonPicture(CloseButtonBitmap(false)), Look(kFrameClose));
    Release(kFrameClose);
    ReleaseCapture();
    EXPECT_EQ(asked, VCMessageBoxCallCount());

    // A real click asks the close question (answered Cancel: the desk stays).
    Click(kFrameClose);
    EXPECT_EQ(asked + 1, VCMessageBoxCallCount());
    EXPECT_STREQ("Save actual Show ?", VCMessageBoxLastQuestion());
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(DeskFrameTest, CloseButtonDoesNothingWhileTheDeskIsLockedButMinimiseWorks) {
    StartSession();
    Resize(600, 400);
    StandinSetResult("IsDesklocked", 1);
    const int asked = VCMessageBoxCallCount();
    Click(kFrameClose);
    EXPECT_EQ(asked, VCMessageBoxCallCount());
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(SameSequence({"IsDesklocked"}, CoreCalls()));

    // Locked, the look cannot follow the pointer; letting go still shows it released.
    harness::ClearJournal();
    Press(kFrameClose);
    Drag(kFrameClose, 60, 30);
    EXPECT_EQ(ButtonPicture(CloseButtonBitmap(true)), Look(kFrameClose));
    Release(kFrameClose, 60, 30);
    EXPECT_EQ(ButtonPicture(CloseButtonBitmap(false)), Look(kFrameClose));
    EXPECT_TRUE(SameSequence({"IsDesklocked"}, CoreCalls()));

    Click(kFrameMinimise);
    EXPECT_TRUE(IsIconic(main_));
}

// ---- maximise and restore

TEST(DeskFrameSizes, MaximisedSizeIsTheDeskCutToTheWorkArea) {
    struct Case {
        RECT work;
        SIZE expected;
    };
    const Case cases[] = {
        {{0, 0, 1280, 1024}, {1024, 768}},
        {{0, 0, 800, 600}, {800, 600}},
        {{100, 50, 900, 650}, {800, 600}},
        {{-1280, 0, 0, 1024}, {1024, 768}},
        {{0, 30, 1024, 738}, {1024, 708}},
        {{0, 0, -10, -10}, {0, 0}},
    };
    for (const Case& c : cases) {
        const SIZE got = MaximisedDeskSize(c.work);
        EXPECT_EQ(c.expected.cx, got.cx) << c.work.left << "," << c.work.top << "," << c.work.right;
        EXPECT_EQ(c.expected.cy, got.cy) << c.work.left << "," << c.work.top << "," << c.work.right;
    }
}

TEST_F(DeskFrameTest, MaximiseFillsTheWorkAreaAndAtFullSizeReturnsToTheRestoreSize) {
    StartSession();
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const SIZE maximised = MaximisedDeskSize(work);
    Resize(600, 400);
    Click(kFrameMaximise);
    EXPECT_EQ(maximised.cx, ClientSize().cx);
    EXPECT_EQ(maximised.cy, ClientSize().cy);

    // Before any sizing drag the restore size is the desk itself.
    Resize(kDeskWidth, kDeskHeight);
    Click(kFrameMaximise);
    EXPECT_EQ(kDeskWidth, ClientSize().cx);
    EXPECT_EQ(kDeskHeight, ClientSize().cy);
    EXPECT_EQ(kDeskWidth, DeskRestoreSize().cx);
    EXPECT_EQ(kDeskHeight, DeskRestoreSize().cy);
}

// Mouse input made the way a hand makes it, from another thread, while the
// desk's thread runs the system's sizing loop. The hand lets go only once the
// desk has followed it to the end: under Wine a pointer motion from the X
// server, late for an earlier step, can put the pointer back a step, and the
// loop ends where the pointer last was.
void DragWithTheMouse(HWND desk, POINT from, POINT to, std::atomic<bool>* done) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN) - 1, screenH = GetSystemMetrics(SM_CYSCREEN) - 1;
    auto send = [&](POINT at, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = at.x * 65535 / screenW;
        input.mi.dy = at.y * 65535 / screenH;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
        SendInput(1, &input, sizeof input);
        Sleep(40);
    };
    send(from, 0);
    send(from, MOUSEEVENTF_LEFTDOWN);
    Sleep(200);
    RECT start;
    GetClientRect(desk, &start);
    for (int step = 1; step <= 5; ++step)
        send({from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5}, 0);
    RECT now = start;
    for (int waited = 0; waited < 2000; waited += 100) {
        Sleep(100);
        GetClientRect(desk, &now);
        if (now.right == start.right + to.x - from.x && now.bottom == start.bottom + to.y - from.y) break;
        send(to, 0);
    }
    send(to, MOUSEEVENTF_LEFTUP);
    Sleep(200);
    *done = true;
}

TEST_F(DeskFrameTest, GripDragShrinksTheDeskAndMaximiseComesBackToThatSize) {
    StartSession();
    SetWindowPos(main_, HWND_TOP, 0, 0, kDeskWidth, kDeskHeight, SWP_SHOWWINDOW);
    SetForegroundWindow(main_);
    harness::PumpUntilIdle();
    POINT grip = {1019, 763};
    ClientToScreen(main_, &grip);
    ASSERT_EQ(Piece(kFrameGrip), WindowFromPoint(grip));
    std::atomic<bool> done{false};
    std::thread hand(DragWithTheMouse, main_, grip, POINT{grip.x - 200, grip.y - 150}, &done);
    while (!done) harness::PumpFor(20);
    hand.join();
    harness::PumpUntilIdle();

    const SIZE dragged = ClientSize();
    EXPECT_EQ(kDeskWidth - 200, dragged.cx);
    EXPECT_EQ(kDeskHeight - 150, dragged.cy);
    EXPECT_EQ(dragged.cx, DeskRestoreSize().cx);
    EXPECT_EQ(dragged.cy, DeskRestoreSize().cy);
    EXPECT_TRUE(IsWindowVisible(Bar(false)));
    EXPECT_TRUE(IsWindowVisible(Bar(true)));

    Click(kFrameMaximise);
    EXPECT_EQ(kDeskWidth, ClientSize().cx);
    EXPECT_EQ(kDeskHeight, ClientSize().cy);
    Click(kFrameMaximise);
    EXPECT_EQ(dragged.cx, ClientSize().cx);
    EXPECT_EQ(dragged.cy, ClientSize().cy);
}

}  // namespace
