// The installed program driven from the outside: real keystrokes typed into
// the desk through the X server, then the close flow, read back from the
// journal file that the stand-in core writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"

namespace {

using harness::IsPaintingOrTranslation;

class DeskProgramTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        journal_ = SharedDir() + "\\journal.txt";
        char name[64];
        snprintf(name, sizeof name, "knt_keys_%lu", GetCurrentProcessId());
        unixBase_ = std::string("/tmp/") + name;
    }
    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DeleteFileA(DosPath(".sh").c_str());
        DeleteFileA(DosPath(".done").c_str());
        HostTest::TearDown();
    }

    // The Unix file /tmp/knt_keys_<pid><suffix> as this process names it.
    std::string DosPath(const char* suffix) const {
        std::string path = "Z:" + unixBase_ + suffix;
        for (char& ch : path)
            if (ch == '/') ch = '\\';
        return path;
    }

    bool StartDesk() {
        const std::string dir = harness::ProgramDir() + "\\..\\install\\program";
        const std::string exe = dir + "\\KantrelOvrin.exe";
        SetEnvironmentVariableA("KNT_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("KNT_REGKEY", ProgramKey().c_str());
        SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", "101");
        const bool ok = Run(exe, "\"" + exe + "\"", dir, &process_);
        SetEnvironmentVariableA("KNT_JOURNAL", nullptr);
        SetEnvironmentVariableA("KNT_REGKEY", nullptr);
        SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", nullptr);
        return ok;
    }

    static bool Run(const std::string& exe, std::string command, const std::string& dir, PROCESS_INFORMATION* pi) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                              dir.empty() ? nullptr : dir.c_str(), &si, pi) != FALSE;
    }

    HWND WaitForDesk() {
        for (int waited = 0; waited < 30000; waited += 50) {
            HWND wnd = FindWindowA("_KNTOVRIN", "Kantrel Ovrin");
            if (wnd && IsWindowVisible(wnd)) return wnd;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }

    // Wine starts Unix programs through start /unix but does not wait for
    // them, so the script leaves its exit code in a file of its own.
    bool RunUnixScript(const std::string& body, std::string* exitCode) {
        DeleteFileA(DosPath(".done").c_str());
        {
            std::ofstream script(DosPath(".sh"), std::ios::binary);
            script << "#!/bin/sh\n(\n" << body << "\n)\necho $? > " << unixBase_ << ".done\n";
            if (!script) return false;
        }
        PROCESS_INFORMATION pi = {};
        const std::string cmd = "C:\\windows\\system32\\cmd.exe";
        if (!Run(cmd, cmd + " /c start /unix /bin/sh " + unixBase_ + ".sh", "", &pi)) return false;
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        for (int waited = 0; waited < 20000; waited += 50) {
            std::ifstream done(DosPath(".done"));
            if (done && std::getline(done, *exitCode)) return true;
            Sleep(50);
        }
        return false;
    }

    std::vector<std::string> Journal() const {
        std::ifstream in(journal_);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> CoreCallsFrom(size_t first) const {
        std::vector<std::string> calls;
        const std::vector<std::string> lines = Journal();
        for (size_t i = first; i < lines.size(); ++i)
            if (!IsPaintingOrTranslation(lines[i])) calls.push_back(lines[i]);
        return calls;
    }
    // Waits until the journal holds exactly this line.
    bool WaitForJournalLine(const std::string& line, int ms = 10000) const {
        for (int waited = 0; waited < ms; waited += 50) {
            for (const std::string& l : Journal())
                if (l == line) return true;
            Sleep(50);
        }
        return false;
    }
    void WaitForQuietJournal(int quietMs = 500) const {
        size_t last = Journal().size();
        for (int quiet = 0, waited = 0; quiet < quietMs && waited < 10000; waited += 50) {
            Sleep(50);
            const size_t now = Journal().size();
            quiet = now == last ? quiet + 50 : 0;
            last = now;
        }
    }

    PROCESS_INFORMATION process_ = {};
    std::string journal_;
    std::string unixBase_;
};

}  // namespace

// Under Xvfb, Scroll Lock is no locking modifier of the X keymap, so Wine sets
// its toggle back to "off" at the next other key; a lock switched on is
// therefore switched off again before anything else is typed. That also
// leaves the keyboard as it was.
TEST_F(DeskProgramTest, TypedKeysReachTheCoreInOrderAndTheCloseEndsTheSession) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    WaitForQuietJournal();
    const size_t typedFrom = Journal().size();

    std::string exitCode;
    ASSERT_TRUE(RunUnixScript("xdotool search --sync --onlyvisible --name '^Kantrel Ovrin$' windowfocus --sync "
                              "key --delay 50 a Insert a Scroll_Lock Scroll_Lock",
                              &exitCode))
        << "xdotool did not run";
    ASSERT_EQ("0", exitCode) << "xdotool failed";
    ASSERT_TRUE(WaitForJournalLine("VC_OnKeyDown 1001 0 0")) << "the keys did not all arrive";
    WaitForQuietJournal();
    EXPECT_TRUE(harness::SameSequence({// shortcut mode off: a plain key for the core
                                       "VC_OnKeyDown 65 1 0", "VC_OnCharacter 97", "VC_OnKeyUp 65 1 0",
                                       // Insert only switched shortcut mode on; now the dispatcher has the key
                                       "IsDesklocked", "InvokeShortcut 65 0 1", "IsDesklocked", "IsDesklocked",
                                       "InvokeShortcut 65 0 0",
                                       // Scroll Lock on and off, never dispatched
                                       "VC_OnKeyDown 1000 0 0", "VC_OnKeyDown 1001 0 0"},
                                      CoreCallsFrom(typedFrom)));

    const size_t closedFrom = Journal().size();
    PostMessageA(desk, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 30000));
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(harness::SameSequence({"EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"},
                                      CoreCallsFrom(closedFrom)));
}
