// The desk's faders (window class _kntSlider): 23 vertical faders whose values
// live in the core data block, where the knob follows only what the core
// sends back, and the horizontal CD volume fader, which keeps its own value.
#pragma once
#include <windows.h>

// Control ids 40000 + fader index; index 23 is the volume fader.
constexpr int kFirstFaderId = 40000;
constexpr int kFaderWindowCount = 24;
constexpr int kVolumeFader = 23;
constexpr int kExecutorFader = 20;

ATOM RegisterFaderClass(HINSTANCE instance);
// Creates the faders on main in index order, the volume fader only while the
// CD player is enabled. False when one could not be made.
bool CreateFaders(HWND main);
// Faders 0..kBarFaderCount - 1 come and go with the fader bar: 0..9 on bars 1
// and 3, 10..19 on bars 2 and 4, 20 on bar 5 only. The others are not the
// bar's (the volume fader goes with the CD player panel); false for them.
constexpr int kBarFaderCount = 21;
bool FaderShownOnBar(int fader, int bar);

// The value a fader shows, as the core echoes it back, start-up restores it or
// the CD mixer reports it. Capped at 255 (65535 for the volume fader); an
// index without a fader window changes nothing.
void SetFaderValue(int fader, long long value);
// The value the fader shows; -1 when there is no such fader window.
int FaderValue(int fader);
// The fader window of an index, null when none was made.
HWND FaderWindow(int fader);
