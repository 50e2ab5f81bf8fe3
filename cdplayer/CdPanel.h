// The CD player panel: its twelve windows (ids 40300..40311) and the CD volume
// fader show together, only on the encoder bar and only while the panel is
// switched visible. The panel's own windows arrive with the CD player.
#pragma once
#include <windows.h>

constexpr int kFirstCdPanelId = 40300;
constexpr int kCdPanelWindowCount = 12;

// Shows or hides the panel and the volume fader for the current bar; windows
// that do not exist are skipped. Nothing while the CD player is disabled.
void ShowCdPanel();

// Chooses the drive and opens the CD device on it; nothing while the CD
// player is disabled or there is no CD drive.
bool CreateCDPanel(HWND main);

// Panel state the CD device writes and reads.
extern BYTE gCdCurrentTrack;
// Set in the "Play Track" and "Repeat Track" play modes.
extern int gCdStopAtTrackEnd;
// The player mode cd_mode: 1 stopped, 2 playing, 3 paused.
void SetPlayerMode(int mode);
// Publishes the device's position to the core (lock: under cd_criticalsection).
void RefreshPosition(bool lock);
