// What the benchmarks share: a desk like the real one (the main window with
// every key on the stand-in core, a session running, the window shown) in a
// registry key and shared folder of their own, and the timing figures.
#pragma once
#include <windows.h>

#include <vector>

namespace bench {

// Builds the desk; false (with a line on stderr) when any step fails. With
// the CD panel, the player is enabled and switched visible (no drive needed).
bool OpenDesk(bool withCdPanel = false);
// Ends the session and takes the desk down again.
void CloseDesk();
HWND DeskWindow();

// Dispatches every waiting message.
void Pump();

// Microseconds since an arbitrary start.
double NowMicroseconds();

struct Figures {
    double median;
    double p95;
    double best;
};
// Median, 95th percentile and best of the samples (which it sorts).
Figures Summarise(std::vector<double>& samples);
// One line: "name: median X us, p95 Y us, best Z us (N rounds)" and, with an
// aim, whether the median meets it.
void PrintFigures(const char* name, std::vector<double>& samples, double aimMicroseconds);

}  // namespace bench
