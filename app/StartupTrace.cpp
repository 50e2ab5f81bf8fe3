// The start-up trace: one line a step, written at once so that a start that
// hangs still shows its last step.
#include "app/StartupTrace.h"

#include <windows.h>

#include <cstdio>

namespace {

enum class TraceState { Unknown, Off, On };
TraceState gState = TraceState::Unknown;
char gPath[MAX_PATH];

double MillisecondsSinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG from = (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    const ULONGLONG to = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return to > from ? double(to - from) / 10000.0 : 0.0;
}

}  // namespace

void TraceStartupStep(const char* step) {
    if (gState == TraceState::Off) return;
    if (gState == TraceState::Unknown) {
        const DWORD n = GetEnvironmentVariableA("KNT_STARTUP_TRACE", gPath, sizeof gPath);
        gState = n > 0 && n < sizeof gPath ? TraceState::On : TraceState::Off;
        if (gState == TraceState::Off) return;
    }
    if (FILE* file = fopen(gPath, "a")) {
        fprintf(file, "%9.1f %s\n", MillisecondsSinceProcessStart(), step ? step : "");
        fclose(file);
    }
}
