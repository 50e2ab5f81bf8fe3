#include "bench/BenchDesk.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "desk/KeyWnd.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"

namespace bench {
namespace {

const char kProgramKey[] = "Software\\Telmarin\\KantrelBench";
HWND gDesk = nullptr;
std::string gSharedDir;

bool Fail(const char* step) {
    std::fprintf(stderr, "benchmark set-up failed: %s\n", step);
    return false;
}

void MakeSharedFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    gSharedDir = std::string(temp) + "knt_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(gSharedDir.c_str(), nullptr);
    CreateDirectoryA((gSharedDir + "\\ide0").c_str(), nullptr);
    SetEnvironmentVariableA("KNT_SHAREDPATH", gSharedDir.c_str());
}

}  // namespace

bool OpenDesk(bool withCdPanel) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    lstrcpynA(TlmRegKey, kProgramKey, kRegKeyPathSize);
    MakeSharedFolder();
    if (!LookingForGlobDataPath()) return Fail("shared data path");
    knt_windows_title = "Kantrel Ovrin";
    appl_loaded = 1;
    DisableCDPlayer = withCdPanel ? 0 : 1;
    gCdPlayerShown = withCdPanel ? 1 : 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!CreateDrawingResources(instance)) return Fail("drawing resources");
    RegisterAllClasses(instance);
    gDesk = CreateMainWindow(instance);
    if (!gDesk) return Fail("main window");
    CreateDeskFrame(gDesk);
    StandinSetResult("AnzHTPchannels", 24);
    // The start-up's own desk construction, session start included.
    if (!BuildDesk(gDesk)) return Fail("desk construction");
    ShowWindow(gDesk, SW_SHOW);
    UpdateWindow(gDesk);
    Pump();
    // The host is timed, not the stand-in's journal of every call.
    StandinJournalPause(1);
    return true;
}

void CloseDesk() {
    StandinJournalPause(0);
    if (CoreSessionState() == SessionState::Running) EndCoreSession(false, false);
    if (IsWindow(gDesk)) {
        ShowWindow(gDesk, SW_HIDE);
        Pump();
        DestroyWindow(gDesk);
    }
    Pump();
    // The window's destruction gave the drawing resources back.
    CleanUp();
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    gDesk = nullptr;
}

HWND DeskWindow() { return gDesk; }

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double NowMicroseconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1e6 / double(frequency.QuadPart);
}

Figures Summarise(std::vector<double>& samples) {
    if (samples.empty()) return {0, 0, 0};
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return {samples[n / 2], samples[std::min(n - 1, n * 95 / 100)], samples.front()};
}

void PrintFigures(const char* name, std::vector<double>& samples, double aimMicroseconds) {
    const size_t rounds = samples.size();
    const Figures f = Summarise(samples);
    std::printf("%-34s median %9.1f us  p95 %9.1f us  best %9.1f us  (%zu rounds)", name, f.median, f.p95, f.best,
                rounds);
    if (aimMicroseconds > 0)
        std::printf("  aim < %.0f us: %s", aimMicroseconds, f.median < aimMicroseconds ? "met" : "MISSED");
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace bench
