// The CD player panel: its twelve windows (ids 40300..40311) and the CD volume
// fader show together, only on the encoder bar and only while the panel is
// switched visible. It plays the disc and publishes the position to the core.
#pragma once
#include <windows.h>

constexpr int kFirstCdPanelId = 40300;
constexpr int kCdPanelWindowCount = 12;

// The windows by their index in the button table.
enum CdPanelWindow {
    kCdPrevious,
    kCdFastBackward,
    kCdStop,
    kCdPause,
    kCdPlay,
    kCdFastForward,
    kCdNext,
    kCdTimeDisplay,
    kCdStatusDisplay,
    kCdEject,
    kCdTriggerSwitch,
    kCdPlayModeDisplay
};

// Time modes and play modes: menu command ids and stored values alike.
enum : int {
    kCdElapsedTrack = 33041,
    kCdRemainingTrack = 33042,
    kCdElapsedDisc = 33043,
    kCdRemainingDisc = 33044,
    kCdPlayAll = 33045,
    kCdPlayTrack = 33046,
    kCdRepeatTrack = 33047,
    kCdRepeatAll = 33048
};

// Messages to the time display: the core's position poll, and play again.
constexpr UINT kCdPositionPoll = 32785;
constexpr UINT kCdPlayAgain = 32786;
// A track menu command is this base plus the track's own number.
constexpr int kCdTrackCommandBase = 32785;
constexpr UINT_PTR kCdWindForwardTimer = 4711, kCdWindBackwardTimer = 4712, kCdAnimationTimer = 4713;

ATOM RegisterCDButtonClass(HINSTANCE instance);

// Whether the panel's twelve windows and the volume fader belong on the desk
// at a fader bar: only on the encoder bar, and only while the panel is
// switched visible. The desk view shows and hides them (mainwindow/DeskView.h).
bool CdPanelShownOnBar(int bar);

// Creates the twelve hidden windows, chooses the drive and opens the CD
// device on it; false while the CD player is disabled, without a CD drive or
// when the drive could not be opened.
bool CreateCDPanel(HWND main);
// Tests the drive for a disc again (-1), or takes the given answer (0 or 1).
void RefreshDiscState(int present);
// A media notice for the panel's drive; a device lost to an error is opened
// again first, so the next disc brings the player back.
void CdPanelRecheckDisc(int present);
// Options OK: stops the disc, takes drive ("X:"; null or "" keeps the drive
// text) and opens it again, then shows what the drive now holds.
void ReopenCdDrive(const char* drive);

// Panel state the CD device writes and reads.
extern BYTE gCdCurrentTrack;
// Set in the "Play Track" and "Repeat Track" play modes.
extern int gCdStopAtTrackEnd;
// The track a play that stops at its track's end is playing; 0 when none.
// The end is handled once, by the end notice or the poll, whichever comes first.
extern BYTE gCdPlayedTrack;
// The first audio track of the disc (1 without a track list): where Stop,
// run-out and Previous go, as track 1 may hold data a drive cannot play.
int FirstAudioTrack();
// Writes the four shared position bytes together under cd_criticalsection.
// wait: block for the lock, as the panel's own actions do. Without it (the
// core's poll, which a core may send while it holds the lock) the lock is
// waited for briefly and the bytes are written even without it, rather than
// deadlock or freeze the timecode.
void PublishCdPosition(BYTE track, BYTE minutes, BYTE seconds, BYTE frames, bool wait);
extern int gCdDiscPresent;
extern int gCdTimeMode;
// The player mode cd_mode: 1 stopped, 2 playing, 3 paused.
void SetPlayerMode(int mode);
// Stores the play mode (values outside the four are ignored) and its flags.
void SetPlayMode(int mode);
// Publishes the device's position to the core (lock: under cd_criticalsection).
void RefreshPosition(bool lock);

// A shown time: signed, so remaining times past the end read negative.
struct CdClock {
    signed char minutes;
    signed char seconds;
};
// What one position refresh yields: the values for the core and the two
// shown times.
struct CdTimes {
    BYTE minutes, seconds, frames;
    CdClock first, second;
};
// The position (minutes, seconds, frames within track) turned into the
// published values and shown times of a time mode. Packed times are
// minutes << 16 | seconds << 8 | frames; trackStart and discStart are
// absolute on the disc, so the lead-in counts once, in disc times only.
// discLengthMs is the audio's length from discStart on, so that elapsed and
// remaining disc times share one origin.
CdTimes ComputeCdTimes(int timeMode, BYTE minutes, BYTE seconds, BYTE frames, DWORD trackStart, DWORD discStart,
                       DWORD trackLength, DWORD discLengthMs);
// Milliseconds from the first audio track's start to the last one's end.
DWORD CdAudioLengthMs();
extern CdClock gCdFirstTime, gCdSecondTime;

// "%2.2d:%2.2d", or "%2.2d:%2.1d" for negative seconds.
void FormatCdClock(CdClock clock, char* buf, size_t size);
// The status display's text for the player mode and disc state.
const char* CdStatusText();
const char* CdPlayModeText(int mode);

// The popup menus, filled but not shown; the caller destroys them.
HMENU BuildCdTrackMenu();
HMENU BuildCdTimeModeMenu();
HMENU BuildCdPlayModeMenu();

// Winding and animation ticks (timer ids 4711, 4712 and 4713).
void CALLBACK CdPanelTimerProc(HWND wnd, UINT msg, UINT_PTR id, DWORD time);
extern UINT_PTR gCdWindTimer;
extern int gCdWindTicks, gCdWindPeriod;
// Drops the panel's state; for the session and test ends.
void ResetCdPanel();
// The panel's own pieces, shared by its state and its windows.
extern int gCdStatusIcon;
void ReadStoredTimeMode();
// Takes a time mode from the menu and stores it as "time_display".
void SetCdTimeMode(int mode);
void OnCdPositionPoll(HWND display);
void OnCdTrackEnd(HWND display, WPARAM how, LPARAM device);
void AnimateCdStatus(HWND status);
// Paints one panel window into dc (WM_PAINT and WM_PRINTCLIENT).
void PaintCdWindow(HWND wnd, HDC dc);
