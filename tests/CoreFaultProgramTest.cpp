// The installed program on a core that faults: in the first start the user is
// told and the program ends; in a restart the user is told and the close flow
// still stores the settings. The message boxes are read from the outside and
// photographed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/MainWindow.h"
#include "tests/harness/ProgramFixture.h"

namespace {

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBoxOfProcess(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    char cls[16] = "";
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    GetClassNameA(wnd, cls, sizeof cls);
    if (owner != search->process || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    search->found = wnd;
    return FALSE;
}

class CoreFaultProgramTest : public harness::ProgramTest {
protected:
    void TearDown() override {
        SetEnvironmentVariableA("KNT_FAULT_AT_START", nullptr);
        ProgramTest::TearDown();
    }
    // Starts the desk on a core whose start number `start` of this process faults.
    bool StartWithFaultingStart(int start) {
        SetEnvironmentVariableA("KNT_FAULT_AT_START", std::to_string(start).c_str());
        const bool started = StartDesk();
        SetEnvironmentVariableA("KNT_FAULT_AT_START", nullptr);
        return started;
    }
    HWND WaitForBox() {
        for (int waited = 0; waited < 30000; waited += 50) {
            BoxSearch search = {process_.dwProcessId, nullptr};
            EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    static std::string TextOf(HWND wnd) {
        char text[512] = "";
        SendMessageA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Photographs the box, checks its words, answers OK and waits for the end.
    void ExpectBoxThenEnd(const std::string& shot, const std::string& textStart) {
        HWND box = WaitForBox();
        ASSERT_NE(nullptr, box) << "no message box came up";
        EXPECT_EQ("Kantrel Ovrin", TextOf(box));
        const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
        EXPECT_EQ(0u, text.rfind(textStart, 0)) << text;
        std::string png;
        EXPECT_TRUE(SaveScreenshot(shot, &png));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 15000)) << "the program did not end";
        DWORD code = 1;
        GetExitCodeProcess(process_.hProcess, &code);
        EXPECT_EQ(0u, code);
    }
    static size_t LastIndexOf(const std::vector<std::string>& lines, const std::string& line) {
        size_t at = lines.size();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line) at = i;
        return at;
    }
};

}  // namespace

TEST_F(CoreFaultProgramTest, FaultInTheFirstStartIsReportedAndEndsTheProgram) {
    ASSERT_TRUE(StartWithFaultingStart(1));
    ExpectBoxThenEnd("core_fault_start", "Error loading Kantrel data! Cannot start the program! (errno. ");
    const std::vector<std::string> lines = Journal();
    const size_t start = LastIndexOf(lines, "StartKantrel");
    ASSERT_LT(start, lines.size());
    // Nothing reaches the faulted core afterwards, not even a translation.
    for (size_t i = start + 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].rfind("exp$", 0) != 0 && lines[i].rfind("EndKantrel", 0) != 0) << lines[i];
}

TEST_F(CoreFaultProgramTest, FaultInARestartIsReportedAndTheSettingsAreStored) {
    ASSERT_TRUE(StartWithFaultingStart(2));
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    ASSERT_TRUE(WaitForJournalLine("StartKantrel"));
    WaitForQuietJournal();
    SetWindowPos(desk, nullptr, 37, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(desk, kReqRestart, 0, 0);
    ExpectBoxThenEnd("core_fault_restart", "Error loading Kantrel data! Cannot restart the program! (errno. ");
    DWORD x = 0, y = 0;
    EXPECT_TRUE(GetInt("xp", &x, "WPos"));
    EXPECT_TRUE(GetInt("yp", &y, "WPos"));
    EXPECT_EQ(37u, x);
    EXPECT_EQ(23u, y);
    const std::vector<std::string> lines = Journal();
    const size_t restart = LastIndexOf(lines, "StartKantrel");
    ASSERT_LT(restart, lines.size());
    EXPECT_LT(LastIndexOf(lines, "DeleteLanguageMap"), restart);
    for (size_t i = restart + 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].rfind("exp$", 0) != 0 && lines[i].rfind("EndKantrel", 0) != 0) << lines[i];
}
