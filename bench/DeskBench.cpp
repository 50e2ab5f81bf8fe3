// Figures of the desk surface: a full repaint, a refresh of every lamp, and
// whether thousands of bar switches and lamp refreshes leave the GDI and USER
// object counts where they were.
#include <cstdio>
#include <vector>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "bench/BenchDesk.h"
#include "mainwindow/DeskView.h"
#include "desk/KeyWnd.h"
#include "standins/StandinControl.h"
#include "tests/harness/GuiCounts.h"

namespace {

constexpr UINT kLampMessage = WM_APP + 1;
constexpr int kRounds = 300;
constexpr int kLeakRounds = 10000;
// A bar switch repaints the whole desk: a thousand of them take a minute.
constexpr int kBarLeakRounds = 1000;

void RepaintWholeDesk() {
    RedrawWindow(bench::DeskWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

// The two halves of a full repaint, to see where its time goes.
void RepaintDeskPicture() {
    RedrawWindow(bench::DeskWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
}
// The shown keys are listed once: under Wine, asking every key whether it is
// visible costs more than painting them all.
std::vector<HWND> gShownKeys;
void ListShownKeys() {
    gShownKeys.clear();
    for (int id = 1; id <= 257; ++id)
        if (HWND key = KeyWindowOfId(id); key && IsWindowVisible(key)) gShownKeys.push_back(key);
}
void RepaintKeys() {
    for (HWND key : gShownKeys) RedrawWindow(key, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
}
// What the window system alone costs for the same keys: each is marked for
// painting and marked done, with nothing drawn.
void MarkKeysWithoutPainting() {
    for (HWND key : gShownKeys) {
        InvalidateRect(key, nullptr, FALSE);
        ValidateRect(key, nullptr);
    }
}

// The window system's floor for the same picture: a bare window of the desk's
// size with a bare child in the place of each shown child of the desk, whose
// painting only marks it painted, as the desk's keys do (they draw on their
// own device context rather than begin a paint, which under Wine costs more
// than drawing a key). The host's own share of a full repaint is what the
// desk costs above it.
LRESULT CALLBACK BarePaint(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        ValidateRect(wnd, nullptr);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND gFloorWindow;

// A bare class with the class style of the child it stands for: whether a
// window has a device context of its own changes what the window system does
// for each paint, so the floor must keep it.
const char* BareClassFor(HWND child) {
    static char name[32];
    const UINT style = UINT(GetClassLongPtrA(child, GCL_STYLE));
    std::snprintf(name, sizeof name, "KntBare%x", style);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), name, &wc)) {
        wc.style = style;
        wc.lpfnWndProc = BarePaint;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
    return name;
}

BOOL CALLBACK CopyShownChild(HWND child, LPARAM) {
    if (GetParent(child) != bench::DeskWindow() || !IsWindowVisible(child)) return TRUE;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, bench::DeskWindow(), reinterpret_cast<POINT*>(&r), 2);
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE) & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    CreateWindowExA(0, BareClassFor(child), nullptr, WS_CHILD | WS_VISIBLE | DWORD(style), r.left, r.top,
                    r.right - r.left, r.bottom - r.top, gFloorWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
    return TRUE;
}

// The floor stands beside the desk when the screen has room for both (the
// benchmark script gives it a screen twice the desk's width), so the two are
// repainted in alternate rounds under the same conditions; over the desk
// otherwise, timed after it.
bool FloorBesideDesk(const RECT& desk) { return GetSystemMetrics(SM_CXSCREEN) >= desk.right + (desk.right - desk.left); }

int BuildFloorWindow() {
    WNDCLASSA wc = {};
    wc.style = UINT(GetClassLongPtrA(bench::DeskWindow(), GCL_STYLE));
    wc.lpfnWndProc = BarePaint;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KntBareChild";
    RegisterClassA(&wc);
    RECT desk;
    GetWindowRect(bench::DeskWindow(), &desk);
    const int left = FloorBesideDesk(desk) ? desk.right : desk.left;
    gFloorWindow = CreateWindowExA(0, "KntBareChild", "floor", WS_POPUP | WS_CLIPCHILDREN, left, desk.top,
                                   desk.right - desk.left, desk.bottom - desk.top, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    EnumChildWindows(bench::DeskWindow(), CopyShownChild, 0);
    ShowWindow(gFloorWindow, SW_SHOWNOACTIVATE);
    bench::Pump();
    int children = 0;
    for (HWND c = GetWindow(gFloorWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
    return children;
}

void RepaintFloorWindow() {
    RedrawWindow(gFloorWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

// The touch screen's picture is the core's own drawing (the touch window
// only asks the core to show it), so a full repaint holds the core's time
// too; the host's share is given with and without it.
void CoreDrawsTouchScreen() {
    CallEntry(gCore.Flip, int(current_touch), 1);
    GdiFlush();
}

void RefreshAllLamps() {
    for (int led = 0; led < kLedCount; ++led)
        if (HWND key = ledHWnd[led]) SendMessageA(key, kLampMessage, 0, 0);
    GdiFlush();
}

// Every lamp changes: the stand-in core lights or darkens each one and tells
// its key, as the core does when a show runs.
void ChangeAllLamps() {
    static const auto setLamp = reinterpret_cast<StandinSetLampFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSetLamp")));
    static int lit;
    lit = !lit;
    if (setLamp)
        for (int led = 0; led < kLedCount; ++led) setLamp(led, lit);
    GdiFlush();
}

// Two steps timed in alternate rounds, each followed by a pump.
template <typename StepA, typename StepB>
void TimeAlternately(StepA a, StepB b, int rounds, std::vector<double>* timesA, std::vector<double>* timesB) {
    for (int i = 0; i < rounds; ++i) {
        double start = bench::NowMicroseconds();
        a();
        timesA->push_back(bench::NowMicroseconds() - start);
        bench::Pump();
        start = bench::NowMicroseconds();
        b();
        timesB->push_back(bench::NowMicroseconds() - start);
        bench::Pump();
    }
}

template <typename Step>
std::vector<double> Time(Step step, int rounds) {
    std::vector<double> samples;
    samples.reserve(rounds);
    for (int i = 0; i < rounds; ++i) {
        const double start = bench::NowMicroseconds();
        step();
        samples.push_back(bench::NowMicroseconds() - start);
        bench::Pump();
    }
    return samples;
}

// The fader-mode pulse of a bar switch waits 50 ms on purpose; the core
// answers so that none is due, and the switch itself is what is timed.
void SwitchWithoutPulse(int bar) {
    StandinSetResult("IsHtpActiv", bar <= 2 ? 1 : 0);
    SelectFaderBar(bar);
}

// What the operator waits for: the switch and the repaint it asks for.
void SwitchAndPaint(int bar) {
    SwitchWithoutPulse(bar);
    RedrawWindow(bench::DeskWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

int LampWindows() {
    int count = 0;
    for (HWND key : ledHWnd) count += key != nullptr;
    return count;
}

// Runs step the given number of times and prints the object counts before and after.
template <typename Step>
bool CountsStayPut(const char* name, int rounds, Step step) {
    bench::Pump();
    const DWORD gdiBefore = harness::GdiObjectCount(), userBefore = harness::UserObjectCount();
    for (int i = 0; i < rounds; ++i) {
        step(i);
        if (i % 50 == 0) bench::Pump();
    }
    bench::Pump();
    const DWORD gdiAfter = harness::GdiObjectCount(), userAfter = harness::UserObjectCount();
    const bool same = gdiBefore == gdiAfter && userBefore == userAfter;
    std::printf("%-34s GDI %lu -> %lu, USER %lu -> %lu: %s\n", name, gdiBefore, gdiAfter, userBefore, userAfter,
                same ? "unchanged" : "CHANGED");
    return same;
}

}  // namespace

int main() {
    if (!bench::OpenDesk()) return 1;
    SelectFaderBar(3);
    bench::Pump();
    ListShownKeys();
    std::printf("desk: %zu keys shown, %d lamps with a key window\n", gShownKeys.size(), LampWindows());

    const int bareChildren = BuildFloorWindow();
    RECT desk;
    GetWindowRect(bench::DeskWindow(), &desk);
    std::vector<double> repaint, floor;
    if (FloorBesideDesk(desk)) {
        TimeAlternately(RepaintWholeDesk, RepaintFloorWindow, kRounds, &repaint, &floor);
    } else {
        ShowWindow(gFloorWindow, SW_HIDE);
        repaint = Time(RepaintWholeDesk, kRounds);
        ShowWindow(gFloorWindow, SW_SHOWNOACTIVATE);
        floor = Time(RepaintFloorWindow, kRounds);
        std::printf("(the screen has no room for the floor beside the desk: timed one after the other)\n");
    }
    bench::PrintFigures("full desk repaint", repaint, 8000);
    char floorName[64];
    std::snprintf(floorName, sizeof floorName, "  floor: %d bare windows", bareChildren);
    bench::PrintFigures(floorName, floor, 0);
    const double deskMedian = bench::Summarise(repaint).median, floorMedian = bench::Summarise(floor).median;
    auto core = Time(CoreDrawsTouchScreen, kRounds);
    bench::PrintFigures("  of which the core's touch screen", core, 0);
    const double share = deskMedian - floorMedian - bench::Summarise(core).median;
    std::printf("  host's own share: %.0f us without the core's drawing (aim <= 5000 us: %s), %.0f us with it,"
                " %.2f x the floor\n", share, share <= 5000 ? "met" : "missed", deskMedian - floorMedian,
                deskMedian / floorMedian);
    DestroyWindow(gFloorWindow);
    bench::Pump();
    auto picture = Time(RepaintDeskPicture, kRounds);
    bench::PrintFigures("  of which the desk picture", picture, 0);
    auto keys = Time(RepaintKeys, kRounds);
    bench::PrintFigures("  of which the shown keys", keys, 0);
    auto marks = Time(MarkKeysWithoutPainting, kRounds);
    bench::PrintFigures("    window system alone", marks, 0);
    auto lamps = Time(RefreshAllLamps, kRounds);
    bench::PrintFigures("refresh of all 256 lamps", lamps, 2000);
    auto changes = Time(ChangeAllLamps, kRounds);
    bench::PrintFigures("  with every lamp changing", changes, 2000);

    auto bars = Time([] { static int i; SwitchWithoutPulse(1 + i++ % 6); }, kRounds);
    bench::PrintFigures("one bar switch", bars, 0);
    auto painted = Time([] { static int i; SwitchAndPaint(1 + i++ % 6); }, kRounds);
    bench::PrintFigures("  until the desk shows it", painted, 0);
    bool steady = CountsStayPut("1000 bar switches", kBarLeakRounds, [](int i) { SwitchWithoutPulse(1 + i % 6); });
    steady &= CountsStayPut("10000 lamp refreshes", kLeakRounds, [](int) { RefreshAllLamps(); });

    bench::CloseDesk();
    return steady ? 0 : 2;
}
