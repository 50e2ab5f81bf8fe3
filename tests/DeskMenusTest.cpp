// The desk menu and the view menu as they are built and opened on the real
// desk window, and the commands of the main window, on the stand-in core.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DeskFrame.h"
#include "desk/DrawingResources.h"
#include "desk/ExtMonitor.h"
#include "mainwindow/DeskMenus.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

using harness::CoreCalls;
using harness::SameSequence;

namespace {

struct Item {
    UINT id;  // 0 for a separator
    std::string text;
    UINT state;
};

std::vector<Item> ItemsOf(HMENU menu) {
    std::vector<Item> items;
    HMENU popup = GetSubMenu(menu, 0);
    for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(popup, UINT(i), TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        items.push_back({separator ? 0u : info.wID, separator ? "" : text, info.fState});
    }
    return items;
}

std::vector<UINT> IdsOf(const std::vector<Item>& items) {
    std::vector<UINT> ids;
    for (const Item& item : items) ids.push_back(item.id);
    return ids;
}

const Item* Find(const std::vector<Item>& items, UINT id) {
    for (const Item& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

bool Greyed(const Item* item) { return item && (item->state & MFS_GRAYED) == MFS_GRAYED; }
bool Checked(const Item* item) { return item && (item->state & MFS_CHECKED); }

// A menu that the keys below do not close ends here instead of hanging the run.
void CALLBACK CloseStuckMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

class DeskMenusTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        saved_ = {maindlg_count, background_mode, current_touch};
        maindlg_count = background_mode = current_touch = 0;
        gExtMonShown[0] = gExtMonShown[1] = 0;
        gShowHScroll = gShowVScroll = 1;
    }
    void TearDown() override {
        if (CallEntry(gService.HasConsoleWindow)) CallEntry(gService.DestroyConsoleWindow);
        for (HWND wnd : {hExt1Wnd, hExt2Wnd}) {
            if (!wnd || !IsWindow(wnd)) continue;
            ShowWindow(wnd, SW_HIDE);
            harness::PumpUntilIdle();
            DestroyWindow(wnd);
        }
        StandinClearTranslations();
        DeskTest::TearDown();
        maindlg_count = saved_[0];
        background_mode = saved_[1];
        current_touch = saved_[2];
        gExtMonShown[0] = gExtMonShown[1] = 0;
        gShowHKeys = 0;
        gShowHScroll = gShowVScroll = 1;
    }

    std::vector<Item> DeskMenuNow() {
        HMENU menu = BuildDeskMenu();
        EXPECT_NE(nullptr, menu);
        std::vector<Item> items = ItemsOf(menu);
        DestroyMenu(menu);
        return items;
    }
    std::vector<Item> ViewMenuNow() {
        HMENU menu = BuildViewMenu(main_);
        EXPECT_NE(nullptr, menu);
        std::vector<Item> items = ItemsOf(menu);
        DestroyMenu(menu);
        return items;
    }
    LRESULT Command(UINT id) { return SendMessageA(main_, WM_COMMAND, id, 0); }
    void Resize(int width, int height) {
        SetWindowPos(main_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        harness::PumpUntilIdle();
    }
    // The echo window of the service library, shown or hidden.
    HWND MakeEcho(bool shown) {
        HWND echo = CallEntry(gService.CreateConsoleWindow, "Kantrel Ovrin Echo", hInst, nullptr, 0, 0);
        EXPECT_NE(nullptr, echo);
        if (echo) ShowWindow(echo, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
        harness::PumpUntilIdle();
        harness::ClearJournal();
        return echo;
    }
    static POINT TopLeft(HWND wnd) {
        RECT r;
        GetWindowRect(wnd, &r);
        return {r.left, r.top};
    }
    static bool Visible(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    // Presses a mouse button on the desk with keystrokes already queued for
    // the menu that the press opens; the menu's choice is then carried out.
    void PressWithMenuKeys(UINT buttonMsg, POINT at, UINT key, int times) {
        for (int i = 0; i < times; ++i) PostMessageA(main_, WM_KEYDOWN, key, 1);
        PostMessageA(main_, WM_CHAR, '\r', 1);
        SetTimer(nullptr, 0, 5000, CloseStuckMenu);
        SendMessageA(main_, buttonMsg, buttonMsg == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(main_, buttonMsg == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        harness::PumpUntilIdle();
    }

private:
    std::vector<LONG> saved_;
};

// ---- building the desk menu

TEST_F(DeskMenusTest, DeskMenuHoldsEveryItemInOrderInTheCoresWording) {
    StartSession();
    const struct { const char* english; const char* translated; } words[] = {
        {"Load Compressed Show ...", "Komprimierte Show laden ..."},
        {"Save Compressed Show ...", "Komprimierte Show speichern ..."},
        {"Extern Display 1", "Externer Monitor 1"},
        {"Extern Display 2", "Externer Monitor 2"},
        {"Echo", "Echofenster"},
        {"Arrange", "Anordnen"},
        {"Clear Screen", "Bildschirm leeren"},
        {"Clear ALL Screens", "ALLE Bildschirme leeren"},
        {"Cover Desktop", "Desktop abdecken"},
        {"Options ...", "Optionen ..."},
        {"Shortcuts ...", "Tastenkürzel ..."},
        {"About Kantrel Ovrin ...", "Über Kantrel Ovrin ..."},
        {"Quit", "Beenden"},
    };
    for (const auto& word : words) StandinSetTranslation(word.english, word.translated);

    const std::vector<Item> items = DeskMenuNow();
    const std::vector<UINT> order = {32771, 32772, 0,     32774, 32775, 32773, 32776, 32783,
                                     32784, 32785, 0,     32778, 32782, 104,   0,     105};
    EXPECT_EQ(order, IdsOf(items));
    const UINT itemIds[] = {32771, 32772, 32774, 32775, 32773, 32776, 32783, 32784, 32785, 32778, 32782, 104, 105};
    for (size_t i = 0; i < sizeof itemIds / sizeof itemIds[0]; ++i) {
        const Item* item = Find(items, itemIds[i]);
        ASSERT_NE(nullptr, item) << itemIds[i];
        EXPECT_EQ(words[i].translated, item->text) << itemIds[i];
    }

    // Untranslated, the About item names the program rather than the resource's bare text.
    StandinClearTranslations();
    EXPECT_EQ("About Kantrel Ovrin ...", Find(DeskMenuNow(), 104)->text);
}

TEST_F(DeskMenusTest, ShowArrangeAndQuitItemsCarryTheirPictures) {
    HMENU menu = BuildDeskMenu();
    ASSERT_NE(nullptr, menu);
    const struct { UINT id; MenuPicture picture; } cases[] = {
        {32771, MenuPicture::LoadCompressedShow},
        {32772, MenuPicture::SaveCompressedShow},
        {32776, MenuPicture::Arrange},
        {105, MenuPicture::Quit},
    };
    for (const auto& c : cases) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_CHECKMARKS;
        ASSERT_TRUE(GetMenuItemInfoA(GetSubMenu(menu, 0), c.id, FALSE, &info));
        ASSERT_NE(nullptr, MenuPictureBitmap(c.picture));
        EXPECT_EQ(MenuPictureBitmap(c.picture), info.hbmpChecked) << c.id;
        EXPECT_EQ(MenuPictureBitmap(c.picture), info.hbmpUnchecked) << c.id;
    }
    MENUITEMINFOA plain = {};
    plain.cbSize = sizeof plain;
    plain.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(GetMenuItemInfoA(GetSubMenu(menu, 0), 32784, FALSE, &plain));
    EXPECT_EQ(nullptr, plain.hbmpChecked);
    DestroyMenu(menu);
}

TEST_F(DeskMenusTest, ClearScreenNamesTheScreenOnlyWhileOneMayBeCleared) {
    StartSession();
    struct Case { LONG dialogs, mode, touch; const char* text; bool greyed; };
    const Case cases[] = {
        {0, 1, 1, "Clear Screen 2", false}, {5, 0, 0, "Clear Screen 1", false}, {5, 3, 2, "Clear Screen 3", false},
        {0, 0, 1, "Clear Screen", true},    {4, 0, 2, "Clear Screen", true},    {6, 0, 0, "Clear Screen", true},
    };
    for (const Case& c : cases) {
        maindlg_count = c.dialogs;
        background_mode = c.mode;
        current_touch = c.touch;
        const Item* item = Find(DeskMenuNow(), 32783);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(c.text, item->text) << c.dialogs << " " << c.mode << " " << c.touch;
        EXPECT_EQ(c.greyed, Greyed(item)) << c.dialogs << " " << c.mode << " " << c.touch;
    }

    background_mode = 1;
    current_touch = 1;
    StandinSetTranslation("Clear Screen %d", "Bildschirm %d leeren");
    EXPECT_EQ("Bildschirm 2 leeren", Find(DeskMenuNow(), 32783)->text);
    // A translation that would read other arguments is not used as a format.
    StandinSetTranslation("Clear Screen %d", "Bildschirm %s leeren");
    EXPECT_EQ("Clear Screen 2", Find(DeskMenuNow(), 32783)->text);
}

TEST_F(DeskMenusTest, ShowItemsAreGreyedByTheCoresFileTaskAnswers) {
    StartSession();
    struct Case { int canFill, canLoad; bool loadGreyed, saveGreyed; std::vector<std::string> calls; };
    const Case cases[] = {
        {0, 1, true, true, {"CanFillFiletaskJobq", "HasConsoleWindow"}},
        {1, 0, true, false, {"CanFillFiletaskJobq", "LoadCompressedShowPossible 0", "HasConsoleWindow"}},
        {1, 1, false, false, {"CanFillFiletaskJobq", "LoadCompressedShowPossible 0", "HasConsoleWindow"}},
        {7, 3, false, false, {"CanFillFiletaskJobq", "LoadCompressedShowPossible 0", "HasConsoleWindow"}},
    };
    for (const Case& c : cases) {
        StandinSetResult("CanFillFiletaskJobq", c.canFill);
        StandinSetResult("LoadCompressedShowPossible", c.canLoad);
        harness::ClearJournal();
        const std::vector<Item> items = DeskMenuNow();
        EXPECT_TRUE(SameSequence(c.calls, CoreCalls())) << c.canFill << " " << c.canLoad;
        EXPECT_EQ(c.loadGreyed, Greyed(Find(items, 32771))) << c.canFill << " " << c.canLoad;
        EXPECT_EQ(c.saveGreyed, Greyed(Find(items, 32772))) << c.canFill << " " << c.canLoad;
    }
}

TEST_F(DeskMenusTest, EchoAndMonitorItemsShowWhatIsOpen) {
    std::vector<Item> items = DeskMenuNow();
    EXPECT_TRUE(Greyed(Find(items, 32773))) << "no echo window";
    EXPECT_FALSE(Checked(Find(items, 32773)));
    EXPECT_FALSE(Checked(Find(items, 32774)));
    EXPECT_FALSE(Checked(Find(items, 32775)));
    EXPECT_FALSE(Checked(Find(items, 32785)));

    HWND echo = MakeEcho(false);
    items = DeskMenuNow();
    EXPECT_FALSE(Greyed(Find(items, 32773)));
    EXPECT_FALSE(Checked(Find(items, 32773)));
    ShowWindow(echo, SW_SHOWNOACTIVATE);
    gExtMonShown[1] = 1;
    items = DeskMenuNow();
    EXPECT_TRUE(Checked(Find(items, 32773)));
    EXPECT_FALSE(Checked(Find(items, 32774)));
    EXPECT_TRUE(Checked(Find(items, 32775)));
    gExtMonShown[0] = 1;
    gExtMonShown[1] = 0;
    items = DeskMenuNow();
    EXPECT_TRUE(Checked(Find(items, 32774)));
    EXPECT_FALSE(Checked(Find(items, 32775)));
}

// ---- building the view menu

TEST_F(DeskMenusTest, ViewMenuOffersOnlyTheScrollBarsTheSizeCanNeed) {
    StartSession();
    StandinSetTranslation("Show Shortcuts when REMOTELOCK is active", "Kürzel zeigen");
    StandinSetTranslation("Show Horizontal Scrollbar if necessary", "Horizontale Leiste");
    StandinSetTranslation("Show Vertical Scrollbar if necessary", "Vertikale Leiste");
    struct Case { int width, height; std::vector<UINT> ids; };
    const Case cases[] = {
        {1024, 768, {32779}},
        {800, 768, {32779, 32780}},
        {1024, 600, {32779, 32781}},
        {800, 600, {32779, 32780, 32781}},
    };
    for (const Case& c : cases) {
        Resize(c.width, c.height);
        const std::vector<Item> items = ViewMenuNow();
        EXPECT_EQ(c.ids, IdsOf(items)) << c.width << " x " << c.height;
    }
    const std::vector<Item> items = ViewMenuNow();
    EXPECT_EQ("Kürzel zeigen", Find(items, 32779)->text);
    EXPECT_EQ("Horizontale Leiste", Find(items, 32780)->text);
    EXPECT_EQ("Vertikale Leiste", Find(items, 32781)->text);
}

TEST_F(DeskMenusTest, ViewMenuChecksFollowTheOptions) {
    Resize(800, 600);
    struct Case { int hkeys, hscroll, vscroll; };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 1, 0}, Case{5, 1, 1}}) {
        gShowHKeys = c.hkeys;
        gShowHScroll = c.hscroll;
        gShowVScroll = c.vscroll;
        const std::vector<Item> items = ViewMenuNow();
        EXPECT_EQ(c.hkeys != 0, Checked(Find(items, 32779)));
        EXPECT_EQ(c.hscroll != 0, Checked(Find(items, 32780)));
        EXPECT_EQ(c.vscroll != 0, Checked(Find(items, 32781)));
    }
}

// ---- opening the menus for real

TEST_F(DeskMenusTest, ClearAllScreensFromTheDeskMenuClearsEveryDisplayInOrder) {
    StartSession();
    // Down to the eighth item: "Clear ALL Screens".
    PressWithMenuKeys(WM_LBUTTONDOWN, POINT{10, 10}, VK_DOWN, 8);
    EXPECT_TRUE(SameSequence({"IsDesklocked", "CanFillFiletaskJobq", "LoadCompressedShowPossible 0",
                              "HasConsoleWindow", "ClearScreen 0", "ClearScreen 1", "ClearScreen 2",
                              "ClearScreen 3", "ClearScreen 4"},
                             CoreCalls()));
    EXPECT_EQ(1, SendMessageA(main_, WM_COMMAND, 32784, 0));
}

TEST_F(DeskMenusTest, QuitFromTheDeskMenuRunsTheCloseFlow) {
    StartSession();
    VCMessageBoxSetAnswer(kVcAnswer3);
    const int asked = VCMessageBoxCallCount();
    // Up from nothing selects the last item: "Quit".
    PressWithMenuKeys(WM_LBUTTONDOWN, POINT{20, 20}, VK_UP, 1);
    EXPECT_EQ(asked + 1, VCMessageBoxCallCount());
    EXPECT_STREQ("Save actual Show ?", VCMessageBoxLastQuestion());
    EXPECT_EQ(2, VCMessageBoxLastType());
    EXPECT_TRUE(IsWindow(main_)) << "Cancel keeps the desk";
}

TEST_F(DeskMenusTest, RightClickOnTheDeskOpensTheViewMenu) {
    StartSession();
    gShowHKeys = 0;
    PressWithMenuKeys(WM_RBUTTONDOWN, POINT{500, 300}, VK_DOWN, 1);
    EXPECT_EQ(1, gShowHKeys);
    DWORD stored = 0;
    ASSERT_TRUE(GetInt("showhkeys", &stored));
    EXPECT_EQ(1u, stored);
}

// ---- commands

TEST_F(DeskMenusTest, ShortcutLabelCommandFlipsTheFlagStoresItAndRepaintsTheKeys) {
    HWND key = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 100, 100, 40, 40, main_,
                               reinterpret_cast<HMENU>(INT_PTR(7)), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, key);
    // Only a window on screen collects what needs repainting.
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    gShowHKeys = 7;
    for (int expected : {0, 1, 0}) {
        harness::PumpUntilIdle();
        ValidateRect(key, nullptr);
        EXPECT_EQ(0, Command(32779));
        EXPECT_EQ(expected, gShowHKeys);
        DWORD stored = 99;
        ASSERT_TRUE(GetInt("showhkeys", &stored));
        EXPECT_EQ(DWORD(expected), stored);
        RECT dirty;
        EXPECT_TRUE(GetUpdateRect(key, &dirty, FALSE)) << "the keys show or drop their shortcuts";
    }
    DestroyWindow(key);
}

TEST_F(DeskMenusTest, ScrollBarCommandsFlipTheirFlagsAndLayTheDeskOutAgain) {
    CreateDeskFrame(main_);
    Resize(800, 600);
    struct Axis { UINT command; const char* value; int* flag; int barId; };
    const Axis axes[] = {{32780, "showhscroll", &gShowHScroll, kDeskHScrollId},
                         {32781, "showvscroll", &gShowVScroll, kDeskVScrollId}};
    for (const Axis& axis : axes) {
        HWND bar = GetDlgItem(main_, axis.barId);
        ASSERT_NE(nullptr, bar);
        EXPECT_TRUE(Visible(bar)) << axis.value;
        for (int expected : {0, 1}) {
            EXPECT_EQ(0, Command(axis.command));
            EXPECT_EQ(expected, *axis.flag) << axis.value;
            EXPECT_EQ(expected == 1, Visible(bar)) << axis.value;
            DWORD stored = 99;
            ASSERT_TRUE(GetInt(axis.value, &stored));
            EXPECT_EQ(DWORD(expected), stored) << axis.value;
        }
    }

    // At full size there is nothing to scroll: switching the option on shows no bar.
    Resize(kDeskWidth, kDeskHeight);
    for (const Axis& axis : axes) {
        *axis.flag = 0;
        Command(axis.command);
        EXPECT_EQ(1, *axis.flag);
        EXPECT_FALSE(Visible(GetDlgItem(main_, axis.barId))) << axis.value;
    }
}

TEST_F(DeskMenusTest, ShowCommandsGoToTheCore) {
    StartSession();
    EXPECT_EQ(0, Command(32771));
    EXPECT_EQ(0, Command(32772));
    EXPECT_TRUE(SameSequence({"LoadShowCompressedShow null", "SaveShowCompressedShow"}, CoreCalls()));
}

TEST_F(DeskMenusTest, ClearScreenCommandClearsTheCurrentScreenOnlyWhenAllowed) {
    StartSession();
    current_touch = 2;
    EXPECT_EQ(0, Command(32783));
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
    background_mode = 1;
    EXPECT_EQ(1, Command(32783));
    background_mode = 0;
    maindlg_count = 5;
    current_touch = 0;
    EXPECT_EQ(1, Command(32783));
    EXPECT_TRUE(SameSequence({"ClearScreen 2", "ClearScreen 0"}, CoreCalls()));
}

TEST_F(DeskMenusTest, CommandsOfNoOneReachNothing) {
    StartSession();
    for (UINT id : {0u, 32770u, 32777u, 32786u, 33041u, 40000u}) EXPECT_EQ(0, Command(id)) << id;
    EXPECT_TRUE(SameSequence({}, CoreCalls()));
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(DeskMenusTest, MonitorCommandsShowAndHideTheMonitorsWithTheirFlags) {
    // Without monitors the commands change nothing.
    gExtMonShown[0] = 1;
    Command(32774);
    EXPECT_EQ(1, gExtMonShown[0]);

    HWND first = CreateExtMonitor(kExtMonitor1Display, 100, 100, 0);
    HWND second = CreateExtMonitor(kExtMonitor2Display, 200, 100, 1);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    harness::PumpUntilIdle();
    EXPECT_EQ(0, Command(32774));
    EXPECT_TRUE(Visible(first));
    EXPECT_EQ(1, gExtMonShown[0]);
    EXPECT_EQ(0, Command(32775));
    EXPECT_FALSE(Visible(second));
    EXPECT_EQ(0, gExtMonShown[1]);
    Command(32774);
    EXPECT_FALSE(Visible(first));
    EXPECT_EQ(0, gExtMonShown[0]);
    EXPECT_FALSE(Visible(second)) << "each command acts on its own monitor";
}

TEST_F(DeskMenusTest, EchoCommandTogglesTheEchoWindow) {
    EXPECT_EQ(0, Command(32773));
    EXPECT_TRUE(SameSequence({"HasConsoleWindow"}, CoreCalls())) << "no echo window: nothing to show";

    HWND echo = MakeEcho(true);
    Command(32773);
    EXPECT_FALSE(Visible(echo));
    Command(32773);
    EXPECT_TRUE(Visible(echo));
    EXPECT_TRUE(SameSequence({"HasConsoleWindow", "ShowConsoleWindow 0", "HasConsoleWindow", "ShowConsoleWindow 9"},
                             CoreCalls()));
}

TEST_F(DeskMenusTest, ArrangeWithNothingElseVisibleMovesOnlyTheDesk) {
    HWND first = CreateExtMonitor(kExtMonitor1Display, 300, 200, 0);
    ASSERT_NE(nullptr, first);
    HWND echo = MakeEcho(false);
    SetWindowPos(echo, nullptr, 350, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(main_, nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    harness::PumpUntilIdle();
    const POINT monitorBefore = TopLeft(first), echoBefore = TopLeft(echo);
    harness::ClearJournal();

    EXPECT_EQ(0, Command(32776));
    harness::PumpUntilIdle();
    EXPECT_EQ(0, TopLeft(main_).x);
    EXPECT_EQ(0, TopLeft(main_).y);
    EXPECT_EQ(monitorBefore.x, TopLeft(first).x);
    EXPECT_EQ(monitorBefore.y, TopLeft(first).y);
    EXPECT_FALSE(Visible(first));
    EXPECT_EQ(echoBefore.x, TopLeft(echo).x);
    EXPECT_FALSE(Visible(echo));
    EXPECT_EQ(0, gExtMonShown[0]);
    EXPECT_TRUE(SameSequence({"HasConsoleWindow"}, CoreCalls()));
}

TEST_F(DeskMenusTest, ArrangeCascadesTheVisibleWindowsAfterTheDesk) {
    HWND first = CreateExtMonitor(kExtMonitor1Display, 300, 200, 0);
    HWND second = CreateExtMonitor(kExtMonitor2Display, 500, 300, 1);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    HWND echo = MakeEcho(true);
    SetWindowPos(echo, nullptr, 600, 400, 320, 210, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(main_, nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    gExtMonShown[1] = 0;  // visible without its flag: arranging sets it
    harness::PumpUntilIdle();
    RECT echoBefore;
    GetWindowRect(echo, &echoBefore);
    harness::ClearJournal();

    Command(32776);
    harness::PumpUntilIdle();
    EXPECT_EQ(0, TopLeft(main_).x);
    EXPECT_EQ(0, TopLeft(main_).y);
    // The hidden first monitor takes no step: the second comes first.
    EXPECT_EQ(300, TopLeft(first).x);
    EXPECT_FALSE(Visible(first));
    EXPECT_EQ(20, TopLeft(second).x);
    EXPECT_EQ(20, TopLeft(second).y);
    EXPECT_EQ(1, gExtMonShown[1]);
    EXPECT_EQ(0, gExtMonShown[0]);
    const std::string position = "SetConsolePosition 40 40 " + std::to_string(echoBefore.right - echoBefore.left) +
                                 " " + std::to_string(echoBefore.bottom - echoBefore.top);
    EXPECT_TRUE(SameSequence({"HasConsoleWindow", position, "ShowConsoleWindow 9"}, CoreCalls()));
    EXPECT_EQ(40, TopLeft(echo).x);
    EXPECT_EQ(40, TopLeft(echo).y);
}

}  // namespace
