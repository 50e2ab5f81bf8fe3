// The desk's tooltips on the real desk window with its keys and faders: the
// text table, the bounded copy of the core's texts, the notice guard, the
// tools it registers and the pointer events its hook relays.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "desk/Tooltips.h"
#include "input/FaderWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::SameSequence;

namespace {

std::string TextOf(const char* text) { return text ? text : "(none)"; }

// The core's tooltip calls in the journal (other tests leave them out as noise).
std::vector<std::string> TooltipCalls() {
    std::vector<std::string> calls;
    for (const std::string& line : harness::JournalLines())
        if (line.find("Tooltip") != std::string::npos) calls.push_back(line);
    return calls;
}

BOOL CALLBACK CollectDescendant(HWND wnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
    return TRUE;
}

// What the hook hands the tooltip, recorded by a subclass of the tooltip.
struct Relay {
    HWND wnd;
    UINT msg;
};
std::vector<Relay> gRelays;
WNDPROC gTooltipProc;

LRESULT CALLBACK RecordingTooltipProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TTM_RELAYEVENT && lp) {
        const MSG* relayed = reinterpret_cast<const MSG*>(lp);
        gRelays.push_back({relayed->hwnd, relayed->message});
    }
    return CallWindowProcA(gTooltipProc, wnd, msg, wp, lp);
}

class TooltipsTest : public harness::DeskTest {
protected:
    void SetUp() override {
        std::memset(ledHWnd, 0, sizeof ledHWnd);
        DeskTest::SetUp();
        savedBar_ = current_bar;
        ASSERT_TRUE(CreateDeskKeys(main_));
        ASSERT_TRUE(CreateFaders(main_));
        StartSession();
        ASSERT_TRUE(CreateTooltips(main_));
    }
    void TearDown() override {
        InterlockedExchange(&current_bar, savedBar_);
        DeskTest::TearDown();
        ClearKeyIndexMap();
    }
    // A text request as the tooltip sends it for the tool window wnd.
    NMTTDISPINFOA Request(HWND wnd, HWND from, UINT code) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = from;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(wnd);
        info.hdr.code = code;
        info.lpszText = info.szText;
        return info;
    }
    LONG savedBar_ = 1;
};

TEST_F(TooltipsTest, TextTableByControlId) {
    StandinSetTextResult("ExecBtn2Tooltip", "exec key text");
    StandinSetTextResult("ExecBtn1Tooltip", "exec button text");
    StandinSetTextResult("SliderTooltip", "fader text");
    StandinSetTextResult("KntBtnTooltip", "key text");
    const int plainRow = FindRowOfKeyId(183);
    ASSERT_GE(plainRow, kExecutorKeyCount);
    struct Case {
        int id;
        int bar;
        const char* text;  // null: no text
        const char* call;  // the one core call, or null for none
    } cases[] = {
        {0, 1, "exec key text", "ExecBtn2Tooltip 1"},
        {59, 1, "exec key text", "ExecBtn2Tooltip 60"},
        {60, 1, "exec button text", "ExecBtn1Tooltip 61"},
        {99, 1, "exec button text", "ExecBtn1Tooltip 100"},
        {plainRow, 1, "key text", "KntBtnTooltip 183"},
        {kPageUpRow, 1, "Channel Fader PageUp", nullptr},
        {kPageUpRow, 2, "Channel Fader PageUp", nullptr},
        {kPageUpRow, 4, "Executor Fader PageUp", nullptr},
        {kPageUpRow, 5, "Executor Button PageUp", nullptr},
        {kPageUpRow, 6, nullptr, nullptr},
        {kPageDownRow, 3, "Executor Fader PageDown", nullptr},
        {kPageDownRow, 5, "Executor Button PageDown", nullptr},
        {kPageDownRow, 6, nullptr, nullptr},
        {kScreenKeyRow, 1, "SHOW SCREEN 1", nullptr},
        {kScreenKeyRow + 2, 1, "SHOW SCREEN 3", nullptr},
        {kBarKeyRow, 1, "SHOW CHANNEL FADERS 1 - 10", nullptr},
        {kBarKeyRow + 3, 1, "SHOW EXECUTOR FADERS 11 - 20", nullptr},
        {kBarKeyRow + 5, 1, "SHOW ENCODERS", nullptr},
        {kFirstFaderId, 1, "fader text", "SliderTooltip 0"},
        {kFirstFaderId + 19, 1, "fader text", "SliderTooltip 19"},
        {kFirstFaderId + 20, 1, "EXECUTOR FADER", nullptr},
        {kFirstFaderId + 21, 1, "GRANDMASTER", nullptr},
        {kFirstFaderId + 22, 1, "PRESET FADER", nullptr},
        {kFirstFaderId + 23, 1, "Volume", nullptr},
        {40300, 1, "Previous Track", nullptr},
        {40301, 1, "Fast Backward", nullptr},
        {40302, 1, "Stop", nullptr},
        {40303, 1, "Pause", nullptr},
        {40304, 1, "Play", nullptr},
        {40305, 1, "Fast Forward", nullptr},
        {40306, 1, "Next Track", nullptr},
        {40307, 1, "Select Track / Change Time Display", nullptr},
        {40308, 1, nullptr, nullptr},
        {40309, 1, "Eject", nullptr},
        {40310, 1, "Trigger Timecode", nullptr},
        {40311, 1, nullptr, nullptr},
        {kKeyCount, 1, nullptr, nullptr},
        {kFirstFaderId + 24, 1, nullptr, nullptr},
        {kFirstUntippedId, 1, nullptr, nullptr},
        {-1, 1, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        InterlockedExchange(&current_bar, c.bar);
        harness::ClearJournal();
        EXPECT_EQ(TextOf(c.text), TextOf(TooltipTextFor(c.id))) << "id " << c.id << " bar " << c.bar;
        std::vector<std::string> calls;
        if (c.call) calls.push_back(c.call);
        EXPECT_TRUE(SameSequence(calls, TooltipCalls())) << "id " << c.id;
    }
}

TEST_F(TooltipsTest, CoreTextsAreCopiedBoundedAndNullMeansNoText) {
    const std::string huge(10 * 1024, 'x');
    StandinSetTextResult("KntBtnTooltip", huge.c_str());
    const char* text = TooltipTextFor(FindRowOfKeyId(183));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::string(size_t(kTooltipTextCapacity - 1), 'x'), text);

    // The copy is the host's: the core's text may go away or change after.
    StandinSetTextResult("SliderTooltip", "Fader 7");
    text = TooltipTextFor(kFirstFaderId + 6);
    StandinSetTextResult("SliderTooltip", "changed");
    EXPECT_STREQ("Fader 7", text);

    for (const char* name : {"KntBtnTooltip", "SliderTooltip", "ExecBtn1Tooltip", "ExecBtn2Tooltip"})
        StandinSetTextResult(name, nullptr);
    for (int id : {0, 60, FindRowOfKeyId(183), kFirstFaderId})
        EXPECT_EQ(nullptr, TooltipTextFor(id)) << id;
}

TEST_F(TooltipsTest, OnlyTheTooltipsTextRequestIsAnswered) {
    StandinSetTextResult("ExecBtn2Tooltip", "exec key text");
    HWND key = GetDlgItem(main_, 0);
    ASSERT_NE(nullptr, key);
    struct Case {
        const char* what;
        HWND from;
        UINT code;
        bool help;
        bool answered;
    } cases[] = {
        {"the tooltip's request", TooltipWindow(), TTN_NEEDTEXTA, true, true},
        {"no help wanted", TooltipWindow(), TTN_NEEDTEXTA, false, false},
        {"the wide request", TooltipWindow(), TTN_NEEDTEXTW, true, false},
        {"another notice", TooltipWindow(), TTN_SHOW, true, false},
        {"from another window", key, TTN_NEEDTEXTA, true, false},
    };
    for (const Case& c : cases) {
        StandinSetResult("NeedHelp", c.help ? 1 : 0);
        harness::ClearJournal();
        NMTTDISPINFOA info = Request(key, c.from, c.code);
        SendMessageA(main_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        if (c.answered)
            EXPECT_STREQ("exec key text", info.lpszText) << c.what;
        else
            EXPECT_EQ(info.szText, info.lpszText) << c.what;
        const std::vector<std::string> expected =
            c.answered ? std::vector<std::string>{"ExecBtn2Tooltip 1"} : std::vector<std::string>{};
        EXPECT_TRUE(SameSequence(expected, TooltipCalls())) << c.what;
    }
    // A notice without its record reaches the desk too.
    EXPECT_EQ(0, SendMessageA(main_, WM_NOTIFY, 0, 0));
}

TEST_F(TooltipsTest, OneToolForEveryDeskChildBelowTheEncoders) {
    std::vector<HWND> children;
    EnumChildWindows(main_, CollectDescendant, reinterpret_cast<LPARAM>(&children));
    std::set<HWND> expected;
    for (HWND wnd : children)
        if (GetDlgCtrlID(wnd) < kFirstUntippedId) expected.insert(wnd);
    ASSERT_GE(expected.size(), size_t(kKeyCount + 20));

    HWND tooltip = TooltipWindow();
    char name[64] = "";
    GetClassNameA(tooltip, name, sizeof name);
    EXPECT_STREQ(TOOLTIPS_CLASSA, name);
    EXPECT_EQ(main_, GetWindow(tooltip, GW_OWNER));
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    const int count = int(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(int(expected.size()), count);
    std::set<HWND> tools;
    for (int i = 0; i < count; ++i) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        ASSERT_TRUE(SendMessageA(tooltip, TTM_ENUMTOOLSA, WPARAM(i), reinterpret_cast<LPARAM>(&tool)));
        EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
        EXPECT_EQ(main_, tool.hwnd);
        tools.insert(reinterpret_cast<HWND>(tool.uId));
    }
    EXPECT_TRUE(tools == expected) << "the tools are not the desk's children below 40500";
}

TEST_F(TooltipsTest, HookRelaysMovesAndClicksOfDeskChildrenButNoDoubleClicks) {
    HWND tooltip = TooltipWindow();
    // The real pointer off the desk: a window that appears under it gets real
    // moves, which the hook would rightly relay too.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    harness::PumpUntilIdle();
    gRelays.clear();
    gTooltipProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingTooltipProc)));
    HWND key = GetDlgItem(main_, kScreenKeyRow);
    HWND fader = GetDlgItem(main_, kFirstFaderId + 20);
    const LPARAM at = MAKELPARAM(3, 3);
    const UINT sent[][2] = {{0, WM_MOUSEMOVE},   {0, WM_LBUTTONDBLCLK}, {0, WM_RBUTTONDOWN}, {0, WM_RBUTTONUP},
                            {1, WM_MOUSEMOVE},   {1, WM_LBUTTONDOWN},   {1, WM_LBUTTONUP},   {2, WM_MOUSEMOVE},
                            {0, WM_MOUSEWHEEL}};
    for (const auto& s : sent) {
        HWND target = s[0] == 0 ? key : s[0] == 1 ? fader : main_;
        PostMessageA(target, s[1], 0, at);
        harness::PumpUntilIdle();
    }
    SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gTooltipProc));
    const std::vector<std::pair<HWND, UINT>> expected = {{key, WM_MOUSEMOVE},   {key, WM_RBUTTONDOWN},
                                                         {key, WM_RBUTTONUP},   {fader, WM_MOUSEMOVE},
                                                         {fader, WM_LBUTTONDOWN}, {fader, WM_LBUTTONUP}};
    std::vector<std::pair<HWND, UINT>> relayed;
    for (const Relay& r : gRelays) relayed.push_back({r.wnd, r.msg});
    EXPECT_TRUE(expected == relayed) << "relayed " << relayed.size() << " events";
}

}  // namespace
