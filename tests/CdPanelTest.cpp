// Which bar shows the CD player panel and its volume fader.
#include <gtest/gtest.h>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdPanel.h"
#include "mainwindow/DeskView.h"
#include "desk/KeyWnd.h"
#include "input/FaderWnd.h"
#include "tests/harness/DeskFixture.h"

namespace {

class CdPanelShowTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        DisableCDPlayer = 0;
        ASSERT_TRUE(CreateFaders(main_));
        ASSERT_TRUE(CreateDeskKeys(main_));
        // One panel window stands for the twelve.
        panel_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 600, 700, 40, 20, main_,
                                 reinterpret_cast<HMENU>(INT_PTR(kFirstCdPanelId + 11)), nullptr, nullptr);
        ASSERT_NE(nullptr, panel_);
    }
    void TearDown() override {
        gCdPlayerShown = 0;
        DisableCDPlayer = 1;
        DeskTest::TearDown();
    }
    bool VolumeShown() const { return IsWindowVisible(FaderWindow(kVolumeFader)) != 0; }
    HWND panel_ = nullptr;
};

TEST_F(CdPanelShowTest, OnlyTheEncoderBarShowsASwitchedOnPanel) {
    ShowWindow(main_, SW_SHOW);
    gCdPlayerShown = 1;
    SelectFaderBar(6);
    EXPECT_TRUE(VolumeShown());
    EXPECT_TRUE(IsWindowVisible(panel_));
    SelectFaderBar(3);
    EXPECT_FALSE(VolumeShown());
    EXPECT_FALSE(IsWindowVisible(panel_));

    gCdPlayerShown = 0;
    SelectFaderBar(6);
    EXPECT_FALSE(VolumeShown()) << "the panel is switched off";
    EXPECT_FALSE(IsWindowVisible(panel_));
}

TEST_F(CdPanelShowTest, ADisabledPlayerLeavesEverythingAlone) {
    ShowWindow(main_, SW_SHOW);
    gCdPlayerShown = 1;
    SelectFaderBar(3);
    ASSERT_FALSE(IsWindowVisible(panel_));
    DisableCDPlayer = 1;
    SelectFaderBar(6);
    EXPECT_FALSE(IsWindowVisible(panel_));
}

}  // namespace
