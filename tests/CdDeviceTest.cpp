// The CD audio device against the simulated drive: the exact MCI and mixer
// calls of each operation, failures, the last and the data track, and the
// session end's stop and close before the core ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/CdVolume.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/SimCdDrive.h"

namespace {

using harness::SameSequence;
using harness::SimCdDrive;
using Lines = std::vector<std::string>;

const char kOpen[] = "open type 516 element D: flags 0x3302";
const Lines kReadLength = {"set time format 0", "status length", "set time format 10"};
const Lines kDiscReady = {"status media present track 0", "status tracks track 0"};

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class CdDeviceTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        knt_windows_title = "Kantrel Ovrin";
        DisableCDPlayer = 0;
        cd_mode = 0;
        gCdStopAtTrackEnd = 0;
    }
    void TearDown() override {
        gCdDevice.Close();
        drive_.reset();
        hCDDisplayWnd = nullptr;
        if (notify_) DestroyWindow(notify_);
        gCdStopAtTrackEnd = 0;
        cd_mode = 0;
        DisableCDPlayer = 1;
        HostTest::TearDown();
    }
    SimCdDrive& Use(SimCdDrive drive) {
        drive_ = std::make_unique<SimCdDrive>(std::move(drive));
        drive_->Install();
        return *drive_;
    }
    // Opens the data-track disc and builds its list; the calls are cleared.
    SimCdDrive& OpenDataDisc() {
        SimCdDrive& drive = Use(SimCdDrive::DataThenAudio());
        EXPECT_TRUE(gCdDevice.Open("D:"));
        EXPECT_TRUE(gCdDevice.BuildTrackList());
        drive.ClearCalls();
        return drive;
    }
    Lines Calls() const { return drive_->Calls(); }
    Lines Take() {
        Lines calls = drive_->Calls();
        drive_->ClearCalls();
        return calls;
    }
    std::unique_ptr<SimCdDrive> drive_;
    HWND notify_ = nullptr;
};

TEST_F(CdDeviceTest, WithoutADriveNothingOpensAndNothingIsSentLater) {
    SimCdDrive& drive = Use(SimCdDrive::NoDrive());
    EXPECT_FALSE(CreateCDPanel(nullptr));
    EXPECT_TRUE(SameSequence({"cd drives"}, Take()));
    EXPECT_EQ(nullptr, ConfiguredCdDrive());

    EXPECT_FALSE(gCdDevice.Open("D:"));
    EXPECT_TRUE(SameSequence({kOpen, "error text 296"}, Take()));
    EXPECT_FALSE(gCdDevice.IsOpen()) << "the id WinMM hands out on failure is not kept";
    DWORD stored = 0;
    EXPECT_FALSE(GetInt("cd_drive", &stored));

    cd_mode = 2;
    BYTE t, m, s, f;
    EXPECT_FALSE(gCdDevice.Play());
    gCdDevice.Stop();
    EXPECT_EQ(1, cd_mode) << "the player still shows stopped";
    gCdDevice.Pause();
    gCdDevice.Seek(2, 0, 0, 0, true);
    gCdDevice.ToggleDoor();
    EXPECT_FALSE(gCdDevice.GetPosition(&t, &m, &s, &f));
    EXPECT_FALSE(gCdDevice.BuildTrackList());
    EXPECT_EQ(0u, gCdDevice.IsDiscReady());
    SetCdVolume(1000);
    EXPECT_TRUE(SameSequence({}, drive.Calls()));
}

TEST_F(CdDeviceTest, EmptyDriveOpensWithoutAMixerLineAndReadsTheNextDiscsLength) {
    SimCdDrive& drive = Use(SimCdDrive::EmptyDrive());
    harness::MessageBoxCapture boxes;
    ASSERT_TRUE(CreateCDPanel(nullptr)) << "no CD mixer line is no failure";
    // Then the panel looks for a disc and, finding none, stops the not-ready drive.
    EXPECT_TRUE(SameSequence(Join({{"cd drives", kOpen}, kReadLength, {"mixer open 0"}, kDiscReady, {"status mode"}}),
                             Take()));
    DWORD stored = 0;
    ASSERT_TRUE(GetInt("cd_drive", &stored));
    EXPECT_EQ(DWORD('D'), stored);
    EXPECT_EQ(0u, gCdDevice.DiscLength());
    EXPECT_FALSE(gCdDevice.HasMixer());

    EXPECT_EQ(0u, gCdDevice.IsDiscReady());
    EXPECT_TRUE(SameSequence(kDiscReady, Take())) << "media present answers 1 here, the count fails";
    EXPECT_FALSE(gCdDevice.Play());
    EXPECT_TRUE(SameSequence({"status mode"}, Take()));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Device not ready!", boxes.Boxes()[0].text);
    EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
    EXPECT_EQ(nullptr, boxes.Boxes()[0].owner);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    gCdDevice.Stop();
    EXPECT_TRUE(SameSequence({"status mode"}, Take())) << "a not-ready drive is not stopped";

    drive.SetDisc(SimCdDrive::DataThenAudio().Disc());
    ASSERT_TRUE(gCdDevice.BuildTrackList());
    const DWORD frames = drive.Disc().back().start + drive.Disc().back().length - drive.Disc().front().start;
    EXPECT_EQ(frames * 1000 / 75, gCdDevice.DiscLength());
    EXPECT_TRUE(gCdDevice.IsOpen());
}

TEST_F(CdDeviceTest, DataTrackDiscListsOnlyTheAudioTracksOnce) {
    SimCdDrive& drive = Use(SimCdDrive::DataThenAudio());
    drive.SetVolume(40000, 20000);
    ASSERT_TRUE(gCdDevice.Open("D:"));
    EXPECT_TRUE(SameSequence(Join({{kOpen}, kReadLength,
                                   {"mixer open 0", "mixer line 4101", "mixer controls line 3 type 1342373889",
                                    "mixer get 11"}}),
                             Take()));
    EXPECT_EQ(10u, gCdDevice.IsDiscReady());
    drive.ClearCalls();

    for (int pass = 0; pass < 2; ++pass) ASSERT_TRUE(gCdDevice.BuildTrackList());
    const Lines calls = Take();
    const Lines firstTracks = Join({{"status tracks track 0"}, kReadLength,
                                    {"status type track 1", "status type track 2", "status mode",
                                     "status length track 2", "set time format 2", "status position track 2 nowait",
                                     "set time format 10", "status type track 3"}});
    ASSERT_GE(calls.size(), firstTracks.size());
    EXPECT_TRUE(SameSequence(firstTracks, Lines(calls.begin(), calls.begin() + firstTracks.size())));

    EXPECT_EQ(10u, gCdDevice.TrackCount());
    ASSERT_EQ(9u, gCdDevice.TrackListSize());
    EXPECT_EQ(0u, gCdDevice.FindTrackLength(1));
    for (const CdTrack& track : gCdDevice.Tracks()) {
        const harness::SimCdTrack& disc = drive.Disc()[size_t(track.number) - 1];
        ASSERT_TRUE(disc.audio) << track.number;
        const DWORD length = disc.length, start = disc.start;
        EXPECT_EQ((length / 75 / 60) << 16 | (length / 75 % 60) << 8 | length % 75, track.length) << track.number;
        EXPECT_EQ((start / 75 / 60) << 16 | (start / 75 % 60) << 8 | start % 75, track.start) << track.number;
    }
    EXPECT_EQ(2, gCdDevice.Tracks().front().number);

    SetCdVolume(30000);
    EXPECT_TRUE(SameSequence({"mixer set 11 30000 30000"}, Take()));
    EXPECT_EQ(30000u, drive.Volume(1));
}

TEST_F(CdDeviceTest, PlayTrackStopsAtTheNextTrackAndTheLastTrackPlaysToItsEnd) {
    SimCdDrive& drive = OpenDataDisc();
    notify_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    hCDDisplayWnd = notify_;
    gCdStopAtTrackEnd = 1;

    gCdDevice.Seek(3, 0, 0, 0, true);
    EXPECT_TRUE(SameSequence({"status mode", "stop", "seek to t3 00:00:00"}, Take()));
    EXPECT_EQ(3, cd_track);
    EXPECT_EQ(3, gCdCurrentTrack);
    ASSERT_TRUE(gCdDevice.Play());
    EXPECT_TRUE(SameSequence({"status mode", "status mode", "status position",
                              "play from t3 00:00:00 to t4 00:00:00 notify"},
                             Take()));
    EXPECT_EQ(2, cd_mode);

    gCdDevice.Seek(10, 0, 0, 0, false);
    EXPECT_TRUE(SameSequence({"status mode", "stop", "seek to t10 00:00:00"}, Take()));
    ASSERT_TRUE(gCdDevice.Play()) << "the last track has no track after it";
    EXPECT_TRUE(SameSequence({"status mode", "status mode", "status position", "play from t10 00:00:00 notify"},
                             Take()));
    drive.Advance(10 * 60 * 1000);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, notify_, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE));
    EXPECT_EQ(WPARAM(MCI_NOTIFY_SUCCESSFUL), msg.wParam);
    EXPECT_EQ(gCdDevice.DeviceId(), MCIDEVICEID(msg.lParam));
    EXPECT_TRUE(gCdDevice.IsOpen());

    gCdStopAtTrackEnd = 0;
    gCdDevice.Seek(4, 1, 2, 3, false);
    Take();
    ASSERT_TRUE(gCdDevice.Play());
    EXPECT_EQ("play from t4 01:02:03", Calls().back()) << "Play All names no end";
}

TEST_F(CdDeviceTest, PauseResumesAndPlayingTwiceSendsNothing) {
    SimCdDrive& drive = OpenDataDisc();
    ASSERT_TRUE(gCdDevice.Play());
    Take();
    EXPECT_FALSE(gCdDevice.Play());
    EXPECT_TRUE(SameSequence({"status mode"}, Take()));
    gCdDevice.Pause();
    EXPECT_TRUE(SameSequence({"status mode", "pause"}, Take()));
    EXPECT_EQ(3, cd_mode);
    gCdDevice.Pause();
    EXPECT_TRUE(SameSequence({"status mode"}, Take())) << "only a playing drive pauses";
    ASSERT_TRUE(gCdDevice.Play());
    EXPECT_TRUE(SameSequence({"status mode", "resume"}, Take()));
    EXPECT_EQ(2, cd_mode);
    EXPECT_EQ(MCI_MODE_PLAY, drive.Mode());
    gCdDevice.Stop();
    EXPECT_TRUE(SameSequence({"status mode", "stop"}, Take()));
    EXPECT_EQ(1, cd_mode);
}

TEST_F(CdDeviceTest, AFailedCommandClosesTheDeviceAndTheMixer) {
    SimCdDrive& drive = OpenDataDisc();
    drive.Fail("play", MCIERR_OUTOFRANGE);
    EXPECT_FALSE(gCdDevice.Play());
    // Track 1 holds data: play starts at the first audio track.
    EXPECT_TRUE(SameSequence({"status mode", "status mode", "status position", "play from t2 00:00:00",
                              "error text 282", "close", "mixer close"},
                             Take()));
    EXPECT_FALSE(drive.DeviceOpen());
    EXPECT_FALSE(drive.MixerOpen());
    cd_mode = 2;
    gCdDevice.Stop();
    gCdDevice.Pause();
    gCdDevice.Seek(3, 0, 0, 0, true);
    EXPECT_FALSE(gCdDevice.Play());
    SetCdVolume(5);
    EXPECT_EQ(-1, gCdDevice.GetMode());
    EXPECT_TRUE(SameSequence({}, Take()));
    EXPECT_EQ(3, cd_mode) << "Stop and Pause still set the player mode";
}

TEST_F(CdDeviceTest, TimeFormatsDecodeWholeMinutesAndAFailedSetKeepsTheOldOne) {
    SimCdDrive& drive = OpenDataDisc();
    drive.Fail("set time format 2", MCIERR_UNSUPPORTED_FUNCTION);
    EXPECT_EQ(0u, gCdDevice.GetTrackStart(3));
    EXPECT_TRUE(SameSequence({"set time format 2"}, Take())) << "nothing read in the wrong format";
    EXPECT_EQ(kCdFormatTmsf, gCdDevice.TimeFormat());
    EXPECT_TRUE(gCdDevice.IsOpen());

    // 4:16 into the disc: 256 whole seconds, more than 8 bits hold.
    drive.SetPosition(drive.Disc().front().start + 256 * 75 + 30);
    ASSERT_TRUE(gCdDevice.SetTimeFormat(kCdFormatMs));
    BYTE t, m, s, f;
    ASSERT_TRUE(gCdDevice.GetPosition(&t, &m, &s, &f));
    EXPECT_EQ(0, t);
    EXPECT_EQ(4, m);
    EXPECT_EQ(16, s);
    gCdDevice.GetTrackLength(5, &m, &s, &f);
    const DWORD discSeconds = gCdDevice.DiscLength() / 1000;
    EXPECT_EQ(discSeconds / 60, m) << "whole disc in milliseconds";
    EXPECT_EQ(discSeconds % 60, s);
    ASSERT_TRUE(gCdDevice.SetTimeFormat(kCdFormatTmsf));
    ASSERT_TRUE(gCdDevice.GetPosition(&t, &m, &s, &f));
    // Past the 40 s data track and the 194 s of track 2.
    EXPECT_EQ(3, t);
    EXPECT_EQ(0, m);
    EXPECT_EQ(22, s);
    EXPECT_EQ(28, f);
}

TEST_F(CdDeviceTest, DoorOpensWithADiscAndClosesWhenOpenAndEmpty) {
    SimCdDrive& drive = OpenDataDisc();
    gCdDevice.ToggleDoor();
    // A playing player is stopped first, or the poll would take the open tray for a run-out.
    EXPECT_TRUE(SameSequence(Join({kDiscReady, {"status mode", "stop", "set door open"}}), Take()));
    EXPECT_TRUE(drive.DoorOpen());
    gCdDevice.ToggleDoor();
    EXPECT_TRUE(SameSequence(Join({kDiscReady, {"set door closed"}}), Take()));
    EXPECT_FALSE(drive.DoorOpen());
}

TEST_F(CdDeviceTest, TheDriveChoiceKeepsAStoredCdDriveOnly) {
    Use(SimCdDrive::EmptyDrive('F'));
    SetInt("cd_drive", 'F');
    ASSERT_TRUE(ChooseCdDrive());
    EXPECT_STREQ("F:", ConfiguredCdDrive());
    EXPECT_TRUE(SameSequence({"drive type F:\\"}, Take()));
    SetInt("cd_drive", 'C');
    ASSERT_TRUE(ChooseCdDrive());
    EXPECT_STREQ("F:", ConfiguredCdDrive());
    EXPECT_TRUE(SameSequence({"drive type C:\\", "cd drives"}, Take()));

    const struct { DWORD mask; char letter; } cases[] = {
        {0x8, 'D'}, {0x1, 'A'}, {0xC, 'C'}, {1u << 25, 'Z'}, {1u << 26, 0}, {0, 0}, {0xFFFFFFF0, 'E'}};
    for (const auto& c : cases) EXPECT_EQ(c.letter, DriveLetterOfUnitMask(c.mask)) << std::hex << c.mask;
}

class CdSessionEndTest : public harness::DeskTest {};

TEST_F(CdSessionEndTest, TheSessionEndStopsAndClosesTheDeviceBeforeTheCoreEnds) {
    SimCdDrive drive = SimCdDrive::DataThenAudio();
    drive.Install();
    DisableCDPlayer = 0;
    StartSession();
    ASSERT_TRUE(gCdDevice.Open("D:"));
    ASSERT_TRUE(gCdDevice.BuildTrackList());
    ASSERT_TRUE(gCdDevice.Play());
    drive.MirrorToJournal(true);
    harness::ClearJournal();
    EndCoreSession(false, false);
    Lines order;
    for (const std::string& line : harness::CoreCalls())
        if (line.rfind("cd ", 0) == 0 || line == "EndKantrel") order.push_back(line);
    EXPECT_TRUE(SameSequence({"cd status mode", "cd stop", "cd status mode", "cd stop", "cd close",
                              "cd mixer close", "EndKantrel"},
                             order));
    EXPECT_FALSE(drive.DeviceOpen());
    DisableCDPlayer = 1;
}

}  // namespace
