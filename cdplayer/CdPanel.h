// The CD player panel: its twelve windows (ids 40300..40311) and the CD volume
// fader show together, only on the encoder bar and only while the panel is
// switched visible. The panel's own windows arrive with the CD player.
#pragma once

constexpr int kFirstCdPanelId = 40300;
constexpr int kCdPanelWindowCount = 12;

// Shows or hides the panel and the volume fader for the current bar; windows
// that do not exist are skipped. Nothing while the CD player is disabled.
void ShowCdPanel();
