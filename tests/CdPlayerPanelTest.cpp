// The CD player panel on the simulated drive: the published timecode, the
// track menu of a disc with a data track, winding, run-out and track end,
// Previous Track, and the stored choices.
#include <gtest/gtest.h>

#include <dbt.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/FileDisc.h"
#include "desk/DrawingResources.h"
#include "input/FaderWnd.h"
#include "mainwindow/Placement.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/SimAudioFiles.h"
#include "tests/harness/SimCdDrive.h"

namespace {

using harness::SimCdDrive;
using Lines = std::vector<std::string>;

DWORD Packed(int minutes, int seconds, int frames) { return DWORD(minutes) << 16 | DWORD(seconds) << 8 | DWORD(frames); }
int FramesOf(const CdTimes& t) { return (t.minutes * 60 + t.seconds) * 75 + t.frames; }
std::string Shown(CdClock clock) {
    char buf[16];
    FormatCdClock(clock, buf, sizeof buf);
    return buf;
}

// A track starting 5:32:40 on a disc whose first track starts 0:02:00.
const DWORD kStart = Packed(5, 32, 40), kDiscStart = Packed(0, 2, 0), kLength = Packed(4, 0, 0);
const DWORD kDiscMs = 40 * 60 * 1000;

TEST(CdTimecode, PublishedPositionAdvancesFrameByFrameAcrossAMinuteInEveryMode) {
    for (int mode = kCdElapsedTrack; mode <= kCdRemainingDisc; ++mode) {
        int previous = -1;
        // 0:58:00 to 1:02:00 within the track, one frame at a time.
        for (int at = 58 * 75; at <= 62 * 75; ++at) {
            const CdTimes t = ComputeCdTimes(mode, BYTE(at / 75 / 60), BYTE(at / 75 % 60), BYTE(at % 75), kStart,
                                             kDiscStart, kLength, kDiscMs);
            ASSERT_LT(t.seconds, 60);
            ASSERT_LT(t.frames, 75);
            if (previous >= 0) {
                ASSERT_EQ(previous + 1, FramesOf(t)) << "mode " << mode << " frame " << at;
            }
            previous = FramesOf(t);
        }
    }
}

TEST(CdTimecode, TrackModesPublishTheTrackTimeAndDiscModesTheDiscTimeLessTheLeadInOnce) {
    // 0:59:74 into the track: on the disc 5:32:40 + 0:59:74 - 0:02:00 = 6:30:39.
    CdTimes t = ComputeCdTimes(kCdElapsedTrack, 0, 59, 74, kStart, kDiscStart, kLength, kDiscMs);
    EXPECT_EQ(0, t.minutes);
    EXPECT_EQ(59, t.seconds);
    EXPECT_EQ(74, t.frames);
    EXPECT_EQ("00:59", Shown(t.first));
    EXPECT_EQ("06:30", Shown(t.second));

    t = ComputeCdTimes(kCdElapsedDisc, 0, 59, 74, kStart, kDiscStart, kLength, kDiscMs);
    EXPECT_EQ(6, t.minutes);
    EXPECT_EQ(30, t.seconds);
    EXPECT_EQ(39, t.frames);
    EXPECT_EQ("06:30", Shown(t.first));
    EXPECT_EQ("00:59", Shown(t.second));

    t = ComputeCdTimes(kCdRemainingDisc, 0, 59, 74, kStart, kDiscStart, kLength, kDiscMs);
    EXPECT_EQ("33:30", Shown(t.first));
    EXPECT_EQ("03:01", Shown(t.second));
    t = ComputeCdTimes(kCdRemainingTrack, 0, 59, 74, kStart, kDiscStart, kLength, kDiscMs);
    EXPECT_EQ("03:01", Shown(t.first));
    EXPECT_EQ("33:30", Shown(t.second));
}

TEST(CdTimecode, RemainingTimePastTheEndIsDrawnNegative) {
    const CdTimes t = ComputeCdTimes(kCdRemainingTrack, 4, 3, 0, kStart, kDiscStart, kLength, kDiscMs);
    EXPECT_EQ(0, t.first.minutes);
    EXPECT_EQ(-3, t.first.seconds);
    EXPECT_EQ("00:-3", Shown(t.first));
    EXPECT_EQ("-01:-3", Shown(ComputeCdTimes(kCdRemainingTrack, 5, 3, 0, kStart, kDiscStart, kLength, kDiscMs).first));
}

class CdPlayerPanelTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        DisableCDPlayer = 0;
        cd_mode = 0;
        cd_trigger_timecode = 0;
        gPlayMode = kCdPlayAll;
        ResetCdPanel();
    }
    void TearDown() override {
        gCdDevice.Close();
        if (IsWindow(main_)) DestroyWindow(main_);
        harness::PumpUntilIdle();
        drive_.reset();
        ResetCdPanel();
        cd_mode = 0;
        cd_trigger_timecode = 0;
        DisableCDPlayer = 1;
        DeskTest::TearDown();
    }
    SimCdDrive& Open(SimCdDrive drive) {
        drive_ = std::make_unique<SimCdDrive>(std::move(drive));
        drive_->Install();
        EXPECT_TRUE(CreateCDPanel(main_));
        ShowWindow(main_, SW_SHOW);
        for (int i = 0; i < kCdPanelWindowCount; ++i) ShowWindow(Panel(i), SW_SHOW);
        harness::PumpUntilIdle();
        drive_->ClearCalls();
        return *drive_;
    }
    HWND Panel(int index) const { return GetDlgItem(main_, kFirstCdPanelId + index); }
    void Click(int index, int x = 20, int y = 8) {
        SendMessageA(Panel(index), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(Panel(index), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    bool Called(const std::string& line) const {
        const Lines& calls = drive_->Calls();
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    }
    void Wind(UINT_PTR timer, int ticks) {
        for (int i = 0; i < ticks; ++i) CdPanelTimerProc(hCDDisplayWnd, WM_TIMER, timer, 0);
    }
    // A real pointer click in the middle of a panel window.
    void PointerClick(int index) {
        RECT r;
        GetWindowRect(Panel(index), &r);
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        for (DWORD flags : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
            INPUT in = {};
            in.type = INPUT_MOUSE;
            in.mi.dx = LONG(x * 65535LL / (width - 1));
            in.mi.dy = LONG(y * 65535LL / (height - 1));
            in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
            SendInput(1, &in, sizeof in);
            harness::PumpUntilIdle();
        }
    }
    // The drawn pixels of a window's rectangle, as they are on the screen.
    std::vector<COLORREF> Pixels(int index, RECT area) {
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(Panel(index));
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(Panel(index), dc);
        return pixels;
    }
    std::unique_ptr<SimCdDrive> drive_;
};

TEST_F(CdPlayerPanelTest, TheTrackMenuOfADataTrackDiscIsNumberedByTrackAndSeeksThere) {
    Open(SimCdDrive::DataThenAudio());
    ASSERT_EQ(kCdElapsedTrack, gCdTimeMode);
    HMENU menu = BuildCdTrackMenu();
    // Nine tracks, a separator and the audio files item.
    ASSERT_EQ(11, GetMenuItemCount(menu));
    EXPECT_EQ(UINT(kCdOpenAudioFilesCommand), GetMenuItemID(menu, 10));
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Track  2  [03:14]", text);
    GetMenuStringA(menu, 8, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Track 10  [04:10]", text);
    HMENU first = GetSubMenu(menu, 0), last = GetSubMenu(menu, 8);
    EXPECT_EQ(32787u, GetMenuItemID(first, 0));
    EXPECT_EQ(32795u, GetMenuItemID(last, 0));
    GetMenuStringA(last, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Goto Track", text);
    DestroyMenu(menu);

    SendMessageA(hCDDisplayWnd, WM_COMMAND, 32795, 0);
    EXPECT_TRUE(Called("seek to t10 00:00:00"));
    EXPECT_EQ(10, gCdCurrentTrack);
    EXPECT_EQ(10, cd_track);
}

TEST_F(CdPlayerPanelTest, FastForwardHeldHalvesItsPeriodAndReleaseOrCaptureLossStopsIt) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({300, 300}));
    SendMessageA(Panel(kCdFastForward), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    ASSERT_EQ(kCdWindForwardTimer, gCdWindTimer);
    Wind(kCdWindForwardTimer, 10);
    EXPECT_EQ(100, gCdWindPeriod);
    Wind(kCdWindForwardTimer, 10);
    EXPECT_EQ(50, gCdWindPeriod);
    Wind(kCdWindForwardTimer, 40);
    EXPECT_EQ(3, gCdWindPeriod) << "200 halved down to 3";
    EXPECT_EQ(drive.TrackStart(1) + 60 * 75, drive.Position()) << "sixty one-second steps";
    EXPECT_EQ(1, cd_min);
    SendMessageA(Panel(kCdFastForward), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(0u, gCdWindTimer);
    EXPECT_EQ(200, gCdWindPeriod);
    EXPECT_FALSE(KillTimer(hCDDisplayWnd, kCdWindForwardTimer)) << "the timer is gone";

    // The same press, but another window takes the capture before the release.
    SendMessageA(Panel(kCdFastForward), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    ASSERT_EQ(Panel(kCdFastForward), GetCapture());
    ASSERT_EQ(kCdWindForwardTimer, gCdWindTimer);
    SetCapture(Panel(kCdStop));
    EXPECT_EQ(0u, gCdWindTimer);
    EXPECT_FALSE(KillTimer(hCDDisplayWnd, kCdWindForwardTimer));
    ReleaseCapture();
}

TEST_F(CdPlayerPanelTest, WindingWhilePlayingPausesThenPlaysOnFromTheNewPlace) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({300, 300}));
    Click(kCdPlay);
    ASSERT_EQ(2, cd_mode);
    drive.ClearCalls();
    SendMessageA(Panel(kCdFastForward), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_EQ(3, cd_mode);
    Wind(kCdWindForwardTimer, 3);
    SendMessageA(Panel(kCdFastForward), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(2, cd_mode);
    EXPECT_TRUE(Called("play from t1 00:03:00"));
}

TEST_F(CdPlayerPanelTest, FastBackwardWithinTheFirstSecondGoesToTheStart) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({300, 300}));
    drive.SetPosition(drive.TrackStart(1) + 30);  // 0.4 s
    SendMessageA(Panel(kCdFastBackward), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    Wind(kCdWindBackwardTimer, 1);
    SendMessageA(Panel(kCdFastBackward), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_TRUE(Called("seek to 0ms"));
    EXPECT_EQ(drive.TrackStart(1), drive.Position());
    EXPECT_EQ(1, gCdCurrentTrack);
}

TEST_F(CdPlayerPanelTest, RunOutStopsAtTrackOneAndRepeatAllPlaysAgain) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({10, 10}));
    Click(kCdPlay);
    ASSERT_EQ(2, cd_mode);
    drive.Advance(25000);
    ASSERT_EQ(MCI_MODE_STOP, drive.Mode());
    SendMessageA(hCDDisplayWnd, kCdPositionPoll, 0, 0);
    harness::PumpUntilIdle();
    EXPECT_EQ(1, cd_mode) << "Play All stays stopped";
    EXPECT_EQ(drive.TrackStart(1), drive.Position());
    EXPECT_EQ(1, gCdCurrentTrack);

    SendMessageA(Panel(kCdPlayModeDisplay), WM_COMMAND, kCdRepeatAll, 0);
    ASSERT_EQ(kCdRepeatAll, gPlayMode);
    Click(kCdPlay);
    drive.Advance(25000);
    SendMessageA(hCDDisplayWnd, kCdPositionPoll, 0, 0);
    harness::PumpUntilIdle();
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(MCI_MODE_PLAY, drive.Mode());
    EXPECT_EQ(drive.TrackStart(1), drive.Position());
}

TEST_F(CdPlayerPanelTest, TrackEndStopsAtTheTrackInPlayTrackAndRepeatsInRepeatTrack) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({10, 10, 10}));
    SendMessageA(Panel(kCdPlayModeDisplay), WM_COMMAND, kCdPlayTrack, 0);
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdTrackCommandBase + 2, 0);
    Click(kCdPlay);
    EXPECT_TRUE(Called("play from t2 00:00:00 to t3 00:00:00 notify"));
    drive.Advance(11000);
    harness::PumpUntilIdle();
    EXPECT_EQ(1, cd_mode);
    EXPECT_EQ(drive.TrackStart(2), drive.Position());

    // A notice of some other device changes nothing.
    drive.ClearCalls();
    SendMessageA(hCDDisplayWnd, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, SimCdDrive::kDeviceId + 1);
    EXPECT_TRUE(drive.Calls().empty());

    SendMessageA(Panel(kCdPlayModeDisplay), WM_COMMAND, kCdRepeatTrack, 0);
    Click(kCdPlay);
    drive.Advance(11000);
    harness::PumpUntilIdle();
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(MCI_MODE_PLAY, drive.Mode());
    EXPECT_EQ(drive.TrackStart(2), drive.Position());
}

TEST_F(CdPlayerPanelTest, PreviousTrackComparesWholeSeconds) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({100, 100, 100, 100}));
    drive.SetPosition(drive.TrackStart(4) + 63 * 75);
    RefreshPosition(true);
    ASSERT_EQ(4, gCdCurrentTrack);
    drive.ClearCalls();
    Click(kCdPrevious);
    EXPECT_TRUE(Called("seek to t4 00:00:00")) << "1:03 is past the start";
    drive.SetPosition(drive.TrackStart(4) + 3 * 75);
    RefreshPosition(true);
    drive.ClearCalls();
    Click(kCdPrevious);
    EXPECT_TRUE(Called("seek to t3 00:00:00"));
    EXPECT_EQ(3, gCdCurrentTrack);
}

TEST_F(CdPlayerPanelTest, PlayPauseStopChangeTheStateAndChoicesAreStored) {
    Open(SimCdDrive::AudioDisc({100, 100}));
    EXPECT_STREQ("Ready", CdStatusText());
    Click(kCdPlay);
    EXPECT_STREQ("Playing", CdStatusText());
    Click(kCdPause);
    EXPECT_STREQ("Pause", CdStatusText());
    Click(kCdStop);
    EXPECT_STREQ("Ready", CdStatusText());

    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdRemainingDisc, 0);
    DWORD stored = 0;
    EXPECT_TRUE(GetInt("time_display", &stored));
    EXPECT_EQ(DWORD(kCdRemainingDisc), stored);
    Click(kCdTriggerSwitch);
    EXPECT_EQ(1, cd_trigger_timecode);

    // A new panel reads the stored time mode.
    gCdDevice.Close();
    for (int i = 0; i < kCdPanelWindowCount; ++i) DestroyWindow(Panel(i));
    ResetCdPanel();
    ASSERT_EQ(kCdElapsedTrack, gCdTimeMode);
    EXPECT_TRUE(CreateCDPanel(main_));
    EXPECT_EQ(kCdRemainingDisc, gCdTimeMode);
}

TEST_F(CdPlayerPanelTest, PlayPauseAndStopClickedWithThePointerRedrawTheState) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({100, 100}));
    SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    harness::PumpUntilIdle();
    const RECT statusText = {30, 0, 170, 20}, playEdge = {0, 30, 55, 36};
    const auto readyStatus = Pixels(kCdStatusDisplay, statusText);
    const auto idlePlay = Pixels(kCdPlay, playEdge);

    PointerClick(kCdPlay);
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(MCI_MODE_PLAY, drive.Mode());
    const auto playingStatus = Pixels(kCdStatusDisplay, statusText);
    EXPECT_NE(readyStatus, playingStatus) << "\"Playing\" replaces \"Ready\"";
    EXPECT_NE(idlePlay, Pixels(kCdPlay, playEdge)) << "Play lit while playing";

    PointerClick(kCdPause);
    EXPECT_EQ(3, cd_mode);
    EXPECT_EQ(MCI_MODE_PAUSE, drive.Mode());
    const auto pausedStatus = Pixels(kCdStatusDisplay, statusText);
    EXPECT_NE(playingStatus, pausedStatus);
    EXPECT_EQ(idlePlay, Pixels(kCdPlay, playEdge));

    PointerClick(kCdStop);
    EXPECT_EQ(1, cd_mode);
    EXPECT_EQ(readyStatus, Pixels(kCdStatusDisplay, statusText));
}

// The demo core asks for the position while the player plays and journals
// what it reads; its test control asks at once.
TEST_F(CdPlayerPanelTest, TheCoreReadsThePublishedTimecodeWhileThePlayerRuns) {
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({100, 100}));
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdElapsedDisc, 0);
    SendMessageA(hCDDisplayWnd, WM_COMMAND, kCdTrackCommandBase + 2, 0);
    StartSession();
    auto poll = reinterpret_cast<StandinPollCdFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinPollCd")));
    ASSERT_NE(nullptr, poll);
    Click(kCdPlay);
    drive.Advance(3000);
    poll();
    // Track 2 starts 1:40 into the disc: 3 s in, the disc time is 1:43.
    EXPECT_TRUE(harness::SameSequence({"CdTimecode 2 1 43 0"}, harness::CoreCalls()));

    // The core's own poll runs only while the player plays, and again with
    // each play.
    for (const char* expected : {"CdTimecode 2 1 44 0", "CdTimecode 2 1 45 0"}) {
        harness::ClearJournal();
        drive.Advance(1000);
        Lines calls;
        for (int waited = 0; waited < 5000 && calls.empty(); waited += 100) {
            harness::PumpFor(100);
            calls = harness::CoreCalls();
        }
        EXPECT_TRUE(harness::SameSequence({expected}, calls)) << "the core's own poll";
        Click(kCdPause);
        harness::PumpFor(600);
        Click(kCdPlay);
    }
}

TEST_F(CdPlayerPanelTest, AnEmptyDriveShowsNoDiscAndTransportDoesNothing) {
    SimCdDrive& drive = Open(SimCdDrive::EmptyDrive());
    EXPECT_EQ(0, gCdDiscPresent);
    EXPECT_STREQ("No Disc", CdStatusText());
    Click(kCdPlay);
    Click(kCdNext);
    EXPECT_TRUE(drive.Calls().empty());
    EXPECT_NE(2, cd_mode);
}

// ---- a random walk over everything that meets in the player

// Short tracks, so time steps reach track ends and the disc's end often;
// with a data track first or audio alone.
std::vector<harness::SimCdTrack> WalkDisc(bool dataFirst) {
    std::vector<harness::SimCdTrack> disc;
    DWORD at = 150;
    for (int i = dataFirst ? 0 : 1, seconds[] = {40, 4, 7, 3, 5}; i < 5; at += disc.back().length, ++i)
        disc.push_back({int(disc.size()) + 1, !dataFirst || i > 0, at, DWORD(seconds[i]) * 75 + DWORD(i)});
    return disc;
}

struct HeldLock {
    HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BYTE before[4] = {}, after[4] = {};
};
// A core thread reading the position: it holds the lock a while, and the
// four bytes must not change under it.
DWORD WINAPI HoldCdLock(void* context) {
    auto* held = static_cast<HeldLock*>(context);
    EnterCriticalSection(&cd_criticalsection);
    held->before[0] = cd_track, held->before[1] = cd_min, held->before[2] = cd_sek, held->before[3] = cd_frame;
    SetEvent(held->locked);
    WaitForSingleObject(held->release, 2);
    held->after[0] = cd_track, held->after[1] = cd_min, held->after[2] = cd_sek, held->after[3] = cd_frame;
    LeaveCriticalSection(&cd_criticalsection);
    return 0;
}

class CdPlayerWalk : public CdPlayerPanelTest {
protected:
    unsigned seed_ = 20261210u;
    std::wstring folder_;
    std::mt19937 rng_;
    std::vector<std::string> steps_;
    int held_ = -1;
    bool failed_ = false;
    // The drive stopped by itself at the end of a play of this track (0: not).
    int ended_ = 0;
    bool endedNotify_ = false;

    int Pick(int n) { return int(rng_() % unsigned(n)); }
    void Check(bool ok, const std::string& what) {
        if (ok || failed_) return;
        failed_ = true;
        std::string trail;
        for (size_t i = steps_.size() > 80 ? steps_.size() - 80 : 0; i < steps_.size(); ++i)
            trail += "\n  " + std::to_string(i) + ": " + steps_[i];
        ADD_FAILURE() << what << " after step " << steps_.size() - 1 << " (KNT_CD_SEED=" << seed_ << "): drive mode "
                      << drive_->Mode() << " at " << drive_->Position() << ", cd_mode " << cd_mode << ", device "
                      << gCdDevice.IsOpen() << ", disc " << gCdDiscPresent << ", play mode " << gPlayMode
                      << "; the last steps:" << trail;
    }
    void Notice(UINT event) {
        DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << (drive_->Letter() - 'A'), DBTF_MEDIA};
        SendMessageA(main_, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }
    void Menu(int window, int command) {
        SendMessageA(Panel(window), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 8));
        SendMessageA(Panel(window), WM_COMMAND, command, 0);
        SendMessageA(Panel(window), WM_LBUTTONUP, 0, MAKELPARAM(50, 8));
    }
    int FirstAudio() const {
        for (const auto& t : drive_->Disc())
            if (t.audio) return t.number;
        return 0;
    }
    // The published position and shown time against the drive's own.
    void CheckPublished() {
        const harness::SimCdTrack* t = drive_->Readable() ? drive_->TrackAt(drive_->Position()) : nullptr;
        if (!t || !t->audio || !gCdDiscPresent || !gCdDevice.IsOpen()) return;
        const DWORD in = drive_->Position() - t->start, origin = drive_->TrackStart(FirstAudio());
        const bool disc = gCdTimeMode >= kCdElapsedDisc;
        const DWORD at = disc ? t->start + in - origin : in;
        const DWORD audio = drive_->DiscEnd() - origin;
        const int left = disc ? int(audio / 75) : int(t->length / 75);
        const int shown = gCdTimeMode % 2 ? int(at / 75) : left - int(at / 75);
        Check(cd_track == t->number && cd_min == at / 75 / 60 && cd_sek == at / 75 % 60 && cd_frame == at % 75,
              "the published position is not the drive's");
        Check(gCdFirstTime.minutes * 60 + gCdFirstTime.seconds == shown, "the shown time is not the drive's");
    }
    // With a disc of files: the player plays exactly while a file does, and
    // in track time the position is that file's own.
    void CheckFilesPublished() {
        const harness::SimAudioFiles::Device* file = harness::gFiles.Playing();
        Check((file != nullptr) == (cd_mode == 2), "the files play, the player not, or the other way round");
        if (!file || gCdTimeMode != kCdElapsedTrack) return;
        const DWORD frames = file->at * 75 / 1000;
        const int track = file->path.back() == L'v' ? file->path[file->path.size() - 5] - L'0' : 0;
        Check(cd_track == track && cd_min == frames / 75 / 60 && cd_sek == frames / 75 % 60 && cd_frame == frames % 75,
              "the published position is not the playing file's");
    }
    void Poll() {
        if (Pick(4)) {
            SendMessageA(hCDDisplayWnd, kCdPositionPoll, 0, 0);
            return;
        }
        HeldLock held;
        HANDLE reader = CreateThread(nullptr, 0, HoldCdLock, &held, 0, nullptr);
        WaitForSingleObject(held.locked, INFINITE);
        SendMessageA(hCDDisplayWnd, kCdPositionPoll, 0, 0);
        SetEvent(held.release);
        WaitForSingleObject(reader, INFINITE);
        for (HANDLE h : {reader, held.locked, held.release}) CloseHandle(h);
        Check(memcmp(held.before, held.after, 4) == 0, "the position changed under the core's lock");
    }
    void Step() {
        const bool wasOpen = gCdDevice.IsOpen(), wasPlaying = drive_->Mode() == MCI_MODE_PLAY;
        const bool hadFiles = FileDiscLoaded();
        // press, release, wind tick, menu, options, media, failure, advance, poll, deliver, repaint, volume
        // Another drive chosen in the Options is soon taken back.
        const int weights[] = {12, 10, 8, 6, gCdDrive[0] == drive_->Letter() ? 1 : 8, 3, 1, 16, 16, 6, 1, 1};
        int kind = Pick(80 + weights[4]);
        for (int i = 0; i < 12; kind -= weights[i++])
            if (kind < weights[i]) {
                kind = i;
                break;
            }
        const int errors = drive_->ErrorsReported();
        const DWORD at = drive_->Position();
        bool quiet = true;  // the step leaves an ended play to the poll and the notice
        std::string step;
        if (kind == 0 && held_ < 0) {
            const int buttons[] = {kCdPrevious, kCdFastBackward, kCdStop,        kCdPause, kCdPlay, kCdPlay,
                                   kCdPlay,     kCdNext,         kCdFastForward, kCdPlay,  kCdStop, kCdEject};
            held_ = buttons[Pick(Pick(2) ? 12 : 11)];
            step = "press " + std::to_string(held_);
            SendMessageA(Panel(held_), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
            quiet = false;
        } else if (kind == 1 && held_ >= 0) {
            const bool lose = !Pick(5);
            step = lose ? "lose capture" : "release";
            if (lose) SetCapture(main_), ReleaseCapture();
            else SendMessageA(Panel(held_), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
            // The system's notice for a tray closed with a disc in it.
            if (held_ == kCdEject && !drive_->DoorOpen() && !drive_->Disc().empty()) Notice(DBT_DEVICEARRIVAL);
            held_ = -1;
            quiet = false;
        } else if (kind == 2 && gCdWindTimer) {
            step = "wind tick";
            // The tick's position read is its second command.
            if (Pick(2)) drive_->FailCall(2, MCIERR_HARDWARE), step += ", its position read fails";
            CdPanelTimerProc(hCDDisplayWnd, WM_TIMER, gCdWindTimer, 0);
            const bool forward = gCdWindTimer == kCdWindForwardTimer;
            // Steps go by milliseconds: a frame may be lost to rounding.
            Check(forward ? drive_->Position() + 1 >= at : drive_->Position() <= at + 1, "winding went the wrong way");
        } else if (kind == 3 && held_ < 0 && gCdDiscPresent) {
            const int command = Pick(2)   ? kCdTrackCommandBase + 1 + Pick(6)
                                : Pick(2) ? kCdElapsedTrack + Pick(4)
                                          : kCdPlayTrack + Pick(Pick(4) ? 2 : 4) % 3;
            step = "menu " + std::to_string(command);
            Menu(command >= kCdPlayAll ? kCdPlayModeDisplay : kCdTimeDisplay, command);
            quiet = false;
        } else if (kind == 4 && held_ < 0) {
            // Another drive or none for a while, then this one again.
            const int how = gCdDrive[0] == drive_->Letter() ? Pick(3) : 0;
            step = "options ok " + std::string(how == 1 ? "E:" : how == 2 ? "drive gone" : "D:");
            if (how == 2) drive_->SetPresent(false);
            ReopenCdDrive(how == 1 ? "E:" : "D:");
            Check(how || !drive_->Readable() || drive_->ErrorsReported() > errors ||
                      (gCdDiscPresent && gCdDevice.TrackListSize() > 0), "options ok lost the disc");
            quiet = false;
        } else if (kind == 5) {
            // Mostly a disc (back) in, so the player has something to play;
            // now and then a disc of files dropped on the panel instead.
            const int how = FileDiscLoaded() && Pick(2) ? 5 : !Pick(8) ? 4 : Pick(3) ? 2 + Pick(2) : Pick(2);
            step = how == 0 ? "disc out" : how == 1 ? "drive's eject" : how == 4 ? "files dropped"
                   : how == 5                    ? "files ejected"
                                                 : "disc in";
            if (how == 4) LoadCdFileSource({folder_}, main_);
            if (how == 5) EjectCdFileSource();
            if (how == 0) drive_->SetDisc({});
            if (how == 1) drive_->SetDoor(true);
            if (how == 2 || how == 3) {
                if (how == 3 || drive_->Disc().empty()) drive_->SetDisc(WalkDisc(Pick(2)));
                drive_->SetDoor(false);
                drive_->SetPresent(true);
            }
            if (how == 2 || how == 3 || (how < 2 && Pick(2))) Notice(how >= 2 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE);
            Check(how < 2 || how == 5 || gCdDrive[0] != drive_->Letter() || drive_->ErrorsReported() > errors ||
                      (gCdDiscPresent && gCdDevice.IsOpen()), "a disc that came back is not played");
            quiet = false;
        } else if (kind == 6) {
            const int nth = 1 + Pick(4);
            steps_.push_back("fail command " + std::to_string(nth) + " of the next step");
            drive_->FailCall(nth, Pick(2) ? MCIERR_HARDWARE : MCIERR_DEVICE_NOT_READY);
            Step();
            drive_->ClearFailures();
            return;
        } else if (kind == 7) {
            const DWORD ms = Pick(10) ? DWORD(Pick(6000)) : DWORD(Pick(60000));
            step = "advance " + std::to_string(ms);
            drive_->Advance(ms);
            harness::gFiles.Advance(ms);
            if (wasPlaying && drive_->Mode() != MCI_MODE_PLAY && held_ < 0) {
                ended_ = drive_->TrackAt(drive_->PlayFrom())->number;
                endedNotify_ = drive_->PlayNotifies();
            }
        } else if (kind == 8 || kind == 9) {
            step = kind == 9 ? "deliver" : "poll";
            MSG msg;
            if (kind == 9) {
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            } else {
                Poll();
            }
            if (kind == 8 && drive_->ErrorsReported() == errors && !FileDiscLoaded()) {
                Check(drive_->Mode() == MCI_MODE_PLAY || cd_mode != 2, "playing after the drive stopped");
                CheckPublished();
            }
            if (kind == 8 && FileDiscLoaded() && held_ < 0) CheckFilesPublished();
            if (ended_ && (cd_mode != 2 || drive_->Mode() == MCI_MODE_PLAY)) {
                const int expected = endedNotify_ && gCdStopAtTrackEnd ? ended_ : FirstAudio();
                Check(drive_->ErrorsReported() > errors || drive_->Position() == drive_->TrackStart(expected),
                      "the wrong track after the end of a play");
                ended_ = 0;
            }
        } else if (kind == 10) {
            step = "repaint";
            for (int i = 0; i < kCdPanelWindowCount; ++i) {
                RedrawWindow(Panel(i), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                HDC dc = GetDC(Panel(i));
                const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
                ReleaseDC(Panel(i), dc);
                Check(font != LargeKeyFont() && font != SmallKeyFont(), "a desk font stays in a panel's DC");
            }
        } else if (kind == 11) {
            drive_->faultInMixerRead = Pick(2);
            step = drive_->faultInMixerRead ? "volume notice, the read faults" : "volume notice";
            drive_->SetVolume(DWORD(Pick(65536)), 0);
            const int before = FaderValue(kVolumeFader);
            SendMessageA(hCDDisplayWnd, MM_MIXM_CONTROL_CHANGE, 0, 0);
            Check(!drive_->faultInMixerRead || FaderValue(kVolumeFader) == before, "a faulting read moved the fader");
            drive_->faultInMixerRead = false;
        } else {
            return;
        }
        drive_->ClearFailures();
        steps_.push_back(step);
        if (!quiet) ended_ = 0;
        if (drive_->ErrorsReported() > errors) ended_ = 0;
        // Eject of a disc of files leaves a device only where a drive is.
        Check(!wasOpen || gCdDevice.IsOpen() || drive_->ErrorsReported() > errors || hadFiles != FileDiscLoaded(),
              "the device went without an error");
        Check(!gCdDiscPresent || !gCdDevice.IsOpen() || gCdDevice.TrackListSize() > 0, "a disc without tracks");
        if (held_ >= 0) return;
        Check(drive_->Mode() != MCI_MODE_PLAY || !gCdDevice.IsOpen() || cd_mode == 2, "the drive plays, the player not");
        Check(!gCdWindTimer && !KillTimer(hCDDisplayWnd, kCdWindForwardTimer) &&
                  !KillTimer(hCDDisplayWnd, kCdWindBackwardTimer), "a wind timer outlived its button");
    }
};

TEST_F(CdPlayerWalk, RandomStepsKeepThePlayerAndThePublishedTimecodeTrue) {
    const char* seed = getenv("KNT_CD_SEED");
    const char* steps = getenv("KNT_CD_STEPS");
    if (seed) seed_ = unsigned(strtoul(seed, nullptr, 10));
    rng_.seed(seed_);
    SimCdDrive& drive = Open(SimCdDrive::AudioDisc({}));
    drive.SetDisc(WalkDisc(false));
    ReopenCdDrive("D:");
    // The disc of files the walk drops now and then: three short files.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"knt_walk_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    harness::gFiles = harness::SimAudioFiles{};
    harness::gFiles.Install();
    for (int i = 1; i <= 3; ++i) {
        const std::wstring file = folder_ + L"\\" + std::to_wstring(i) + L".wav";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, "RIFF", 4, &written, nullptr);
        CloseHandle(h);
        harness::gFiles.lengths[file] = 2000 + 1500 * DWORD(i);
    }
    ASSERT_TRUE(CreateFaders(main_) && FaderWindow(kVolumeFader));
    harness::MessageBoxCapture boxes;
    for (int i = 0, n = steps ? atoi(steps) : 4000; i < n && !failed_; ++i) Step();
    for (const auto& box : boxes.Boxes()) EXPECT_EQ("Device not ready!", box.text);
    EjectCdFileSource();
    SetAudioFileCalls(nullptr);
    for (int i = 1; i <= 3; ++i) DeleteFileW((folder_ + L"\\" + std::to_wstring(i) + L".wav").c_str());
    RemoveDirectoryW(folder_.c_str());
}

}  // namespace
