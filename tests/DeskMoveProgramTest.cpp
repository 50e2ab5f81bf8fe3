// The installed desk while the system's move loop runs inside it: a close
// that arrives during a real caption drag, and a move command forged with no
// button held followed by a resize from this (another) process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "mainwindow/MainWindow.h"
#include "tests/harness/ProgramFixture.h"

namespace {

// A spot of the caption area that drags the desk on every fader bar.
constexpr POINT kCaptionSpot = {290, 20};

class DeskMoveProgramTest : public harness::ProgramTest {
protected:
    // A release over no window of Wine's never reaches its key state: the
    // button would stay held for the tests after.
    void TearDown() override {
        if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
            INPUT up = {};
            up.type = INPUT_MOUSE;
            up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &up, sizeof up);
        }
        ProgramTest::TearDown();
    }
    void Drive(const std::string& steps) { RunXdotool(steps); }
    DWORD Stored(const char* name, const char* subKey = nullptr) const {
        DWORD value = 0xDEADBEEF;
        GetInt(name, &value, subKey);
        return value;
    }
    static bool InMoveLoop(HWND desk) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(desk, nullptr), &info) && (info.flags & GUI_INMOVESIZE);
    }
    // Whether the desk's thread takes a message and answers it.
    static bool Answers(HWND desk) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(desk, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    }
};

}  // namespace

TEST_F(DeskMoveProgramTest, CloseDuringACaptionDragEndsTheProgramAndStoresItsSettings) {
    SetInt("sLock", 1);
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    WaitForQuietJournal();

    POINT press = kCaptionSpot;
    ClientToScreen(desk, &press);
    const POINT moved = {press.x + 60, press.y + 40};
    // The first step stays inside the caption area: the drag starts there.
    Drive("mousemove " + At(press) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " + At({press.x + 4, press.y + 2}) +
          " sleep 0.2 mousemove " + At({press.x + 30, press.y + 20}) + " sleep 0.2 mousemove " + At(moved) +
          " sleep 0.3");
    ASSERT_TRUE(InMoveLoop(desk)) << "the drag did not start the system's move loop";
    RECT atClose = {};
    GetWindowRect(desk, &atClose);
    SetInt("sLock", 0);
    FILETIME closedAt;
    GetSystemTimeAsFileTime(&closedAt);
    PostMessageA(desk, WM_CLOSE, 0, 0);
    Sleep(300);
    Drive("mouseup 1 sleep 0.1");

    const DWORD waited = WaitForSingleObject(process_.hProcess, 5000);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the program kept running after its window was closed";
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(IsWindow(desk));
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process_.hProcess, &created, &exited, &kernel, &user)) {
        const auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        std::printf("the program ended %llu ms after the close\n", (ticks(exited) - ticks(closedAt)) / 10000);
    }
    EXPECT_EQ(1u, Stored("sLock")) << "the close did not store the settings";
    EXPECT_EQ(DWORD(atClose.left), Stored("xp", "WPos"));
    EXPECT_EQ(DWORD(atClose.top), Stored("yp", "WPos"));
    EXPECT_EQ((DWORD(atClose.right - atClose.left) << 16) + DWORD(atClose.bottom - atClose.top), Stored("sz", "WPos"));
    const std::vector<std::string> ended = CallsNamed(0, {"EndKantrel", "DeleteLanguageMap"});
    EXPECT_TRUE(harness::SameSequence({"EndKantrel", "DeleteLanguageMap"}, ended));
}

TEST_F(DeskMoveProgramTest, ForgedMoveCommandAndAForeignResizeLeaveTheDeskAnswering) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    WaitForQuietJournal();
    ASSERT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);

    PostMessageA(desk, WM_SYSCOMMAND, 0xF011, 0);
    ASSERT_TRUE(Answers(desk));
    EXPECT_FALSE(InMoveLoop(desk)) << "a move with no button held started the move loop";
    // Asynchronous, so that this process does not hang with the desk.
    ASSERT_TRUE(SetWindowPos(desk, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS));
    Sleep(500);
    ASSERT_TRUE(Answers(desk)) << "the desk stopped answering";
    RECT client = {};
    GetClientRect(desk, &client);
    EXPECT_EQ(700, client.right);
    EXPECT_EQ(500, client.bottom);
    // The desk still works: a request of the core is answered.
    DWORD_PTR mode = 7;
    ASSERT_TRUE(SendMessageTimeoutA(desk, kReqShortcutMode, 2, 0, SMTO_ABORTIFHUNG, 5000, &mode));
    EXPECT_EQ(1u, mode);
    EXPECT_EQ(0, CloseDesk(desk));
}
