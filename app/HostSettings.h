// Host-owned option values that start-up reads before any window exists.
#pragma once

extern int gDsrWheel;        // dual-speed resolution of the dimmer wheel
extern int gDsrEncoder;      // dual-speed resolution of the encoders
extern int gCdPlayerShown;   // CD player panel visible
extern int gStartMinimized;  // "/start_minimized" was given
