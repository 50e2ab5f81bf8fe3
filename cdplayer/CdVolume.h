// The CD line volume of the mixer, as the volume fader sets it.
#pragma once

// Sets both channels of the CD line to value (0..65535); nothing while the
// CD device has no mixer volume control.
void SetCdVolume(int value);
