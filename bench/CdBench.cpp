// Figures of the CD player panel on a simulated drive that plays: one
// position refresh (under the CD lock, as the core's poll asks for it) and
// one repaint of the time display. A 500 ms poll must never cost a frame.
// Then the same poll on a disc of files, and how far the published disc
// position strays from the files' own playback clock over a minute of play:
// on the simulated player, then on two generated WAV files played through
// the system's MCI and sound server (scripts/bench.sh starts one).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "bench/BenchDesk.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/FileDisc.h"
#include "mainwindow/DeskView.h"
#include "tests/harness/SimAudioFiles.h"
#include "tests/harness/WavFile.h"
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

// Three files of 25 s on the simulated player, played through the file
// disc from its start in 40 ms steps, each followed by the core's poll.
void FileDiscFigures(HWND display) {
    harness::gFiles.lengths = {{L"C:\\a\\1.wav", 25000}, {L"C:\\a\\2.mp3", 25000}, {L"C:\\a\\3.wav", 25000}};
    harness::gFiles.Install();
    std::vector<std::wstring> skipped;
    if (!LoadFileDisc({L"C:\\a\\1.wav", L"C:\\a\\2.mp3", L"C:\\a\\3.wav"}, &skipped)) return;
    SetCdDriveCalls(&FileDiscCalls());
    ReopenCdDrive("D:");
    SendMessageA(display, WM_COMMAND, kCdElapsedDisc, 0);
    gCdDevice.Play();
    auto poll = Time([&] {
        harness::gFiles.Advance(40);
        SendMessageA(display, kCdPositionPoll, 0, 0);
    });
    bench::PrintFigures("  the poll on a disc of files", poll, 500);
    // The playback clock: the playing file's start on the disc plus its position.
    int worst = 0;
    for (int step = 0; step < 60000 / 40; ++step) {
        harness::gFiles.Advance(40);
        SendMessageA(display, kCdPositionPoll, 0, 0);
        bench::Pump();
        const harness::SimAudioFiles::Device* file = harness::gFiles.Playing();
        if (!file) continue;
        const int index = file->path[file->path.size() - 5] - L'1';
        const int clock = index * 25 * 75 + int(file->at * 75 / 1000);
        const int published = (cd_min * 60 + cd_sek) * 75 + cd_frame;
        worst = std::max(worst, std::abs(clock - published));
    }
    std::printf("%-44s %6d frames   (aim: at most 1)\n", "  drift vs the files' clock (simulated), 60 s", worst);
    gCdDevice.Close();
    UnloadFileDisc();
    SetCdDriveCalls(nullptr);
    SetAudioFileCalls(nullptr);
}

// ---- real playback

// The real calls, remembering the device of the file last opened: the bench
// asks that device for its own clock right after each poll.
MCIDEVICEID gLastOpened;
std::wstring gLastPath;
MCIERROR RecordingSend(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    const MCIERROR error = mciSendCommandW(device, message, flags, params);
    if (message == MCI_OPEN && !error) {
        gLastOpened = reinterpret_cast<MCI_OPEN_PARMSW*>(params)->wDeviceID;
        gLastPath = reinterpret_cast<MCI_OPEN_PARMSW*>(params)->lpstrElementName;
    }
    return error;
}
const AudioFileCalls kRecording = {RecordingSend};

// False once the file is closed: the disc ran out at this poll.
bool FileClockMs(MCIDEVICEID file, DWORD* ms) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (mciSendCommandW(file, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, DWORD_PTR(&status))) return false;
    *ms = DWORD(status.dwReturn);
    return true;
}

// Two files of 30 s, so the minute crosses a boundary; the poll comes every
// 40 ms of real time, as often as the core's display would like it.
void RealFileDiscFigures(HWND display) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring files[] = {std::wstring(folder) + L"knt_bench_1.wav", std::wstring(folder) + L"knt_bench_2.wav"};
    for (const std::wstring& file : files)
        if (!harness::WriteToneWav(file, 30, 440)) return;
    SetAudioFileCalls(&kRecording);
    std::vector<std::wstring> skipped;
    const char* name = "  drift vs the files' clock (played), 60 s";
    if (LoadFileDisc({files[0], files[1]}, &skipped)) {
        SetCdDriveCalls(&FileDiscCalls());
        ReopenCdDrive("D:");
        SendMessageA(display, WM_COMMAND, kCdElapsedDisc, 0);
        gCdDevice.Play();
        int worst = 0, moved = 0;
        std::vector<double> polls;
        const ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < 61000 && cd_mode == 2) {
            Sleep(40);
            bench::Pump();
            const double before = bench::NowMicroseconds();
            SendMessageA(display, kCdPositionPoll, 0, 0);
            polls.push_back(bench::NowMicroseconds() - before);
            DWORD clock;
            if (!FileClockMs(gLastOpened, &clock)) continue;
            const int offset = gLastPath == files[1] ? 30 * 75 : 0;
            const int published = (cd_min * 60 + cd_sek) * 75 + cd_frame;
            moved = std::max(moved, published);
            worst = std::max(worst, std::abs(offset + int(clock * 75 / 1000) - published));
        }
        if (moved == 0) {
            std::printf("%-44s no playback: is a sound server running?\n", name);
        } else {
            bench::PrintFigures("  the poll on played files", polls, 500);
            std::printf("%-44s %6d frames   (aim: at most 1; %d s played)\n", name, worst, moved / 75);
        }
        gCdDevice.Close();
    }
    UnloadFileDisc();
    SetCdDriveCalls(nullptr);
    SetAudioFileCalls(nullptr);
    for (const std::wstring& file : files) DeleteFileW(file.c_str());
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
    FileDiscFigures(display);
    RealFileDiscFigures(display);
    DisableCDPlayer = 1;
    bench::CloseDesk();
    return 0;
}
