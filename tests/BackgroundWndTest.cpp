// The cover-desktop window on the real desk window: its life and stored flag,
// the restack on activation only, the order it leaves the host's windows in,
// and the centred main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"
#include "desk/ExtMonitor.h"
#include "mainwindow/BackgroundWnd.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Placement.h"
#include "resources/resource.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

namespace {

RECT WorkArea() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// True when upper lies above lower in the z-order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND wnd = GetWindow(upper, GW_HWNDNEXT); wnd; wnd = GetWindow(wnd, GW_HWNDNEXT))
        if (wnd == lower) return true;
    return false;
}

int RestackCount() {
    int count = 0;
    for (const std::string& line : harness::JournalLines())
        if (line == "HasConsoleWindow") ++count;
    return count;
}

class BackgroundWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        gCenterMainWhenCovered = 0;
        SetWindowPos(main_, nullptr, 100, 80, kDeskWidth, kDeskHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(main_, SW_SHOW);
        harness::PumpUntilIdle();
    }
    void TearDown() override {
        DestroyBackgroundWindow();
        for (HWND wnd : {hExt1Wnd, hExt2Wnd})
            if (wnd) DestroyWindow(wnd);
        gCenterMainWhenCovered = 0;
        DeskTest::TearDown();
    }
    int Stored(const char* name) {
        DWORD value = 0xDEADBEEF;
        GetInt(name, &value);
        return int(value);
    }
    void Command(UINT id) {
        SendMessageA(main_, WM_COMMAND, id, 0);
        harness::PumpUntilIdle();
    }
};

TEST_F(BackgroundWndTest, CoverFillsTheWorkAreaBehindTheDeskFromItsCreation) {
    ASSERT_FALSE(BackgroundWindowExists());
    CreateBackgroundWindow(main_);
    harness::PumpUntilIdle();
    HWND cover = BackgroundWindow();
    ASSERT_TRUE(BackgroundWindowExists());
    ASSERT_TRUE(IsWindow(cover));
    char name[32] = "";
    GetClassNameA(cover, name, sizeof name);
    EXPECT_STREQ("vcBACKGND", name);
    EXPECT_TRUE(IsWindowVisible(cover));
    EXPECT_FALSE(IsWindowEnabled(cover)) << "the cover must never take a click";
    EXPECT_EQ(DWORD(WS_POPUP | WS_VISIBLE | WS_DISABLED),
              DWORD(GetWindowLongA(cover, GWL_STYLE)) & DWORD(WS_POPUP | WS_VISIBLE | WS_DISABLED | WS_CAPTION));
    EXPECT_TRUE(GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT at = {};
    GetWindowRect(cover, &at);
    const RECT area = WorkArea();
    EXPECT_TRUE(EqualRect(&area, &at)) << at.left << "," << at.top << " " << at.right << "," << at.bottom;
    // The restack of its own creation already put the desk in front.
    EXPECT_TRUE(Above(main_, cover)) << "the new cover hides the desk";
    EXPECT_EQ(main_, GetForegroundWindow());

    // A second creation keeps the one cover.
    CreateBackgroundWindow(main_);
    EXPECT_EQ(cover, BackgroundWindow());

    DestroyBackgroundWindow();
    EXPECT_FALSE(BackgroundWindowExists());
    EXPECT_FALSE(IsWindow(cover));
    DestroyBackgroundWindow();
    EXPECT_FALSE(BackgroundWindowExists());
}

TEST_F(BackgroundWndTest, StoredFlagFollowsTheCoverAndBringsItBack) {
    Command(IDM_COVER_DESKTOP);
    ASSERT_TRUE(BackgroundWindowExists());
    SaveWindowSettings(main_);
    EXPECT_EQ(1, Stored("coverDesktop"));

    // Twice more: off, then on and off again leaves no cover and a stored 0.
    Command(IDM_COVER_DESKTOP);
    EXPECT_FALSE(BackgroundWindowExists());
    Command(IDM_COVER_DESKTOP);
    Command(IDM_COVER_DESKTOP);
    EXPECT_FALSE(BackgroundWindowExists());
    SaveWindowSettings(main_);
    EXPECT_EQ(0, Stored("coverDesktop"));

    // A stored 1 covers the desktop at the next load, and stays 1.
    SetInt("coverDesktop", 1);
    LoadWindowSettings(main_);
    harness::PumpUntilIdle();
    ASSERT_TRUE(BackgroundWindowExists()) << "a stored 1 did not cover the desktop";
    EXPECT_TRUE(Above(main_, BackgroundWindow()));
    SaveWindowSettings(main_);
    EXPECT_EQ(1, Stored("coverDesktop")) << "the close wrote the stored cover away";
}

TEST_F(BackgroundWndTest, OnlyActivationRestacksInBothWindows) {
    ASSERT_NE(nullptr, CreateExtMonitor(kExtMonitor1Display, 20, 30, 1));
    CreateBackgroundWindow(main_);
    harness::PumpUntilIdle();
    HWND cover = BackgroundWindow();
    struct Case {
        const char* what;
        HWND wnd;
        BOOL active;
        int restacks;
    } cases[] = {
        {"main window deactivated", main_, FALSE, 0},
        {"monitor deactivated", hExt1Wnd, FALSE, 0},
        {"main window activated", main_, TRUE, 1},
        {"monitor activated", hExt1Wnd, TRUE, 1},
    };
    for (const Case& c : cases) {
        // The cover raised over everything, as a restack leaves it at first.
        SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        harness::ClearJournal();
        EXPECT_EQ(0, SendMessageA(c.wnd, WM_ACTIVATEAPP, c.active, 0)) << c.what;
        harness::PumpUntilIdle();
        EXPECT_EQ(c.restacks, RestackCount()) << c.what;
        EXPECT_EQ(c.restacks == 1, Above(main_, cover)) << c.what;
    }
}

TEST_F(BackgroundWndTest, RestackLeavesTheMainWindowInFrontOfTheMonitors) {
    HWND monitor = CreateExtMonitor(kExtMonitor1Display, 20, 30, 1);
    ASSERT_NE(nullptr, monitor);
    CreateBackgroundWindow(main_);
    harness::PumpUntilIdle();
    // The desk above the monitor: walking them top first would end with the
    // monitor in front.
    SetWindowPos(monitor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    harness::PumpUntilIdle();
    ASSERT_TRUE(Above(main_, monitor));
    RestackBackground();
    harness::PumpUntilIdle();
    EXPECT_TRUE(Above(main_, monitor)) << "the monitor ended in front of the desk";
    EXPECT_TRUE(Above(monitor, BackgroundWindow())) << "the monitor stayed behind the cover";
    EXPECT_EQ(main_, GetForegroundWindow());
}

// Covered by the option at run time, or by both settings stored for the start
// (where the cover comes before the option is read): centred either way.
TEST_F(BackgroundWndTest, CentringOptionSizesAndCentresTheDesk) {
    for (const bool atStart : {false, true}) {
        SetWindowPos(main_, nullptr, 5, 5, 600, 400, SWP_NOZORDER);
        DestroyBackgroundWindow();
        if (atStart) {
            gCenterMainWhenCovered = 0;
            SetInt("coverDesktop", 1);
            SetInt("centermain_when_desktop_covered", 1);
            LoadWindowSettings(main_);
        } else {
            gCenterMainWhenCovered = 1;
            CreateBackgroundWindow(main_);
        }
        harness::PumpUntilIdle();
        const RECT area = WorkArea();
        const int width = std::min(int(area.right - area.left), kDeskWidth);
        const int height = std::min(int(area.bottom - area.top), kDeskHeight);
        RECT at = {};
        GetWindowRect(main_, &at);
        EXPECT_EQ(width, at.right - at.left) << atStart;
        EXPECT_EQ(height, at.bottom - at.top) << atStart;
        EXPECT_EQ(area.left + (area.right - area.left - width) / 2, at.left) << atStart;
        EXPECT_EQ(area.top + (area.bottom - area.top - height) / 2, at.top) << atStart;
    }
}

}  // namespace
