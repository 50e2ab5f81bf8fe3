// The command line window on the desk with a core session on the stand-in
// core: what it shows of the core's text, where a click puts the cursor, and
// where typed keys and the focus go.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskChildren.h"
#include "input/CmdlineWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

namespace {

constexpr int kTextLeft = 6;
constexpr int kTextRight = 342;
constexpr int kTextMiddleY = 14;

std::string Cursor(int pos, int trimmed) {
    return "SetCmdlineCursorPos " + std::to_string(pos) + " " + std::to_string(trimmed);
}

// One real key stroke, down and up, through the system's input queue.
UINT Stroke(WORD vk) {
    INPUT strokes[2] = {};
    strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
    strokes[0].ki.wVk = strokes[1].ki.wVk = vk;
    strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, strokes, sizeof(INPUT));
}

bool HasCallStartingWith(const std::vector<std::string>& calls, const std::string& prefix) {
    return std::any_of(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
}

class CmdlineWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        GetKeyboardState(keysBefore_);
        DeskTest::SetUp();
        childrenBefore_ = gDeskChildCount;
        ASSERT_TRUE(CreateCmdlineWindow(main_));
        field_ = hCmdlineWnd;
        ASSERT_NE(nullptr, field_);
        // With the light off and no stored lock, the start sends no stroke.
        SetScrollLockByte(0x00);
        StartSession();
        SetForegroundWindow(main_);
        harness::PumpUntilIdle();
        // Lit from here on, so a click sends no synthetic stroke unless a test asks.
        SetScrollLockByte(0x01);
        harness::ClearJournal();
    }
    void TearDown() override {
        DeskTest::TearDown();
        SetKeyboardState(keysBefore_);
    }
    void SetScrollLockByte(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SCROLL] = state;
        SetKeyboardState(keys);
    }
    void Type(const std::string& text) {
        for (char ch : text) SendMessageA(field_, WM_CHAR, WPARAM(static_cast<unsigned char>(ch)), 1);
    }
    void Focus() {
        SetFocus(field_);
        ASSERT_EQ(field_, GetFocus());
        harness::ClearJournal();
    }
    void Click(int x, int y = kTextMiddleY) {
        SendMessageA(field_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(field_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void Paint() {
        InvalidateRect(field_, nullptr, TRUE);
        UpdateWindow(field_);
    }
    // Widths as the field's own device context measures them.
    int Width(const std::string& text, size_t from = 0) {
        HDC dc = GetDC(field_);
        SIZE extent = {};
        const std::string part = text.substr(from);
        GetTextExtentPoint32A(dc, part.c_str(), int(part.size()), &extent);
        ReleaseDC(field_, dc);
        return int(extent.cx);
    }
    int WidthOfFirst(const std::string& text, size_t count) { return Width(text.substr(0, count)); }
    // How many leading characters must go before the rest fits.
    int ExpectedHidden(const std::string& text) {
        int hidden = 0;
        while (kTextLeft + Width(text, size_t(hidden)) >= kTextRight) ++hidden;
        return hidden;
    }
    int CaretX() {
        POINT pt = {-1, -1};
        GetCaretPos(&pt);
        return int(pt.x);
    }
    int InkedPixels(int left, int right) {
        HDC dc = GetDC(field_);
        int inked = 0;
        for (int x = left; x < right; ++x)
            for (int y = 6; y < 22; ++y) {
                const COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) > 128 && GetGValue(c) > 128 && GetBValue(c) > 128) ++inked;
            }
        ReleaseDC(field_, dc);
        return inked;
    }
    std::string CoreText() {
        const char* text = CallEntry(gCore.GetCmdlineString, LPARAM(0));
        return text ? text : "(null)";
    }

    HWND field_ = nullptr;
    int childrenBefore_ = 0;
    BYTE keysBefore_[256] = {};
};

// ---- the window

TEST_F(CmdlineWndTest, SitsOnTheDeskAsControl40700) {
    EXPECT_EQ(childrenBefore_ + 1, gDeskChildCount);
    EXPECT_EQ(main_, GetParent(field_));
    EXPECT_EQ(40700, GetDlgCtrlID(field_));
    RECT rect;
    GetWindowRect(field_, &rect);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(657, rect.left);
    EXPECT_EQ(209, rect.top);
    EXPECT_EQ(354, rect.right - rect.left);
    EXPECT_EQ(28, rect.bottom - rect.top);
    EXPECT_EQ(UINT(CS_OWNDC | CS_DBLCLKS), GetClassLongA(field_, GCL_STYLE));
    DestroyWindow(field_);
    EXPECT_EQ(nullptr, hCmdlineWnd);
}

// ---- drawing

TEST_F(CmdlineWndTest, TypedTextReachesTheCoreAndIsDrawnWhiteOnBlack) {
    Type("GO 12");
    EXPECT_TRUE(SameSequence({"VC_OnCharacter 71", "VC_OnCharacter 79", "VC_OnCharacter 32", "VC_OnCharacter 49",
                              "VC_OnCharacter 50"},
                             CoreCalls()));
    EXPECT_EQ("GO 12", CoreText());
    const int end = kTextLeft + Width("GO 12");
    EXPECT_GT(InkedPixels(kTextLeft, end), 10);
    EXPECT_EQ(0, InkedPixels(end + 2, kTextRight)) << "nothing right of the text";
}

TEST_F(CmdlineWndTest, EmptyLinePutsTheCaretAtTheLeftEdge) {
    Focus();
    Paint();
    EXPECT_EQ(kTextLeft, CaretX());
    // The caret, two pixels wide, is the only ink.
    EXPECT_EQ(0, InkedPixels(kTextLeft + 2, kTextRight));
}

// Leading blanks leave no ink, so only a field that shows the tail has ink.
TEST_F(CmdlineWndTest, TextWiderThanTheFieldShowsItsEnd) {
    const std::string text = std::string(150, ' ') + "GO 12";
    ASSERT_GT(Width(text), kTextRight - kTextLeft);
    Type(text);
    Focus();
    Paint();
    const int hidden = ExpectedHidden(text);
    ASSERT_GT(hidden, 0);
    EXPECT_EQ(hidden, CmdlineHiddenCount());
    const int end = kTextLeft + Width(text, size_t(hidden));
    EXPECT_EQ(end, CaretX());
    EXPECT_GT(InkedPixels(end - Width("GO 12"), end), 10);
    EXPECT_EQ(0, InkedPixels(kTextLeft, end - Width("GO 12") - 1));
}

TEST_F(CmdlineWndTest, ClickOnTheFirstVisibleCharacterSetsTheHiddenCountTrimmed) {
    const std::string text = std::string(150, ' ') + "GO 12";
    Type(text);
    Focus();
    Paint();
    const int hidden = CmdlineHiddenCount();
    ASSERT_GT(hidden, 0);
    Click(kTextLeft + 1);
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", Cursor(hidden, 1)}, CoreCalls()));
    // The core moved its cursor there and asked for a redraw: the field
    // scrolls back only as far as the cursor needs.
    EXPECT_EQ(0, CmdlineHiddenCount());
    EXPECT_EQ(kTextLeft + WidthOfFirst(text, size_t(hidden)), CaretX());
}

TEST_F(CmdlineWndTest, ClickSetsTheCursorBeforeTheCharacterRightOfThePoint) {
    const std::string text = "GO 12";
    Type(text);
    Focus();
    Paint();
    ASSERT_EQ(0, CmdlineHiddenCount());
    struct Case { int x; int pos; };
    const Case cases[] = {
        {kTextLeft, 0},
        {kTextLeft + WidthOfFirst(text, 1) - 1, 0},
        {kTextLeft + WidthOfFirst(text, 2), 2},
        {kTextLeft + WidthOfFirst(text, 4) - 1, 3},
        {kTextRight - 1, 5},
    };
    for (const Case& c : cases) {
        harness::ClearJournal();
        Click(c.x);
        harness::PumpUntilIdle();
        EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", Cursor(c.pos, 0)}, CoreCalls())) << c.x;
        EXPECT_EQ(nullptr, GetCapture());
    }
    // Outside the text rectangle the click only takes the focus.
    harness::ClearJournal();
    Click(kTextLeft + 10, 2);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked"}, CoreCalls()));
}

TEST_F(CmdlineWndTest, ClickBeforeAnyTextSetsNothing) {
    StandinSetTextResult("GetCmdlineString", nullptr);
    Focus();
    Paint();
    EXPECT_EQ(-1, CmdlineHiddenCount());
    Click(kTextLeft + 1);
    harness::PumpUntilIdle();
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked"}, CoreCalls()));
}

// After a restart the old text is gone with the old core; the field's first
// repaint is still queued when the user may already click.
TEST_F(CmdlineWndTest, ClickAfterARestartSetsNothingUntilTheFieldIsDrawnAgain) {
    Type("GO 12");
    Paint();
    SetScrollLockByte(0x00);
    ASSERT_TRUE(EndCoreSession(true, false));
    ASSERT_TRUE(StartCoreSession());
    SetScrollLockByte(0x01);
    harness::ClearJournal();
    EXPECT_EQ(-1, CmdlineHiddenCount());
    Click(kTextRight - 1);
    EXPECT_FALSE(HasCallStartingWith(CoreCalls(), "SetCmdlineCursorPos"));
    harness::PumpUntilIdle();
    harness::ClearJournal();
    Click(kTextRight - 1);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", Cursor(0, 0)}, CoreCalls())) << "drawn: empty text";
}

// A text at the very end of readable memory: a cursor beyond it must not
// make the field measure past its terminator.
const char* gGuardedText = nullptr;
const char* __cdecl GuardedCmdlineString(LPARAM) { return gGuardedText; }

TEST_F(CmdlineWndTest, CursorBeyondTheTextIsClampedToItsLength) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const SIZE_T page = info.dwPageSize;
    auto* memory = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, memory);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(memory + page, page, PAGE_NOACCESS, &old));
    const char text[] = "GO 12";
    char* at = memory + page - sizeof text;
    std::memcpy(at, text, sizeof text);
    gGuardedText = at;
    auto* saved = gCore.GetCmdlineString;
    gCore.GetCmdlineString = GuardedCmdlineString;
    Focus();
    struct Case { LPARAM cursor; int caretX; };
    const Case cases[] = {
        {500, kTextLeft + Width(text)},
        {5, kTextLeft + Width(text)},
        {2, kTextLeft + WidthOfFirst(text, 2)},
        {-7, kTextLeft},
        {-1, kTextLeft + Width(text)},
    };
    for (const Case& c : cases) {
        SendMessageA(field_, kReqCmdlineRedraw, 0, c.cursor);
        EXPECT_EQ(c.caretX, CaretX()) << c.cursor;
        EXPECT_EQ(0, CmdlineHiddenCount()) << c.cursor;
    }
    gCore.GetCmdlineString = saved;
    VirtualFree(memory, 0, MEM_RELEASE);
}

// A command line longer than any buffer the field might keep: clicks are
// counted on the whole text, with the leading characters hidden.
TEST_F(CmdlineWndTest, AClickOnALongCommandLineCountsTheWholeText) {
    std::string text;
    while (text.size() < 1500) text += "GO " + std::to_string(text.size()) + " + ";
    text.resize(1500);
    gGuardedText = text.c_str();
    auto* saved = gCore.GetCmdlineString;
    gCore.GetCmdlineString = GuardedCmdlineString;
    Focus();
    Paint();
    const int hidden = ExpectedHidden(text);
    ASSERT_EQ(hidden, CmdlineHiddenCount());
    ASSERT_GT(hidden, 1400);
    struct Case { int x; int pos; };
    const Case cases[] = {{kTextLeft, hidden},
                          {kTextLeft + Width(text.substr(size_t(hidden), 10)), hidden + 10},
                          {kTextRight - 1, 1500}};
    for (const Case& c : cases) {
        Paint();
        harness::ClearJournal();
        Click(c.x);
        harness::PumpUntilIdle();
        EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", Cursor(c.pos, 1)}, CoreCalls())) << c.x;
    }
    gCore.GetCmdlineString = saved;
}

TEST_F(CmdlineWndTest, EditingInTheMiddleMovesTheCaretWithTheCoresCursor) {
    Type("GO 12");
    Focus();
    for (int i = 0; i < 2; ++i) {
        SendMessageA(field_, WM_KEYDOWN, VK_LEFT, 1);
        SendMessageA(field_, WM_KEYUP, VK_LEFT, 0xC0000001);
    }
    EXPECT_EQ(kTextLeft + Width("GO "), CaretX());
    Type("X");
    EXPECT_EQ("GO X12", CoreText());
    EXPECT_EQ(kTextLeft + Width("GO X"), CaretX());
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 37 1 0", "VC_OnKeyUp 37 1 0", "VC_OnKeyDown 37 1 0", "VC_OnKeyUp 37 1 0",
                              "VC_OnCharacter 88"},
                             CoreCalls()));
}

// ---- keys and the focus

TEST_F(CmdlineWndTest, EnterOrEscapeHandsTheFocusBackAfterItsReleaseReachedTheCore) {
    ASSERT_EQ(main_, GetForegroundWindow());
    for (WORD vk : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
        Focus();
        StandinSetResult("VC_OnKeyUp.focus", 0);
        ASSERT_EQ(2u, Stroke(vk));
        harness::PumpUntilIdle();
        const std::string key = std::to_string(vk);
        // The caret goes with the focus; the lock test comes after the release.
        EXPECT_TRUE(SameSequence({"VC_OnKeyDown " + key + " 1 0", "VC_OnCharacter " + key, "VC_OnKeyUp " + key + " 1 0",
                                  "IsDesklocked"},
                                 CoreCalls()))
            << vk;
        EXPECT_EQ(reinterpret_cast<INT_PTR>(field_), StandinGetResult("VC_OnKeyUp.focus", 0)) << vk;
        EXPECT_EQ(main_, GetFocus()) << vk;
    }
}

TEST_F(CmdlineWndTest, KeysGoStraightToTheCoreWhateverShortcutModeSays) {
    gShortcutMode = 1;
    Focus();
    SendMessageA(field_, WM_KEYDOWN, 'A', 1);
    SendMessageA(field_, WM_CHAR, 'a', 1);
    SendMessageA(field_, WM_KEYUP, 'A', 0xC0000001);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 65 1 0", "VC_OnCharacter 97", "VC_OnKeyUp 65 1 0"}, CoreCalls()));
    EXPECT_EQ(field_, GetFocus()) << "only Enter and Escape give the focus back";
    // Codes the host keeps for its own signals never come from this window.
    harness::ClearJournal();
    SendMessageA(field_, WM_KEYDOWN, 1000, 1);
    SendMessageA(field_, WM_KEYUP, 1001, 1);
    SendMessageA(field_, WM_CHAR, 0x1234, 1);
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
}

TEST_F(CmdlineWndTest, ScrollLockInTheFieldTogglesTheCommandLineLock) {
    Focus();
    SendMessageA(field_, WM_KEYDOWN, VK_SCROLL, 1);
    SendMessageA(field_, WM_KEYUP, VK_SCROLL, 0xC0000001);
    EXPECT_EQ(1, gCmdLineLock);
    SendMessageA(field_, WM_KEYDOWN, VK_SCROLL, 1);
    SendMessageA(field_, WM_KEYUP, VK_SCROLL, 0xC0000001);
    EXPECT_EQ(0, gCmdLineLock);
    EXPECT_TRUE(SameSequence({"VC_OnKeyDown 1000 0 0", "VC_OnKeyDown 1001 0 0"}, CoreCalls()));
}

// A click with the Scroll Lock light off switches it on with one synthetic
// stroke, whose key messages turn the lock on; with the light on, none.
TEST_F(CmdlineWndTest, ClickTurnsTheLockOnThroughScrollLockOnlyWhileTheLightIsOff) {
    ASSERT_EQ(main_, GetForegroundWindow());
    Focus();
    SetScrollLockByte(0x00);
    SendMessageA(field_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kTextLeft + 1, kTextMiddleY));
    harness::PumpUntilIdle();
    SendMessageA(field_, WM_LBUTTONUP, 0, MAKELPARAM(kTextLeft + 1, kTextMiddleY));
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_EQ(1, GetKeyState(VK_SCROLL) & 1);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "VC_OnKeyDown 1000 0 0", "IsDesklocked", Cursor(0, 0)}, CoreCalls()));

    harness::ClearJournal();
    SendMessageA(field_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kTextLeft + 1, kTextMiddleY));
    harness::PumpUntilIdle();
    SendMessageA(field_, WM_LBUTTONUP, 0, MAKELPARAM(kTextLeft + 1, kTextMiddleY));
    EXPECT_EQ(1, gCmdLineLock);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "IsDesklocked", Cursor(0, 0)}, CoreCalls()));

    // The light off again, and with it the lock.
    Stroke(VK_SCROLL);
    harness::PumpUntilIdle();
    EXPECT_EQ(0, GetKeyState(VK_SCROLL) & 1);
    EXPECT_EQ(0, gCmdLineLock);
}

TEST_F(CmdlineWndTest, LockedDeskRefusesPressAndReleaseWithItsMessage) {
    Type("GO 12");
    Paint();
    harness::MessageBoxCapture boxes;
    StandinSetResult("IsDesklocked", 1);
    harness::ClearJournal();
    EXPECT_EQ(1, SendMessageA(field_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kTextLeft + 1, kTextMiddleY)));
    EXPECT_NE(field_, GetCapture());
    EXPECT_NE(field_, GetFocus());

    // The desk locks between press and release.
    StandinSetResult("IsDesklocked", 0);
    SendMessageA(field_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kTextLeft + 1, kTextMiddleY));
    ASSERT_EQ(field_, GetCapture());
    StandinSetResult("IsDesklocked", 1);
    EXPECT_EQ(1, SendMessageA(field_, WM_LBUTTONUP, 0, MAKELPARAM(kTextLeft + 1, kTextMiddleY)));
    EXPECT_EQ(nullptr, GetCapture()) << "a refused release does not keep the mouse";
    EXPECT_FALSE(HasCallStartingWith(CoreCalls(), "SetCmdlineCursorPos"));
    ASSERT_EQ(2u, boxes.Boxes().size());
    for (const harness::CapturedBox& box : boxes.Boxes()) {
        EXPECT_EQ("Desk is locked!", box.text);
        EXPECT_EQ(main_, box.owner);
        EXPECT_EQ(UINT(MB_ICONINFORMATION), box.icon);
    }
}

}  // namespace
