// The whole program on WinMM's real CD path: a folder mapped as a CD-ROM drive
// in the test's Wine prefix is found, opened and stored; without a drive, or
// with the CD player switched off, nothing is opened. A folder of audio files
// dropped on the panel plays through the system's MCI and the lane's sound
// server (scripts/lane-audio.sh) and comes back after a restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/harness/ProgramFixture.h"
#include "tests/harness/WavFile.h"

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

struct Timecode {
    int track, frames;  // frames: 75 a second, from the disc's start
    ULONGLONG seenMs;
};

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
        for (const std::wstring& file : audioFiles_) DeleteFileW(file.c_str());
        if (!audioFolder_.empty()) RemoveDirectoryW(audioFolder_.c_str());
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

    // A folder of three tracks: WAV tones of 2 s and 3 s, and a 3 s MP3
    // with a name outside the ANSI code page, made by the encoder package.
    void MakeAudioFolder() {
        const std::string unix = folder_ + "_audio";
        const std::string dos = "Z:" + unix;
        audioFolder_.assign(dos.begin(), dos.end());
        for (wchar_t& ch : audioFolder_)
            if (ch == L'/') ch = L'\\';
        ASSERT_TRUE(CreateDirectoryW(audioFolder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        audioFiles_ = {audioFolder_ + L"\\01 two.wav", audioFolder_ + L"\\02 three.wav",
                       audioFolder_ + L"\\source.wav", audioFolder_ + L"\\encoded.mp3",
                       audioFolder_ + L"\\03 \u03a9mega.mp3"};
        ASSERT_TRUE(harness::WriteToneWav(audioFiles_[0], 2, 440));
        ASSERT_TRUE(harness::WriteToneWav(audioFiles_[1], 3, 660));
        ASSERT_TRUE(harness::WriteToneWav(audioFiles_[2], 3, 550));
        std::string code;
        ASSERT_TRUE(RunUnixScript("lame --quiet '" + unix + "/source.wav' '" + unix + "/encoded.mp3'", &code));
        ASSERT_EQ("0", code) << "lame could not encode";
        ASSERT_TRUE(DeleteFileW(audioFiles_[2].c_str()));
        ASSERT_TRUE(MoveFileW(audioFiles_[3].c_str(), audioFiles_[4].c_str()));
    }
    // A drop as the shell makes it: a DROPFILES block with wide paths. The
    // block must live in the desk's own memory, since an HDROP is a pointer
    // into the process that reads it; X drag and drop needs an XDND source,
    // which xdotool cannot be.
    void DropOnPanel(HWND target, const std::wstring& path) {
        std::vector<char> block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
        auto* drop = reinterpret_cast<DROPFILES*>(block.data());
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(block.data() + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
        void* remote = VirtualAllocEx(process_.hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
        ASSERT_NE(nullptr, remote);
        ASSERT_TRUE(WriteProcessMemory(process_.hProcess, remote, block.data(), block.size(), nullptr));
        ASSERT_TRUE(PostMessageW(target, WM_DROPFILES, WPARAM(remote), 0));
    }
    std::wstring StoredAudioSource() const {
        wchar_t text[1024] = L"";
        DWORD size = sizeof text;
        const std::string narrow = ProgramKey();
        const std::wstring key(narrow.begin(), narrow.end());
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"cd_audio_source", RRF_RT_REG_SZ, nullptr, text, &size))
            return L"";
        return text;
    }
    void ClickPanel(HWND desk, int id) {
        RECT r;
        ASSERT_TRUE(GetWindowRect(GetDlgItem(desk, id), &r));
        RunXdotool("mousemove --sync " + std::to_string((r.left + r.right) / 2) + " " +
                   std::to_string((r.top + r.bottom) / 2) + " click 1");
    }
    // The journalled timecodes from line first on, each with the time the
    // test first saw it, until the play has been in track `until` for
    // afterMs, or timeoutMs passed (a guard against a hang only).
    std::vector<Timecode> FollowTimecodes(size_t first, int until, ULONGLONG afterMs, ULONGLONG timeoutMs) const {
        std::vector<Timecode> seen;
        const ULONGLONG start = GetTickCount64();
        ULONGLONG reached = 0;
        size_t next = first;
        for (ULONGLONG now = start; now - start < timeoutMs; now = GetTickCount64()) {
            const auto lines = Journal();
            for (; next < lines.size(); ++next) {
                int track, min, sec, frame;
                if (sscanf(lines[next].c_str(), "CdTimecode %d %d %d %d", &track, &min, &sec, &frame) != 4) continue;
                seen.push_back({track, (min * 60 + sec) * 75 + frame, now});
                if (track >= until && !reached) reached = now;
            }
            if (reached && now - reached >= afterMs) break;
            Sleep(20);
        }
        return seen;
    }

    std::string folder_;
    bool mapped_ = false;
    std::wstring audioFolder_;
    std::vector<std::wstring> audioFiles_;
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

// The folder dropped on the panel becomes the disc; Play pressed with the
// real pointer runs it through the lane's sound server from file to file in
// order. Within each file the core's timecodes keep pace with the clock from
// the file's first move (a decoder may take a while to start on a busy
// machine), each within one 500 ms poll plus slack. The source comes back
// after a restart and plays again.
TEST_F(CdProgramTest, AFolderDroppedOnThePanelPlaysThroughTheSoundServerAndComesBackAfterARestart) {
    MakeAudioFolder();
    SetInt("cd_player", 1);
    SetInt("bar", 6);
    SetInt("time_display", 33043);  // elapsed disc: one count across tracks
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(desk, 40307))) << "the panel shows on the encoder bar";
    DropOnPanel(GetDlgItem(desk, 40307), audioFolder_);
    WaitForQuietJournal();
    EXPECT_EQ(0, DialogCount()) << "every file of the folder plays";
    size_t first = Journal().size();
    ClickPanel(desk, 40304);
    auto codes = FollowTimecodes(first, 3, 2500, 30000);
    std::string shot;
    EXPECT_TRUE(SaveScreenshot("cd_panel_file_disc_playing", &shot)) << "no screenshot";
    ASSERT_GE(codes.size(), 4u) << "the timecode did not run";
    EXPECT_EQ(1, codes.front().track);
    ASSERT_EQ(3, codes.back().track) << "did not reach the third file";
    const Timecode* moved = nullptr;  // the playing file's first move
    for (size_t i = 1; i < codes.size(); ++i) {
        EXPECT_GT(codes[i].frames, codes[i - 1].frames) << "the position went back or stood at reading " << i;
        EXPECT_LE(codes[i].track - codes[i - 1].track, 1) << "a file was skipped";
        if (codes[i].track > codes[i - 1].track) {
            // Each file starts where the one before it ends: 2 s, then 5 s.
            const int start = codes[i].track == 2 ? 150 : 375;
            EXPECT_GE(codes[i].frames, start);
            EXPECT_LT(codes[i].frames, start + 75) << "track " << codes[i].track << " began late";
            moved = nullptr;
            continue;
        }
        if (!moved) {
            moved = &codes[i];
            continue;
        }
        const long long played = (codes[i].frames - moved->frames) * 1000LL / 75;
        const long long wall = (long long)(codes[i].seenMs - moved->seenMs);
        EXPECT_LE(std::llabs(played - wall), 750)
            << "track " << codes[i].track << ": " << played << " ms played in " << wall << " ms";
    }
    EXPECT_EQ(0, CloseDesk(desk));
    const std::wstring stored = StoredAudioSource();
    EXPECT_EQ(0, _wcsicmp(audioFolder_.c_str(), stored.c_str())) << "stored: " << std::string(stored.begin(), stored.end());

    // No drive is mapped: only the restored file disc can play.
    ASSERT_TRUE(StartDesk());
    desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    first = Journal().size();
    ClickPanel(desk, 40304);
    codes = FollowTimecodes(first, 1, 1500, 15000);
    ASSERT_GE(codes.size(), 2u) << "the restored disc did not play";
    EXPECT_EQ(1, codes.front().track);
    EXPECT_GT(codes.back().frames, codes.front().frames);
    EXPECT_EQ(0, CloseDesk(desk));
}

}  // namespace
