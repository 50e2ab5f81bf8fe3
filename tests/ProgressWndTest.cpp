// The progress window on the real touch window: its width from its text, the
// bar's fill on the timer and the core's step request, and its full stop.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/hostlibs/HostStateLib.h"
#include "dialogs/ProgressWnd.h"
#include "input/TouchWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

class ProgressWndTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        ASSERT_TRUE(CreateTouchWindow(main_));
        ShowWindow(main_, SW_SHOW);
        StartSession();
        step_ = reinterpret_cast<StandinStepProgressFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinStepProgress")));
        ASSERT_NE(nullptr, step_);
    }
    void TearDown() override {
        HideProgress();
        DeskTest::TearDown();
    }
    static int Width(HWND wnd) {
        RECT r = {};
        GetWindowRect(wnd, &r);
        return r.right - r.left;
    }
    // The width the window's own font gives the text.
    static int TextWidth(HWND wnd, const char* text) {
        HDC dc = GetDC(wnd);
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text, int(strlen(text)), &extent);
        ReleaseDC(wnd, dc);
        return extent.cx;
    }
    // The bar as the strip lays it out in its client area.
    static RECT Bar(HWND wnd) {
        RECT c = {};
        GetClientRect(wnd, &c);
        return {c.left + 15, c.bottom / 2, c.right - 15, c.bottom - 5};
    }
    // A pixel of the strip as it paints itself into a memory bitmap.
    static COLORREF Pixel(HWND wnd, int x, int y) {
        RECT c = {};
        GetClientRect(wnd, &c);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, c.right, c.bottom);
        HGDIOBJ old = SelectObject(mem, bitmap);
        SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
        const COLORREF pixel = GetPixel(mem, x, y);
        SelectObject(mem, old);
        DeleteObject(bitmap);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return pixel;
    }
    // Where the fill ends: the first white pixel on the bar's middle line.
    static int FillEnd(HWND wnd) {
        const RECT bar = Bar(wnd);
        const int y = (bar.top + bar.bottom) / 2;
        for (int x = bar.left + 1; x < bar.right - 1; ++x)
            if (Pixel(wnd, x, y) != kBlue) return x;
        return bar.right - 1;
    }
    StandinStepProgressFn step_ = nullptr;
};

TEST_F(ProgressWndTest, WidthFollowsTheTextUpTo640) {
    ShowProgress("Kantrel System down ...");
    HWND strip = hProgress;
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(hTouchWnd, GetParent(strip));
    EXPECT_EQ(kProgressWindowId, GetDlgCtrlID(strip));
    EXPECT_TRUE(IsWindowVisible(strip));
    EXPECT_EQ(TextWidth(strip, "Kantrel System down ...") + 100, Width(strip));
    RECT r = {};
    GetWindowRect(strip, &r);
    POINT origin = {r.left, r.top};
    ScreenToClient(hTouchWnd, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(kProgressTop, origin.y);
    EXPECT_EQ(kProgressHeight, r.bottom - r.top);

    // A second strip replaces the first; a long text stops at 640 pixels.
    const std::string longText(200, 'W');
    ASSERT_GT(TextWidth(strip, longText.c_str()) + 100, kProgressMaxWidth);
    ShowProgress(longText.c_str());
    EXPECT_FALSE(IsWindow(strip));
    EXPECT_EQ(kProgressMaxWidth, Width(hProgress));

    // Without a text it is never sized (no wider than its frame) and its bar
    // does not move.
    ShowProgress(nullptr);
    ASSERT_NE(nullptr, hProgress);
    RECT client = {1, 1, 1, 1};
    GetClientRect(hProgress, &client);
    EXPECT_EQ(0, client.right);
    EXPECT_FALSE(KillTimer(hProgress, kProgressTimer)) << "a strip without a text runs its timer";
}

TEST_F(ProgressWndTest, BarFillsByStepsAndStopsFullWithItsTimer) {
    ShowProgress("Kantrel System saving actshow and shutdown ...");
    HWND strip = hProgress;
    ASSERT_NE(nullptr, strip);
    const RECT bar = Bar(strip);
    // No message dispatched yet: only the steps the core asks for count.
    EXPECT_EQ(bar.left + 25, FillEnd(strip));
    step_();
    step_();
    EXPECT_EQ(bar.left + 75, FillEnd(strip));

    // The timer fills the rest and ends when the bar is full.
    harness::PumpFor(int((bar.right - bar.left) / 25 + 10) * int(kProgressTimerMs));
    harness::PumpUntilIdle(100, 5000);
    ASSERT_EQ(strip, hProgress);
    EXPECT_EQ(bar.right - 1, FillEnd(strip)) << "the bar did not fill";
    const int y = (bar.top + bar.bottom) / 2;
    EXPECT_EQ(kBlack, Pixel(strip, bar.right - 1, y)) << "the fill ran over the bar's frame";
    EXPECT_EQ(kBlue, Pixel(strip, bar.right - 2, y));
    EXPECT_FALSE(KillTimer(strip, kProgressTimer)) << "a full bar keeps its timer";
    // Steps on a full bar change nothing.
    for (int i = 0; i < 5; ++i) step_();
    EXPECT_EQ(bar.right - 1, FillEnd(strip));
    EXPECT_EQ(kBlack, Pixel(strip, bar.right - 1, y));
}

TEST_F(ProgressWndTest, HideRemovesTheStripOnce) {
    ShowProgress("Kantrel System down ...");
    HWND strip = hProgress;
    HideProgress();
    EXPECT_EQ(nullptr, hProgress);
    EXPECT_FALSE(IsWindow(strip));
    EXPECT_EQ(0, step_()) << "a step reached a strip that is gone";
    harness::PumpUntilIdle();
    // Nothing to hide: the touch window is not asked to repaint.
    ValidateRect(hTouchWnd, nullptr);
    HideProgress();
    RECT dirty = {};
    EXPECT_FALSE(GetUpdateRect(hTouchWnd, &dirty, FALSE));
}

}  // namespace
