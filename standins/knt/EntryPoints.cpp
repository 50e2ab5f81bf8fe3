// The core group of the demo console: every call is journaled with its
// arguments, and every answer can be chosen by a test (Result, by the
// entry point's name) before falling back to the demo behaviour.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdio>
#include <cstdlib>

namespace {

char gSliderTip[32];
char gExec1Tip[32];
char gExec2Tip[32];
char gKeyTip[32];

const char* Tip(char (&buf)[32], const char* format, int n, bool valid) {
    if (!valid) return nullptr;
    snprintf(buf, sizeof buf, format, n);
    return buf;
}

bool Within(int n, int low, int high) { return n >= low && n <= high; }

// Which start of this process faults as a broken core would, by writing
// to memory it may not touch: "StartKantrel.faultAt" chosen by a test in the
// process, else the environment variable KNT_FAULT_AT_START; 0 for none. The
// count lives in kntLib, which outlives knt.dll across restarts.
bool ThisStartFaults() {
    const INT_PTR count = StandinGetResult("StartKantrel.count", 0) + 1;
    StandinSetResult("StartKantrel.count", count);
    char env[16] = "";
    GetEnvironmentVariableA("KNT_FAULT_AT_START", env, sizeof env);
    const INT_PTR faultAt = StandinGetResult("StartKantrel.faultAt", atoi(env));
    return faultAt > 0 && faultAt == count;
}

void WriteToReservedPage() {
    // Not address 0: Wine running as root may have the lowest page mapped.
    static void* const reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    int* volatile target = static_cast<int*>(reserved);
    *target = 1;
}

}  // namespace

// A restart unloads knt.dll while the process goes on: a window whose
// procedure went with it would crash the next message it gets.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        ReleaseFaderEcho();
        StopCdPoll();
    }
    return TRUE;
}

const char* exp_(const char* text) {
    StandinJournal("exp$", {text});
    return StandinTranslate(text);
}

int RestoreCDXDisplay(int display) { return Answer(__func__, {display}, DisplayWindow(display) ? 1 : 0); }

int RecreateCDXDisplay(int display) { return Answer(__func__, {display}, DisplayWindow(display) ? 1 : 0); }

int Flip(int display, int wait) {
    StandinJournal(__func__, {display, wait});
    return static_cast<int>(Result(__func__, PresentDisplay(display) ? 1 : 0));
}

int VC_SetStatus(int code, int value) {
    StandinJournal(__func__, {code, value});
    ApplyStatus(code, value);
    return static_cast<int>(Result(__func__, 1));
}

int VC_GetStatus(int code) { return Answer(__func__, {code}, StatusOf(code)); }

int VC_OnKeyDown(int key, int repeat, int reserved) {
    StandinJournal(__func__, {key, repeat, reserved});
    if (PressCmdlineKey(key)) RequestCmdlineRedraw();
    return static_cast<int>(Result(__func__, 1));
}

// Where the focus was when the release arrived, for tests of focus hand-over.
int VC_OnKeyUp(int key, int repeat, int reserved) {
    StandinSetResult("VC_OnKeyUp.focus", reinterpret_cast<INT_PTR>(GetFocus()));
    return Answer(__func__, {key, repeat, reserved}, 1);
}

int VC_OnCharacter(int ch) {
    StandinJournal(__func__, {ch});
    if (TypeCharacter(ch)) RequestCmdlineRedraw();
    return static_cast<int>(Result(__func__, 1));
}

void* GetHardwinData(void) {
    StandinJournal(__func__, {});
    return reinterpret_cast<void*>(Result(__func__, 0));
}

int hasInfoTgt(int display) { return Answer(__func__, {display}, 0); }

int InvokeShortcut(int vk, int modifiers, int pressed) { return Answer(__func__, {vk, modifiers, pressed}, 1); }

int GetWheelResolution(void) { return Answer(__func__, {}, 1); }

int GetTrackResolution(void) { return Answer(__func__, {}, 1); }

const char* GetCmdlineString(LPARAM selector) { return AnswerText(__func__, {selector}, gDemo.cmdline); }

int SetCmdlineCursorPos(int pos, int trimmed) {
    StandinJournal(__func__, {pos, trimmed});
    if (MoveCursor(pos, trimmed)) RequestCmdlineRedraw();
    return static_cast<int>(Result(__func__, 1));
}

const char* GetAlignButtonText(void) { return AnswerText(__func__, {}, "Align"); }

int NeedHelp(void) { return Answer(__func__, {}, 1); }

const char* SliderTooltip(int fader) {
    return AnswerText(__func__, {fader}, Tip(gSliderTip, "Fader %d", fader + 1, Within(fader, 0, 23)));
}

const char* GetCmdlineParsed(void) { return AnswerText(__func__, {}, gDemo.cmdline); }

int DoPultSave(void) {
    StandinEcho("Show saved");
    return Answer(__func__, {}, 1);
}

const char* ExecBtn1Tooltip(int keyId) {
    return AnswerText(__func__, {keyId}, Tip(gExec1Tip, "Exec %d", keyId, Within(keyId, 61, 100)));
}

const char* ExecBtn2Tooltip(int keyId) {
    return AnswerText(__func__, {keyId}, Tip(gExec2Tip, "Exec key %d", keyId, Within(keyId, 1, 60)));
}

const char* KntBtnTooltip(int keyId) {
    return AnswerText(__func__, {keyId}, Tip(gKeyTip, "Key %d", keyId, Within(keyId, 1, 255)));
}

int ledrotexec(int n) { return Answer(__func__, {n}, 0); }

int ledgelbexec(int n) { return Answer(__func__, {n}, 0); }

int ledgruenexec(int n) { return Answer(__func__, {n}, 0); }

// Tests read whether an information window was up when the event arrived.
int SetMouseData(int x, int y, HWND wnd, int display, UINT msg) {
    StandinSetResult("SetMouseData.infoShown", hInfoShow != nullptr);
    NotePointer(display, x, y, msg);
    return Answer(__func__, {x, y, wnd, display, msg}, 1);
}

int IsDesklocked(void) { return Answer(__func__, {}, 0); }

int SetFaderModeManual(int fader) {
    StandinJournal(__func__, {fader});
    NoteFaderManual(fader);
    return static_cast<int>(Result(__func__, 1));
}

int StartKantrel(void) {
    StandinJournal(__func__, {});
    if (ThisStartFaults()) WriteToReservedPage();
    ResetDemo();
    RefreshMonitors();
    StartCdPoll();
    StandinEcho("Kantrel started");
    return static_cast<int>(Result(__func__, 1));
}

// What the host has set up around the end is kept in kntLib, so that a test
// can still read it after knt.dll is unloaded.
int EndKantrel(void) {
    StandinSetResult("EndKantrel.active", VC_KNT_ACTIVE);
    StandinSetResult("EndKantrel.mainEnabled", hMainWnd && IsWindowEnabled(hMainWnd));
    HoldSessionEnd();
    StopCdPoll();
    StandinEcho("Kantrel stopped");
    return Answer(__func__, {}, 1);
}

int DoPrint(WPARAM wp, LPARAM lp) { return Answer(__func__, {wp, lp}, 1); }

int RestartMidi(void) { return Answer(__func__, {}, 1); }

int IsLed(int led) { return Answer(__func__, {led}, LampOf(led)); }

int IsHtpActiv(void) { return Answer(__func__, {}, 0); }

int AnzHTPchannels(void) { return Answer(__func__, {}, 24); }

int GetZeroDot(void) { return Answer(__func__, {}, 0); }

int GetHighliteSolo(void) { return Answer(__func__, {}, 0); }

int CanSwitchTouch(void) { return Answer(__func__, {}, 1); }

int ClearScreen(int display) {
    StandinJournal(__func__, {display});
    return static_cast<int>(Result(__func__, ClearDisplay(display) ? 1 : 0));
}

int DeleteLanguageMap(void) {
    StandinSetResult("DeleteLanguageMap.priority", GetPriorityClass(GetCurrentProcess()));
    return Answer(__func__, {}, 1);
}

int LoadCompressedShowPossible(int reserved) { return Answer(__func__, {reserved}, 1); }

int LoadShowCompressedShow(const char* path) { return Answer(__func__, {path}, 1); }

int SaveShowCompressedShow(void) { return Answer(__func__, {}, 1); }

int CanFillFiletaskJobq(void) { return Answer(__func__, {}, 1); }
