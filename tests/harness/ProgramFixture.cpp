// The fixture of the whole-program tests.
#include "tests/harness/ProgramFixture.h"

#include <cstdio>
#include <fstream>

namespace harness {

namespace {

void SendKey(WORD vk, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

// The window system's key state outlives a program and a test: a key left
// held, or a Scroll Lock light left on, would reach the next desk. Wine also
// turns the light back to the X server's (off) at the next key from X, which
// a desk takes as a Scroll Lock press.
void LeaveKeyboardAtRest() {
    for (WORD vk : {VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT, VK_LMENU, VK_RMENU, VK_CONTROL, VK_SHIFT, VK_MENU})
        if (GetAsyncKeyState(vk) & 0x8000) SendKey(vk, KEYEVENTF_KEYUP);
    if (GetKeyState(VK_SCROLL) & 1) {
        SendKey(VK_SCROLL, 0);
        SendKey(VK_SCROLL, KEYEVENTF_KEYUP);
    }
}

}  // namespace

void ProgramTest::SetUp() {
    HostTest::SetUp();
    LeaveKeyboardAtRest();
    journal_ = SharedDir() + "\\journal.txt";
    // Process ids are only unique within one Wine server, and each test lane
    // has its own: the lane keeps the Unix file names of two lanes apart.
    char lane[16] = "0";
    GetEnvironmentVariableA("KNT_TEST_LANE", lane, sizeof lane);
    char name[64];
    snprintf(name, sizeof name, "knt_prog_%s_%lu", lane, GetCurrentProcessId());
    unixBase_ = std::string("/tmp/") + name;
}

void ProgramTest::TearDown() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    LeaveKeyboardAtRest();
    DeleteFileA(DosPath(".sh").c_str());
    DeleteFileA(DosPath(".done").c_str());
    HostTest::TearDown();
}

// The Unix file /tmp/knt_prog_<pid><suffix> as this process names it.
std::string ProgramTest::DosPath(const char* suffix) const {
    std::string path = "Z:" + unixBase_ + suffix;
    for (char& ch : path)
        if (ch == '/') ch = '\\';
    return path;
}

bool ProgramTest::StartDesk(const std::string& args) {
    if (process_.hProcess) {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    const std::string dir = ProgramDir() + "\\..\\install\\program";
    const std::string exe = dir + "\\KantrelOvrin.exe";
    SetEnvironmentVariableA("KNT_JOURNAL", journal_.c_str());
    SetEnvironmentVariableA("KNT_REGKEY", ProgramKey().c_str());
    SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", "101");
    const bool ok = Run(exe, "\"" + exe + "\"" + (args.empty() ? "" : " " + args), dir, &process_);
    SetEnvironmentVariableA("KNT_JOURNAL", nullptr);
    SetEnvironmentVariableA("KNT_REGKEY", nullptr);
    SetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", nullptr);
    return ok;
}

bool ProgramTest::Run(const std::string& exe, std::string command, const std::string& dir,
                      PROCESS_INFORMATION* pi) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                          dir.empty() ? nullptr : dir.c_str(), &si, pi) != FALSE;
}

// The desk shows itself before the core starts; a test that drives it wants
// the core running and the start's own calls over.
HWND ProgramTest::WaitForDesk() {
    for (int waited = 0; waited < 30000; waited += 50) {
        HWND wnd = FindWindowA("_KNTOVRIN", "Kantrel Ovrin");
        if (wnd && IsWindowVisible(wnd) && WaitForJournalLine("StartKantrel", 0)) {
            WaitForQuietJournal();
            return wnd;
        }
        if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

int ProgramTest::CloseDesk(HWND desk) {
    PostMessageA(desk, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    return int(code);
}

// Wine starts Unix programs through start /unix but does not wait for
// them, so the script leaves its exit code in a file of its own.
bool ProgramTest::RunUnixScript(const std::string& body, std::string* exitCode) {
    DeleteFileA(DosPath(".done").c_str());
    {
        std::ofstream script(DosPath(".sh"), std::ios::binary);
        script << "#!/bin/sh\n(\n" << body << "\n)\necho $? > " << unixBase_ << ".done\n";
        if (!script) return false;
    }
    // Wine's start said "File not found." for /bin/sh once in thousands of
    // runs, and the script never ran; a start that fails is made once more.
    const std::string cmd = "C:\\windows\\system32\\cmd.exe";
    DWORD started = 1;
    for (int attempt = 0; attempt < 2 && started != 0; ++attempt) {
        if (attempt) Sleep(200);
        PROCESS_INFORMATION pi = {};
        if (!Run(cmd, cmd + " /c start /unix /bin/sh " + unixBase_ + ".sh", "", &pi)) return false;
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &started))
            started = 0;  // still running or unknown: the script may well be under way
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    for (int waited = 0; waited < 30000; waited += 50) {
        std::ifstream done(DosPath(".done"));
        if (done && std::getline(done, *exitCode)) return true;
        Sleep(50);
    }
    return false;
}

void ProgramTest::RunXdotool(const std::string& steps) {
    std::string exitCode;
    ASSERT_TRUE(RunUnixScript("xdotool " + steps, &exitCode)) << "xdotool did not run";
    ASSERT_EQ("0", exitCode) << "xdotool failed: " << steps;
}

HWND ProgramTest::OpenFromDeskMenu(int upPresses, const char* caption) {
    std::string keys;
    for (int i = 0; i < upPresses; ++i) keys += " key Up sleep 0.1";
    RunXdotool("search --sync --onlyvisible --name '^Kantrel Ovrin$' windowfocus --sync sleep 0.2 "
               "mousemove 20 24 click 1 sleep 0.5" + keys + " key Return");
    for (int i = 0; i < 100; ++i) {
        HWND dlg = FindWindowA("#32770", caption);
        if (dlg && IsWindowVisible(dlg)) {
            PumpFor(300);
            return dlg;
        }
        Sleep(50);
    }
    return nullptr;
}

void ProgramTest::ClickItem(HWND dlg, int id) {
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dlg, id), &r)) << "no control " << id;
    RunXdotool("mousemove " + std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2) +
               " sleep 0.1 click 1 sleep 0.3");
}

void ProgramTest::WaitGone(HWND dlg) {
    for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(dlg)) << "the dialog stayed open";
}

std::string ProgramTest::At(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

bool ProgramTest::SaveScreenshot(const std::string& name, std::string* unixPath) {
    *unixPath = "/tmp/knt_" + name + ".png";
    std::string code;
    return RunUnixScript("import -window root " + *unixPath, &code) && code == "0";
}

std::vector<std::string> ProgramTest::Journal() const {
    std::ifstream in(journal_);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ProgramTest::CoreCallsFrom(size_t first) const {
    std::vector<std::string> calls;
    const std::vector<std::string> lines = Journal();
    for (size_t i = first; i < lines.size(); ++i)
        if (!IsPaintingOrTranslation(lines[i])) calls.push_back(lines[i]);
    return calls;
}

std::vector<std::string> ProgramTest::CallsNamed(size_t first, const std::vector<std::string>& names) const {
    std::vector<std::string> picked;
    for (const std::string& line : CoreCallsFrom(first))
        for (const std::string& name : names)
            if (line == name || line.rfind(name + " ", 0) == 0) picked.push_back(line);
    return picked;
}

bool ProgramTest::WaitForJournalLine(const std::string& line, int ms) const {
    for (int waited = 0;; waited += 50) {
        for (const std::string& l : Journal())
            if (l == line) return true;
        if (waited >= ms) return false;
        Sleep(50);
    }
}

void ProgramTest::WaitForQuietJournal(int quietMs) const {
    size_t last = Journal().size();
    for (int quiet = 0, waited = 0; quiet < quietMs && waited < 10000; waited += 50) {
        Sleep(50);
        const size_t now = Journal().size();
        quiet = now == last ? quiet + 50 : 0;
        last = now;
    }
}

}  // namespace harness
