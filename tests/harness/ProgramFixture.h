// Fixture for tests that start the installed program and drive it from the
// outside: real input through the X server (xdotool, run as a Unix program),
// read back from the journal file that the stand-in core writes and from the
// real registry.
#pragma once
#include <string>
#include <vector>

#include "tests/harness/Harness.h"

namespace harness {

class ProgramTest : public HostTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the installed program with this test's registry key, journal
    // and shared folder, and args on its command line; "Save actual Show ?"
    // is answered No.
    bool StartDesk(const std::string& args = "");
    // The desk window once it is visible, the core has started and the
    // journal has gone quiet; null when the program ended first.
    HWND WaitForDesk();
    // Posts WM_CLOSE and waits for the program's end; its exit code, or -1.
    int CloseDesk(HWND desk);
    // Runs a shell script (xdotool and the like) and gives its exit code.
    bool RunUnixScript(const std::string& body, std::string* exitCode);
    // Runs xdotool with these steps; a failure to run it or a failing step
    // fails the test.
    void RunXdotool(const std::string& steps);
    // Opens a dialog from the desk menu with real input: the menu button,
    // then Up from the menu's foot (1 Quit, 2 About, 3 Shortcuts, 4 Options)
    // and Return; the dialog once it shows, else null.
    HWND OpenFromDeskMenu(int upPresses, const char* caption);
    // A real click at the middle of a control of the program's dialog.
    void ClickItem(HWND dlg, int id);
    void WaitGone(HWND dlg);
    // A screen point as xdotool takes it: "x y".
    static std::string At(POINT p);
    // Saves a screenshot of the whole X screen as a PNG under /tmp, named
    // after the test; false when it could not be taken.
    bool SaveScreenshot(const std::string& name, std::string* unixPath);

    std::vector<std::string> Journal() const;
    // The journal from line first on, without painting and translation calls.
    std::vector<std::string> CoreCallsFrom(size_t first) const;
    // Waits until the journal holds exactly this line.
    // The calls from first on that are one of the names, or start with one
    // followed by its arguments.
    std::vector<std::string> CallsNamed(size_t first, const std::vector<std::string>& names) const;
    bool WaitForJournalLine(const std::string& line, int ms = 10000) const;
    void WaitForQuietJournal(int quietMs = 500) const;

    PROCESS_INFORMATION process_ = {};

private:
    std::string DosPath(const char* suffix) const;
    static bool Run(const std::string& exe, std::string command, const std::string& dir, PROCESS_INFORMATION* pi);
    std::string journal_;
    std::string unixBase_;
};

}  // namespace harness
