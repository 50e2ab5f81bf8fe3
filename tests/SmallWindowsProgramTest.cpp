// The installed program's small windows, driven from the outside with real
// input through the X server and looked at in screenshots: a tooltip over a
// desk key under the hovering pointer, the progress strip of the close flow,
// the About box, and a covered desktop that comes back after a restart and
// leaves the foreground to a window the user activates.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/ProgressWnd.h"
#include "resources/resource.h"
#include "tests/harness/ProgramFixture.h"

namespace {

struct Search {
    const char* className;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisibleOfProcess(HWND wnd, LPARAM lp) {
    Search* search = reinterpret_cast<Search*>(lp);
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    if (process != search->process || std::string(name) != search->className || !IsWindowVisible(wnd)) return TRUE;
    search->found = wnd;
    return FALSE;
}

bool Above(HWND upper, HWND lower) {
    for (HWND wnd = GetWindow(upper, GW_HWNDNEXT); wnd; wnd = GetWindow(wnd, GW_HWNDNEXT))
        if (wnd == lower) return true;
    return false;
}

class SmallWindowsProgramTest : public harness::ProgramTest {
protected:
    void TearDown() override {
        SetEnvironmentVariableA("KNT_END_HOLD_MS", nullptr);
        if (own_) DestroyWindow(own_);
        ProgramTest::TearDown();
    }
    void Drive(const std::string& steps) { RunXdotool(steps); }
    static POINT CentreOf(HWND wnd) {
        RECT r = {};
        GetWindowRect(wnd, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A visible top-level window of the program with this class, waited for.
    HWND WaitForWindowOf(const char* className, int ms = 5000) {
        for (int waited = 0; waited <= ms; waited += 50) {
            Search search = {className, process_.dwProcessId, nullptr};
            EnumWindows(FindVisibleOfProcess, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            Sleep(50);
        }
        return nullptr;
    }
    void Shot(const char* name) {
        std::string shot;
        EXPECT_TRUE(SaveScreenshot(name, &shot)) << "no screenshot";
        std::printf("screenshot: %s\n", shot.c_str());
    }
    bool JournalHas(const std::string& line) {
        const std::vector<std::string> lines = Journal();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    HWND own_ = nullptr;
};

TEST_F(SmallWindowsProgramTest, TooltipShowsOverAKeyUnderTheHoveringPointer) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    HWND key = GetDlgItem(desk, 0);  // executor key E01: its text comes from the core
    ASSERT_NE(nullptr, key);
    const POINT at = CentreOf(key);
    Drive("mousemove " + At(at) + " sleep 0.3 mousemove " + std::to_string(at.x + 2) + " " +
          std::to_string(at.y + 1) + " sleep 2");
    HWND tip = WaitForWindowOf("tooltips_class32", 3000);
    ASSERT_NE(nullptr, tip) << "no tooltip came up over the key";
    EXPECT_TRUE(JournalHas("ExecBtn2Tooltip 1")) << "the tip's text was not asked from the core";
    Shot("tooltip_over_key");
    // Moving away hides it again.
    Drive("mousemove 1200 1000 sleep 0.2 mousemove 1210 1005 sleep 0.8");
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(0, CloseDesk(desk));
}

TEST_F(SmallWindowsProgramTest, ProgressStripShowsDuringTheCloseFlow) {
    // The stand-in core takes its time over the end, as a real core saving
    // its show does.
    SetEnvironmentVariableA("KNT_END_HOLD_MS", "3000");
    ASSERT_TRUE(StartDesk());
    SetEnvironmentVariableA("KNT_END_HOLD_MS", nullptr);
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    HWND touch = GetDlgItem(desk, 50002);
    ASSERT_NE(nullptr, touch);
    PostMessageA(desk, WM_CLOSE, 0, 0);
    HWND strip = nullptr;
    for (int waited = 0; !strip && waited < 5000; waited += 20) {
        strip = FindWindowExA(touch, nullptr, "vcPROGRESS", nullptr);
        if (!strip) Sleep(20);
    }
    ASSERT_NE(nullptr, strip) << "the close flow showed no progress strip";
    Sleep(600);
    EXPECT_TRUE(IsWindowVisible(strip));
    EXPECT_EQ(kProgressWindowId, GetDlgCtrlID(strip));
    RECT r = {};
    GetWindowRect(strip, &r);
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_LE(r.right - r.left, kProgressMaxWidth);
    EXPECT_EQ(kProgressHeight, r.bottom - r.top);
    Shot("progress_strip_at_close");
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 30000)) << "the desk did not end";
    EXPECT_TRUE(JournalHas("exp$ \"Kantrel System down ...\""));
}

TEST_F(SmallWindowsProgramTest, AboutBoxShowsTheVersionAndItsOkButtonCloses) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    PostMessageA(desk, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = WaitForWindowOf("#32770");
    ASSERT_NE(nullptr, about) << "no About box";
    char text[128] = "", caption[128] = "";
    GetWindowTextA(about, caption, sizeof caption);
    GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
    EXPECT_STREQ("About Kantrel Ovrin", caption);
    EXPECT_STREQ("Kantrel Ovrin, Version 6.601", text);
    Sleep(300);
    Shot("about_box");
    Drive("mousemove " + At(CentreOf(GetDlgItem(about, IDOK))) + " sleep 0.2 click 1 sleep 0.5");
    EXPECT_FALSE(IsWindow(about)) << "OK did not close the About box";
    EXPECT_EQ(0, CloseDesk(desk));
}

TEST_F(SmallWindowsProgramTest, CoveredDesktopComesBackAndLeavesTheForegroundToTheUser) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    // The desk menu from its button, then "Cover Desktop", five up from the
    // bottom of the menu.
    POINT button = {20, 24};
    ClientToScreen(desk, &button);
    Drive("mousemove " + At(button) + " sleep 0.2 click 1 sleep 0.5 key Up Up Up Up Up sleep 0.2 key Return sleep 0.5");
    HWND cover = WaitForWindowOf("vcBACKGND");
    ASSERT_NE(nullptr, cover) << "Cover Desktop did not cover the desktop";
    ASSERT_EQ(0, CloseDesk(desk));
    DWORD stored = 0;
    ASSERT_TRUE(GetInt("coverDesktop", &stored));
    EXPECT_EQ(1u, stored);

    ASSERT_TRUE(StartDesk());
    desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    cover = WaitForWindowOf("vcBACKGND");
    ASSERT_NE(nullptr, cover) << "the desktop did not come back covered";
    RECT area = {}, at = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(cover, &at);
    EXPECT_TRUE(EqualRect(&area, &at));
    EXPECT_TRUE(Above(desk, cover)) << "the cover hides the desk";

    // Another program's window, activated with a real click, keeps the
    // foreground: the desk's losing the activation does not take it back.
    own_ = CreateWindowExA(0, "STATIC", "Another program", WS_POPUP | WS_BORDER | WS_VISIBLE, 300, 300, 300, 200,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, own_);
    SetWindowPos(own_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    harness::PumpUntilIdle();
    Drive("mousemove " + At(CentreOf(own_)) + " sleep 0.2 click 1");
    harness::PumpFor(1500);
    EXPECT_EQ(own_, GetForegroundWindow()) << "the desk took the foreground back";
    EXPECT_TRUE(IsWindow(cover));
    Shot("cover_desktop_other_window_in_front");
    DestroyWindow(own_);
    own_ = nullptr;
    EXPECT_EQ(0, CloseDesk(desk));
}

}  // namespace
