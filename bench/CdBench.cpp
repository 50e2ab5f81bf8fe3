// Figures of the CD player panel on a simulated drive that plays: one
// position refresh (under the CD lock, as the core's poll asks for it) and
// one repaint of the time display. A 500 ms poll must never cost a frame.
#include <cstdio>
#include <vector>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "bench/BenchDesk.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "desk/KeyWnd.h"
#include "tests/harness/SimCdDrive.h"

namespace {

constexpr int kRounds = 300;

template <typename Step>
std::vector<double> Time(Step step) {
    std::vector<double> samples;
    samples.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        const double start = bench::NowMicroseconds();
        step();
        samples.push_back(bench::NowMicroseconds() - start);
        bench::Pump();
    }
    return samples;
}

}  // namespace

int main() {
    if (!bench::OpenDesk()) return 1;
    DisableCDPlayer = 0;
    gCdPlayerShown = 1;
    harness::SimCdDrive drive = harness::SimCdDrive::AudioDisc({200, 200, 200, 200});
    drive.Install();
    if (!CreateCDPanel(bench::DeskWindow())) {
        std::fprintf(stderr, "cd_bench: the panel did not open the simulated drive\n");
        return 1;
    }
    SelectFaderBar(6);
    gCdDevice.Play();
    bench::Pump();
    HWND display = hCDDisplayWnd;

    auto refresh = Time([&] {
        drive.Advance(40);
        RefreshPosition(true);
    });
    bench::PrintFigures("CD position refresh", refresh, 1000);
    auto poll = Time([&] {
        drive.Advance(40);
        SendMessageA(display, kCdPositionPoll, 0, 0);
    });
    bench::PrintFigures("  the core's poll with it", poll, 1000);
    auto repaint = Time([&] {
        RedrawWindow(display, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    });
    bench::PrintFigures("CD time display repaint", repaint, 1000);

    gCdDevice.Close();
    drive.Remove();
    DisableCDPlayer = 1;
    bench::CloseDesk();
    return 0;
}
