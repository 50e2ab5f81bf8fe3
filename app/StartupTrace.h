// A trace of the start-up steps with their times, for finding where a slow
// start goes. Off unless the environment variable KNT_STARTUP_TRACE names a
// file; then each step appends "milliseconds-since-process-start step" to it.
#pragma once

// Marks the end of a step. When the trace is off this is one test of a flag.
void TraceStartupStep(const char* step);
