// Figures of the input path: how long the host takes from a key-down message
// to the core's call (the pause the main window makes after a key-down comes
// after that call and is not counted), and how long one fader mouse move takes.
#include <cstdio>
#include <vector>

#include "app/CoreSession.h"
#include "bench/BenchDesk.h"
#include "input/FaderWnd.h"
#include "standins/StandinControl.h"

namespace {

constexpr int kKeyRounds = 300;
constexpr int kMoveRounds = 3000;

double TicksToMicroseconds(LONG64 ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(ticks) * 1e6 / double(frequency.QuadPart);
}

// One key-down and key-up of vk; the sample ends at the core call the
// key-down made.
std::vector<double> TimeKeyDowns(WPARAM vk) {
    HWND desk = bench::DeskWindow();
    std::vector<double> samples;
    for (int i = 0; i < kKeyRounds; ++i) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        SendMessageA(desk, WM_KEYDOWN, vk, 1);
        const LONG64 reached = StandinLastCallTicks();
        if (reached > start.QuadPart) samples.push_back(TicksToMicroseconds(reached - start.QuadPart));
        SendMessageA(desk, WM_KEYUP, vk, LPARAM(0xC0000001u));
        bench::Pump();
    }
    return samples;
}

std::vector<double> TimeFaderMoves(int fader) {
    HWND wnd = FaderWindow(fader);
    std::vector<double> samples;
    if (!wnd) return samples;
    RECT client;
    GetClientRect(wnd, &client);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right / 2, client.bottom - 10));
    for (int i = 0; i < kMoveRounds; ++i) {
        const int y = (i * 7) % client.bottom;
        const double start = bench::NowMicroseconds();
        SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right / 2, y));
        samples.push_back(bench::NowMicroseconds() - start);
        if (i % 20 == 0) bench::Pump();
    }
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(client.right / 2, 0));
    return samples;
}

}  // namespace

int main() {
    if (!bench::OpenDesk()) return 1;

    gShortcutMode = 0;
    auto plain = TimeKeyDowns('A');
    bench::PrintFigures("key-down to the core (plain key)", plain, 50);
    gShortcutMode = 1;
    auto shortcut = TimeKeyDowns('A');
    bench::PrintFigures("key-down to the core (shortcut)", shortcut, 50);
    gShortcutMode = 0;

    auto moves = TimeFaderMoves(0);
    bench::PrintFigures("fader mouse move", moves, 50);

    bench::CloseDesk();
    return plain.empty() || shortcut.empty() || moves.empty() ? 2 : 0;
}
