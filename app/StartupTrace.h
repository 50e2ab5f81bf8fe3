// A trace of the start-up steps with their times, for finding where a slow
// start goes. Off unless the environment variable KNT_STARTUP_TRACE names a
// file; then each step appends "milliseconds-since-process-start
// processor-milliseconds-of-the-process step" to it.
#pragma once
#include <windows.h>

// Marks the end of a step. When the trace is off this is one test of a flag.
void TraceStartupStep(const char* step);

// When the environment variable KNT_WINDOW_TREE names a file, writes the
// window tree under top to it (classes, styles, places, visibility), for the
// start-up benchmark's floor program that makes the same windows and nothing
// else. Otherwise does nothing.
void TraceWindowTree(HWND top);
