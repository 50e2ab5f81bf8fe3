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
// Returns true when the text changed.
bool TypeCharacter(int ch);
void MoveCursor(int pos, int trimmed);

// The display's window, or null when the index is out of range or it has none.
HWND DisplayWindow(int display);
bool DrawStatusScreen(int display);
bool BlankScreen(int display);
