// The 16-bit counters of the core data block that the keyboard, the encoders,
// the touch window and the monitors turn. The core reads them as signed
// 16-bit values that wrap, so every change is done wide and wrapped on
// purpose; without a bound data block nothing changes.
#pragma once
#include <cstdint>

// Adds delta to the counter at offset (one of the kDp... counter offsets).
void AddToCoreCounter(int offset, long long delta);
// The counter's value; 0 without a data block.
int16_t CoreCounter(int offset);

// The touch scroll counter of a touch view (0..2), -1 for any other view.
int TouchScrollCounterOffset(long view);
// Adds delta to the touch scroll counter of the current touch view; another
// view changes nothing.
void TurnTouchScroll(long long delta);
// The scroll encoder press: status 101 + current touch view, for views 0..2.
void PressScrollEncoder(int pressed);
