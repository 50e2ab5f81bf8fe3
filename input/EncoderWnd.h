// The desk's rotary controls (window class _kntEncoder): four encoders, the
// scroll encoder of the touch screen, the track control and the wheel. Turns
// go into the counters of the core data block, presses to VC_SetStatus.
#pragma once
#include <windows.h>

// Control ids 40500 + index, in this order.
enum EncoderIndex { kEncoder1, kEncoder2, kEncoder3, kEncoder4, kScrollEncoder, kTrackControl, kWheelControl,
                    kEncoderCount };
constexpr int kFirstEncoderId = 40500;

ATOM RegisterEncoderClass(HINSTANCE instance);
// Creates the seven windows on main in index order; encoders 1 to 4 start
// hidden (bar 6 shows them). False when one could not be made.
bool CreateEncoders(HWND main);
// Encoders 1 to 4 come and go with the fader bar: only bar 6 shows them.
// False for the other encoders, which are not the bar's.
bool EncoderShownOnBar(int index, int bar);

// The press of encoder 1..4 (index 0..3) or of the scroll encoder (4); the
// track and the wheel have none.
void EncoderPress(int index, int pressed);
