// The demo console's use of the CD timecode: while the player runs it asks the
// panel's time display for the position every half second (message 32785, as
// a console does) and journals each new timecode it reads under the CD lock.
// The poll runs only while the player plays, so an idle desk is not woken:
// the player starts in answer to a message of the host's thread, so the mode
// is looked at as that thread takes its messages.
#include <cstring>

#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

namespace {
constexpr UINT kPositionPoll = WM_APP + 17;
constexpr int kPlaying = 2;
UINT_PTR gPollTimer;
unsigned char gLast[4];
bool gAnyRead;

void PollCd(bool always) {
    if (!hCDDisplayWnd) return;
    SendMessageA(hCDDisplayWnd, kPositionPoll, 0, 0);
    EnterCriticalSection(&cd_criticalsection);
    const unsigned char now[4] = {cd_track, cd_min, cd_sek, cd_frame};
    LeaveCriticalSection(&cd_criticalsection);
    if (!always && gAnyRead && memcmp(now, gLast, sizeof now) == 0) return;
    memcpy(gLast, now, sizeof now);
    gAnyRead = true;
    StandinJournal("CdTimecode", {int(now[0]), int(now[1]), int(now[2]), int(now[3])});
}

void StopPollTimer() {
    if (gPollTimer) KillTimer(nullptr, gPollTimer);
    gPollTimer = 0;
}

void CALLBACK PollTick(HWND, UINT, UINT_PTR, DWORD) {
    if (cd_mode == kPlaying) PollCd(false);
    else StopPollTimer();
}

HHOOK gPlayerWatch;

LRESULT CALLBACK WatchPlayer(int code, WPARAM wp, LPARAM lp) {
    if (code >= 0 && cd_mode == kPlaying && !gPollTimer) gPollTimer = SetTimer(nullptr, 0, 500, PollTick);
    return CallNextHookEx(gPlayerWatch, code, wp, lp);
}
}  // namespace

void StartCdPoll(void) {
    if (!gPlayerWatch) gPlayerWatch = SetWindowsHookExA(WH_GETMESSAGE, WatchPlayer, nullptr, GetCurrentThreadId());
}

// Before knt.dll goes: a thread timer or hook outliving its procedure would crash.
void StopCdPoll(void) {
    if (gPlayerWatch) UnhookWindowsHookEx(gPlayerWatch);
    gPlayerWatch = nullptr;
    StopPollTimer();
    gAnyRead = false;
}

extern "C" void StandinPollCd(void) { PollCd(true); }
