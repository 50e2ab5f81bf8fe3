// The demo console's use of the CD timecode: while the player runs it asks the
// panel's time display for the position every half second (message 32785, as
// a console does) and journals each new timecode it reads under the CD lock.
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

void CALLBACK PollTick(HWND, UINT, UINT_PTR, DWORD) {
    if (cd_mode == kPlaying) PollCd(false);
}
}  // namespace

void StartCdPoll(void) {
    if (!gPollTimer) gPollTimer = SetTimer(nullptr, 0, 500, PollTick);
}

// Before knt.dll goes: a thread timer outliving its procedure would crash.
void StopCdPoll(void) {
    if (gPollTimer) KillTimer(nullptr, gPollTimer);
    gPollTimer = 0;
    gAnyRead = false;
}

extern "C" void StandinPollCd(void) { PollCd(true); }
