// The progress window (class vcPROGRESS): a grey strip at the bottom of the
// touch window with a white centred text and a bar that fills from the left,
// shown while the core starts, saves or shuts down. At most one exists; its
// handle is the shared hProgress, so the core can address it too.
#pragma once
#include <windows.h>

constexpr int kProgressWindowId = 50001;
constexpr UINT kProgressTimer = 700;
constexpr UINT kProgressTimerMs = 20;
constexpr int kProgressStepPixels = 25;
constexpr int kProgressTop = 440;
constexpr int kProgressHeight = 40;
constexpr int kProgressMaxWidth = 640;
// The core's request to advance the bar by one step.
constexpr UINT kReqProgressStep = WM_APP + 7;

ATOM RegisterProgressClass(HINSTANCE instance);
// Replaces any progress window by one showing text on the touch window. Without
// a text the window stays zero wide and its bar does not move.
void ShowProgress(const char* text);
// Removes the window, if any, and has the touch window repaint where it was.
void HideProgress();
