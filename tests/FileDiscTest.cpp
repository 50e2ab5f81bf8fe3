// A disc of audio files on a simulated file player: the CD device and the
// panel drive it exactly as a disc, across the files' boundaries.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/FileDisc.h"
#include "mainwindow/Placement.h"
#include "tests/harness/DeskFixture.h"

namespace {

// Files by name and length in ms; time passes only when the test says so.
struct SimFiles {
    struct Device { std::wstring path; DWORD at = 0, to = 0; bool playing = false; HWND notify = nullptr; };
    std::map<std::wstring, DWORD> lengths;
    std::map<MCIDEVICEID, Device> devices;
    MCIDEVICEID next = 100;

    MCIERROR Send(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR params) {
        if (message == MCI_OPEN) {
            auto* open = reinterpret_cast<MCI_OPEN_PARMSW*>(params);
            if (!lengths.count(open->lpstrElementName)) return MCIERR_FILE_NOT_FOUND;
            open->wDeviceID = next;
            devices[next++].path = open->lpstrElementName;
            return 0;
        }
        if (!devices.count(id)) return MCIERR_INVALID_DEVICE_ID;
        Device& d = devices[id];
        const DWORD length = lengths[d.path];
        switch (message) {
        case MCI_CLOSE: devices.erase(id); return 0;
        case MCI_STATUS: {
            auto* status = reinterpret_cast<MCI_STATUS_PARMS*>(params);
            status->dwReturn = status->dwItem == MCI_STATUS_LENGTH     ? length
                               : status->dwItem == MCI_STATUS_POSITION ? d.at
                               : d.playing                             ? MCI_MODE_PLAY
                                                                       : MCI_MODE_STOP;
            return 0;
        }
        case MCI_PLAY: {
            auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(params);
            d.at = (flags & MCI_FROM) ? play->dwFrom : d.at;
            d.to = (flags & MCI_TO) ? play->dwTo : length;
            d.notify = (flags & MCI_NOTIFY) ? reinterpret_cast<HWND>(play->dwCallback) : nullptr;
            d.playing = true;
            return 0;
        }
        case MCI_PAUSE: d.playing = false; return 0;
        case MCI_RESUME: d.playing = true; return 0;
        }
        return 0;
    }
    void Advance(DWORD ms) {
        for (auto& [id, d] : devices) {
            if (!d.playing) continue;
            d.at = std::min(d.at + ms, d.to);
            if (d.at < d.to) continue;
            d.playing = false;
            if (d.notify) PostMessageW(d.notify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, id);
        }
    }
} gFiles;

MCIERROR SimSend(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    return gFiles.Send(id, message, flags, params);
}
const AudioFileCalls kSimFiles = {SimSend};

class FileDiscTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        DisableCDPlayer = 0;
        cd_mode = 0;
        gPlayMode = kCdPlayAll;
        ResetCdPanel();
        gFiles = SimFiles{};
        gFiles.lengths = {{L"C:\\m\\1.wav", 3000}, {L"C:\\m\\2.mp3", 2000}, {L"C:\\m\\3.wav", 4000}};
        SetAudioFileCalls(&kSimFiles);
        std::vector<std::wstring> skipped;
        ASSERT_TRUE(LoadFileDisc({L"C:\\m\\1.wav", L"C:\\m\\gone.wav", L"C:\\m\\2.mp3", L"C:\\m\\3.wav"}, &skipped));
        EXPECT_EQ(std::vector<std::wstring>{L"C:\\m\\gone.wav"}, skipped);
        SetCdDriveCalls(&FileDiscCalls());
        CreateCDPanel(main_);
        ReopenCdDrive("D:");
    }
    void TearDown() override {
        gCdDevice.Close();
        if (IsWindow(main_)) DestroyWindow(main_);
        harness::PumpUntilIdle();
        UnloadFileDisc();
        SetCdDriveCalls(nullptr);
        SetAudioFileCalls(nullptr);
        ResetCdPanel();
        cd_mode = 0;
        DisableCDPlayer = 1;
        DeskTest::TearDown();
    }
    void Press(int index) {
        HWND wnd = GetDlgItem(main_, kFirstCdPanelId + index);
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    }
    void Poll() { SendMessageA(hCDDisplayWnd, kCdPositionPoll, 0, 0); }
    std::vector<int> Published() { return {cd_track, cd_min, cd_sek, cd_frame}; }
};

// Play All runs from one file into the next with no run-out between them,
// whichever comes first, the poll or the file's own end notice; the disc
// times count on across the boundary.
TEST_F(FileDiscTest, PlayAllRunsOnAcrossFilesAndPublishesTheDiscsPosition) {
    ASSERT_EQ(1, gCdDiscPresent);
    ASSERT_EQ(3u, gCdDevice.TrackListSize());
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdElapsedDisc, 0);
    Press(kCdPlay);
    ASSERT_EQ(2, cd_mode);
    gFiles.Advance(2500);
    Poll();
    EXPECT_EQ((std::vector<int>{1, 0, 2, 37}), Published());
    gFiles.Advance(600);  // the first file ends; its notice is still queued
    Poll();
    EXPECT_EQ(2, cd_mode) << "a false run-out between two files";
    EXPECT_EQ((std::vector<int>{2, 0, 3, 0}), Published());
    harness::PumpUntilIdle();
    gFiles.Advance(1000);
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ((std::vector<int>{2, 0, 4, 0}), Published());
    gFiles.Advance(1000);  // the second file ends; its notice comes first
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ((std::vector<int>{3, 0, 5, 0}), Published());
    gFiles.Advance(4000);
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ(1, cd_mode) << "the disc ran out";
    EXPECT_EQ(1, gCdCurrentTrack);
}

// "Repeat Track" on the second file: its end comes back to its own start and
// plays it again; wind then crosses into the third file.
TEST_F(FileDiscTest, RepeatTrackAndWindWorkOnFiles) {
    SendMessageA(GetDlgItem(main_, kFirstCdPanelId + kCdPlayModeDisplay), WM_COMMAND, kCdRepeatTrack, 0);
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdTrackCommandBase + 2, 0);
    Press(kCdPlay);
    gFiles.Advance(2000);
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ((std::vector<int>{2, 0, 0, 0}), Published());
    gFiles.Advance(1500);
    Poll();
    EXPECT_EQ((std::vector<int>{2, 0, 1, 37}), Published());
    SendMessageA(GetDlgItem(main_, kFirstCdPanelId + kCdPlayModeDisplay), WM_COMMAND, kCdPlayAll, 0);
    HWND forward = GetDlgItem(main_, kFirstCdPanelId + kCdFastForward);
    SendMessageA(forward, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    CdPanelTimerProc(hCDDisplayWnd, WM_TIMER, kCdWindForwardTimer, 0);
    SendMessageA(forward, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    Poll();
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(3, cd_track) << "one second on from 4.5 s is in the third file";
}

}  // namespace
