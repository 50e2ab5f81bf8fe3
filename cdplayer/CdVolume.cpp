// The CD line volume. The mixer line belongs to the CD audio device; until
// that device is opened there is no line, so a volume change goes nowhere.
#include "cdplayer/CdVolume.h"

void SetCdVolume(int) {}
