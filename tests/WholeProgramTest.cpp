// Starts the real executable from a laid-out installation and checks what it
// did: its window, its journal of core calls and its clean end.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"

namespace {

class WholeProgramTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        journal_ = SharedDir() + "\\journal.txt";
    }
    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        HostTest::TearDown();
    }

    // Starts the desk from install/<folder>; the close question answers "No".
    bool Start(const char* folder, const char* args = "") {
        const std::string dir = harness::ProgramDir() + "\\..\\install\\" + folder;
        const std::string exe = dir + "\\KantrelOvrin.exe";
        SetEnvironmentVariableA("KNT_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("KNT_REGKEY", ProgramKey().c_str());
        SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", "101");
        std::string command = "\"" + exe + "\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        const BOOL ok = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                                       &si, &process_);
        SetEnvironmentVariableA("KNT_JOURNAL", nullptr);
        SetEnvironmentVariableA("KNT_REGKEY", nullptr);
        SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", nullptr);
        return ok != FALSE;
    }

    HWND WaitForDesk(int ms = 30000) {
        for (int waited = 0; waited < ms; waited += 50) {
            HWND wnd = FindWindowA("_KNTOVRIN", "Kantrel Ovrin");
            if (wnd && IsWindowVisible(wnd)) return wnd;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }

    // The desk shows itself before the core starts: wait for the core's word.
    bool WaitForJournal(const std::string& name, int ms = 30000) {
        for (int waited = 0; waited < ms; waited += 50) {
            if (Has(Journal(), name)) return true;
            Sleep(50);
        }
        return false;
    }

    bool WaitForExit(int ms = 30000) { return WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0; }

    std::vector<std::string> Journal() const {
        std::ifstream in(journal_);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            if (!line.empty() && line.back() == '\r') line.pop_back(), lines.push_back(line);
            else if (!line.empty()) lines.push_back(line);
        return lines;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& name) {
        for (const auto& l : lines)
            if (l == name || l.rfind(name + " ", 0) == 0) return true;
        return false;
    }
    static size_t IndexOf(const std::vector<std::string>& lines, const std::string& name) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == name || lines[i].rfind(name + " ", 0) == 0) return i;
        return lines.size();
    }

    PROCESS_INFORMATION process_ = {};
    std::string journal_;
};

}  // namespace

TEST_F(WholeProgramTest, DeskStartsOnTheCoreAndEndsThroughTheCloseFlow) {
    ASSERT_TRUE(Start("program"));
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    RECT rc;
    GetWindowRect(desk, &rc);
    EXPECT_LE(rc.right - rc.left, 1024);
    EXPECT_LE(rc.bottom - rc.top, 768);
    EXPECT_TRUE(WaitForJournal("StartKantrel"));

    PostMessageA(desk, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForExit());
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(0u, code);
    const auto lines = Journal();
    const size_t end = IndexOf(lines, "EndKantrel");
    ASSERT_LT(end, lines.size());
    EXPECT_LT(IndexOf(lines, "StartKantrel"), end);
    EXPECT_LT(end, IndexOf(lines, "DeleteLanguageMap"));
    EXPECT_LT(IndexOf(lines, "DeleteLanguageMap"), IndexOf(lines, "DeleteIPAddresses"));
}

TEST_F(WholeProgramTest, CoreWithOnlyStartAndEndRuns) {
    ASSERT_TRUE(Start("program-minimal"));
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    EXPECT_TRUE(WaitForJournal("StartKantrel"));
    PostMessageA(desk, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForExit());
    EXPECT_TRUE(Has(Journal(), "EndKantrel"));
}

TEST_F(WholeProgramTest, StartMinimizedShowsTheDeskAsAnIcon) {
    ASSERT_TRUE(Start("program", "/disable_CDplayer /start_minimized"));
    HWND desk = nullptr;
    for (int waited = 0; waited < 30000 && !desk; waited += 50) {
        desk = FindWindowA("_KNTOVRIN", "Kantrel Ovrin");
        if (desk && !IsIconic(desk)) desk = nullptr;
        if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    ASSERT_NE(nullptr, desk) << "the desk never became minimised";
    PostMessageA(desk, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForExit());
}

// Two starts of the same program key in the same instant: neither finds the
// other's desk window yet, yet only one desk may run and save at its close.
TEST_F(WholeProgramTest, TwoStartsAtOnceOnOneKeyRunOneDesk) {
    ASSERT_TRUE(Start("program"));
    PROCESS_INFORMATION first = process_;
    process_ = {};
    ASSERT_TRUE(Start("program"));
    PROCESS_INFORMATION second = process_;
    const HANDLE both[2] = {first.hProcess, second.hProcess};
    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, 30000);
    const bool oneEnded = ended == WAIT_OBJECT_0 || ended == WAIT_OBJECT_0 + 1;
    // The fixture ends and closes the one that runs; this test the other.
    PROCESS_INFORMATION gone = ended == WAIT_OBJECT_0 ? first : second;
    process_ = ended == WAIT_OBJECT_0 ? second : first;
    DWORD goneCode = 1;
    if (oneEnded) GetExitCodeProcess(gone.hProcess, &goneCode);
    else TerminateProcess(gone.hProcess, 1);
    CloseHandle(gone.hProcess);
    CloseHandle(gone.hThread);
    ASSERT_TRUE(oneEnded) << "both starts kept running";
    EXPECT_EQ(0u, goneCode);

    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "the remaining start shows no desk";
    EXPECT_TRUE(WaitForJournal("StartKantrel"));
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, desk, "_KNTOVRIN", nullptr)) << "a second desk window exists";
    PostMessageA(desk, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForExit());
    const auto lines = Journal();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "StartKantrel"));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "EndKantrel"));
}
