// The whole program on WinMM's real CD path: a folder mapped as a CD-ROM drive
// in the test's Wine prefix is found, opened and stored; without a drive, or
// with the CD player switched off, nothing is opened.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/harness/ProgramFixture.h"

namespace {

const char kLetter = 'R';

// Wine's mount manager request that defines (or, without a mount point,
// removes) a drive letter: it makes the dosdevices link and stores the drive
// type under HKLM\Software\Wine\Drives, and answers for it at once.
struct WineUnixDrive {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
};

bool DefineWineDrive(char letter, const char* unixFolder) {
    char buf[512] = {};
    auto* drive = reinterpret_cast<WineUnixDrive*>(buf);
    drive->letter = WCHAR(letter);
    ULONG size = sizeof *drive;
    if (unixFolder) {
        drive->type = DRIVE_CDROM;
        drive->mountPointOffset = USHORT(size);
        strcpy(buf + size, unixFolder);
        size += ULONG(strlen(unixFolder) + 1);
    }
    drive->size = size;
    HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL done = DeviceIoControl(manager, CTL_CODE(0x6d, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
                                      buf, size, nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return done != FALSE;
}

std::string DriveRoot() { return std::string(1, kLetter) + ":\\"; }

std::string WineDriveType() {
    char value[32] = "";
    DWORD size = sizeof value;
    const char name[] = {char(kLetter | 0x20), ':', 0};
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return "";
    return value;
}

struct DialogSearch {
    DWORD process;
    int count;
};

BOOL CALLBACK CountDialog(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<DialogSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    char cls[16] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (owner == search->process && strcmp(cls, "#32770") == 0) ++search->count;
    return TRUE;
}

class CdProgramTest : public harness::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // Lanes are separate Wine prefixes whose process ids repeat: the lane
        // keeps two tests from sharing (and removing) one Unix folder.
        char lane[8] = "0";
        GetEnvironmentVariableA("KNT_TEST_LANE", lane, sizeof lane);
        folder_ = "/tmp/knt_cd_" + std::string(lane) + "_" + std::to_string(GetCurrentProcessId());
        // A drive left by an aborted run would stand in for "no drive".
        DefineWineDrive(kLetter, nullptr);
    }
    void TearDown() override {
        if (mapped_) {
            DefineWineDrive(kLetter, nullptr);
            // The mount manager leaves the letter's link in the object
            // namespace of the lasting wine server: later tests of the lane
            // would see a drive R: without a root.
            const char device[] = {kLetter, ':', 0};
            DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
        }
        RemoveDirectoryA(DosFolder().c_str());
        ProgramTest::TearDown();
    }
    void MapEmptyCdDrive() {
        ASSERT_TRUE(CreateDirectoryA(DosFolder().c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(DefineWineDrive(kLetter, folder_.c_str()));
        mapped_ = true;
        ASSERT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA(DriveRoot().c_str()));
        ASSERT_EQ("cdrom", WineDriveType());
    }
    std::string DosFolder() const {
        std::string path = "Z:" + folder_;
        for (char& ch : path)
            if (ch == '/') ch = '\\';
        return path;
    }
    // Dialog boxes of the running program.
    int DialogCount() const {
        DialogSearch search = {process_.dwProcessId, 0};
        EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&search));
        return search.count;
    }
    // Runs the desk until the core has started, then closes it; the stored
    // "cd_drive" afterwards, or 0 when none was stored.
    DWORD RunDeskAndReadStoredDrive(const std::string& args) {
        EXPECT_TRUE(StartDesk(args));
        HWND desk = WaitForDesk();
        EXPECT_NE(nullptr, desk);
        if (!desk) return 0;
        EXPECT_TRUE(WaitForJournalLine("StartKantrel"));
        WaitForQuietJournal();
        EXPECT_EQ(0, DialogCount());
        EXPECT_EQ(0, CloseDesk(desk));
        const auto lines = Journal();
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "EndKantrel"));
        DWORD stored = 0;
        return GetInt("cd_drive", &stored) ? stored : 0;
    }

    // The status and time displays as the screen shows them.
    static std::vector<COLORREF> ScreenPixels(HWND desk) {
        std::vector<COLORREF> pixels;
        HDC screen = GetDC(nullptr);
        for (int id : {40307, 40308}) {
            RECT r;
            GetWindowRect(GetDlgItem(desk, id), &r);
            for (int y = r.top; y < r.bottom; y += 2)
                for (int x = r.left; x < r.right; x += 2) pixels.push_back(GetPixel(screen, x, y));
        }
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    std::string folder_;
    bool mapped_ = false;
};

TEST_F(CdProgramTest, AnEmptyCdDriveIsOpenedAndStoredWithoutAMessage) {
    MapEmptyCdDrive();
    EXPECT_EQ(DWORD(kLetter), RunDeskAndReadStoredDrive(""));
}

TEST_F(CdProgramTest, WithoutADriveOrWithThePlayerOffNothingIsOpened) {
    ASSERT_EQ(UINT(DRIVE_NO_ROOT_DIR), GetDriveTypeA(DriveRoot().c_str()));
    EXPECT_EQ(0u, RunDeskAndReadStoredDrive(""));
    MapEmptyCdDrive();
    EXPECT_EQ(0u, RunDeskAndReadStoredDrive("/disable_CDplayer"));
}

// The panel on the encoder bar over the mapped empty drive reads "No Disc";
// "Trigger TC" clicked with the real pointer is stored at close, restored at
// the next start and stored again, as is the play mode.
TEST_F(CdProgramTest, TheEncoderBarShowsNoDiscAndTheChoicesComeBackAfterARestart) {
    MapEmptyCdDrive();
    SetInt("cd_player", 1);
    SetInt("bar", 6);
    SetInt("play_mode", 33048);
    SetInt("time_display", 33043);
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    ASSERT_TRUE(WaitForJournalLine("StartKantrel"));
    WaitForQuietJournal();
    HWND trigger = GetDlgItem(desk, 40310);
    ASSERT_TRUE(IsWindowVisible(trigger)) << "the panel shows on the encoder bar";
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(desk, 40308)));
    std::string shot;
    EXPECT_TRUE(SaveScreenshot("cd_panel_no_disc", &shot)) << "no screenshot";
    // Options OK stops the CD and opens the drive again: the panel still
    // reads "No Disc" and "Track 0" over the empty drive.
    const auto displays = ScreenPixels(desk);
    HWND dlg = OpenFromDeskMenu(4, "Options");
    ASSERT_NE(nullptr, dlg) << "no Options dialog";
    ClickItem(dlg, IDOK);
    WaitGone(dlg);
    WaitForQuietJournal();
    EXPECT_TRUE(displays == ScreenPixels(desk)) << "the panel changed over the same empty drive";
    EXPECT_TRUE(SaveScreenshot("cd_panel_after_options_ok", &shot)) << "no screenshot";

    RECT place;
    ASSERT_TRUE(GetWindowRect(trigger, &place));
    std::string code;
    ASSERT_TRUE(RunUnixScript("xdotool mousemove --sync " + std::to_string((place.left + place.right) / 2) + " " +
                                  std::to_string((place.top + place.bottom) / 2) + " click 1",
                              &code));
    ASSERT_EQ("0", code);
    WaitForQuietJournal();
    EXPECT_EQ(0, CloseDesk(desk));
    DWORD stored = 0;
    ASSERT_TRUE(GetInt("trigger_timecode", &stored));
    EXPECT_EQ(1u, stored) << "the click switched timecode triggering on";

    ASSERT_TRUE(StartDesk());
    desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    WaitForQuietJournal();
    EXPECT_EQ(0, CloseDesk(desk));
    ASSERT_TRUE(GetInt("trigger_timecode", &stored));
    EXPECT_EQ(1u, stored) << "restored at the start, stored again at close";
    ASSERT_TRUE(GetInt("play_mode", &stored));
    EXPECT_EQ(33048u, stored);
    ASSERT_TRUE(GetInt("time_display", &stored));
    EXPECT_EQ(33043u, stored);
}

}  // namespace
