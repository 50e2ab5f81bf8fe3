// Host-owned option values that start-up reads before any window exists.
#pragma once

extern int gDsrWheel;        // dual-speed resolution of the dimmer wheel
extern int gDsrEncoder;      // dual-speed resolution of the encoders
extern int gCdPlayerShown;   // CD player panel visible
extern int gStartMinimized;  // "/start_minimized" was given
// Stored shown flags of external monitors 1 and 2 (the "ext1"/"ext2" values).
extern int gExtMonShown[2];
// The host's version, as the installation check and the About box know it.
constexpr char kHostVersion[] = "6.601";
