// The desk keys on a main window with a core session on the stand-in core:
// what each gesture sends, what the lamps show and which keys a bar shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskChildren.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

using harness::Status;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr UINT kLampMessage = WM_APP + 1;

// The Flip calls of the journal, which CoreCalls leaves out as paint noise.
std::vector<std::string> FlipCalls() {
    std::vector<std::string> flips;
    for (const std::string& line : harness::JournalLines())
        if (line.rfind("Flip ", 0) == 0) flips.push_back(line);
    return flips;
}

class KeyWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        std::memset(ledHWnd, 0, sizeof ledHWnd);
        ResetKeyLabels();
        DeskTest::SetUp();
        childrenBefore_ = gDeskChildCount;
        ASSERT_TRUE(CreateDeskKeys(main_));
    }
    void TearDown() override {
        DeskTest::TearDown();
        ClearKeyIndexMap();
        ResetKeyLabels();
    }
    HWND Key(int keyId) {
        HWND wnd = KeyWindowOfId(keyId);
        EXPECT_NE(nullptr, wnd) << keyId;
        return wnd;
    }
    void Press(int keyId, UINT msg = WM_LBUTTONDOWN) { SendMessageA(Key(keyId), msg, MK_LBUTTON, MAKELPARAM(10, 20)); }
    void Release(int keyId, UINT msg = WM_LBUTTONUP) { SendMessageA(Key(keyId), msg, 0, MAKELPARAM(10, 20)); }
    void Click(int keyId) {
        Press(keyId);
        Release(keyId);
        harness::PumpUntilIdle();
    }
    void SetLamp(int lamp, int on) {
        auto set = reinterpret_cast<StandinSetLampFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSetLamp")));
        ASSERT_NE(nullptr, set);
        set(lamp, on);
    }
    LRESULT SendFromCore(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        auto send = reinterpret_cast<StandinSendToMainFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSendToMain")));
        EXPECT_NE(nullptr, send);
        return send ? send(msg, wp, lp) : 0;
    }
    // The middle of the first (second = false) or second lamp of a key.
    COLORREF LampPixel(int keyId, bool second = false) {
        HWND wnd = Key(keyId);
        UpdateWindow(wnd);
        RECT client;
        GetClientRect(wnd, &client);
        const KeyRecord* key = KeyRow(RowOfKeyId(keyId));
        const int left = client.right / 2 - (key->led2 == -1 ? 5 : 12) + (second ? 16 : 0);
        HDC dc = GetDC(wnd);
        const COLORREF pixel = GetPixel(dc, left + 5, 5);
        ReleaseDC(wnd, dc);
        return pixel;
    }
    bool Shown(int keyId) { return IsWindowVisible(Key(keyId)) != FALSE; }
    // Whatever stands at the middle of a key's place now, the key itself,
    // another window or the desk, is due to be repainted there.
    bool RepaintDueAt(int keyId) {
        RECT at;
        GetWindowRect(Key(keyId), &at);
        POINT middle = {(at.left + at.right) / 2, (at.top + at.bottom) / 2};
        ScreenToClient(main_, &middle);
        HWND there = ChildWindowFromPointEx(main_, middle, CWP_SKIPINVISIBLE);
        MapWindowPoints(main_, there, &middle, 1);
        HRGN due = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(there, due, FALSE);
        const bool inside = PtInRegion(due, middle.x, middle.y) != FALSE;
        DeleteObject(due);
        return inside;
    }
    HWND Child(int id) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, main_, reinterpret_cast<HMENU>(INT_PTR(id)),
                               GetModuleHandleA(nullptr), nullptr);
    }
    int childrenBefore_ = 0;
};

// ---- creation

TEST_F(KeyWndTest, CreationMapsEveryKeyAndRegistersItsLamps) {
    EXPECT_EQ(childrenBefore_ + kKeyCount, gDeskChildCount);
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord* key = KeyRow(row);
        ASSERT_EQ(row, RowOfKeyId(key->keyId));
        HWND wnd = KeyWindowOfId(key->keyId);
        ASSERT_NE(nullptr, wnd);
        EXPECT_EQ(row, GetDlgCtrlID(wnd));
        for (int led : {key->led1, key->led2}) {
            if (led != -1) {
                EXPECT_EQ(wnd, ledHWnd[led]) << key->keyId;
            }
        }
        const bool shownAtOnce = key->keyId > 147 && key->keyId != 176 && key->keyId < 256;
        EXPECT_EQ(shownAtOnce, (GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0) << key->keyId;
    }
    char cls[32] = {};
    GetClassNameA(Key(150), cls, sizeof cls);
    EXPECT_STREQ("_kntButton", cls);
    EXPECT_EQ(CS_DBLCLKS | CS_OWNDC, GetClassLongA(Key(150), GCL_STYLE));
}

// ---- ordinary keys

TEST_F(KeyWndTest, ClickOnAnOrdinaryKeySendsItsStatusDownAndUp) {
    StartSession();
    for (int id : {150, 1, 41, 193, 228}) {
        harness::ClearJournal();
        Press(id);
        EXPECT_EQ(Key(id), GetCapture()) << id;
        Release(id);
        EXPECT_EQ(nullptr, GetCapture()) << id;
        harness::PumpUntilIdle();
        EXPECT_TRUE(SameSequence({Status(id, 1), Status(id, 0)}, CoreCalls())) << id;
    }
    // A double click is a second press.
    harness::ClearJournal();
    Press(150);
    Release(150);
    Press(150, WM_LBUTTONDBLCLK);
    Release(150);
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0), Status(150, 1), Status(150, 0)}, CoreCalls()));
}

TEST_F(KeyWndTest, LockedDeskStillSendsOrdinaryKeysButNotScreenBarOrPageKeys) {
    StartSession();
    StandinSetResult("IsDesklocked", 1);
    harness::MessageBoxCapture boxes;
    const LONG bar = current_bar;
    const LONG background = current_background;
    Click(150);
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CoreCalls()));
    EXPECT_TRUE(boxes.Boxes().empty());

    harness::ClearJournal();
    for (int id : {248, 254, 256}) Click(id);
    // Presses ask with the message; releases of bar and page keys ask silently.
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", "IsDesklocked", "IsDesklocked", "IsDesklocked"},
                             CoreCalls()));
    ASSERT_EQ(3u, boxes.Boxes().size());
    for (const harness::CapturedBox& box : boxes.Boxes()) {
        EXPECT_EQ("Desk is locked!", box.text);
        EXPECT_EQ("Kantrel Ovrin", box.caption);
        EXPECT_EQ(main_, box.owner);
        EXPECT_EQ(UINT(MB_ICONINFORMATION), box.icon);
    }
    EXPECT_EQ(bar, current_bar);
    EXPECT_EQ(background, current_background);
    EXPECT_EQ(nullptr, GetCapture());
}

// ---- lamps

TEST_F(KeyWndTest, LampMessageRepaintsTheLampInTheColourOfItsKey) {
    StartSession();
    ASSERT_EQ(1, VC_KNT_ACTIVE);
    struct Case {
        int keyId;
        int lamp;
        bool second;
        COLORREF lit;
    };
    const Case cases[] = {
        {150, 135, false, kRed},    {148, 167, false, kGreen},  {149, 151, false, kYellow},
        {180, 66, false, kYellow},  {41, 137, false, kGreen},   {41, 136, true, kYellow},
        {175, 231, false, kRed},    {175, 230, true, kGreen},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kBlack, LampPixel(c.keyId, c.second)) << c.keyId;
        SetLamp(c.lamp, 1);
        EXPECT_EQ(c.lit, LampPixel(c.keyId, c.second)) << c.keyId;
        SetLamp(c.lamp, 0);
        EXPECT_EQ(kBlack, LampPixel(c.keyId, c.second)) << c.keyId;
    }
}

TEST_F(KeyWndTest, LampTimerStartedByTheCoreRedrawsTheLamp) {
    StartSession();
    harness::PumpUntilIdle();
    StandinSetResult("IsLed", 1);  // lit without telling the key
    EXPECT_EQ(kBlack, LampPixel(150));
    auto start = reinterpret_cast<StandinStartLampTimerFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinStartLampTimer")));
    ASSERT_NE(nullptr, start);
    EXPECT_FALSE(start(256, 10));
    ASSERT_TRUE(start(135, 10));
    harness::PumpFor(150);
    EXPECT_EQ(kRed, LampPixel(150));
    KillTimer(Key(150), 500);
}

TEST_F(KeyWndTest, FirstLampNeedsAnActiveCoreAndOnlyTimer500Redraws) {
    StartSession();
    StandinSetResult("IsLed", 1);
    VC_KNT_ACTIVE = 0;
    SendMessageA(Key(175), kLampMessage, 231, 0);
    EXPECT_EQ(kBlack, LampPixel(175));
    EXPECT_EQ(kGreen, LampPixel(175, true));
    VC_KNT_ACTIVE = 1;
    SendMessageA(Key(175), WM_TIMER, 500, 0);
    EXPECT_EQ(kRed, LampPixel(175));
    StandinSetResult("IsLed", 0);
    SendMessageA(Key(175), WM_TIMER, 501, 0);
    EXPECT_EQ(kRed, LampPixel(175));
    SendMessageA(Key(175), WM_TIMER, 500, 0);
    EXPECT_EQ(kBlack, LampPixel(175));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

// ---- right button on executor buttons

TEST_F(KeyWndTest, RightButtonOnAnExecutorButtonHoldsEditUntilReleaseOrCaptureLoss) {
    StartSession();
    SelectFaderBar(5);
    harness::ClearJournal();
    HWND button = Key(61);
    SendMessageA(button, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(button, GetCapture());
    SendMessageA(button, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(SameSequence({Status(193, 1), Status(193, 0)}, CoreCalls()));

    // Another window takes the mouse while the button is held.
    harness::ClearJournal();
    SendMessageA(Key(100), WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SetCapture(main_);
    ReleaseCapture();
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({Status(193, 1), Status(193, 0)}, CoreCalls()));

    // Other keys ignore the right button and take no capture.
    harness::ClearJournal();
    for (int id : {150, 41, 256}) {
        SendMessageA(Key(id), WM_RBUTTONDOWN, MK_RBUTTON, 0);
        EXPECT_EQ(nullptr, GetCapture()) << id;
        SendMessageA(Key(id), WM_RBUTTONUP, 0, 0);
    }
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(KeyWndTest, HeldKeyIsReleasedWhenItLosesTheMouse) {
    StartSession();
    HWND key = Key(150);
    SendMessageA(key, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_EQ(key, GetCapture());
    SetCapture(main_);
    ReleaseCapture();
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CoreCalls()));
    EXPECT_FALSE(GetCapture() == key);

    // A plain click owes nothing more after its release.
    harness::ClearJournal();
    SendMessageA(key, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(key, WM_LBUTTONUP, 0, 0);
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({Status(150, 1), Status(150, 0)}, CoreCalls()));
}

// Page and bar keys owe their release as well: the core must not go on
// holding the page status or the fader-mode status 177.
TEST_F(KeyWndTest, PageAndBarKeysAreReleasedWhenTheyLoseTheMouse) {
    StartSession();
    struct Case {
        int keyId;
        int held;
    };
    for (const Case& c : {Case{257, 145}, Case{256, 144}, Case{253, 177}, Case{250, 177}}) {
        InterlockedExchange(&current_bar, 3);
        HWND key = Key(c.keyId);
        harness::ClearJournal();
        SendMessageA(key, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ASSERT_EQ(key, GetCapture()) << c.keyId;
        SetCapture(main_);
        ReleaseCapture();
        harness::PumpUntilIdle();
        std::vector<std::string> held;
        for (const std::string& line : CoreCalls())
            if (line.rfind("VC_SetStatus " + std::to_string(c.held) + " ", 0) == 0) held.push_back(line);
        EXPECT_TRUE(SameSequence({Status(c.held, 1), Status(c.held, 0)}, held)) << c.keyId;
    }
}

// ---- bar keys

// A switch holds the desk's drawing back while it shows and hides its keys:
// the desk must come out of it visible, and every key it showed must still
// get its paint.
TEST_F(KeyWndTest, BarSwitchOnAShownDeskRepaintsTheKeysItShows) {
    StartSession();
    ASSERT_TRUE(IsWindowVisible(main_));
    SelectFaderBar(5);
    harness::PumpUntilIdle();
    SelectFaderBar(1);
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(GetWindowLongPtrA(main_, GWL_STYLE) & WS_VISIBLE);
    for (int id : {1, 10, 21, 41}) {
        ASSERT_TRUE(Shown(id)) << id;
        RECT pending;
        EXPECT_TRUE(GetUpdateRect(KeyWindowOfId(id), &pending, FALSE)) << "key " << id << " shown but not repainted";
    }
    harness::PumpUntilIdle();
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(KeyWindowOfId(1), &pending, FALSE));

    // Only what changed is repainted: each key a switch shows or hides gets
    // whatever now stands at its place repainted there (the key, another
    // one, or the desk picture); a key it leaves alone is not painted again.
    struct Step {
        int bar;
        std::vector<int> shown, hidden;
    };
    const Step steps[] = {{2, {11, 31, 51}, {1, 21, 41}},
                          {5, {61, 100, 176}, {11, 31, 51}},
                          {1, {1, 21, 41}, {61, 100, 176}},
                          {6, {}, {1, 21, 41, 256, 257}},
                          {3, {1, 21, 41, 256}, {}}};
    for (const Step& step : steps) {
        SelectFaderBar(step.bar);
        for (int id : step.shown) EXPECT_TRUE(Shown(id) && RepaintDueAt(id)) << "bar " << step.bar << " key " << id;
        for (int id : step.hidden) EXPECT_TRUE(!Shown(id) && RepaintDueAt(id)) << "bar " << step.bar << " key " << id;
        EXPECT_FALSE(GetUpdateRect(Key(150), &pending, FALSE)) << "bar " << step.bar;
        harness::PumpUntilIdle();
    }
}

TEST_F(KeyWndTest, BarSwitchOnAHiddenDeskLeavesItHidden) {
    StartSession();
    ShowWindow(main_, SW_HIDE);
    SelectFaderBar(2);
    EXPECT_FALSE(GetWindowLongPtrA(main_, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongPtrA(KeyWindowOfId(11), GWL_STYLE) & WS_VISIBLE)
        << "the bar's keys are shown for when the desk comes back";
}

TEST_F(KeyWndTest, BarKeysSwitchTheBarAndShowItsKeys) {
    StartSession();
    HWND fader0 = Child(40000);
    HWND fader10 = Child(40010);
    HWND fader20 = Child(40020);
    HWND encoder = Child(40500);

    Click(254);
    EXPECT_TRUE(SameSequence({"IsDesklocked", Status(177, 1), "IsDesklocked", Status(177, 0)}, CoreCalls()));
    EXPECT_EQ(5, current_bar);
    for (int id : {61, 100, 176, 256, 257}) EXPECT_TRUE(Shown(id)) << id;
    for (int id : {1, 10, 21, 41, 11, 60}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(IsWindowVisible(fader20));
    EXPECT_FALSE(IsWindowVisible(fader0));

    // No HTP lamp yet: bar 1 first puts the core in channel mode.
    harness::ClearJournal();
    Click(250);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "AnzHTPchannels", "IsHtpActiv", Status(142, 1), Status(142, 0),
                              Status(177, 1), "IsDesklocked", "AnzHTPchannels", Status(177, 0)},
                             CoreCalls()));
    EXPECT_EQ(1, current_bar);
    for (int id : {1, 10, 21, 30, 41, 50, 256}) EXPECT_TRUE(Shown(id)) << id;
    for (int id : {11, 31, 51, 61, 176}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(IsWindowVisible(fader0));
    EXPECT_FALSE(IsWindowVisible(fader10));

    StandinSetResult("IsHtpActiv", 1);
    harness::ClearJournal();
    Click(253);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsHtpActiv", Status(144, 1), Status(144, 0), Status(177, 1),
                              "IsDesklocked", Status(177, 0)},
                             CoreCalls()));
    EXPECT_EQ(4, current_bar);
    for (int id : {11, 20, 40, 51}) EXPECT_TRUE(Shown(id)) << id;
    for (int id : {1, 41, 61}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(IsWindowVisible(fader10));

    harness::ClearJournal();
    Click(255);
    EXPECT_EQ(6, current_bar);
    EXPECT_FALSE(Shown(256));
    EXPECT_FALSE(Shown(257));
    for (int id : {1, 11, 41, 61, 176}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(Shown(150));
    EXPECT_TRUE(IsWindowVisible(encoder));
    // The selected bar key is not selected again, but still pulses 177.
    harness::ClearJournal();
    Click(255);
    EXPECT_TRUE(SameSequence({"IsDesklocked", Status(177, 1), "IsDesklocked", Status(177, 0)}, CoreCalls()));
    EXPECT_EQ(6, current_bar);
}

TEST_F(KeyWndTest, ChannelBarWithoutHtpChannelsTellsSoOnceOnRelease) {
    StartSession();
    StandinSetResult("AnzHTPchannels", 0);
    harness::MessageBoxCapture boxes;
    const LONG bar = current_bar;
    Press(251);
    EXPECT_TRUE(boxes.Boxes().empty());
    Release(251);
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({"IsDesklocked", "AnzHTPchannels", "IsDesklocked", "AnzHTPchannels"}, CoreCalls()));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("No HTP Channels present!", boxes.Boxes()[0].text);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.Boxes()[0].icon);
    EXPECT_EQ(bar, current_bar);
    EXPECT_EQ(nullptr, GetCapture());
}

// ---- page keys

TEST_F(KeyWndTest, PageKeysSendTheStatusOfTheCurrentBar) {
    StartSession();
    struct Case {
        LONG bar;
        int up;  // 0: nothing is sent
    };
    // 77 is what a core could leave there; it pages as bar 3.
    for (const Case& c : {Case{1, 142}, Case{2, 142}, Case{3, 144}, Case{4, 144}, Case{5, 146}, Case{6, 0},
                          Case{77, 144}, Case{0, 144}}) {
        InterlockedExchange(&current_bar, c.bar);
        harness::ClearJournal();
        Click(256);
        Click(257);
        std::vector<std::string> expected;
        for (int status : {c.up, c.up + 1})
            for (int value : {1, 0}) {
                expected.push_back("IsDesklocked");
                if (c.up) expected.push_back(Status(status, value));
            }
        EXPECT_TRUE(SameSequence(expected, CoreCalls())) << c.bar;
    }
}

// ---- screen keys

TEST_F(KeyWndTest, ScreenKeysSelectTheViewAsTheDeskStateAsks) {
    StartSession();
    InterlockedExchange(&background_mode, 0);
    InterlockedExchange(&maindlg_count, 0);
    InterlockedExchange(&current_touch, 2);
    Click(248);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "CanSwitchTouch"}, CoreCalls()));
    EXPECT_EQ(1, current_background);
    EXPECT_EQ(2, current_touch);
    EXPECT_TRUE(SameSequence({"Flip 2 1"}, FlipCalls()));

    // Already selected: nothing but the lock test.
    harness::ClearJournal();
    Click(248);
    EXPECT_TRUE(SameSequence({"IsDesklocked"}, CoreCalls()));

    InterlockedExchange(&background_mode, 1);
    harness::ClearJournal();
    Click(247);
    EXPECT_EQ(0, current_touch);
    EXPECT_EQ(1, current_background);

    SelectTouchView(2, true);
    EXPECT_EQ(2, current_touch);
    EXPECT_EQ(2, current_background);

    StandinSetResult("CanSwitchTouch", 0);
    harness::ClearJournal();
    Click(247);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "CanSwitchTouch"}, CoreCalls()));
    EXPECT_EQ(2, current_touch);
}

// ---- labels the core decides

TEST_F(KeyWndTest, CoreRequestsRewriteTheThreeChangeableLabels) {
    StartSession();
    const int align = RowOfKeyId(183);
    StandinSetTextResult("GetAlignButtonText", "Align +");
    SendFromCore(kReqAlign);
    EXPECT_STREQ("Align +", KeyLabel(align));
    StandinSetTextResult("GetAlignButtonText", nullptr);
    SendFromCore(kReqAlign);
    EXPECT_STREQ("Align +", KeyLabel(align));
    const std::string longText(200, 'w');
    StandinSetTextResult("GetAlignButtonText", longText.c_str());
    SendFromCore(kReqAlign);
    EXPECT_EQ(longText.substr(0, kKeyLabelCapacity - 1), KeyLabel(align));

    const int dot = RowOfKeyId(219);
    const int zero = RowOfKeyId(209);
    for (int zeroDot : {1, 1, 0, 0}) {
        StandinSetResult("GetZeroDot", zeroDot);
        SendFromCore(kReqZeroDot);
        EXPECT_STREQ(zeroDot ? "0" : ".", KeyLabel(dot));
        EXPECT_STREQ(zeroDot ? "." : "0", KeyLabel(zero));
    }
    const int highlight = RowOfKeyId(200);
    for (int solo : {1, 1, 0, 0}) {
        StandinSetResult("GetHighliteSolo", solo);
        SendFromCore(kReqHighliteSolo);
        EXPECT_STREQ(solo ? "Solo~(H)" : "Highlight~(H)", KeyLabel(highlight));
    }
    EXPECT_TRUE(SameSequence({"GetAlignButtonText", "GetAlignButtonText", "GetAlignButtonText", "GetZeroDot",
                              "GetZeroDot", "GetZeroDot", "GetZeroDot", "GetHighliteSolo", "GetHighliteSolo",
                              "GetHighliteSolo", "GetHighliteSolo"},
                             CoreCalls()));
    // The ids, and so the status codes, stay where they are.
    harness::ClearJournal();
    StandinSetResult("GetZeroDot", 1);
    SendFromCore(kReqZeroDot);
    harness::ClearJournal();
    Click(219);
    EXPECT_TRUE(SameSequence({Status(219, 1), Status(219, 0)}, CoreCalls()));
}

// ---- faces and labels

// Pixels of exactly this colour in a key's client area, from the first
// pixel row below the lamps, at and below top.
int CountColour(HWND wnd, COLORREF colour, int top = 9) {
    UpdateWindow(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    HDC dc = GetDC(wnd);
    int count = 0;
    for (int y = top; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(wnd, dc);
    return count;
}

TEST_F(KeyWndTest, ShortcutsShowInBlueOnlyWhileShownAndPressedKeysDrawWhite) {
    StartSession();
    const COLORREF blue = RGB(64, 64, 222);
    const COLORREF white = RGB(255, 255, 255);
    auto repaint = [&](int id) {
        InvalidateRect(Key(id), nullptr, TRUE);
        UpdateWindow(Key(id));
    };
    for (int id : {209, 150, 1}) repaint(id);
    EXPECT_EQ(0, CountColour(Key(209), blue));
    EXPECT_GT(CountColour(Key(209), kBlack), 0);  // the face text
    EXPECT_EQ(0, CountColour(Key(150), blue));
    EXPECT_EQ(0, CountColour(Key(1), kBlack));    // "(Shift 1)" has no face

    gShowHKeys = 1;
    gShortcutMode = 1;
    for (int id : {209, 150, 1}) repaint(id);
    EXPECT_GT(CountColour(Key(209), blue), 0);  // its face is the key itself
    EXPECT_EQ(0, CountColour(Key(209), kBlack));
    EXPECT_GT(CountColour(Key(150), blue, 21), 0);  // "(F3)" on the second line
    EXPECT_GT(CountColour(Key(150), kBlack), 0);
    EXPECT_GT(CountColour(Key(1), blue), 0);

    Press(150);
    EXPECT_GT(CountColour(Key(150), white), 0);
    Release(150);
    EXPECT_EQ(0, CountColour(Key(150), white));
}

// A key's pixels as the window system holds them after a repaint.
std::vector<COLORREF> RepaintedPicture(HWND wnd) {
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    HDC dc = GetDC(wnd);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(wnd, dc);
    return pixels;
}

// Faces are drawn once and copied at every paint: each change of what a face
// shows must still reach the screen at the next paint, and undoing it must
// bring back the very picture of before, whatever made the change.
TEST_F(KeyWndTest, EveryChangeOfWhatAFaceShowsReachesTheNextPaint) {
    StartSession();
    LoadShortcutSettings();
    SetProgrammedShortcutFlags(1, 0);
    gShowHKeys = gShortcutMode = 1;
    auto align = [&](const char* text) {
        StandinSetTextResult("GetAlignButtonText", text);
        SendFromCore(kReqAlign);
    };
    auto fromCore = [&](UINT request, const char* query, int answer) {
        StandinSetResult(query, answer);
        SendFromCore(request);
    };
    struct Case {
        const char* what;
        int keyId;
        std::function<void()> change, undo;
    };
    const Case cases[] = {
        {"align text", 183, [&] { align("Align +"); }, [&] { align("Align~(W)"); }},
        {"zero and dot", 219, [&] { fromCore(kReqZeroDot, "GetZeroDot", 1); },
         [&] { fromCore(kReqZeroDot, "GetZeroDot", 0); }},
        {"solo", 200, [&] { fromCore(kReqHighliteSolo, "GetHighliteSolo", 1); },
         [&] { fromCore(kReqHighliteSolo, "GetHighliteSolo", 0); }},
        {"held down", 150, [&] { Press(150); }, [&] { Release(150); }},
        {"lamp the core lit", 150, [] { StandinSetResult("IsLed", 1); }, [] { StandinSetResult("IsLed", 0); }},
        {"shortcuts hidden", 150, [] { gShortcutMode = 0; }, [] { gShortcutMode = 1; }},
        {"programmed shortcut", 150, [] { ReplaceProgrammedShortcuts({{'Q', 150}}); },
         [] { ReplaceProgrammedShortcuts({}); }},
    };
    for (const Case& c : cases) {
        const std::vector<COLORREF> before = RepaintedPicture(Key(c.keyId));
        c.change();
        EXPECT_NE(before, RepaintedPicture(Key(c.keyId))) << c.what;
        c.undo();
        EXPECT_EQ(before, RepaintedPicture(Key(c.keyId))) << c.what;
    }
    ReleaseShortcutList();
}

// ---- values outside their tables

TEST_F(KeyWndTest, OutOfRangeIdsLampsAndViewStateChangeNothing) {
    StartSession();
    for (int id : {-1, 0, 258, 100000}) EXPECT_EQ(nullptr, KeyWindowOfId(id)) << id;
    PageKey(258, 1);
    PageKey(-3, 1);
    PageKey(150, 1);
    SendMessageA(Key(150), kLampMessage, WPARAM(100000), 0);
    SendMessageA(Key(150), kLampMessage, WPARAM(-1), 0);
    SetLamp(kLedCount, 1);
    SetLamp(-1, 1);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
    EXPECT_EQ(kBlack, LampPixel(150));

    // A bar or view outside its range falls back to bar 3 and view 2.
    for (int bar : {0, 7, -2}) {
        InterlockedExchange(&current_bar, 5);
        SelectFaderBar(bar);
        EXPECT_EQ(3, current_bar) << bar;
        EXPECT_TRUE(Shown(1) && Shown(41) && !Shown(61)) << bar;
    }
    EXPECT_EQ(3, current_bar);
    for (int view : {3, -1, 99}) {
        InterlockedExchange(&current_touch, 0);
        SelectTouchView(view, true);
        EXPECT_EQ(2, current_touch) << view;
        EXPECT_EQ(2, current_background) << view;
    }
    InterlockedExchange(&background_mode, 0);
    InterlockedExchange(&current_touch, 42);
    harness::ClearJournal();
    SelectTouchView(0, false);
    EXPECT_TRUE(SameSequence({"Flip 2 1"}, FlipCalls()));
    EXPECT_EQ(0, current_background);
}

}  // namespace
