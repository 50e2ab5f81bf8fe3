// The installed program driven from the outside: real keystrokes typed into
// the desk through the X server, then the close flow, read back from the
// journal file that the stand-in core writes.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>

#include "tests/harness/ProgramFixture.h"

namespace {
class DeskProgramTest : public harness::ProgramTest {};

std::vector<std::string> ModulesOf(DWORD pid) {
    std::vector<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        std::string name = entry.szModule;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(tolower(c)); });
        names.push_back(name);
    }
    if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
    return names;
}
}  // namespace

// Under Xvfb, Scroll Lock is no locking modifier of the X keymap, so Wine sets
// its toggle back to "off" at the next other key; a lock switched on is
// therefore switched off again before anything else is typed. That also
// leaves the keyboard as it was.
TEST_F(DeskProgramTest, TypedKeysReachTheCoreInOrderAndTheCloseEndsTheSession) {
    // The pointer off the desk: a desk child under it would rightly want a tooltip.
    RunXdotool("mousemove 1279 1023");
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    WaitForQuietJournal();
    // Libraries for gestures not yet made are bound at their first call: a
    // desk that was only shown has not loaded them.
    const std::vector<std::string> modules = ModulesOf(process_.dwProcessId);
    ASSERT_NE(modules.end(), std::find(modules.begin(), modules.end(), "kantrelovrin.exe"));
    for (const char* late : {"shell32.dll", "comctl32.dll", "comdlg32.dll", "winmm.dll"})
        EXPECT_EQ(modules.end(), std::find(modules.begin(), modules.end(), late)) << late << " loaded at the start";
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
    EXPECT_EQ(0, CloseDesk(desk));
    EXPECT_TRUE(harness::SameSequence({"HasConsoleWindow", "EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"},
                                      CoreCallsFrom(closedFrom)));
}
