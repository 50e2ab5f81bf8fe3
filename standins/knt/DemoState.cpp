// The demo console's state: lamps, statuses and the command line.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdio>
#include <cstring>

DemoState gDemo;

namespace {

bool IsLampNumber(int n) { return n >= 0 && n < kLampSlots; }

}  // namespace

INT_PTR Result(const char* name, INT_PTR fallback) { return StandinGetResult(name, fallback); }

int Answer(const char* name, JournalArgs args, int fallback) {
    StandinJournal(name, args);
    return static_cast<int>(Result(name, fallback));
}

const char* AnswerText(const char* name, JournalArgs args, const char* fallback) {
    StandinJournal(name, args);
    return StandinGetTextResult(name, fallback);
}

void ResetDemo(void) { gDemo = DemoState{}; }

void ApplyStatus(int code, int value) {
    gDemo.lastCode = code;
    gDemo.lastValue = value;
    gDemo.anyStatus = true;
    if (!IsLampNumber(code)) return;
    gDemo.statuses[code] = value ? 1 : 0;
    // A press toggles the key's lamp; code 0 is no key.
    if (code > 0 && value == 1) SetLamp(code, !gDemo.lamps[code]);
}

int StatusOf(int code) { return IsLampNumber(code) ? gDemo.statuses[code] : 0; }

void SetLamp(int lamp, bool on) {
    if (!IsLampNumber(lamp) || (gDemo.lamps[lamp] != 0) == on) return;
    gDemo.lamps[lamp] = on ? 1 : 0;
    HWND wnd = ledHWnd[lamp];
    if (wnd && IsWindow(wnd)) SendMessageA(wnd, kLampMessage, static_cast<WPARAM>(lamp), 0);
}

int LampOf(int lamp) { return IsLampNumber(lamp) ? gDemo.lamps[lamp] : 0; }

int LitLampCount(void) {
    int lit = 0;
    for (unsigned char lamp : gDemo.lamps) lit += lamp;
    return lit;
}

extern "C" LRESULT StandinSendToMain(UINT msg, WPARAM wp, LPARAM lp) {
    return hMainWnd ? SendMessageA(hMainWnd, msg, wp, lp) : 0;
}

extern "C" BOOL StandinPostToMain(UINT msg, WPARAM wp, LPARAM lp) {
    return hMainWnd ? PostMessageA(hMainWnd, msg, wp, lp) : FALSE;
}

extern "C" void StandinSetLamp(int lamp, int on) { SetLamp(lamp, on != 0); }

// The real core may blink a key's lamps by running timer 500 on its window.
extern "C" BOOL StandinStartLampTimer(int lamp, UINT intervalMs) {
    if (lamp < 0 || lamp >= kLedCount || !ledHWnd[lamp]) return FALSE;
    return SetTimer(ledHWnd[lamp], 500, intervalMs, nullptr) != 0;
}
