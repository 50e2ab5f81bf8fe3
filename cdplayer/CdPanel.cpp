// The CD player panel's state: creation and showing, the disc state, player
// and play modes, the position refresh that publishes the timecode, the
// position poll and track end, and the three pop-up menus.
#include "cdplayer/CdPanel.h"

#include <windows.h>

#include <cstdio>

#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/FileDisc.h"
#include "common/Text.h"
#include "mainwindow/Placement.h"

BYTE gCdCurrentTrack;
BYTE gCdPlayedTrack;
int gCdStopAtTrackEnd;
int gCdDiscPresent;
int gCdTimeMode = kCdElapsedTrack;
int gCdStatusIcon = 286;
CdClock gCdFirstTime, gCdSecondTime;

namespace {
constexpr int kEncoderBar = 6;
constexpr int kPlayerStopped = 1, kPlayerPlaying = 2;
constexpr int kIconDisc = 280, kIconNoDisc = 286;
constexpr int kAnimationIcons[4] = {280, 283, 284, 285};
constexpr int kFramesPerSecond = 75;

int gRepeatAll, gRepeatTrack;
UINT_PTR gAnimationTimer;
int gAnimationFrame;

struct ModeName {
    int mode;
    const char* text;
};
const ModeName kTimeModes[] = {{kCdElapsedTrack, "Elapsed Playback Time (Track)"},
                               {kCdRemainingTrack, "Remaining Playback Time (Track)"},
                               {kCdElapsedDisc, "Elapsed Playback Time (whole CD)"},
                               {kCdRemainingDisc, "Remaining Playback Time (whole CD)"}};
const ModeName kPlayModeItems[] = {{kCdPlayAll, "Play whole CD (Standard)"},
                                   {kCdPlayTrack, "Play Track"},
                                   {kCdRepeatTrack, "Repeat Track"},
                                   {kCdRepeatAll, "Repeat all"}};
const char* const kPlayModeNames[] = {"Play All", "Play Track", "Repeat Track", "Repeat All"};

HWND PanelWindow(int index) { return hMainWnd ? GetDlgItem(hMainWnd, kFirstCdPanelId + index) : nullptr; }

void Invalidate(int index, BOOL erase) {
    if (HWND wnd = PanelWindow(index)) InvalidateRect(wnd, nullptr, erase);
}

int FramesOf(DWORD packed) {
    return (int((packed >> 16) & 0xFF) * 60 + int((packed >> 8) & 0xFF)) * kFramesPerSecond + int(packed & 0xFF);
}
int WholeSecondsOf(DWORD packed) { return int((packed >> 16) & 0xFF) * 60 + int((packed >> 8) & 0xFF); }

// Truncating division, so a negative count gives negative minutes and seconds.
CdClock ClockOfSeconds(int seconds) { return {static_cast<signed char>(seconds / 60), static_cast<signed char>(seconds % 60)}; }

DWORD StartOfTrack(int track) {
    for (const CdTrack& record : gCdDevice.Tracks())
        if (record.number == track) return record.start;
    return 0;
}

void AppendModeItems(HMENU menu, const ModeName* items, int count, int current) {
    for (int i = 0; i < count; ++i) {
        AppendMenuA(menu, MF_STRING, UINT_PTR(items[i].mode), Tr(items[i].text));
        if (items[i].mode == current) CheckMenuItem(menu, UINT(items[i].mode), MF_BYCOMMAND | MF_CHECKED);
    }
}
}  // namespace

// ---- showing and creation

bool CdPanelShownOnBar(int bar) { return gCdPlayerShown && bar == kEncoderBar; }

namespace {
struct CdPlace {
    int x, y, width, height;
};
const CdPlace kPlaces[kCdPanelWindowCount] = {
    {32, 719, 55, 36},  {93, 719, 55, 36},   {154, 719, 55, 36}, {215, 719, 55, 36},
    {276, 719, 55, 36}, {337, 719, 55, 36},  {398, 719, 55, 36}, {382, 689, 240, 18},
    {32, 687, 170, 20}, {463, 719, 55, 17},  {463, 738, 55, 17}, {215, 689, 150, 18}};
}  // namespace

bool CreateCDPanel(HWND main) {
    if (DisableCDPlayer) return false;
    for (int i = 0; main && i < kCdPanelWindowCount; ++i) {
        const CdPlace& p = kPlaces[i];
        CreateWindowExA(0, "_kntCDButton", nullptr, WS_CHILD | WS_CLIPSIBLINGS, p.x, p.y, p.width, p.height, main,
                        reinterpret_cast<HMENU>(INT_PTR(kFirstCdPanelId + i)), hInst, nullptr);
    }
    if (!ChooseCdDrive() || !gCdDevice.Open(gCdDrive)) return false;
    RefreshDiscState(-1);
    return true;
}

void ResetCdPanel() {
    if (gAnimationTimer) KillTimer(PanelWindow(kCdStatusDisplay), kCdAnimationTimer);
    gAnimationTimer = 0;
    gAnimationFrame = 0;
    gCdStatusIcon = kIconNoDisc;
    if (gCdWindTimer && hCDDisplayWnd) KillTimer(hCDDisplayWnd, gCdWindTimer);
    gCdWindTimer = 0;
    gCdWindTicks = 0;
    gCdWindPeriod = 200;
    gCdDiscPresent = 0;
    gCdCurrentTrack = 0;
    gCdPlayedTrack = 0;
    gCdFirstTime = gCdSecondTime = {};
    gCdTimeMode = kCdElapsedTrack;
    SetPlayMode(kCdPlayAll);
}

// ---- disc state and modes

void RefreshDiscState(int present) {
    bool disc = present == -1 ? gCdDevice.IsDiscReady() != 0 : present != 0;
    // A disc whose list could not be read, or that has no audio, cannot be
    // played: shown as one, the position would stay frozen at its first step.
    if (disc) disc = gCdDevice.BuildTrackList() && gCdDevice.TrackListSize() > 0;
    gCdDiscPresent = disc;
    if (!disc) gCdDevice.Stop();
    gCdPlayedTrack = 0;
    gCdStatusIcon = disc ? kIconDisc : kIconNoDisc;
    Invalidate(kCdStatusDisplay, FALSE);
    RefreshPosition(true);
}

void CdPanelRecheckDisc(int present) {
    if (DisableCDPlayer) return;
    if (present == -1 && !gCdDevice.IsOpen() && (gCdDrive[0] || FileDiscLoaded())) gCdDevice.Open(gCdDrive);
    RefreshDiscState(present);
}

void ReopenCdDrive(const char* drive) {
    if (DisableCDPlayer) return;
    // Open closes the device first, which empties the track list: the panel
    // must stop believing in the old disc before, and look again after.
    RefreshDiscState(0);
    if (drive && drive[0]) CopyBounded(gCdDrive, sizeof gCdDrive, drive);
    // A disc of files stays: the drive chosen is used once it is ejected.
    if ((gCdDrive[0] || FileDiscLoaded()) && gCdDevice.Open(gCdDrive)) RefreshDiscState(-1);
}

void SetPlayerMode(int mode) {
    if (mode == cd_mode) return;
    HWND status = PanelWindow(kCdStatusDisplay);
    if (gAnimationTimer) {
        if (status) KillTimer(status, kCdAnimationTimer);
        gAnimationTimer = 0;
    } else if (mode == kPlayerPlaying && status) {
        gAnimationTimer = SetTimer(status, kCdAnimationTimer, 500, CdPanelTimerProc);
    }
    cd_mode = mode;
    Invalidate(kCdStatusDisplay, FALSE);
    Invalidate(kCdPause, TRUE);
    Invalidate(kCdPlay, TRUE);
}

void AnimateCdStatus(HWND status) {
    gAnimationFrame = (gAnimationFrame + 1) % 4;
    gCdStatusIcon = kAnimationIcons[gAnimationFrame];
    RECT icon = {0, 0, 18, 0};
    GetClientRect(status, &icon);
    icon.right = 18;
    InvalidateRect(status, &icon, FALSE);
}

void SetPlayMode(int mode) {
    if (mode < kCdPlayAll || mode > kCdRepeatAll) return;
    gPlayMode = mode;
    gRepeatAll = mode == kCdRepeatAll;
    gCdStopAtTrackEnd = mode == kCdPlayTrack || mode == kCdRepeatTrack;
    gRepeatTrack = mode == kCdRepeatTrack;
    Invalidate(kCdPlayModeDisplay, TRUE);
}

const char* CdPlayModeText(int mode) {
    return mode >= kCdPlayAll && mode <= kCdRepeatAll ? kPlayModeNames[mode - kCdPlayAll] : kPlayModeNames[0];
}

const char* CdStatusText() {
    if (cd_mode == 2) return "Playing";
    if (cd_mode == 3) return "Pause";
    return gCdDiscPresent ? "Ready" : "No Disc";
}

void FormatCdClock(CdClock clock, char* buf, size_t size) {
    FormatBounded(buf, size, clock.seconds < 0 ? "%2.2d:%2.1d" : "%2.2d:%2.2d", clock.minutes, clock.seconds);
}

// ---- the position

CdTimes ComputeCdTimes(int timeMode, BYTE minutes, BYTE seconds, BYTE frames, DWORD trackStart, DWORD discStart,
                       DWORD trackLength, DWORD discLengthMs) {
    const int inTrack = (int(minutes) * 60 + int(seconds)) * kFramesPerSecond + int(frames);
    int onDisc = FramesOf(trackStart) + inTrack - FramesOf(discStart);
    if (onDisc < 0) onDisc = 0;
    const int trackSeconds = inTrack / kFramesPerSecond, discSeconds = onDisc / kFramesPerSecond;
    const CdClock trackElapsed = ClockOfSeconds(trackSeconds), discElapsed = ClockOfSeconds(discSeconds);
    const CdClock trackLeft = ClockOfSeconds(WholeSecondsOf(trackLength) - trackSeconds);
    const CdClock discLeft = ClockOfSeconds(int(discLengthMs / 1000) - discSeconds);

    CdTimes times = {minutes, seconds, frames, trackElapsed, discElapsed};
    switch (timeMode) {
    case kCdRemainingTrack: times.first = trackLeft, times.second = discLeft; break;
    case kCdElapsedDisc: times.first = discElapsed, times.second = trackElapsed; break;
    case kCdRemainingDisc: times.first = discLeft, times.second = trackLeft; break;
    }
    if (timeMode == kCdElapsedDisc || timeMode == kCdRemainingDisc) {
        // The whole-disc modes give the core the position on the disc.
        times.minutes = BYTE(onDisc / kFramesPerSecond / 60);
        times.seconds = BYTE(onDisc / kFramesPerSecond % 60);
        times.frames = BYTE(onDisc % kFramesPerSecond);
    }
    return times;
}

int FirstAudioTrack() {
    const auto& tracks = gCdDevice.Tracks();
    return tracks.empty() ? 1 : tracks.front().number;
}

DWORD CdAudioLengthMs() {
    const auto& tracks = gCdDevice.Tracks();
    if (tracks.empty()) return 0;
    const int frames = FramesOf(tracks.back().start) + FramesOf(tracks.back().length) - FramesOf(tracks.front().start);
    return frames > 0 ? DWORD(frames) * 1000 / kFramesPerSecond : 0;
}

namespace {
// How long the poll waits for a core that reads the position.
constexpr int kPollLockWaitMs = 100;

bool TakeLockBriefly() {
    // Another thread's SendMessage is most likely from the holder itself,
    // parked until we answer: waiting would only delay it.
    const int tries = InSendMessage() ? 1 : kPollLockWaitMs;
    for (int i = 0; i < tries; ++i) {
        if (TryEnterCriticalSection(&cd_criticalsection)) return true;
        Sleep(1);
    }
    return false;
}
}  // namespace

void PublishCdPosition(BYTE track, BYTE minutes, BYTE seconds, BYTE frames, bool wait) {
    bool held = wait;
    if (wait) EnterCriticalSection(&cd_criticalsection);
    else held = TakeLockBriefly();
    cd_track = track;
    cd_min = minutes;
    cd_sek = seconds;
    cd_frame = frames;
    if (held) LeaveCriticalSection(&cd_criticalsection);
}

void RefreshPosition(bool lock) {
    HWND display = PanelWindow(kCdTimeDisplay);
    const auto& tracks = gCdDevice.Tracks();
    if (!gCdDiscPresent || tracks.empty()) {
        gCdCurrentTrack = 0;
        gCdFirstTime = {};
        if (display) InvalidateRect(display, nullptr, FALSE);
        return;
    }
    if (lock) EnterCriticalSection(&cd_criticalsection);
    BYTE track, minutes, seconds, frames;
    gCdDevice.GetPosition(&track, &minutes, &seconds, &frames);
    gCdCurrentTrack = track;
    // Computed whole before anything is published, so a reader never sees
    // the new track with the old time.
    CdTimes times = {};
    if (track >= 1) {
        times = ComputeCdTimes(gCdTimeMode, minutes, seconds, frames, StartOfTrack(track), tracks.front().start,
                               gCdDevice.FindTrackLength(track), CdAudioLengthMs());
    }
    PublishCdPosition(track, times.minutes, times.seconds, times.frames, lock);
    if (track >= 1) {
        gCdFirstTime = times.first;
        gCdSecondTime = times.second;
        if (display) InvalidateRect(display, nullptr, FALSE);
    }
    if (lock) LeaveCriticalSection(&cd_criticalsection);
}

// ---- the core's poll and the drive's notices

namespace {
// The end of a track played in "Play Track" or "Repeat Track": back to the
// start of the track that ended, not of whatever track the drive went on to.
// From the poll nothing waits for the lock (a core may hold it while it
// polls) and the track plays again from a posted message, as in "Repeat All".
void FinishPlayedTrack(HWND display, bool fromPoll) {
    const BYTE track = gCdPlayedTrack;
    gCdPlayedTrack = 0;
    gCdDevice.Seek(track, 0, 0, 0, !fromPoll);
    RefreshPosition(!fromPoll);
    if (!gRepeatTrack) return;
    if (fromPoll) PostMessageA(display, kCdPlayAgain, 0, 0);
    else gCdDevice.Play();
}

void OnDriveStoppedPlaying(HWND display, int driveMode) {
    if (driveMode == kCdModeNotReady || driveMode == MCI_MODE_OPEN) {
        // The disc went (the drive's own eject): a seek on the empty drive
        // would fail and lose the device for good.
        RefreshDiscState(0);
        return;
    }
    if (driveMode != -1 && gCdStopAtTrackEnd && gCdPlayedTrack) {
        // The drive stopped at the track's end before its notice came.
        FinishPlayedTrack(display, true);
        return;
    }
    // The disc ran out.
    gCdDevice.Stop();
    gCdDevice.Seek(FirstAudioTrack(), 0, 0, 0, false);
    if (gRepeatAll) PostMessageA(display, kCdPlayAgain, 0, 0);
}
}  // namespace

void OnCdPositionPoll(HWND display) {
    const int driveMode = gCdDevice.GetMode();
    if (driveMode != kCdModePlaying && cd_mode == kPlayerPlaying) OnDriveStoppedPlaying(display, driveMode);
    RefreshPosition(false);
}

void OnCdTrackEnd(HWND display, WPARAM how, LPARAM device) {
    // Another device's notice (a device id of a drive since closed) is not
    // ours; a notice whose end the poll already handled, or that comes after
    // the user stopped or the track started again, is stale.
    if (how != MCI_NOTIFY_SUCCESSFUL || !gCdStopAtTrackEnd || !gCdPlayedTrack || cd_mode != kPlayerPlaying ||
        !gCdDevice.IsOpen() || MCIDEVICEID(device) != gCdDevice.DeviceId())
        return;
    if (gCdDevice.GetMode() == kCdModePlaying) return;
    FinishPlayedTrack(display, false);
}

// ---- menus

HMENU BuildCdTrackMenu() {
    HMENU menu = CreatePopupMenu();
    for (const CdTrack& record : gCdDevice.Tracks()) {
        // Labelled, timed and numbered by the record's own track number, so a
        // data track before the audio does not shift the entries.
        const DWORD length = gCdDevice.FindTrackLength(record.number);
        char text[40];
        FormatBounded(text, sizeof text, "Track %2d  [%2.2d:%2.2d]", record.number, int((length >> 16) & 0xFF),
                      int((length >> 8) & 0xFF));
        HMENU sub = CreatePopupMenu();
        AppendMenuA(sub, MF_STRING, UINT_PTR(kCdTrackCommandBase + record.number),
                    cd_mode == kPlayerPlaying ? "Play Track" : "Goto Track");
        AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), text);
    }
    if (GetMenuItemCount(menu) > 0) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCdOpenAudioFilesCommand, Tr("Open Audio Files..."));
    return menu;
}

HMENU BuildCdTimeModeMenu() {
    HMENU menu = CreatePopupMenu();
    AppendModeItems(menu, kTimeModes, 4, gCdTimeMode);
    return menu;
}

HMENU BuildCdPlayModeMenu() {
    HMENU menu = CreatePopupMenu();
    AppendModeItems(menu, kPlayModeItems, 4, gPlayMode);
    return menu;
}

void ReadStoredTimeMode() {
    int stored = 0;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, "time_display", &stored, nullptr) != -1 && stored >= kCdElapsedTrack &&
        stored <= kCdRemainingDisc)
        gCdTimeMode = stored;
}

void SetCdTimeMode(int mode) {
    if (mode == gCdTimeMode) return;
    gCdTimeMode = mode;
    if (cd_mode == kPlayerPlaying) {
        gCdDevice.Pause();
        Sleep(10);
        gCdDevice.Play();
    } else {
        RefreshPosition(true);
    }
    WriteRegKeyInt(HKEY_CURRENT_USER, "time_display", mode, nullptr);
}
