// The desk's view: the touch view the screen keys choose and the fader bar the
// bar keys choose, which of the desk's windows each bar puts on the desk, and
// the switch that shows and hides them and repaints what changed.
#pragma once
#include <windows.h>

// Touch view 0..2 (screen keys 247..249); out of range selects view 2.
// forced: the core asked, so the background follows as well.
void SelectTouchView(int view, bool forced);

// Fader bar 1..6 (bar keys 250..255); out of range selects bar 3. Without its
// bar key the bar's keys, the core and current_bar are left alone; its
// faders, encoders and the CD panel are shown all the same. 1 when a
// fader-mode pulse (142 or 144) went to the core, else 0.
int SelectFaderBar(int bar);

// Shows or hides the CD player panel and the volume fader as the current bar
// and the panel's switch now ask (the options change the switch); on the
// encoder bar the desk picture, which frames the panel, is repainted too.
// Nothing while the CD player is disabled.
void ShowCdPanelForCurrentBar();
