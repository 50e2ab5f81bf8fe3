// The Shortcuts dialog driven in-process on the real desk: what OK and Cancel
// leave in psc.cfg, the registry and the live list, and what the desk then
// does with a key.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <set>
#include <string>

#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "input/KeyboardDispatch.h"
#include "input/ShortcutFile.h"
#include "input/ShortcutsDialog.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/DialogDriver.h"
#include "tests/harness/GuiCounts.h"
#include "tests/harness/Harness.h"

using harness::Click;
using harness::IsChecked;
using harness::IsEnabled;
using harness::SameSequence;

namespace {

constexpr int32_t kCtrl = 0x40000000;
constexpr int kScreen1 = 247;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A psc.cfg record: two little-endian words and 32 zero bytes.
std::string Record(int32_t first, int32_t second) {
    std::string bytes(kShortcutRecordSize, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[size_t(i)] = char(uint32_t(first) >> (8 * i));
        bytes[size_t(4 + i)] = char(uint32_t(second) >> (8 * i));
    }
    return bytes;
}

std::string ListLine(HWND dlg, int index) {
    char text[256] = "";
    SendDlgItemMessageA(dlg, IDC_SHORTCUT_LIST, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int ListCount(HWND dlg) { return int(SendDlgItemMessageA(dlg, IDC_SHORTCUT_LIST, LB_GETCOUNT, 0, 0)); }

class ShortcutsDialogTest : public harness::DeskTest {
protected:
    void SetUp() override {
        ResetKeyLabels();
        DeskTest::SetUp();
        ASSERT_TRUE(CreateDeskKeys(main_));
        path_ = SharedDir() + "\\ide0\\psc.cfg";
    }
    void TearDown() override {
        BYTE none[256] = {};
        SetKeyboardState(none);
        ReleaseShortcutList();
        DeskTest::TearDown();
        ClearKeyIndexMap();
        ResetKeyLabels();
    }
    // psc.cfg with these entries, both flags stored, the settings loaded.
    void Program(const ShortcutList& entries, int active = 1, int only = 0) {
        ASSERT_TRUE(WriteShortcutFile(path_.c_str(), entries));
        SetInt("pscActive", DWORD(active));
        SetInt("pscOnly", DWORD(only));
        LoadShortcutSettings();
    }
    int Run(const std::function<void(HWND)>& script) {
        return harness::RunModalDialog([this] { return OpenShortcutsDialog(main_); }, "Shortcuts", script);
    }
    // One key stroke with Ctrl held, through the main window as the keyboard sends it.
    std::vector<std::string> CtrlStroke(int vk) {
        BYTE state[256] = {};
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        harness::ClearJournal();
        SendMessageA(main_, WM_KEYDOWN, WPARAM(vk), 1);
        SendMessageA(main_, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
        harness::PumpUntilIdle();
        std::vector<std::string> calls;
        for (const std::string& line : harness::CoreCalls())
            if (line != "IsDesklocked") calls.push_back(line);
        return calls;
    }
    std::string path_;
};

TEST_F(ShortcutsDialogTest, CtrlF1ToScreen1ThenOkWritesTheFileAndTheKeyReachesTheCore) {
    Program({}, 0, 0);
    StartSession();
    std::unique_ptr<harness::MessageBoxCapture> boxes;
    HWND shown = nullptr;
    const int result = Run([&](HWND dlg) {
        // Made only now: the dialog itself must not be taken for a message box.
        shown = dlg;
        boxes = std::make_unique<harness::MessageBoxCapture>();
        boxes->Ignore(dlg);
        EXPECT_FALSE(IsEnabled(dlg, IDC_USE_PROGRAMMED)) << "nothing programmed yet";
        EXPECT_TRUE(IsChecked(dlg, IDC_USE_DEFAULTS_ONLY));
        EXPECT_FALSE(IsEnabled(dlg, IDC_ADD));
        SendDlgItemMessageA(dlg, IDC_MODIFIER, CB_SETCURSEL, 1, 0);
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_KEY, "F1"));
        EXPECT_FALSE(IsEnabled(dlg, IDC_ADD)) << "no command chosen yet";
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_COMMAND, "SCREEN 1"));
        ASSERT_TRUE(Click(dlg, IDC_ADD));
        ASSERT_EQ(1, ListCount(dlg));
        EXPECT_EQ("Ctrl F1 = SCREEN 1", ListLine(dlg, 0));
        EXPECT_TRUE(IsEnabled(dlg, IDC_CLEAR_LIST));
        EXPECT_TRUE(IsEnabled(dlg, IDC_USE_PROGRAMMED));
        EXPECT_FALSE(IsEnabled(dlg, IDC_ADD));

        // The same modifier and key again: refused with the dialog's own message.
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_KEY, "F1"));
        ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_COMMAND, "SCREEN 2"));
        ASSERT_TRUE(Click(dlg, IDC_ADD));
        EXPECT_EQ(1, ListCount(dlg));
        EXPECT_EQ("SCREEN 2", [&] {
            char text[64] = "";
            GetDlgItemTextA(dlg, IDC_COMMAND, text, sizeof text);
            return std::string(text);
        }()) << "the selections stay";

        ASSERT_TRUE(Click(dlg, IDC_USE_PROGRAMMED));
        ASSERT_TRUE(Click(dlg, IDC_PROGRAMMED_ONLY));
        EXPECT_FALSE(IsChecked(dlg, IDC_USE_DEFAULTS_ONLY));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    ASSERT_TRUE(boxes);
    ASSERT_EQ(1u, boxes->Boxes().size());
    const harness::CapturedBox& box = boxes->Boxes()[0];
    EXPECT_EQ("This Shortcut already exists in the Programmed Shortcut List.\nDelete the list entry first.", box.text);
    EXPECT_EQ("Kantrel Ovrin", box.caption);
    EXPECT_EQ(shown, box.owner);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), box.icon);

    EXPECT_EQ(Record(kShortcutFileVersion, 1) + Record(kCtrl + VK_F1, kScreen1), ReadBytes(path_));
    DWORD active = 0, only = 0;
    EXPECT_TRUE(GetInt("pscActive", &active));
    EXPECT_TRUE(GetInt("pscOnly", &only));
    EXPECT_EQ(1u, active);
    EXPECT_EQ(1u, only);

    // Programmed only: Ctrl+F1 selects screen 1 through the entry, while the
    // default Ctrl+F2 no longer does anything.
    gShortcutMode = 1;
    InterlockedExchange(&current_touch, 1);
    InterlockedExchange(&current_background, 1);
    EXPECT_TRUE(SameSequence({"CanSwitchTouch"}, CtrlStroke(VK_F1)));
    EXPECT_EQ(0, current_background);
    EXPECT_TRUE(SameSequence({}, CtrlStroke(VK_F2)));
    EXPECT_EQ(0, current_background);
}

TEST_F(ShortcutsDialogTest, CancelAfterClearListLeavesFileListAndFlagsAlone) {
    Program({{kCtrl + VK_F1, kScreen1}, {'A', 150}}, 1, 1);
    const std::string before = ReadBytes(path_);
    const int result = Run([&](HWND dlg) {
        ASSERT_EQ(2, ListCount(dlg));
        EXPECT_TRUE(IsChecked(dlg, IDC_USE_PROGRAMMED));
        EXPECT_TRUE(IsChecked(dlg, IDC_PROGRAMMED_ONLY));
        ASSERT_TRUE(Click(dlg, IDC_CLEAR_LIST));
        EXPECT_EQ(0, ListCount(dlg));
        EXPECT_TRUE(IsChecked(dlg, IDC_USE_DEFAULTS_ONLY));
        EXPECT_FALSE(IsEnabled(dlg, IDC_USE_PROGRAMMED));
        EXPECT_FALSE(IsEnabled(dlg, IDC_PROGRAMMED_ONLY));
        EXPECT_FALSE(IsEnabled(dlg, IDC_CLEAR_LIST));
        ASSERT_TRUE(Click(dlg, IDCANCEL));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(before, ReadBytes(path_));
    EXPECT_EQ(2u, ProgrammedShortcuts()->size());
    EXPECT_EQ(1, UsesProgrammedShortcuts());
    EXPECT_EQ(1, ProgrammedShortcutsOnly());
}

// The file cannot be written: its new copy's name is taken by a folder (as on
// a shared folder that cannot be written), or the file is read-only. The new
// live list is used, the old file stays whole, and one message says so,
// modal to the dialog. In the last round the desk is closed while the message
// is up: what the user left ticked is stored as it was.
TEST_F(ShortcutsDialogTest, AFileThatCannotBeWrittenKeepsTheLiveListWithOneMessageOwnedByTheDialog) {
    const struct {
        bool readOnly, closeDesk;
        const char* text;
    } cases[] = {{false, false, "Cannot save the programmed shortcuts to "},
                 {true, false, "The shortcut file "},
                 {true, true, "The shortcut file "}};
    StartSession();
    VCMessageBoxSetAnswer(kVcAnswer2);  // "Save actual Show ?" No
    for (const auto& c : cases) {
        Program({{kCtrl + VK_F1, kScreen1}});
        SetInt("showhkeys", 1);
        gShowHKeys = 1;
        const std::string before = ReadBytes(path_);
        if (c.readOnly) ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
        else ASSERT_TRUE(CreateDirectoryA((path_ + ".new").c_str(), nullptr));
        std::unique_ptr<harness::MessageBoxCapture> boxes;
        HWND shown = nullptr;
        Run([&](HWND dlg) {
            // Made only now: the dialog itself must not be taken for a message box.
            shown = dlg;
            boxes = std::make_unique<harness::MessageBoxCapture>();
            boxes->Ignore(dlg);
            CheckDlgButton(dlg, IDC_SHOW_HKEYS, BST_CHECKED);
            ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_KEY, "B"));
            ASSERT_TRUE(harness::ChooseComboText(dlg, IDC_COMMAND, "SCREEN 2"));
            ASSERT_TRUE(Click(dlg, IDC_ADD));
            // Handled while the message is up, before its answer.
            if (c.closeDesk) PostMessageA(main_, WM_CLOSE, 0, 0);
            ASSERT_TRUE(Click(dlg, IDOK));
        });
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA((path_ + ".new").c_str());
        EXPECT_EQ(before, ReadBytes(path_)) << c.text;
        const ShortcutList expected = {{'B', 248}, {kCtrl + VK_F1, kScreen1}};
        EXPECT_EQ(expected, *ProgrammedShortcuts());
        ASSERT_TRUE(boxes);
        ASSERT_EQ(1u, boxes->Boxes().size()) << c.text;
        const harness::CapturedBox& box = boxes->Boxes()[0];
        EXPECT_EQ(0u, box.text.rfind(c.text, 0)) << box.text;
        EXPECT_NE(std::string::npos, box.text.find("psc.cfg")) << box.text;
        EXPECT_EQ("Kantrel Ovrin", box.caption);
        EXPECT_EQ(shown, box.owner);
        EXPECT_EQ(UINT(MB_ICONERROR), box.icon);
        DWORD stored = 0;
        EXPECT_TRUE(GetInt("showhkeys", &stored) && stored == 1) << c.text;
        EXPECT_EQ(c.closeDesk, !IsWindow(main_)) << c.text;
    }
}

// Keys the dialog does not offer (from a file written elsewhere) are listed
// under names of their own, an arrow key apart from the number pad key that
// shares its scan code, and can be deleted like any other entry.
TEST_F(ShortcutsDialogTest, EntriesWithUnofferedKeysAreListedApartAndCanBeDeleted) {
    const int keys[] = {VK_NUMPAD5, VK_UP, VK_NUMPAD8, VK_LEFT, VK_NUMPAD4};
    ShortcutList entries;
    for (int vk : keys) entries[kCtrl + 0x10000000 + vk] = kScreen1;
    Program(entries);
    Run([&](HWND dlg) {
        ASSERT_EQ(5, ListCount(dlg));
        std::set<std::string> lines;
        for (int i = 0; i < 5; ++i) {
            const std::string line = ListLine(dlg, i);
            lines.insert(line);
            EXPECT_EQ(0u, line.rfind("Ctrl ", 0)) << line;
            EXPECT_GT(line.size(), std::string("Ctrl  = SCREEN 1").size()) << line;
            EXPECT_EQ(line.size() - 11, line.rfind(" = SCREEN 1")) << line;
        }
        EXPECT_EQ(5u, lines.size()) << "two keys listed under one name";
        EXPECT_FALSE(IsEnabled(dlg, IDC_DELETE_ENTRY));
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(harness::ChooseListIndex(dlg, IDC_SHORTCUT_LIST, 0));
            ASSERT_TRUE(Click(dlg, IDC_DELETE_ENTRY));
        }
        EXPECT_EQ(0, ListCount(dlg));
        EXPECT_TRUE(IsChecked(dlg, IDC_USE_DEFAULTS_ONLY));
        EXPECT_FALSE(IsEnabled(dlg, IDC_USE_PROGRAMMED));
        ASSERT_TRUE(Click(dlg, IDOK));
    });
    EXPECT_EQ(Record(kShortcutFileVersion, 0), ReadBytes(path_));
    EXPECT_TRUE(ProgrammedShortcuts()->empty());
    EXPECT_EQ(0, UsesProgrammedShortcuts());
}

TEST_F(ShortcutsDialogTest, OkWithoutChangesWritesNoFileButStoresTheFlags) {
    Program({{kCtrl + VK_F1, kScreen1}}, 1, 0);
    ASSERT_TRUE(DeleteFileA(path_.c_str()));
    SetInt("pscActive", 7);
    Run([&](HWND dlg) { ASSERT_TRUE(Click(dlg, IDOK)); });
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path_.c_str()));
    DWORD active = 0, only = 9;
    EXPECT_TRUE(GetInt("pscActive", &active));
    EXPECT_TRUE(GetInt("pscOnly", &only));
    EXPECT_EQ(1u, active);
    EXPECT_EQ(0u, only);
}

TEST_F(ShortcutsDialogTest, DefaultsPictureScrollsByLinePageAndWheel) {
    Program({});
    Run([&](HWND dlg) {
        HWND bar = GetDlgItem(dlg, IDC_DEFAULTS_SCROLL);
        HWND view = GetDlgItem(dlg, IDC_DEFAULTS_VIEW);
        RECT client;
        GetClientRect(view, &client);
        const int page = client.bottom;
        int low = -1, high = -1;
        GetScrollRange(bar, SB_CTL, &low, &high);
        EXPECT_EQ(0, low);
        EXPECT_EQ(2342 - page, high);
        auto scroll = [&](int request, int thumb = 0) {
            SendMessageA(dlg, WM_VSCROLL, MAKEWPARAM(request, thumb), reinterpret_cast<LPARAM>(bar));
            return GetScrollPos(bar, SB_CTL);
        };
        EXPECT_EQ(0, scroll(SB_LINEUP));
        EXPECT_EQ(5, scroll(SB_LINEDOWN));
        EXPECT_EQ(5 + page, scroll(SB_PAGEDOWN));
        EXPECT_EQ(5, scroll(SB_PAGEUP));
        EXPECT_EQ(0, scroll(SB_PAGEUP));
        EXPECT_EQ(high, scroll(SB_THUMBTRACK, 30000));
        EXPECT_EQ(high, scroll(SB_LINEDOWN));
        EXPECT_EQ(100, scroll(SB_THUMBPOSITION, 100));
        SendMessageA(dlg, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        EXPECT_EQ(95, GetScrollPos(bar, SB_CTL));
        SendMessageA(dlg, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
        EXPECT_EQ(100, GetScrollPos(bar, SB_CTL));
        ASSERT_TRUE(Click(dlg, IDCANCEL));
    });
}

// Each opening paints the picture through the desk's shared DC; none may
// leave a GDI object behind or keep the picture selected there.
TEST_F(ShortcutsDialogTest, HundredOpeningsLeaveNoGdiObjectBehind) {
    Program({{kCtrl + VK_F1, kScreen1}});
    HGDIOBJ deskBitmap = GetCurrentObject(DeskMemoryDC(), OBJ_BITMAP);
    auto openPaintAndCancel = [&] {
        Run([&](HWND dlg) {
            ShowWindow(dlg, SW_SHOW);
            UpdateWindow(dlg);
            SendMessageA(dlg, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
            UpdateWindow(dlg);
            Click(dlg, IDCANCEL);
        });
    };
    // The first opening may load fonts and classes for good; it also shows
    // that the picture is painted at all (white table paper, not the grey rect).
    Run([&](HWND dlg) {
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
        HWND view = GetDlgItem(dlg, IDC_DEFAULTS_VIEW);
        HDC dc = GetDC(view);
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 300, 3) & 0xFFFFFF);
        ReleaseDC(view, dc);
        Click(dlg, IDCANCEL);
    });
    for (int i = 0; i < 3; ++i) openPaintAndCancel();
    const DWORD before = harness::GdiObjectCount();
    for (int i = 0; i < 100; ++i) openPaintAndCancel();
    // Wine keeps a few objects of its own over such a run; a leak of the
    // dialog's would be one or more per opening.
    EXPECT_LT(harness::GdiObjectCount(), before + 10);
    EXPECT_EQ(deskBitmap, GetCurrentObject(DeskMemoryDC(), OBJ_BITMAP));
}

}  // namespace
