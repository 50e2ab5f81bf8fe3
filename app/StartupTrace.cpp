// The start-up trace: one line a step, written at once so that a start that
// hangs still shows its last step.
#include "app/StartupTrace.h"

#include <windows.h>

#include <cstdio>

namespace {

enum class TraceState { Unknown, Off, On };
TraceState gState = TraceState::Unknown;
char gPath[MAX_PATH];

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

struct StepTimes {
    double sinceStart;  // wall clock since the process was made
    double processor;   // the process's own processor time so far
};

// On a busy machine the wall clock says little about the desk itself: its
// processor time beside it shows what the step cost.
StepTimes Now() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG from = Ticks(created), to = Ticks(now);
    return {to > from ? double(to - from) / 10000.0 : 0.0, double(Ticks(kernel) + Ticks(user)) / 10000.0};
}

// One line a window, parents before their children, siblings in their
// stacking order: "index parent class-style style ex-style x y width height
// id own|system class". The place is in the parent's client area (the
// screen's for a top window); "own" marks a class this program registered
// (a system library's global class, as the tooltip's, is not).
bool OwnClass(HWND wnd) {
    return HINSTANCE(GetClassLongPtrA(wnd, GCLP_HMODULE)) == GetModuleHandleA(nullptr) &&
           !(GetClassLongPtrA(wnd, GCL_STYLE) & CS_GLOBALCLASS);
}

struct TreeFile {
    FILE* file;
    HWND top;
    int count;
};

void WriteWindow(TreeFile* tree, HWND wnd, int parentIndex) {
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof name);
    RECT place;
    GetWindowRect(wnd, &place);
    if (parentIndex >= 0) MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&place), 2);
    const int index = tree->count++;
    fprintf(tree->file, "%d %d %lx %lx %lx %ld %ld %ld %ld %d %s %s\n", index, parentIndex,
            static_cast<unsigned long>(GetClassLongPtrA(wnd, GCL_STYLE)),
            static_cast<unsigned long>(GetWindowLongPtrA(wnd, GWL_STYLE)),
            static_cast<unsigned long>(GetWindowLongPtrA(wnd, GWL_EXSTYLE)), place.left, place.top,
            place.right - place.left, place.bottom - place.top, GetDlgCtrlID(wnd), OwnClass(wnd) ? "own" : "system",
            name);
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        WriteWindow(tree, child, index);
}

// The desk's other top windows (the external monitors) after the desk; the
// core's windows and the tooltip control are not the desk's classes.
BOOL CALLBACK WriteOtherTop(HWND wnd, LPARAM lp) {
    auto* tree = reinterpret_cast<TreeFile*>(lp);
    if (wnd != tree->top && OwnClass(wnd)) WriteWindow(tree, wnd, -1);
    return TRUE;
}

}  // namespace

void TraceWindowTree(HWND top) {
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("KNT_WINDOW_TREE", path, sizeof path);
    if (!top || n == 0 || n >= sizeof path) return;
    TreeFile tree = {fopen(path, "w"), top, 0};
    if (!tree.file) return;
    WriteWindow(&tree, top, -1);
    EnumThreadWindows(GetCurrentThreadId(), WriteOtherTop, reinterpret_cast<LPARAM>(&tree));
    fclose(tree.file);
}

void TraceStartupStep(const char* step) {
    if (gState == TraceState::Off) return;
    if (gState == TraceState::Unknown) {
        const DWORD n = GetEnvironmentVariableA("KNT_STARTUP_TRACE", gPath, sizeof gPath);
        gState = n > 0 && n < sizeof gPath ? TraceState::On : TraceState::Off;
        if (gState == TraceState::Off) return;
    }
    if (FILE* file = fopen(gPath, "a")) {
        const StepTimes times = Now();
        fprintf(file, "%9.1f %7.1f %s\n", times.sinceStart, times.processor, step ? step : "");
        fclose(file);
    }
}
