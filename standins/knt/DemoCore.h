// Internals of the demo console core (knt.dll).
#pragma once
#include "app/CoreEntryPoints.h"
#include "standins/StandinControl.h"

#define DECLARE_CORE_ENTRY(member, name, ret, params) extern "C" ret member params;
KNT_CORE_ENTRY_POINTS(DECLARE_CORE_ENTRY)
#undef DECLARE_CORE_ENTRY

enum {
    kLampMessage = WM_APP + 1,  // wParam: lamp number
    kLampSlots = 256,
    kCmdlineMax = 255,
};

using JournalArgs = std::initializer_list<StandinJournalArg>;

// The test's chosen result for an entry point, else fallback.
INT_PTR Result(const char* name, INT_PTR fallback);
// Journals the call and answers with Result.
int Answer(const char* name, JournalArgs args, int fallback);
const char* AnswerText(const char* name, JournalArgs args, const char* fallback);

struct DemoState {
    unsigned char lamps[kLampSlots];
    unsigned char statuses[kLampSlots];
    char cmdline[kCmdlineMax + 1];
    int cmdlineLength;
    int cursor;
    int trimmed;
    int lastCode;
    int lastValue;
    bool anyStatus;
};
extern DemoState gDemo;

void ResetDemo(void);
void ApplyStatus(int code, int value);
int StatusOf(int code);
void SetLamp(int lamp, bool on);
int LampOf(int lamp);
int LitLampCount(void);
// The command line (DemoCmdline.cpp). Characters insert at the cursor,
// Backspace (8) deletes before it and Enter (13) runs and clears the line;
// the keys Left, Right, Home, End and Delete move the cursor or delete at it.
// Each returns true when the text or the cursor changed.
bool TypeCharacter(int ch);
bool PressCmdlineKey(int vk);
bool MoveCursor(int pos, int trimmed);
// Asks the host's command line window to show the text and the cursor.
void RequestCmdlineRedraw(void);

// Draws through an off-screen bitmap of the window's client size; which is
// handed to draw. False without a window.
bool DrawBuffered(HWND wnd, void (*draw)(HDC, const RECT&, int), int which);
// The display's window, or null when the index is out of range or it has none.
HWND DisplayWindow(int display);
bool DrawStatusScreen(int display);
// The touch views 0..2 (DemoTouch.cpp): the view number, the command line,
// the fader levels and the counters of the core data block.
bool DrawTouchView(int display);
bool BlankScreen(int display);
// What Flip shows (DemoMonitors.cpp): the touch views 0..2, the external
// monitors 3 and 4 ("Monitor 1", "Monitor 2"), or black for a display that
// ClearScreen cleared, until the next button press on that display.
bool PresentDisplay(int display);
bool ClearDisplay(int display);
// The pointer events of SetMouseData, which the monitors show.
void NotePointer(int display, int x, int y, UINT msg);
// Asks the host to repaint both monitors, as a starting console presents
// its screens at once.
void RefreshMonitors(void);
// The fader echo (DemoFaders.cpp): a fader switched to manual is read back and
// sent to the main window once the host's write is done.
void NoteFaderManual(int fader);
// Removes the echo's window and class; knt.dll must not leave them behind.
void ReleaseFaderEcho(void);
// Keeps the session end busy for KNT_END_HOLD_MS milliseconds (none when the
// variable is not set), dispatching the host's messages meanwhile.
void HoldSessionEnd(void);
// The CD position poll while a session runs (DemoCd.cpp).
void StartCdPoll(void);
void StopCdPoll(void);
