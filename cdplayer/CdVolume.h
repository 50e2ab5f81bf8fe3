// The CD line volume of the mixer, as the volume fader sets it.
#pragma once

// Sets both channels of the CD line to value (0..65535); nothing while no
// mixer line is open.
void SetCdVolume(int value);
