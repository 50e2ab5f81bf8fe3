// The Shortcuts and Options dialogs of the installed program, opened from the
// desk menu and changed with real pointer and keyboard input through the X
// server; what they stored is checked after the program has started again.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "desk/KeyTable.h"
#include "input/ShortcutFile.h"
#include "resources/resource.h"
#include "tests/harness/ProgramFixture.h"

namespace {

constexpr int32_t kCtrlF1 = 0x40000000 + VK_F1;

class DialogsProgramTest : public harness::ProgramTest {
protected:
    void Xdo(const std::string& steps) { RunXdotool(steps); }
    std::string ShortcutFile() const {
        std::ifstream in(SharedDir() + "\\ide0\\psc.cfg", std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void Screenshot(const char* name) {
        std::string shot;
        EXPECT_TRUE(SaveScreenshot(name, &shot)) << "no screenshot";
        std::printf("screenshot: %s\n", shot.c_str());
    }
    // Drags the default picture's scroll thumb with the real pointer to a
    // fraction of its travel (beyond 1: past the foot), and gives the scroll
    // position and the furthest one there is. The thumb is as long as the bar
    // is wide, as a bar without a page size draws it.
    int DragPictureTo(HWND dlg, double fraction, int* maximum) {
        HWND bar = GetDlgItem(dlg, IDC_DEFAULTS_SCROLL);
        RECT r = {}, view = {};
        GetWindowRect(bar, &r);
        GetClientRect(GetDlgItem(dlg, IDC_DEFAULTS_VIEW), &view);
        BITMAP picture = {};
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_DEFAULT_SHORTCUTS));
        GetObjectA(bitmap, sizeof picture, &picture);
        DeleteObject(bitmap);
        *maximum = picture.bmHeight - view.bottom;
        const int arrow = GetSystemMetrics(SM_CYVSCROLL), thumb = GetSystemMetrics(SM_CXVSCROLL);
        const int travel = int(r.bottom - r.top) - 2 * arrow - thumb;
        const auto y = [&](double f) { return std::to_string(r.top + arrow + thumb / 2 + int(f * travel)); };
        const std::string x = std::to_string((r.left + r.right) / 2);
        const double from = double(SendMessageA(bar, SBM_GETPOS, 0, 0)) / *maximum;
        Xdo("mousemove " + x + " " + y(from) + " sleep 0.1 mousedown 1 sleep 0.1 mousemove " + x + " " + y(fraction) +
            " sleep 0.2 mouseup 1 sleep 0.3");
        return int(SendMessageA(bar, SBM_GETPOS, 0, 0));
    }
};

// Typing "s" into the closed command list picks its first item starting with S.
int FirstCommandStartingWithS() {
    for (const KeyRecord* row = KeyTable(); row->keyId != 0; ++row)
        if (std::toupper(static_cast<unsigned char>(row->command[0])) == 'S') return row->keyId;
    return -1;
}

TEST_F(DialogsProgramTest, ShortcutAddedWithRealInputWorksAfterARestart) {
    const int command = FirstCommandStartingWithS();
    ASSERT_GT(command, 0);
    ASSERT_LT(command, kScreenKeyId) << "the check below expects a plain desk key";
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);

    HWND dlg = OpenFromDeskMenu(3, "Shortcuts");
    ASSERT_NE(nullptr, dlg) << "no Shortcuts dialog";
    Screenshot("shortcuts_dialog");
    // The modifier list has the focus: CTRL, then F1 (the first key) and the
    // command by keys.
    Xdo("key --delay 150 Down Tab Home Tab s");
    ClickItem(dlg, IDC_ADD);
    ClickItem(dlg, IDC_USE_PROGRAMMED);
    Screenshot("shortcuts_dialog_added");
    ClickItem(dlg, IDOK);
    WaitGone(dlg);
    EXPECT_EQ(0, CloseDesk(desk));

    std::string expected(80, '\0');
    auto put = [&expected](size_t at, int32_t value) {
        for (int i = 0; i < 4; ++i) expected[at + size_t(i)] = char(uint32_t(value) >> (8 * i));
    };
    put(0, kShortcutFileVersion);
    put(4, 1);
    put(40, kCtrlF1);
    put(44, command);
    EXPECT_EQ(expected, ShortcutFile());

    // Started again: the entry came back from the file and runs in shortcut mode.
    ASSERT_TRUE(StartDesk());
    desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    DWORD active = 0;
    EXPECT_TRUE(GetInt("pscActive", &active));
    EXPECT_EQ(1u, active);
    const size_t from = Journal().size();
    Xdo("search --sync --onlyvisible --name '^Kantrel Ovrin$' windowfocus --sync sleep 0.2 key Insert sleep 0.2 "
        "keydown ctrl sleep 0.1 key F1 sleep 0.1 keyup ctrl sleep 0.1 key Insert");
    WaitForQuietJournal();
    const std::string press = "VC_SetStatus " + std::to_string(command) + " 1";
    const std::string release = "VC_SetStatus " + std::to_string(command) + " 0";
    EXPECT_TRUE(harness::SameSequence({press, release}, CallsNamed(from, {press, release})));

    dlg = OpenFromDeskMenu(3, "Shortcuts");
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(1, SendDlgItemMessageA(dlg, IDC_SHORTCUT_LIST, LB_GETCOUNT, 0, 0));
    Screenshot("shortcuts_dialog_reopened");
    // The default picture scrolled to its middle and to its foot.
    int maximum = 0;
    EXPECT_NEAR(0.5, double(DragPictureTo(dlg, 0.5, &maximum)) / maximum, 0.05);
    Screenshot("shortcuts_defaults_middle");
    EXPECT_EQ(maximum, DragPictureTo(dlg, 1.2, &maximum));
    Screenshot("shortcuts_defaults_end");
    Xdo("key Escape");
    WaitGone(dlg);
    EXPECT_EQ(0, CloseDesk(desk));
}

TEST_F(DialogsProgramTest, OptionsChangedWithRealInputAreThereAfterARestart) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    HWND dlg = OpenFromDeskMenu(4, "Options");
    ASSERT_NE(nullptr, dlg) << "no Options dialog";
    Screenshot("options_dialog");
    ClickItem(dlg, IDC_PRIORITY_HIGH);
    ClickItem(dlg, IDC_SAVE_ON_SHUTDOWN);
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(dlg, IDC_PRIORITY_HIGH, BM_GETCHECK, 0, 0));
    ClickItem(dlg, IDOK);
    WaitGone(dlg);
    EXPECT_EQ(DWORD(HIGH_PRIORITY_CLASS), GetPriorityClass(process_.hProcess));
    EXPECT_EQ(0, CloseDesk(desk));
    DWORD priority = 0, save = 0;
    EXPECT_TRUE(GetInt("priority", &priority));
    EXPECT_TRUE(GetInt("save_on_shutdown", &save));
    EXPECT_EQ(1u, priority);
    EXPECT_EQ(1u, save);

    ASSERT_TRUE(StartDesk());
    desk = WaitForDesk();
    ASSERT_NE(nullptr, desk);
    dlg = OpenFromDeskMenu(4, "Options");
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(dlg, IDC_PRIORITY_HIGH, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(dlg, IDC_SAVE_ON_SHUTDOWN, BM_GETCHECK, 0, 0));
    Xdo("key Escape");
    WaitGone(dlg);
    EXPECT_EQ(0, CloseDesk(desk));
}

}  // namespace
