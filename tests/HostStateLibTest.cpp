// Tests of the host-state library's services: the question box, the modal
// loop, the display depth test, window centring and the drive list.
#include "tests/harness/Harness.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"

namespace {

const char kTestWindowClass[] = "kntHostStateTestWnd";

// Counts what reaches the test window; WM_APP + 1 closes the modal phase.
struct WindowLog {
    int counted = 0;
    int timerFired = 0;
};
WindowLog gLog;

enum { kMsgCount = WM_APP, kMsgClosePhase = WM_APP + 1, kTimerClose = 1, kTimerWatchdog = 2 };

LRESULT CALLBACK TestWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kMsgCount: ++gLog.counted; return 0;
    case kMsgClosePhase: SetModalPhase(0); return 0;
    case WM_TIMER:
        KillTimer(wnd, wp);
        if (wp == kTimerWatchdog) ++gLog.timerFired;
        SetModalPhase(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND MakeWindow(DWORD style, int x, int y, int w, int h, HWND parent = nullptr) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kTestWindowClass;
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, kTestWindowClass, "test", style, x, y, w, h, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

}  // namespace

// ---------------------------------------------------------------------------
// Question box

class QuestionBox : public harness::HostTest {
protected:
    void SetUp() override {
        harness::HostTest::SetUp();
        savedMain_ = hMainWnd;
        savedTitle_ = knt_windows_title;
        owner_ = MakeWindow(WS_POPUP, 0, 0, 200, 100);
        hMainWnd = owner_;
        knt_windows_title = "Kantrel Ovrin";
    }
    void TearDown() override {
        hMainWnd = savedMain_;
        knt_windows_title = savedTitle_;
        if (IsWindow(owner_)) DestroyWindow(owner_);
        harness::HostTest::TearDown();
    }
    // The box VCMessageBox shows, answered with the given button id.
    harness::CapturedBox Ask(int type, const char* question, const char* buttons, int buttonId,
                             int* answer) {
        harness::MessageBoxCapture capture;
        capture.AnswerWith(buttonId);
        *answer = VCMessageBox(type, 0, question, buttons);
        EXPECT_EQ(1u, capture.Boxes().size());
        return capture.Boxes().empty() ? harness::CapturedBox() : capture.Boxes()[0];
    }
    // What the system writes on its own Yes/No/Cancel buttons.
    std::vector<std::string> SystemButtonTexts() {
        harness::MessageBoxCapture capture;
        capture.AnswerWith(IDCANCEL);
        MessageBoxA(nullptr, "probe", "probe", MB_YESNOCANCEL);
        return capture.Boxes().empty() ? std::vector<std::string>() : capture.Boxes()[0].buttons;
    }
    HWND owner_ = nullptr;

private:
    HWND savedMain_ = nullptr;
    const char* savedTitle_ = nullptr;
};

TEST_F(QuestionBox, TwoButtonBoxShowsQuestionCaptionIconAndWords) {
    int answer = 0;
    const harness::CapturedBox box = Ask(1, "Save actual Show ?", "Ja|Nein", IDYES, &answer);
    EXPECT_EQ(kVcAnswer1, answer);
    EXPECT_EQ("Save actual Show ?", box.text);
    EXPECT_EQ("Kantrel Ovrin", box.caption);
    EXPECT_EQ(owner_, box.owner);
    EXPECT_EQ(UINT(MB_ICONQUESTION), box.icon);
    EXPECT_EQ((std::vector<std::string>{"Ja", "Nein"}), box.buttons);
}

TEST_F(QuestionBox, EachButtonOfThreeGivesItsAnswer) {
    const struct {
        int buttonId;
        int expected;
    } cases[] = {{IDYES, kVcAnswer1}, {IDNO, kVcAnswer2}, {IDCANCEL, kVcAnswer3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttonId);
        int answer = 0;
        const harness::CapturedBox box = Ask(2, "Save?", "Ja|Nein|Abbrechen", c.buttonId, &answer);
        EXPECT_EQ(c.expected, answer);
        EXPECT_EQ((std::vector<std::string>{"Ja", "Nein", "Abbrechen"}), box.buttons);
    }
}

TEST_F(QuestionBox, SecondOfTwoAndEscapeOnTwoGiveTheSecondAnswer) {
    int answer = 0;
    Ask(1, "Save?", "Yes|No", IDNO, &answer);
    EXPECT_EQ(kVcAnswer2, answer);
    Ask(1, "Save?", "Yes|No", IDCANCEL, &answer);
    EXPECT_EQ(kVcAnswer2, answer);
}

TEST_F(QuestionBox, UnknownTypeOffersTwoButtons) {
    int answer = 0;
    const harness::CapturedBox box = Ask(7, "Save?", "A|B|C", IDCANCEL, &answer);
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), box.buttons);
    EXPECT_EQ(kVcAnswer2, answer);
}

TEST_F(QuestionBox, MissingOrEmptyWordsKeepTheSystemText) {
    const std::vector<std::string> system = SystemButtonTexts();
    ASSERT_EQ(3u, system.size());
    int answer = 0;
    EXPECT_EQ((std::vector<std::string>{"Save", system[1], system[2]}),
              Ask(2, "q", "Save", IDYES, &answer).buttons);
    EXPECT_EQ((std::vector<std::string>{system[0], "Skip", system[2]}),
              Ask(2, "q", "|Skip|", IDYES, &answer).buttons);
    EXPECT_EQ(system, Ask(2, "q", nullptr, IDYES, &answer).buttons);
}

TEST_F(QuestionBox, OverlongWordIsCutAndTheNextWordStillFound) {
    const std::string longWord(200, 'w');
    int answer = 0;
    const harness::CapturedBox box = Ask(2, "q", (longWord + "|No|Stop").c_str(), IDYES, &answer);
    ASSERT_EQ(3u, box.buttons.size());
    EXPECT_FALSE(box.buttons[0].empty());
    EXPECT_EQ(0u, longWord.find(box.buttons[0]));
    EXPECT_LT(box.buttons[0].size(), longWord.size());
    EXPECT_EQ("No", box.buttons[1]);
    EXPECT_EQ("Stop", box.buttons[2]);
}

TEST_F(QuestionBox, NullQuestionTitleAndStaleOwnerStillShowABox) {
    DestroyWindow(owner_);  // hMainWnd now names a window that is gone
    knt_windows_title = nullptr;
    int answer = 0;
    const harness::CapturedBox box = Ask(1, nullptr, "Yes|No", IDYES, &answer);
    EXPECT_EQ(kVcAnswer1, answer);
    EXPECT_EQ("", box.text);
    EXPECT_EQ("", box.caption);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_STREQ("", VCMessageBoxLastQuestion());
}

TEST_F(QuestionBox, EveryCallIsRecordedAlsoWhenAnsweredWithoutDialog) {
    const int before = VCMessageBoxCallCount();
    int answer = 0;
    Ask(2, "First?", "A|B|C", IDYES, &answer);
    EXPECT_EQ(before + 1, VCMessageBoxCallCount());
    EXPECT_STREQ("First?", VCMessageBoxLastQuestion());
    EXPECT_STREQ("A|B|C", VCMessageBoxLastButtons());
    EXPECT_EQ(2, VCMessageBoxLastType());

    VCMessageBoxSetAnswer(kVcAnswer2);
    EXPECT_EQ(kVcAnswer2, VCMessageBox(1, 0, "Second?", "Yes|No"));
    EXPECT_EQ(before + 2, VCMessageBoxCallCount());
    EXPECT_STREQ("Second?", VCMessageBoxLastQuestion());
    EXPECT_STREQ("Yes|No", VCMessageBoxLastButtons());
    EXPECT_EQ(1, VCMessageBoxLastType());
}

TEST_F(QuestionBox, RecordOfAHugeQuestionIsBoundedAndTerminated) {
    VCMessageBoxSetAnswer(kVcAnswer1);
    const std::string question(20000, 'q');
    const std::string buttons(5000, 'b');
    VCMessageBox(1, 0, question.c_str(), buttons.c_str());
    const std::string recorded = VCMessageBoxLastQuestion();
    EXPECT_FALSE(recorded.empty());
    EXPECT_LT(recorded.size(), question.size());
    EXPECT_EQ(0u, question.find(recorded));
    const std::string recordedButtons = VCMessageBoxLastButtons();
    EXPECT_LT(recordedButtons.size(), buttons.size());
    EXPECT_EQ(0u, buttons.find(recordedButtons));
}

TEST_F(QuestionBox, ChosenAnswerBypassesTheDialogUntilCleared) {
    harness::MessageBoxCapture capture;
    capture.AnswerWith(IDNO);
    const int chosen[] = {kVcAnswer1, kVcAnswer3, 7, -1};
    for (int n : chosen) {
        VCMessageBoxSetAnswer(n);
        EXPECT_EQ(n, VCMessageBox(2, 0, "q", "A|B|C"));
    }
    EXPECT_TRUE(capture.Boxes().empty());
    VCMessageBoxSetAnswer(0);
    EXPECT_EQ(kVcAnswer2, VCMessageBox(2, 0, "q", "A|B|C"));
    EXPECT_EQ(1u, capture.Boxes().size());
}

// ---------------------------------------------------------------------------
// Modal loop

class ModalPhaseLoop : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = WindowLog();
        wnd_ = MakeWindow(0, 0, 0, 0, 0, HWND_MESSAGE);
        ASSERT_NE(nullptr, wnd_);
    }
    void TearDown() override {
        SetModalPhase(0);
        DestroyWindow(wnd_);
        harness::PumpUntilIdle();
    }
    HWND wnd_ = nullptr;
};

TEST_F(ModalPhaseLoop, WithoutAPhaseReturnsAtOnceAndDispatchesNothing) {
    EXPECT_EQ(0, IsModalPhase());
    PostMessageA(wnd_, kMsgCount, 0, 0);
    EXPECT_EQ(1, RunModalLoop(wnd_));
    EXPECT_EQ(0, gLog.counted);
    harness::PumpUntilIdle();
    EXPECT_EQ(1, gLog.counted);
}

TEST_F(ModalPhaseLoop, RunsUntilAPostedMessageClosesThePhase) {
    SetModalPhase(1);
    EXPECT_NE(0, IsModalPhase());
    PostMessageA(wnd_, kMsgCount, 0, 0);
    PostMessageA(wnd_, kMsgCount, 0, 0);
    PostMessageA(wnd_, kMsgClosePhase, 0, 0);
    PostMessageA(wnd_, kMsgCount, 0, 0);
    EXPECT_EQ(1, RunModalLoop(wnd_));
    EXPECT_EQ(0, IsModalPhase());
    // The phase is tested after each message: the one behind stays queued.
    EXPECT_EQ(2, gLog.counted);
    harness::PumpUntilIdle();
    EXPECT_EQ(3, gLog.counted);
}

TEST_F(ModalPhaseLoop, TimerCanCloseThePhase) {
    SetModalPhase(1);
    SetTimer(wnd_, kTimerClose, 50, nullptr);
    EXPECT_EQ(1, RunModalLoop(wnd_));
    EXPECT_EQ(0, IsModalPhase());
}

namespace {
DWORD WINAPI ClosePhaseLater(void*) {
    Sleep(100);
    SetModalPhase(0);
    return 0;
}
}  // namespace

TEST_F(ModalPhaseLoop, PhaseClosedFromAnotherThreadWakesTheLoop) {
    SetModalPhase(1);
    SetTimer(wnd_, kTimerWatchdog, 5000, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, ClosePhaseLater, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    const DWORD start = GetTickCount();
    EXPECT_EQ(1, RunModalLoop(wnd_));
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(0, gLog.timerFired);
    KillTimer(wnd_, kTimerWatchdog);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}

TEST_F(ModalPhaseLoop, QuitEndsTheLoopAndIsPassedOn) {
    SetModalPhase(1);
    PostMessageA(wnd_, kMsgCount, 0, 0);
    PostQuitMessage(42);
    EXPECT_EQ(0, RunModalLoop(wnd_));
    EXPECT_EQ(1, gLog.counted);
    EXPECT_NE(0, IsModalPhase());
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
}

// ---------------------------------------------------------------------------
// Colour depth

class ColourDepth : public ::testing::Test {
protected:
    void SetUp() override { saved_ = RGBBitCount; }
    void TearDown() override {
        SetSimulatedBitCount(0);
        RGBBitCount = saved_;
    }

private:
    int saved_ = 0;
};

TEST_F(ColourDepth, RealDisplayPassesWithItsOwnDepth) {
    const int depth = GetBitCount();
    ASSERT_GE(depth, 16) << "tests need a display of at least 16 bits";
    RGBBitCount = 0;
    EXPECT_EQ(depth, RGBBitCountAndDirectDrawTest(1, 1));
    EXPECT_EQ(depth, RGBBitCount);
}

TEST_F(ColourDepth, SimulatedDepthDecidesTheTest) {
    const struct {
        int bits;
        int expected;
    } cases[] = {{8, 0}, {15, 0}, {16, 16}, {24, 24}, {32, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        SetSimulatedBitCount(c.bits);
        EXPECT_EQ(c.bits, GetBitCount());
        RGBBitCount = -7;
        EXPECT_EQ(c.expected, RGBBitCountAndDirectDrawTest(1, 0));
        EXPECT_EQ(c.expected, RGBBitCount);
    }
}

TEST_F(ColourDepth, DepthIsStoredOnlyWhenAsked) {
    SetSimulatedBitCount(16);
    RGBBitCount = 32;
    EXPECT_EQ(16, RGBBitCountAndDirectDrawTest(0, 0));
    EXPECT_EQ(32, RGBBitCount);
}

TEST_F(ColourDepth, ClearingTheSimulationReturnsToTheRealDisplay) {
    const int real = GetBitCount();
    SetSimulatedBitCount(real == 16 ? 24 : 16);
    ASSERT_NE(real, GetBitCount());
    SetSimulatedBitCount(0);
    EXPECT_EQ(real, GetBitCount());
    EXPECT_EQ(real, RGBBitCountAndDirectDrawTest(0, 0));
}

// ---------------------------------------------------------------------------
// Window centring

class WindowCentring : public ::testing::Test {
protected:
    void TearDown() override {
        for (HWND w : windows_)
            if (IsWindow(w)) DestroyWindow(w);
    }
    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr) {
        HWND wnd = MakeWindow(style, x, y, w, h, parent);
        windows_.push_back(wnd);
        return wnd;
    }
    static RECT ScreenRect(HWND wnd) {
        RECT rc = {};
        GetWindowRect(wnd, &rc);
        return rc;
    }

private:
    std::vector<HWND> windows_;
};

TEST_F(WindowCentring, WindowLandsInTheMiddleOfTheWorkAreaWithItsSize) {
    HWND wnd = Make(WS_POPUP, 3, 4, 300, 200);
    ASSERT_EQ(1, CenterWindow(wnd));
    const RECT work = WorkArea(), rc = ScreenRect(wnd);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(200, rc.bottom - rc.top);
    EXPECT_NEAR((work.left + work.right) / 2, (rc.left + rc.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (rc.top + rc.bottom) / 2, 1);
}

TEST_F(WindowCentring, WindowLargerThanTheWorkAreaKeepsItsCornerInside) {
    const RECT work = WorkArea();
    HWND wnd = Make(WS_POPUP, 10, 10, work.right - work.left + 200, work.bottom - work.top + 100);
    ASSERT_EQ(1, CenterWindow(wnd));
    const RECT rc = ScreenRect(wnd);
    EXPECT_EQ(work.left, rc.left);
    EXPECT_EQ(work.top, rc.top);
}

TEST_F(WindowCentring, ChildWindowIsPlacedInScreenTerms) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, 50, 60, 900, 700);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 100, 80, parent);
    ASSERT_EQ(1, CenterWindow(child));
    const RECT work = WorkArea(), rc = ScreenRect(child);
    EXPECT_NEAR((work.left + work.right) / 2, (rc.left + rc.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (rc.top + rc.bottom) / 2, 1);
}

TEST_F(WindowCentring, BadHandleFails) {
    EXPECT_EQ(0, CenterWindow(nullptr));
    HWND gone = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    DestroyWindow(gone);
    EXPECT_EQ(0, CenterWindow(gone));
}

// ---------------------------------------------------------------------------
// Drive list

TEST(DriveLetters, FixedDrivesIncludeC) {
    char letters[kDriveLettersSize];
    const int count = FindDrives(letters, DRIVE_FIXED);
    ASSERT_GE(count, 1);
    EXPECT_EQ(size_t(count), strlen(letters));
    EXPECT_NE(nullptr, strchr(letters, 'C'));
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(letters[i] >= 'A' && letters[i] <= 'Z') << letters;
        if (i > 0) {
            EXPECT_LT(letters[i - 1], letters[i]) << "each drive once, in order";
        }
    }
}

TEST(DriveLetters, OnlyDrivesOfTheAskedTypeAreListed) {
    char fixed[kDriveLettersSize], cdrom[kDriveLettersSize];
    FindDrives(fixed, DRIVE_FIXED);
    FindDrives(cdrom, DRIVE_CDROM);
    for (const char* c = cdrom; *c; ++c) EXPECT_EQ(nullptr, strchr(fixed, *c)) << *c;
    EXPECT_EQ(nullptr, strchr(cdrom, 'C'));
}

TEST(DriveLetters, NoMatchGivesAnEmptyTerminatedListWithoutOverrun) {
    char buf[40];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(0, FindDrives(buf, DRIVE_NO_ROOT_DIR));
    EXPECT_EQ('\0', buf[0]);
    EXPECT_EQ('#', buf[1]);
    memset(buf, '#', sizeof buf);
    const int count = FindDrives(buf, DRIVE_FIXED);
    EXPECT_EQ('\0', buf[count]);
    EXPECT_EQ('#', buf[count + 1]);
}

TEST(DriveLetters, NullBufferGivesZero) {
    EXPECT_EQ(0, FindDrives(nullptr, DRIVE_FIXED));
}
