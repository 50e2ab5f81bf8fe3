// The Options dialog driven in-process on the real desk and the stand-in
// core: what OK stores in the registry, what it applies at once, and what
// it leaves alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/MidiDevices.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "common/Text.h"
#include "desk/DeskFrame.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "desk/KeyWnd.h"
#include "dialogs/OptionsDialog.h"
#include "input/FaderWnd.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/DialogDriver.h"
#include "tests/harness/Harness.h"

using harness::Click;
using harness::IsChecked;
using harness::IsEnabled;
using harness::SameSequence;

namespace {

// Input device 1 cannot be read: the list skips it, device 2 keeps its number.
const char* const kInputs[] = {"Sim In A", "Sim In B", "Sim In C"};
const char* const kOutputs[] = {"Sim Out A", "Sim Out B"};
unsigned InputCount() { return 3; }
unsigned OutputCount() { return 2; }
bool InputName(unsigned device, char* buf, size_t size) {
    return device < 3 && device != 1 && CopyBounded(buf, size, kInputs[device]);
}
bool OutputName(unsigned device, char* buf, size_t size) {
    return device < 2 && CopyBounded(buf, size, kOutputs[device]);
}
const MidiDeviceSource kSimulated = {InputCount, InputName, OutputCount, OutputName};

unsigned NoDevices() { return 0; }
bool NoName(unsigned, char*, size_t) { return false; }
const MidiDeviceSource kNoDevices = {NoDevices, NoName, NoDevices, NoName};

std::string ComboText(HWND dlg, int id) {
    const LRESULT index = SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0);
    char text[128] = "";
    if (index >= 0) SendDlgItemMessageA(dlg, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

class OptionsDialogTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        SetMidiDeviceSource(&kSimulated);
        saved_ = {midi_in_dev, midi_out_dev, gShowHScroll, gShowVScroll, gSaveOnShutdown,
                  gCenterMainWhenCovered, gDsrEncoder, gDsrWheel, gCdPlayerShown};
        midi_in_dev = 2;
        midi_out_dev = 0;
        gShowHScroll = gShowVScroll = gSaveOnShutdown = gCenterMainWhenCovered = 0;
        gDsrEncoder = gDsrWheel = gCdPlayerShown = 0;
        gCdDrive[0] = '\0';
        priority_ = GetPriorityClass(GetCurrentProcess());
        StartSession();
    }
    void TearDown() override {
        SetPriorityClass(GetCurrentProcess(), priority_);
        SetMidiDeviceSource(nullptr);
        midi_in_dev = saved_[0];
        midi_out_dev = saved_[1];
        gShowHScroll = saved_[2];
        gShowVScroll = saved_[3];
        gSaveOnShutdown = saved_[4];
        gCenterMainWhenCovered = saved_[5];
        gDsrEncoder = saved_[6];
        gDsrWheel = saved_[7];
        gCdPlayerShown = saved_[8];
        DeskTest::TearDown();
    }
    int Run(const std::function<void(HWND)>& script) {
        return harness::RunModalDialog([this] { return OpenOptionsDialog(main_); }, "Options", script);
    }
    // Every value of the program key, as text.
    std::map<std::string, std::string> Values() const {
        std::map<std::string, std::string> values;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[512];
            DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
            values[name] = type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data))
                                             : std::string(reinterpret_cast<char*>(data));
        }
        RegCloseKey(key);
        return values;
    }
    std::vector<int> saved_;
    DWORD priority_ = 0;
};

TEST_F(OptionsDialogTest, OkWithoutChangesWritesOnlyTheMidiValuesAndRestartsNothing) {
    std::map<std::string, std::string> expected = Values();
    const int result = Run([&](HWND dlg) {
        EXPECT_EQ("Sim In C", ComboText(dlg, IDC_MIDI_IN));
        EXPECT_EQ("Sim Out A", ComboText(dlg, IDC_MIDI_OUT));
        EXPECT_TRUE(IsChecked(dlg, IDC_PRIORITY_NORMAL));
        EXPECT_FALSE(IsEnabled(dlg, IDC_CD_DRIVE)) << "the fixture's CD player is disabled";
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    expected["midi_in_dev"] = "2";
    expected["midi_in_devname"] = "Sim In C";
    expected["midi_out_dev"] = "0";
    expected["midi_out_devname"] = "Sim Out A";
    EXPECT_EQ(expected, Values());
    EXPECT_TRUE(SameSequence({}, harness::CoreCalls()));
    EXPECT_EQ(DWORD(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
}

TEST_F(OptionsDialogTest, UnreadableMidiDeviceKeepsTheNumbersOfTheOthers) {
    Run([&](HWND dlg) {
        EXPECT_EQ(2, SendDlgItemMessageA(dlg, IDC_MIDI_IN, CB_GETCOUNT, 0, 0));
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_MIDI_IN, "Sim In A"));
        ASSERT_TRUE(Click(dlg, IDC_MIDIMAPPER));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MIDI_OUT));
        EXPECT_EQ("", ComboText(dlg, IDC_MIDI_OUT));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(0, midi_in_dev);
    EXPECT_EQ(-1, midi_out_dev);
    auto values = Values();
    EXPECT_EQ("0", values["midi_in_dev"]);
    EXPECT_EQ("Sim In A", values["midi_in_devname"]);
    EXPECT_EQ(std::to_string(DWORD(-1)), values["midi_out_dev"]);
    EXPECT_EQ("", values["midi_out_devname"]);
    EXPECT_TRUE(SameSequence({"RestartMidi"}, harness::CoreCalls()));

    // Reopened: the mapper is ticked, the out list off; the device behind the
    // unreadable one is chosen by its number, and clearing the mapper picks
    // the first output.
    harness::ClearJournal();
    Run([&](HWND dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_MIDIMAPPER));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MIDI_OUT));
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_MIDI_IN, "Sim In C"));
        ASSERT_TRUE(Click(dlg, IDC_MIDIMAPPER));
        EXPECT_EQ("Sim Out A", ComboText(dlg, IDC_MIDI_OUT));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(2, midi_in_dev);
    EXPECT_EQ(0, midi_out_dev);
    EXPECT_EQ("Sim In C", Values()["midi_in_devname"]);
    EXPECT_TRUE(SameSequence({"RestartMidi"}, harness::CoreCalls()));
}

// On a machine with no MIDI devices the lists are empty: the stored choice
// stays, names included, and MIDI is not restarted.
TEST_F(OptionsDialogTest, NoMidiDevicesKeepThePreviousChoice) {
    SetMidiDeviceSource(&kNoDevices);
    SetString("midi_in_devname", "Sim In C");
    SetString("midi_out_devname", "Sim Out A");
    Run([&](HWND dlg) { ASSERT_TRUE(Click(dlg, IDOK)); });
    EXPECT_EQ(2, midi_in_dev);
    EXPECT_EQ(0, midi_out_dev);
    auto values = Values();
    EXPECT_EQ("2", values["midi_in_dev"]);
    EXPECT_EQ("Sim In C", values["midi_in_devname"]);
    EXPECT_EQ("Sim Out A", values["midi_out_devname"]);
    EXPECT_TRUE(SameSequence({}, harness::CoreCalls()));
}

TEST_F(OptionsDialogTest, PriorityChangeReachesTheProcessAtOnce) {
    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_PRIORITY_HIGH));
        EXPECT_FALSE(IsChecked(dlg, IDC_PRIORITY_NORMAL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(DWORD(HIGH_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
    EXPECT_EQ(1, gPriorityOption);
    EXPECT_EQ("1", Values()["priority"]);
    Run([&](HWND dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_PRIORITY_HIGH));
        ASSERT_TRUE(Click(dlg, IDC_PRIORITY_NORMAL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(DWORD(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
    EXPECT_EQ("0", Values()["priority"]);
}

TEST_F(OptionsDialogTest, CancelStoresAndAppliesNothing) {
    const std::map<std::string, std::string> before = Values();
    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_PRIORITY_HIGH));
        ASSERT_TRUE(Click(dlg, IDC_SHOW_HSCROLL));
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_MIDI_IN, "Sim In A"));
        ASSERT_TRUE(Click(dlg, IDCANCEL));
    });
    EXPECT_EQ(before, Values());
    EXPECT_EQ(0, gShowHScroll);
    EXPECT_EQ(2, midi_in_dev);
    EXPECT_EQ(DWORD(NORMAL_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()));
}

// The scroll bar options lay the desk out again: on a desk cut to 600 x 400
// the bars the size needs appear, on a full-size desk none does.
TEST_F(OptionsDialogTest, ScrollBarOptionsLayTheDeskOutAgain) {
    CreateDeskFrame(main_);
    HWND horizontal = GetDlgItem(main_, kDeskHScrollId), vertical = GetDlgItem(main_, kDeskVScrollId);
    ASSERT_NE(nullptr, horizontal);
    auto resize = [this](int width, int height) {
        SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        harness::PumpUntilIdle();
    };
    auto visible = [](HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) != 0; };
    resize(600, 400);
    EXPECT_FALSE(visible(horizontal));
    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_SHOW_HSCROLL));
        ASSERT_TRUE(Click(dlg, IDC_SHOW_VSCROLL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_TRUE(visible(horizontal));
    EXPECT_TRUE(visible(vertical));
    EXPECT_EQ("1", Values()["showhscroll"]);
    EXPECT_EQ("1", Values()["showvscroll"]);

    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_SHOW_HSCROLL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_FALSE(visible(horizontal));
    EXPECT_TRUE(visible(vertical));

    resize(kDeskWidth, kDeskHeight);
    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_SHOW_HSCROLL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(1, gShowHScroll);
    EXPECT_FALSE(visible(horizontal)) << "a desk that fits needs no bar";
}

TEST_F(OptionsDialogTest, DualSpeedOptionsRemakeTheFaceBrushes) {
    const HBRUSH encoder = LargeEncoderFaceBrush(false), wheel = WheelFaceBrush();
    Run([&](HWND dlg) {
        ASSERT_TRUE(Click(dlg, IDC_DSR_ENCODER));
        ASSERT_TRUE(Click(dlg, IDC_DSR_WHEEL));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(1, gDsrEncoder);
    EXPECT_EQ(1, gDsrWheel);
    auto values = Values();
    EXPECT_EQ("1", values["dsr_encoder"]);
    EXPECT_EQ("1", values["dsr_wheel"]);
    EXPECT_NE(nullptr, LargeEncoderFaceBrush(false));
    EXPECT_NE(encoder, LargeEncoderFaceBrush(false));
    EXPECT_NE(nullptr, WheelFaceBrush());
    EXPECT_NE(wheel, WheelFaceBrush());
}

class OptionsCdTest : public OptionsDialogTest {
protected:
    void SetUp() override {
        OptionsDialogTest::SetUp();
        DisableCDPlayer = 0;
        ASSERT_TRUE(CreateFaders(main_));
        ASSERT_TRUE(CreateDeskKeys(main_));
        panel_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, 600, 700, 40, 20, main_,
                                 reinterpret_cast<HMENU>(INT_PTR(kFirstCdPanelId + 11)), nullptr, nullptr);
        ASSERT_NE(nullptr, panel_);
        ShowWindow(main_, SW_SHOW);
        SelectFaderBar(6);
    }
    void TearDown() override {
        DisableCDPlayer = 1;
        OptionsDialogTest::TearDown();
    }
    HWND panel_ = nullptr;
};

TEST_F(OptionsCdTest, CdPlayerCheckHidesAndShowsThePanel) {
    EXPECT_FALSE(IsWindowVisible(panel_));
    Run([&](HWND dlg) {
        EXPECT_TRUE(IsEnabled(dlg, IDC_CD_VISIBLE));
        EXPECT_FALSE(IsChecked(dlg, IDC_CD_VISIBLE));
        ASSERT_TRUE(Click(dlg, IDC_CD_VISIBLE));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(1, gCdPlayerShown);
    EXPECT_TRUE(IsWindowVisible(panel_));
    EXPECT_TRUE(IsWindowVisible(FaderWindow(kVolumeFader)));
    EXPECT_EQ("1", Values()["cd_player"]);
    // No drive was chosen or configured: nothing is opened.
    EXPECT_FALSE(gCdDevice.IsOpen());

    Run([&](HWND dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_CD_VISIBLE));
        ASSERT_TRUE(Click(dlg, IDC_CD_VISIBLE));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(0, gCdPlayerShown);
    EXPECT_FALSE(IsWindowVisible(panel_));
    EXPECT_EQ("0", Values()["cd_player"]);
}

}  // namespace
