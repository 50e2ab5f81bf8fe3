// A disc of audio files on a simulated file player: the CD device and the
// panel drive it exactly as a disc, across the files' boundaries.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>

#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/CdVolume.h"
#include "cdplayer/FileDisc.h"
#include "desk/Tooltips.h"
#include "mainwindow/Placement.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/SimAudioFiles.h"
#include "tests/harness/SimCdDrive.h"

namespace {

using harness::gFiles;

class FileDiscTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        DisableCDPlayer = 0;
        cd_mode = 0;
        gPlayMode = kCdPlayAll;
        ResetCdPanel();
        gFiles = harness::SimAudioFiles{};
        gFiles.lengths = {{L"C:\\m\\1.wav", 3000}, {L"C:\\m\\2.mp3", 2000}, {L"C:\\m\\3.wav", 4000}};
        gFiles.waveOnly = {L"C:\\m\\3.wav"};
        gFiles.Install();
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
// times count on across the boundary. The volume fader's setting follows
// into each file the media player reads; the wave device takes the rest.
TEST_F(FileDiscTest, PlayAllRunsOnAcrossFilesAndPublishesTheDiscsPosition) {
    ASSERT_EQ(1, gCdDiscPresent);
    ASSERT_EQ(3u, gCdDevice.TrackListSize());
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdElapsedDisc, 0);
    Press(kCdPlay);
    ASSERT_EQ(2, cd_mode);
    SetCdVolume(32768);
    EXPECT_EQ(L"mpegvideo", gFiles.Playing()->type);
    EXPECT_EQ(500u, gFiles.Playing()->volume);
    gFiles.Advance(2500);
    Poll();
    EXPECT_EQ((std::vector<int>{1, 0, 2, 37}), Published());
    gFiles.Advance(600);  // the first file ends; its notice is still queued
    Poll();
    EXPECT_EQ(2, cd_mode) << "a false run-out between two files";
    EXPECT_EQ((std::vector<int>{2, 0, 3, 0}), Published());
    EXPECT_EQ(500u, gFiles.Playing()->volume) << "the next file lost the volume";
    harness::PumpUntilIdle();
    gFiles.Advance(1000);
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ((std::vector<int>{2, 0, 4, 0}), Published());
    gFiles.Advance(1000);  // the second file ends; its notice comes first
    harness::PumpUntilIdle();
    Poll();
    EXPECT_EQ((std::vector<int>{3, 0, 5, 0}), Published());
    EXPECT_EQ(L"waveaudio", gFiles.Playing()->type);
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

// Dropped as the shell drops: a DROPFILES block of wide paths.
HGLOBAL DropOf(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& path : paths) chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* at = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) at += wcslen(wcscpy(at, path.c_str())) + 1;
    GlobalUnlock(memory);
    return memory;
}

// A folder dropped on the panel of a desk with a CD drive: its files are the
// disc (one message names the empty one), the choice is stored and comes
// back at the next start; Eject goes back to the drive and forgets it; a
// folder with nothing playable is "No Disc" with its own message.
TEST_F(FileDiscTest, ADroppedFolderIsTheDiscUntilEjectedAndComesBackAtTheStart) {
    UnloadFileDisc();
    SetCdDriveCalls(nullptr);
    harness::SimCdDrive drive = harness::SimCdDrive::AudioDisc({30, 30});
    drive.Install();
    ReopenCdDrive("D:");
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"knt_files_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring files[] = {dir + L"10 b.wav", dir + L"2 a.mp3", dir + L"3 empty.wav"};
    for (const std::wstring& file : files) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (file != files[2]) WriteFile(h, "RIFF", 4, &written, nullptr);
        CloseHandle(h);
        gFiles.lengths[file] = 5000;
    }
    HWND status = GetDlgItem(main_, kFirstCdPanelId + kCdStatusDisplay);
    {
        harness::MessageBoxCapture boxes;
        SendMessageW(status, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({dir})), 0);
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_NE(std::string::npos, boxes.Boxes()[0].text.find("3 empty.wav")) << boxes.Boxes()[0].text;
        EXPECT_EQ(main_, boxes.Boxes()[0].owner);
    }
    EXPECT_TRUE(FileDiscLoaded());
    EXPECT_EQ(2u, gCdDevice.TrackListSize());
    EXPECT_EQ(1, gCdDiscPresent);
    const char* tip = TooltipTextFor(kFirstCdPanelId + kCdStatusDisplay);
    ASSERT_NE(nullptr, tip);
    EXPECT_NE(std::string::npos, std::string(tip).find("knt_files_")) << tip;
    ResetCdPanel();
    UnloadFileDisc();
    SetCdDriveCalls(nullptr);
    drive.Install();
    RestoreCdFileSource();
    ASSERT_TRUE(FileDiscLoaded()) << "the stored folder did not come back";
    Press(kCdPlay);
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(1u, gFiles.devices.size());
    EXPECT_EQ(files[1], gFiles.devices.begin()->second.path) << "\"2 a\" is the first track";

    Press(kCdEject);
    EXPECT_FALSE(FileDiscLoaded());
    EXPECT_TRUE(drive.DeviceOpen()) << "the drive is back";
    EXPECT_EQ(2u, gCdDevice.TrackListSize());
    RestoreCdFileSource();
    EXPECT_FALSE(FileDiscLoaded()) << "the ejected choice came back";

    for (const std::wstring& file : files) DeleteFileW(file.c_str());
    harness::MessageBoxCapture boxes;
    SendMessageW(status, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({dir})), 0);
    EXPECT_FALSE(FileDiscLoaded());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(0u, boxes.Boxes()[0].text.rfind("No playable audio", 0)) << boxes.Boxes()[0].text;
    RemoveDirectoryW(dir.c_str());
}

}  // namespace
