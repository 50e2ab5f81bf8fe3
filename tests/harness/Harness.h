// Shared helpers for tests that run the host's code for real under Wine.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace harness {

// Dispatches queued messages of this thread until none arrive for quietMs
// (or maxMs passed).
void PumpUntilIdle(int quietMs = 30, int maxMs = 2000);
// Dispatches messages for exactly ms milliseconds.
void PumpFor(int ms);

// Every MessageBoxA/#32770 dialog opened on this thread while the capture
// lives is recorded and answered with the chosen button id, so no test blocks.
struct CapturedBox {
    std::string text;
    std::string caption;
    HWND owner = nullptr;
    // MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION or 0,
    // read back from the icon the dialog shows.
    UINT icon = 0;
    std::vector<std::string> buttons;  // texts of the push buttons, in tab order
};
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    void AnswerWith(int buttonId);  // IDOK by default
    // A dialog under test (itself a #32770) that is neither recorded nor answered.
    void Ignore(HWND dialog);
    const std::vector<CapturedBox>& Boxes() const;
};

// The stand-in core's journal.
std::vector<std::string> JournalLines();
// The journal without the calls painting and translation make on their own
// ("exp$", "Flip", "RestoreCDXDisplay", "hasInfoTgt", "NeedHelp", "IsLed", ...).
std::vector<std::string> CoreCalls();
// Whether a journal line is one of those calls.
bool IsPaintingOrTranslation(const std::string& line);
void ClearJournal();
// The journal line of VC_SetStatus(code, value).
std::string Status(int code, int value);
// Prints both sequences on a mismatch.
::testing::AssertionResult SameSequence(const std::vector<std::string>& expected,
                                        const std::vector<std::string>& actual);

// An address where this process has no memory, as a request from another
// process carries one of its own.
LPARAM ForeignAddress();

// Folder of the test executable (and of the stand-in libraries), no trailing slash.
std::string ProgramDir();

// Base fixture: a fresh program key under HKEY_CURRENT_USER (TlmRegKey points
// at it), a fresh shared data folder with ide0 (sharedpath points at it), an
// empty journal, no chosen core results and no chosen VCMessageBox answer.
// Everything is removed again afterwards.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Full registry path of the program key, e.g. for RegOpenKeyExA.
    std::string ProgramKey() const { return programKey_; }
    std::string SharedDir() const { return sharedDir_; }
    void SetInt(const char* name, DWORD value, const char* subKey = nullptr);
    void SetString(const char* name, const char* value, const char* subKey = nullptr);
    // Reads a REG_DWORD of the program key (or subKey under it); false when absent.
    bool GetInt(const char* name, DWORD* value, const char* subKey = nullptr) const;
private:
    std::string programKey_;
    std::string sharedDir_;
};

}  // namespace harness
