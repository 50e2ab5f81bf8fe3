// The faders on a main window with a core session on the stand-in core: what
// a drag or a wheel turn writes into the core data block, that the knob
// follows only the core's echo, the desk lock, and the volume fader.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "input/FaderWnd.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

namespace {

constexpr int kGrandMaster = 21;  // always on the desk, the plain knob
constexpr int kBarFader = 3;      // on bar 3, the session's default
const char kLock[] = "IsDesklocked";
constexpr int kKnobRows[] = {1, 4, 9, 10, 15, 18};

std::string Manual(int fader) { return "SetFaderModeManual " + std::to_string(fader); }

unsigned char& CoreValue(int fader) { return CoreData()[kDpFaderValues + fader]; }
unsigned char& CoreChanged(int fader) { return CoreData()[kDpFaderChanged + fader]; }

// The desk's memory DC may hold the picture, and a bitmap lives in one DC at
// a time.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC source = DeskMemoryDC();
    if (!source || !SelectObject(source, bitmap)) return CLR_INVALID;
    return GetPixel(source, x, y);
}

COLORREF Inverted(COLORREF c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); }

class FaderWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        childrenBefore_ = gDeskChildCount;
    }
    void TearDown() override {
        DeskTest::TearDown();
        DisableCDPlayer = 1;
    }
    // Faders on the desk, the session running and the desk on screen, with
    // an empty journal.
    void Start(bool cdPlayer = false) {
        DisableCDPlayer = cdPlayer ? 0 : 1;
        ASSERT_TRUE(CreateFaders(main_));
        StandinClearCoreData();
        StartSession();
        SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        UpdateWindow(main_);
        harness::PumpUntilIdle();
        harness::ClearJournal();
    }
    HWND Fader(int n) {
        HWND wnd = GetDlgItem(main_, kFirstFaderId + n);
        EXPECT_NE(nullptr, wnd) << n;
        return wnd;
    }
    LRESULT Mouse(int n, UINT msg, WPARAM wp, int x, int y) {
        return SendMessageA(Fader(n), msg, wp, MAKELPARAM(WORD(x), WORD(y)));
    }
    LRESULT Wheel(int n, int delta, WORD keys = 0) {
        return SendMessageA(Fader(n), WM_MOUSEWHEEL, MAKEWPARAM(keys, WORD(short(delta))), 0);
    }
    // Grabs the knob of vertical fader n where it is drawn for value `shown`.
    void GrabKnob(int n, int shown) { EXPECT_EQ(0, Mouse(n, WM_LBUTTONDOWN, MK_LBUTTON, 20, KnobTop(shown) + 10)); }
    void Drag(int n, int y) { EXPECT_EQ(0, Mouse(n, WM_MOUSEMOVE, MK_LBUTTON, 20, y)); }
    void Release(int n) { Mouse(n, WM_LBUTTONUP, 0, 20, 50); }
    // Where the knob of a 109-pixel fader stands for a value.
    static int KnobTop(int value) {
        const int t = (255 - value) * 109 / 255;
        return std::min(std::max(t - 9, 0), 109 - 19);
    }
    // Pixels of the fader that differ from its knob picture drawn at top
    // (inverted when held); 0 when the knob is drawn there.
    int KnobMismatches(int n, int top, bool held = false, FaderKind kind = FaderKind::Bar) {
        HWND wnd = Fader(n);
        UpdateWindow(wnd);
        RECT client;
        GetClientRect(wnd, &client);
        HBITMAP picture = FaderKnobBitmap(kind);
        BITMAP size = {};
        GetObjectA(picture, sizeof size, &size);
        // The knob's rectangle is one column wider than the picture on the
        // 48-pixel faders; that column shows nothing of it.
        const int columns = std::min<int>(client.right - 9, size.bmWidth);
        HDC dc = GetDC(wnd);
        int wrong = 0;
        for (int row : kKnobRows)
            for (int col = 0; col < columns; ++col) {
                const COLORREF want = BitmapPixel(picture, col, row);
                if (GetPixel(dc, 5 + col, top + row) != (held ? Inverted(want) : want)) ++wrong;
            }
        ReleaseDC(wnd, dc);
        return wrong;
    }
    bool RepaintPending(int n) { return GetUpdateRect(Fader(n), nullptr, FALSE) != FALSE; }
    LRESULT FromCore(WPARAM index, LPARAM value) {
        auto send = reinterpret_cast<StandinSendToMainFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSendToMain")));
        EXPECT_NE(nullptr, send);
        return send ? send(kReqFaderValue, index, value) : 0;
    }

    int childrenBefore_ = 0;
};

// ---- creation and the bar

TEST_F(FaderWndTest, TwentyThreeFadersAtTheirPlacesWithoutTheCdPlayer) {
    ASSERT_TRUE(CreateFaders(main_));
    EXPECT_EQ(childrenBefore_ + 23, gDeskChildCount);
    EXPECT_EQ(nullptr, GetDlgItem(main_, kFirstFaderId + kVolumeFader));
    const int bankX[10] = {11, 71, 131, 191, 251, 360, 420, 480, 540, 600};
    for (int n = 0; n < 23; ++n) {
        RECT want = {};
        if (n < 20)
            want = {bankX[n % 10], 576, bankX[n % 10] + 48, 576 + 109};
        else if (n == 20)
            want = {307, 574, 353, 683};
        else if (n == 21)
            want = {960, 90, 1006, 199};
        else
            want = {661, 90, 707, 199};
        HWND wnd = Fader(n);
        RECT at;
        GetWindowRect(wnd, &at);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&at), 2);
        EXPECT_TRUE(EqualRect(&want, &at)) << n << ": " << at.left << "," << at.top << "," << at.right << ","
                                           << at.bottom;
        EXPECT_EQ(n >= 20, (GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0) << n;
        EXPECT_NE(0, GetWindowLongA(wnd, GWL_STYLE) & WS_CLIPSIBLINGS) << n;
        EXPECT_EQ(0, FaderValue(n)) << n;
    }
    char cls[32] = {};
    GetClassNameA(Fader(0), cls, sizeof cls);
    EXPECT_STREQ("_kntSlider", cls);
    EXPECT_EQ(DWORD(CS_OWNDC | CS_DBLCLKS), GetClassLongA(Fader(0), GCL_STYLE));
    EXPECT_EQ(LONG(sizeof(LONG_PTR)), GetClassLongA(Fader(0), GCL_CBWNDEXTRA));
}

TEST_F(FaderWndTest, TheVolumeFaderComesWithTheCdPlayer) {
    DisableCDPlayer = 0;
    ASSERT_TRUE(CreateFaders(main_));
    EXPECT_EQ(childrenBefore_ + 24, gDeskChildCount);
    HWND volume = Fader(kVolumeFader);
    RECT at;
    GetWindowRect(volume, &at);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&at), 2);
    const RECT want = {521, 719, 630, 755};
    EXPECT_TRUE(EqualRect(&want, &at));
    EXPECT_NE(0, GetWindowLongA(volume, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(FaderWndTest, EachBarShowsItsBankAndOnlyBarFiveTheExecutorFader) {
    DisableCDPlayer = 0;
    ASSERT_TRUE(CreateFaders(main_));
    // With the player off again the volume fader is left to no one.
    DisableCDPlayer = 1;
    // The main window is not shown here: the windows' own visible style tells.
    auto shown = [&](int n) { return (GetWindowLongA(Fader(n), GWL_STYLE) & WS_VISIBLE) != 0; };
    for (int bar = 1; bar <= 6; ++bar) {
        SelectFaderBar(bar);
        for (int n = 0; n < 20; ++n) {
            const bool wanted = n < 10 ? (bar == 1 || bar == 3) : (bar == 2 || bar == 4);
            EXPECT_EQ(wanted, shown(n)) << "bar " << bar << " fader " << n;
        }
        EXPECT_EQ(bar == 5, shown(kExecutorFader)) << bar;
        for (int n : {21, 22, kVolumeFader}) EXPECT_TRUE(shown(n)) << "bar " << bar << " " << n;
    }
}

// ---- dragging

TEST_F(FaderWndTest, DragWithoutEchoWritesTheCoreButLeavesTheKnob) {
    StandinSetResult("EchoFaders", 0);
    Start();
    ASSERT_EQ(0, KnobMismatches(kGrandMaster, KnobTop(0)));
    GrabKnob(kGrandMaster, 0);
    EXPECT_EQ(Fader(kGrandMaster), GetCapture());
    Drag(kGrandMaster, 50);  // d = 100 - 50, value 50 * 255 / 100
    EXPECT_EQ(127, CoreValue(kGrandMaster));
    EXPECT_EQ(1, CoreChanged(kGrandMaster));
    Release(kGrandMaster);
    EXPECT_EQ(nullptr, GetCapture());
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({kLock, kLock, Manual(kGrandMaster), kLock}, CoreCalls()));
    EXPECT_EQ(0, FaderValue(kGrandMaster));
    EXPECT_EQ(0, KnobMismatches(kGrandMaster, KnobTop(0)));
    EXPECT_NE(0, KnobMismatches(kGrandMaster, KnobTop(127)));
}

TEST_F(FaderWndTest, WithTheEchoTheKnobFollowsTheCore) {
    Start();
    GrabKnob(kGrandMaster, 0);
    Drag(kGrandMaster, 50);
    harness::PumpUntilIdle();
    EXPECT_EQ(127, FaderValue(kGrandMaster));
    EXPECT_EQ(0, CoreChanged(kGrandMaster));  // the demo core took it on
    // Held: the knob shows inverted where the echo put it.
    EXPECT_EQ(0, KnobMismatches(kGrandMaster, KnobTop(127), true));
    Drag(kGrandMaster, 0);
    Release(kGrandMaster);
    harness::PumpUntilIdle();
    EXPECT_EQ(255, FaderValue(kGrandMaster));
    EXPECT_EQ(0, KnobMismatches(kGrandMaster, 0));
    EXPECT_NE(0, KnobMismatches(kGrandMaster, KnobTop(127)));
    EXPECT_TRUE(SameSequence({kLock, kLock, Manual(kGrandMaster), kLock, Manual(kGrandMaster), kLock}, CoreCalls()));
}

TEST_F(FaderWndTest, PointerOutsideTheWindowGivesTheEnds) {
    StandinSetResult("EchoFaders", 0);
    Start();
    GrabKnob(kBarFader, 0);
    struct Case {
        int y;
        int value;
    } const cases[] = {
        {-1, 255},  {-30, 255}, {-32768, 255}, {0, 255},     {100, 0},   {101, 0},
        {109, 0},   {500, 0},   {32767, 0},    {99, 2},      {1, 252},   {60, 102},
    };
    for (const Case& c : cases) {
        CoreValue(kBarFader) = 77;
        Drag(kBarFader, c.y);
        EXPECT_EQ(c.value, CoreValue(kBarFader)) << c.y;
    }
    // A real pointer leaving upwards during the capture gives 255, below 0.
    Release(kBarFader);
    HWND wnd = Fader(kBarFader);
    POINT knob = {20, KnobTop(0) + 10};
    ClientToScreen(wnd, &knob);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto pointer = [&](int x, int y, DWORD flags) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = LONG(x * 65535LL / (width - 1));
        in.mi.dy = LONG(y * 65535LL / (height - 1));
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof in);
        harness::PumpUntilIdle();
    };
    pointer(knob.x, knob.y, 0);
    pointer(knob.x, knob.y, MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(wnd, GetCapture());
    pointer(knob.x, knob.y - 200, 0);
    EXPECT_EQ(255, CoreValue(kBarFader));
    pointer(knob.x, knob.y + 150, 0);
    EXPECT_EQ(0, CoreValue(kBarFader));
    pointer(knob.x, knob.y + 150, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(FaderWndTest, AMoveWithAModifierOrAnotherButtonIsNoDrag) {
    Start();
    CoreValue(kBarFader) = 77;
    GrabKnob(kBarFader, 0);
    harness::ClearJournal();
    for (WPARAM keys : {WPARAM(MK_LBUTTON | MK_SHIFT), WPARAM(MK_LBUTTON | MK_CONTROL),
                        WPARAM(MK_LBUTTON | MK_RBUTTON), WPARAM(MK_LBUTTON | MK_MBUTTON), WPARAM(0)}) {
        EXPECT_EQ(0, Mouse(kBarFader, WM_MOUSEMOVE, keys, 20, 0)) << keys;
    }
    EXPECT_EQ(77, CoreValue(kBarFader));
    EXPECT_EQ(0, CoreChanged(kBarFader));
    EXPECT_TRUE(SameSequence(std::vector<std::string>(5, kLock), CoreCalls()));
}

TEST_F(FaderWndTest, APressBesideTheKnobTakesOnlyTheCapture) {
    Start();
    CoreValue(kBarFader) = 77;
    EXPECT_EQ(0, Mouse(kBarFader, WM_LBUTTONDOWN, MK_LBUTTON, 20, 30));  // knob is at 90
    EXPECT_EQ(Fader(kBarFader), GetCapture());
    Drag(kBarFader, 0);
    EXPECT_EQ(77, CoreValue(kBarFader));
    // The knob's last pixel row still grabs.
    Release(kBarFader);
    EXPECT_EQ(0, Mouse(kBarFader, WM_LBUTTONDOWN, MK_LBUTTON, 20, 109));
    Drag(kBarFader, 0);
    EXPECT_EQ(255, CoreValue(kBarFader));
    Release(kBarFader);
    // The second press of a double click is no press.
    harness::PumpUntilIdle();
    harness::ClearJournal();
    EXPECT_EQ(1, Mouse(kBarFader, WM_LBUTTONDBLCLK, MK_LBUTTON, 20, KnobTop(255) + 5));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(CoreCalls().empty());
}

TEST_F(FaderWndTest, SetFaderModeManualComesBeforeEveryWrite) {
    StandinSetResult("EchoFaders", 0);
    Start();
    CoreValue(kBarFader) = 77;
    GrabKnob(kBarFader, 0);
    Drag(kBarFader, 0);
    // What the block held when the core heard of the write.
    EXPECT_EQ(77, StandinGetResult("SetFaderModeManual.value", -1));
    EXPECT_EQ(0, StandinGetResult("SetFaderModeManual.changed", -1));
    EXPECT_EQ(255, CoreValue(kBarFader));
    Drag(kBarFader, 100);
    EXPECT_EQ(255, StandinGetResult("SetFaderModeManual.value", -1));
    EXPECT_EQ(0, CoreValue(kBarFader));
    Release(kBarFader);
    CoreChanged(kBarFader) = 0;
    Wheel(kBarFader, 120);
    EXPECT_EQ(0, StandinGetResult("SetFaderModeManual.value", -1));
    EXPECT_EQ(0, StandinGetResult("SetFaderModeManual.changed", -1));
    EXPECT_EQ(1, CoreValue(kBarFader));
    EXPECT_EQ(1, CoreChanged(kBarFader));
}

// A grab left behind after the capture went would let a later drag that
// started elsewhere move the fader.
TEST_F(FaderWndTest, LosingTheCaptureLetsGoOfTheKnob) {
    StandinSetResult("EchoFaders", 0);
    Start();
    CoreValue(kBarFader) = 77;
    GrabKnob(kBarFader, 0);
    EXPECT_EQ(0, KnobMismatches(kBarFader, KnobTop(0), true));
    SetCapture(main_);
    EXPECT_EQ(0, KnobMismatches(kBarFader, KnobTop(0), false));
    ReleaseCapture();
    Drag(kBarFader, 0);
    EXPECT_EQ(77, CoreValue(kBarFader));
}

// ---- the wheel

TEST_F(FaderWndTest, WheelStepsOnePerNotchAndTenWithTheMiddleButton) {
    StandinSetResult("EchoFaders", 0);
    Start();
    struct Case {
        int start;
        int delta;
        WORD keys;
        int value;
    } const cases[] = {
        {100, 120, 0, 101},  {100, -120, 0, 99}, {100, 120, MK_MBUTTON, 110}, {100, -240, MK_MBUTTON, 90},
        {250, 120, MK_MBUTTON, 255}, {5, -120, MK_MBUTTON, 0}, {255, 120, 0, 255}, {0, -120, 0, 0},
        {100, 30, 0, 101},   {100, 120, MK_SHIFT, 101},
    };
    for (const Case& c : cases) {
        CoreValue(kBarFader) = static_cast<unsigned char>(c.start);
        CoreChanged(kBarFader) = 0;
        harness::ClearJournal();
        EXPECT_EQ(0, Wheel(kBarFader, c.delta, c.keys));
        EXPECT_EQ(c.value, CoreValue(kBarFader)) << c.start << " " << c.delta << " " << c.keys;
        EXPECT_EQ(1, CoreChanged(kBarFader));
        EXPECT_TRUE(SameSequence({kLock, Manual(kBarFader)}, CoreCalls()));
    }
    // A wheel message that turns by nothing moves nothing.
    CoreValue(kBarFader) = 100;
    CoreChanged(kBarFader) = 0;
    Wheel(kBarFader, 0);
    EXPECT_EQ(100, CoreValue(kBarFader));
    EXPECT_EQ(0, CoreChanged(kBarFader));
}

TEST_F(FaderWndTest, TheMainWindowHandsTheWheelToTheFaderUnderThePointer) {
    Start();
    CoreValue(kBarFader) = 100;
    POINT centre = {24, 50};
    ClientToScreen(Fader(kBarFader), &centre);
    EXPECT_EQ(1, SendMessageA(main_, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-120))), MAKELPARAM(centre.x, centre.y)));
    EXPECT_EQ(99, CoreValue(kBarFader));
    harness::PumpUntilIdle();
    EXPECT_EQ(99, FaderValue(kBarFader));
    EXPECT_EQ(0, KnobMismatches(kBarFader, KnobTop(99)));
}

// ---- the desk lock

TEST_F(FaderWndTest, LockedDeskTellsOnPressAndIgnoresTheRest) {
    Start();
    CoreValue(kBarFader) = 77;
    StandinSetResult("IsDesklocked", 1);
    harness::MessageBoxCapture boxes;
    EXPECT_EQ(1, Mouse(kBarFader, WM_LBUTTONDOWN, MK_LBUTTON, 20, KnobTop(0) + 10));
    EXPECT_EQ(nullptr, GetCapture());
    harness::PumpUntilIdle();
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Desk is locked!", boxes.Boxes()[0].text);
    EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
    EXPECT_EQ(1, Mouse(kBarFader, WM_MOUSEMOVE, MK_LBUTTON, 20, 0));
    EXPECT_EQ(0, Wheel(kBarFader, 120));
    EXPECT_EQ(1, Mouse(kBarFader, WM_LBUTTONUP, 0, 20, 0));
    harness::PumpUntilIdle();
    EXPECT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(77, CoreValue(kBarFader));
    EXPECT_EQ(0, CoreChanged(kBarFader));
    EXPECT_TRUE(SameSequence({kLock, kLock, kLock, kLock}, CoreCalls()));
}

TEST_F(FaderWndTest, AReleaseBehindALockDropsTheCaptureAndTheGrab) {
    Start();
    CoreValue(kBarFader) = 77;
    GrabKnob(kBarFader, 0);
    StandinSetResult("IsDesklocked", 1);
    EXPECT_EQ(1, Mouse(kBarFader, WM_LBUTTONUP, 0, 20, 0));
    EXPECT_EQ(nullptr, GetCapture());
    StandinSetResult("IsDesklocked", 0);
    Drag(kBarFader, 0);
    EXPECT_EQ(77, CoreValue(kBarFader));
    EXPECT_EQ(0, KnobMismatches(kBarFader, KnobTop(0), false));
}

// ---- set fader value

TEST_F(FaderWndTest, SetFaderValueCapsAndRepaintsOnlyAChangeWhileTheCoreRuns) {
    Start();
    HWND wnd = Fader(kGrandMaster);
    SetFaderValue(kGrandMaster, 300);
    EXPECT_EQ(255, FaderValue(kGrandMaster));
    EXPECT_TRUE(RepaintPending(kGrandMaster));
    UpdateWindow(wnd);
    SetFaderValue(kGrandMaster, 255);
    EXPECT_FALSE(RepaintPending(kGrandMaster));
    SetFaderValue(kGrandMaster, 300);
    EXPECT_FALSE(RepaintPending(kGrandMaster));
    SetFaderValue(kGrandMaster, -5);
    EXPECT_EQ(0, FaderValue(kGrandMaster));
    UpdateWindow(wnd);
    VC_KNT_ACTIVE = 0;
    SetFaderValue(kGrandMaster, 128);
    EXPECT_EQ(128, FaderValue(kGrandMaster));
    EXPECT_FALSE(RepaintPending(kGrandMaster));
    VC_KNT_ACTIVE = 1;
    InvalidateRect(wnd, nullptr, FALSE);
    EXPECT_EQ(0, KnobMismatches(kGrandMaster, KnobTop(128)));
    EXPECT_TRUE(CoreCalls().empty());
}

TEST_F(FaderWndTest, AnIndexBeyondTheFadersChangesNothing) {
    Start();
    for (int n = 0; n < 23; ++n) SetFaderValue(n, 40 + n);
    SetFaderValue(-1, 200);
    SetFaderValue(24, 200);
    SetFaderValue(kVolumeFader, 200);  // not made without the CD player
    EXPECT_EQ(-1, FaderValue(kVolumeFader));
    for (WPARAM index : {WPARAM(24), WPARAM(-1), WPARAM(40021), (WPARAM(1) << (sizeof(WPARAM) * 8 - 1)) | 21})
        EXPECT_EQ(0, FromCore(index, 200)) << index;
    // A child that only carries a fader's id is no fader.
    HWND impostor = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, main_,
                                    reinterpret_cast<HMENU>(INT_PTR(kFirstFaderId + kVolumeFader)),
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, impostor);
    FromCore(kVolumeFader, 200);
    EXPECT_EQ(-1, FaderValue(kVolumeFader));
    for (int n = 0; n < 23; ++n) EXPECT_EQ(40 + n, FaderValue(n)) << n;
    // The core's own echo does reach a fader.
    FromCore(kBarFader, 250);
    EXPECT_EQ(250, FaderValue(kBarFader));
}

// ---- the volume fader

TEST_F(FaderWndTest, TheVolumeFaderKeepsItsOwnValueAndIgnoresTheWheel) {
    Start(true);
    HWND volume = Fader(kVolumeFader);
    SetFaderValue(kVolumeFader, 70000);
    EXPECT_EQ(65535, FaderValue(kVolumeFader));
    SetFaderValue(kVolumeFader, 0);
    // The knob at x 0..19: a press on it grabs.
    EXPECT_EQ(0, Mouse(kVolumeFader, WM_LBUTTONDOWN, MK_LBUTTON, 10, 18));
    EXPECT_EQ(volume, GetCapture());
    struct Case {
        int x;
        int value;
    } const cases[] = {{50, 32767}, {100, 65535}, {5000, 65535}, {-20, 0}, {0, 0}, {1, 655}};
    for (const Case& c : cases) {
        EXPECT_EQ(0, Mouse(kVolumeFader, WM_MOUSEMOVE, MK_LBUTTON, c.x, 18));
        EXPECT_EQ(c.value, FaderValue(kVolumeFader)) << c.x;
    }
    Mouse(kVolumeFader, WM_MOUSEMOVE, MK_LBUTTON, 100, 18);
    Mouse(kVolumeFader, WM_LBUTTONUP, 0, 100, 18);
    EXPECT_EQ(nullptr, GetCapture());
    const std::vector<std::string> calls = CoreCalls();
    for (const std::string& call : calls) EXPECT_EQ(kLock, call);
    EXPECT_EQ(0, CoreValue(kVolumeFader));  // the byte after the core's faders is not the host's
    harness::ClearJournal();
    EXPECT_EQ(0, Wheel(kVolumeFader, 120, MK_MBUTTON));
    EXPECT_EQ(65535, FaderValue(kVolumeFader));
    EXPECT_TRUE(CoreCalls().empty());

    // At 65535 the knob stands at the right end, x 90 to 109 (shown here
    // whatever the CD panel's own show rule says).
    ShowWindow(volume, SW_SHOW);
    InvalidateRect(volume, nullptr, FALSE);
    UpdateWindow(volume);
    HBITMAP picture = FaderKnobBitmap(FaderKind::Horizontal);
    HDC dc = GetDC(volume);
    int wrong = 0;
    for (int row = 0; row < 30; row += 3)
        for (int col = 0; col < 19; ++col)
            if (GetPixel(dc, 90 + col, 3 + row) != BitmapPixel(picture, col, row)) ++wrong;
    ReleaseDC(volume, dc);
    EXPECT_EQ(0, wrong);
}

}  // namespace

namespace {

// The core is unloaded and loaded again on a restart; its echo must work on
// in the new session and nothing of the old one may be left to crash.
TEST_F(FaderWndTest, TheEchoWorksOnAfterARestartOfTheCore) {
    Start();
    GrabKnob(kBarFader, 0);
    Drag(kBarFader, 0);
    Release(kBarFader);
    harness::PumpUntilIdle();
    ASSERT_EQ(255, FaderValue(kBarFader));
    ASSERT_TRUE(EndCoreSession(true, false));
    harness::PumpUntilIdle();
    ASSERT_TRUE(StartCoreSession());
    harness::PumpUntilIdle();
    GrabKnob(kBarFader, 255);
    Drag(kBarFader, 100);
    Release(kBarFader);
    harness::PumpUntilIdle();
    EXPECT_EQ(0, FaderValue(kBarFader));
    EXPECT_EQ(0, KnobMismatches(kBarFader, KnobTop(0)));
}

}  // namespace
