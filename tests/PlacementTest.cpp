// The settings the desk restores at start-up and stores at close, read from
// and written to the real registry: clamps, fallbacks, the MIDI device checks,
// the temporary addresses, the echo window and the rules for minimised windows.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <string>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/MidiDevices.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "desk/DeskFrame.h"
#include "desk/ExtMonitor.h"
#include "input/FaderWnd.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Placement.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"

using namespace harness;

namespace {

const char kTempIpKey[] = ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs";

// Two input and two output devices with fixed names.
const char* const kInputs[] = {"Desk In A", "Desk In B"};
const char* const kOutputs[] = {"Desk Out A", "Desk Out B"};
bool NameOf(const char* const* names, unsigned device, char* buf, size_t size) {
    if (device >= 2) return false;
    lstrcpynA(buf, names[device], int(size));
    return true;
}
const MidiDeviceSource kTwoOfEach = {
    [] { return 2u; }, [](unsigned d, char* b, size_t s) { return NameOf(kInputs, d, b, s); },
    [] { return 2u; }, [](unsigned d, char* b, size_t s) { return NameOf(kOutputs, d, b, s); }};

class PlacementTest : public DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        SetMidiDeviceSource(&kTwoOfEach);
        midi_in_dev = 0;
        midi_out_dev = -1;
        gPlayMode = kDefaultPlayMode;
        gShowHKeys = gShowHScroll = gShowVScroll = 1;
        gSaveOnShutdown = gCenterMainWhenCovered = gPriorityOption = 0;
        RegDeleteTreeA(HKEY_USERS, kTempIpKey);
        CreateDeskFrame(main_);
        ASSERT_TRUE(CreateFaders(main_));
    }
    void TearDown() override {
        SetMidiDeviceSource(nullptr);
        RegDeleteTreeA(HKEY_USERS, kTempIpKey);
        DeskTest::TearDown();
    }
    void Load() {
        ClearJournal();
        LoadWindowSettings(main_);
        PumpUntilIdle();
    }
    int Stored(const char* name, const char* subKey = nullptr) {
        DWORD value = 0;
        return GetInt(name, &value, subKey) ? int(value) : -12345;
    }
    // The last place the echo window was given, as the core heard it.
    static std::string LastConsolePosition() {
        std::string position;
        for (const std::string& line : CoreCalls())
            if (line.rfind("SetConsolePosition", 0) == 0) position = line;
        return position;
    }
    static int FaderByte(int fader) { return CoreData()[kDpFaderValues + fader]; }
};

TEST_F(PlacementTest, SpecialFadersAreCappedAndReachTheirKnobs) {
    SetInt("f20", DWORD(-5));
    SetInt("f22", 300);
    Load();
    EXPECT_EQ(0, FaderByte(20));
    EXPECT_EQ(255, FaderByte(21)) << "an absent f21 is the grand master at full";
    EXPECT_EQ(255, FaderByte(22));
    EXPECT_EQ(255, FaderValue(21));
    EXPECT_EQ(255, FaderValue(22));
    EXPECT_EQ(0, FaderValue(20));
}

TEST_F(PlacementTest, MidiDevicesMustStillBeTheStoredOnes) {
    SetInt("midi_in_dev", 3);
    SetString("midi_in_devname", "Desk In A");
    SetInt("midi_out_dev", 1);
    SetString("midi_out_devname", "Desk Out A");
    Load();
    EXPECT_EQ(0, midi_in_dev) << "only two inputs exist";
    EXPECT_EQ(-1, midi_out_dev) << "device 1 is now another device";

    SetInt("midi_in_dev", 1);
    SetString("midi_in_devname", "Desk In B");
    SetInt("midi_out_dev", 0);
    SetString("midi_out_devname", "Desk Out A");
    Load();
    EXPECT_EQ(1, midi_in_dev);
    EXPECT_EQ(0, midi_out_dev);
}

TEST_F(PlacementTest, MidiDeviceWithoutStoredNameIsAMismatch) {
    SetInt("midi_in_dev", 1);
    SetInt("midi_out_dev", 0);
    Load();
    EXPECT_EQ(0, midi_in_dev);
    EXPECT_EQ(-1, midi_out_dev);
}

TEST_F(PlacementTest, PlayModeOutsideItsCommandsIsIgnored) {
    SetInt("play_mode", 33044);
    Load();
    EXPECT_EQ(33045, gPlayMode);
    SetInt("play_mode", 33049);
    Load();
    EXPECT_EQ(33045, gPlayMode);
    SetInt("play_mode", 33047);
    Load();
    EXPECT_EQ(33047, gPlayMode);
}

TEST_F(PlacementTest, FlagsAreNormalisedSoAnInversionFlipsThem) {
    SetInt("showhkeys", 5);
    SetInt("showhscroll", DWORD(-2));
    SetInt("showvscroll", 0);
    SetInt("save_on_shutdown", 7);
    SetInt("centermain_when_desktop_covered", 2);
    SetInt("priority", 9);
    Load();
    EXPECT_EQ(1, gShowHKeys);
    EXPECT_EQ(0, gShowHScroll);
    EXPECT_EQ(0, gShowVScroll);
    EXPECT_EQ(1, gSaveOnShutdown);
    EXPECT_EQ(1, gCenterMainWhenCovered);
    EXPECT_EQ(1, gPriorityOption);
}

TEST_F(PlacementTest, AbsentOptionsKeepTheirDefaults) {
    Load();
    EXPECT_EQ(1, gShowHKeys);
    EXPECT_EQ(1, gShowHScroll);
    EXPECT_EQ(1, gShowVScroll);
    EXPECT_EQ(0, gPriorityOption);
}

// Every value with 4 bytes of integer or binary data goes back to the core and
// is removed; values of other sizes, or whose names do not fit the buffer, are
// passed over and kept, and the key stays while it holds them.
TEST_F(PlacementTest, TemporaryAddressesGoBackToTheCoreAndOnlyTheyAreRemoved) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_USERS, kTempIpKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    const DWORD first = 0x0A000001, binary = 0x0A000003, last = 0x0A000002;
    RegSetValueExA(key, "a", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&first), sizeof first);
    RegSetValueExA(key, "b", 0, REG_SZ, reinterpret_cast<const BYTE*>("10.0.0.9"), 9);
    const std::string longName(300, 'n');
    RegSetValueExA(key, longName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&first), sizeof first);
    const unsigned long long wide = 0x0A0000FFull;
    RegSetValueExA(key, "c", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof wide);
    RegSetValueExA(key, "e", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&binary), sizeof binary);
    RegSetValueExA(key, "f", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&binary), 3);
    RegSetValueExA(key, "d", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&last), sizeof last);
    RegCloseKey(key);

    Load();
    std::vector<std::string> released;
    for (const std::string& line : CoreCalls())
        if (line.rfind("DelIPAddress", 0) == 0) released.push_back(line);
    // The system decides the order of the walk; each address goes back once.
    std::sort(released.begin(), released.end());
    EXPECT_TRUE(SameSequence({"DelIPAddress " + std::to_string(first), "DelIPAddress " + std::to_string(last),
                              "DelIPAddress " + std::to_string(binary)},
                             released));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_USERS, kTempIpKey, &key));
    for (const char* gone : {"a", "d", "e"})
        EXPECT_NE(ERROR_SUCCESS, RegQueryValueExA(key, gone, nullptr, nullptr, nullptr, nullptr)) << gone;
    for (const char* kept : {"b", "c", "f", longName.c_str()})
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, kept, nullptr, nullptr, nullptr, nullptr)) << kept;
    RegCloseKey(key);

    // Once only addresses are left, the key goes with them.
    RegDeleteTreeA(HKEY_USERS, kTempIpKey);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_USERS, kTempIpKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    RegSetValueExA(key, "a", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&binary), sizeof binary);
    RegCloseKey(key);
    Load();
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyA(HKEY_USERS, kTempIpKey, &key));
}

TEST_F(PlacementTest, EchoWindowOpensWithItsStoredPlaceAndState) {
    SetInt("echo", 9);
    SetInt("echox", 120, "WPos");
    SetInt("echowh", (300u << 16) + 200u, "WPos");
    Load();
    std::vector<std::string> echo;
    for (const std::string& line : CoreCalls())
        if (line.find("Console") != std::string::npos) echo.push_back(line);
    ASSERT_EQ(3u, echo.size());
    EXPECT_EQ(0u, echo[0].find("CreateConsoleWindow \"Kantrel Ovrin Echo\""));
    EXPECT_EQ("SetConsolePosition 120 50 300 200", echo[1]);
    EXPECT_EQ("ShowConsoleWindow 9", echo[2]);
    HWND wnd = CallEntry(gService.HasConsoleWindow);
    ASSERT_NE(nullptr, wnd);
    EXPECT_TRUE(IsWindowVisible(wnd));
}

// A screen that was there when the place was stored may be gone now.
TEST_F(PlacementTest, EchoWindowNeverOpensOffEveryScreenOrWithoutASize) {
    SetInt("echox", 6000, "WPos");
    SetInt("echoy", 5000, "WPos");
    SetInt("echowh", 300u << 16, "WPos");
    Load();
    EXPECT_EQ("SetConsolePosition 10 50 400 250", LastConsolePosition());

    // A size the screen does show keeps its place, even partly off it.
    SetInt("echox", DWORD(-100), "WPos");
    SetInt("echoy", 20, "WPos");
    SetInt("echowh", (300u << 16) + 200u, "WPos");
    CallEntry(gService.DestroyConsoleWindow);
    Load();
    EXPECT_EQ("SetConsolePosition -100 20 300 200", LastConsolePosition());
}

TEST_F(PlacementTest, MonitorStoredOffEveryScreenOpensWhereTheSystemPutsIt) {
    SetInt("ext1", 1);
    SetInt("ext1_xp", DWORD(-9000), "WPos");
    SetInt("ext1_yp", 4000, "WPos");
    SetInt("ext2", 1);
    SetInt("ext2_xp", DWORD(-300), "WPos");
    SetInt("ext2_yp", 40, "WPos");
    Load();
    ASSERT_NE(nullptr, hExt1Wnd);
    ASSERT_NE(nullptr, hExt2Wnd);
    RECT r;
    GetWindowRect(hExt1Wnd, &r);
    EXPECT_NE(nullptr, MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) << "monitor 1 is out of reach";
    EXPECT_NE(-9000, r.left);
    GetWindowRect(hExt2Wnd, &r);
    EXPECT_EQ(-300, r.left) << "a monitor partly on the screen stays where it was";
    EXPECT_EQ(40, r.top);
}

// A sliver of a window on a screen is no window one can move back.
TEST_F(PlacementTest, WindowsStoredWithTooLittleOfTheirTitleBarOnAScreenComeBackWithin) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetInt("ext1", 1);
    SetInt("ext1_xp", DWORD(work.right - 8), "WPos");
    SetInt("ext1_yp", 100, "WPos");
    SetInt("ext2", 1);
    SetInt("ext2_xp", 100, "WPos");
    // Only the lowest pixels of the title bar are on the screen.
    SetInt("ext2_yp", DWORD(work.top - GetSystemMetrics(SM_CYCAPTION)), "WPos");
    SetInt("echox", DWORD(work.right - 5), "WPos");
    SetInt("echoy", 300, "WPos");
    SetInt("echowh", (300u << 16) + 200u, "WPos");
    Load();
    ASSERT_NE(nullptr, hExt1Wnd);
    ASSERT_NE(nullptr, hExt2Wnd);
    RECT r;
    GetWindowRect(hExt1Wnd, &r);
    EXPECT_NE(work.right - 8, r.left) << "monitor 1 kept a place with 8 pixels on the screen";
    EXPECT_LE(r.right, work.right);
    GetWindowRect(hExt2Wnd, &r);
    EXPECT_GE(r.top, work.top) << "monitor 2 kept its title bar off the screen";
    EXPECT_EQ("SetConsolePosition 10 50 300 200", LastConsolePosition());
}

// A desk of one pixel in the far corner cannot be taken hold of.
TEST_F(PlacementTest, TinyStoredDeskOpensAtTheSmallestUsableSize) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetInt("sz", (1u << 16) + 1u, "WPos");
    SetInt("xp", DWORD(work.right - 1), "WPos");
    SetInt("yp", DWORD(work.bottom - 1), "WPos");
    PlaceMainWindow(main_);
    RECT r;
    GetWindowRect(main_, &r);
    EXPECT_EQ(kMinDeskWidth, r.right - r.left);
    EXPECT_EQ(kMinDeskHeight, r.bottom - r.top);
    EXPECT_EQ(work.right, r.right);
    EXPECT_EQ(work.bottom, r.bottom);
}

TEST_F(PlacementTest, MinimisedEchoWindowKeepsItsStoredPosition) {
    SetInt("echo", 9);
    SetInt("echox", 77, "WPos");
    Load();
    HWND wnd = CallEntry(gService.HasConsoleWindow);
    ASSERT_NE(nullptr, wnd);
    ShowWindow(wnd, SW_MINIMIZE);
    PumpUntilIdle();
    SaveWindowSettings(main_);
    EXPECT_EQ(6, Stored("echo"));
    EXPECT_EQ(77, Stored("echox", "WPos"));
    EXPECT_EQ(-12345, Stored("echowh", "WPos")) << "a minimised window has no size worth keeping";
}

TEST_F(PlacementTest, SaveStoresTheDeskStateAndTheWindow) {
    Load();
    SetWindowPos(main_, nullptr, 30, 40, 700, 500, SWP_NOZORDER);
    gCmdLineLock = 1;
    gShortcutMode = 1;
    InterlockedExchange(&current_bar, 5);
    InterlockedExchange(&current_touch, 1);
    CoreData()[kDpFaderValues + 21] = 99;
    SaveWindowSettings(main_);
    EXPECT_EQ(30, Stored("xp", "WPos"));
    EXPECT_EQ(40, Stored("yp", "WPos"));
    EXPECT_EQ(int((700u << 16) + 500u), Stored("sz", "WPos"));
    EXPECT_EQ(1, Stored("cLock"));
    EXPECT_EQ(1, Stored("sLock"));
    EXPECT_EQ(5, Stored("bar"));
    EXPECT_EQ(1, Stored("touch"));
    EXPECT_EQ(99, Stored("f21"));
    EXPECT_EQ(33045, Stored("play_mode"));
    EXPECT_EQ(0, Stored("coverDesktop"));
}

TEST_F(PlacementTest, MinimisedMainWindowKeepsItsStoredPlacement) {
    SetInt("xp", 11, "WPos");
    Load();
    ShowWindow(main_, SW_MINIMIZE);
    PumpUntilIdle();
    SaveWindowSettings(main_);
    EXPECT_EQ(11, Stored("xp", "WPos"));
    EXPECT_EQ(-12345, Stored("sz", "WPos"));
}

TEST_F(PlacementTest, StoredScrollOffsetsAreClampedToTheDesk) {
    SetInt("vpos", 1000);
    SetInt("hpos", DWORD(-50));
    RestoreDeskScrollPositions(main_);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    ASSERT_TRUE(GetScrollInfo(DeskScrollBar(true), SB_CTL, &info));
    EXPECT_EQ(767, info.nPos);
    ASSERT_TRUE(GetScrollInfo(DeskScrollBar(false), SB_CTL, &info));
    EXPECT_EQ(0, info.nPos) << "a negative stored offset is no offset";
}

TEST_F(PlacementTest, MonitorsOpenWhereTheyWereAndTheSaveKeepsThem) {
    SetInt("ext2", 1);
    SetInt("ext2_xp", 150, "WPos");
    SetInt("ext2_yp", 60, "WPos");
    Load();
    ASSERT_NE(nullptr, hExt1Wnd);
    ASSERT_NE(nullptr, hExt2Wnd);
    EXPECT_FALSE(IsWindowVisible(hExt1Wnd));
    EXPECT_TRUE(IsWindowVisible(hExt2Wnd));
    RECT r;
    GetWindowRect(hExt2Wnd, &r);
    EXPECT_EQ(150, r.left);
    EXPECT_EQ(60, r.top);

    // Monitor 2 closed (hidden) is stored hidden; a minimised monitor 1 keeps
    // what was stored for it.
    SetInt("ext1_xp", 5, "WPos");
    SendMessageA(hExt2Wnd, WM_CLOSE, 0, 0);
    ShowWindow(hExt1Wnd, SW_SHOWMINNOACTIVE);
    PumpUntilIdle();
    SaveWindowSettings(main_);
    EXPECT_EQ(0, Stored("ext2"));
    EXPECT_EQ(150, Stored("ext2_xp", "WPos"));
    EXPECT_EQ(5, Stored("ext1_xp", "WPos"));
    EXPECT_EQ(-12345, Stored("ext1"));
}

}  // namespace
