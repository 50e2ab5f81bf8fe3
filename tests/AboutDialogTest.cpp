// The About box from its template on the real desk window: the version line
// and the caption through the core's translation, a translation that does not
// fit the format, a line cut to its room, and the buttons that close it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "dialogs/AboutDialog.h"
#include "resources/resource.h"
#include "standins/StandinControl.h"
#include "tests/harness/DeskFixture.h"
#include "tests/harness/Harness.h"

namespace {

// What the box showed, read while it runs, and how it is then closed.
struct Seen {
    bool found = false;
    std::string caption;
    std::string version;
    std::string makerLine;
    HWND owner = nullptr;
    bool icon = false;
    UINT closeWith = WM_CLOSE;  // WM_CLOSE for the close box, else IDOK
};
Seen gSeen;

BOOL CALLBACK FindBox(HWND wnd, LPARAM lp) {
    char name[16] = "";
    GetClassNameA(wnd, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = wnd;
    return FALSE;
}

std::string ItemText(HWND dlg, int id) {
    char text[256] = "";
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg) return;
    KillTimer(nullptr, id);
    gSeen.found = true;
    char caption[256] = "";
    GetWindowTextA(dlg, caption, sizeof caption);
    gSeen.caption = caption;
    gSeen.version = ItemText(dlg, IDC_ABOUT_VERSION);
    gSeen.makerLine = ItemText(dlg, 0xFFFF);
    gSeen.owner = GetWindow(dlg, GW_OWNER);
    gSeen.icon = SendDlgItemMessageA(dlg, 2, STM_GETICON, 0, 0) != 0;
    if (gSeen.closeWith == WM_CLOSE)
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    else
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class AboutDialogTest : public harness::DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        StartSession();
        gSeen = Seen();
    }
    void TearDown() override {
        StandinClearTranslations();
        DeskTest::TearDown();
    }
    INT_PTR Open(UINT closeWith = WM_CLOSE) {
        gSeen.closeWith = closeWith;
        SetTimer(nullptr, 0, 50, ReadAndClose);
        return OpenAboutDialog(main_);
    }
};

TEST_F(AboutDialogTest, ShowsTheVersionAndClosesWithTheButtonUsed) {
    EXPECT_EQ(IDCANCEL, Open(WM_CLOSE)) << "the close box";
    ASSERT_TRUE(gSeen.found) << "no About box appeared";
    EXPECT_EQ("About Kantrel Ovrin", gSeen.caption);
    EXPECT_EQ(std::string("Kantrel Ovrin, Version ") + kHostVersion, gSeen.version);
    EXPECT_EQ("Kantrel Ovrin, Version 6.601", gSeen.version);
    EXPECT_FALSE(gSeen.makerLine.empty());
    EXPECT_EQ(main_, gSeen.owner);
    EXPECT_TRUE(gSeen.icon) << "the program icon is missing";

    gSeen = Seen();
    EXPECT_EQ(IDOK, Open(IDOK)) << "the OK button";
    EXPECT_TRUE(gSeen.found);
}

TEST_F(AboutDialogTest, TranslationIsAFormatOnlyWithTheEnglishConversions) {
    struct Case {
        const char* translated;
        std::string shown;
    } cases[] = {
        {"Kantrel Ovrin, Fassung %s", "Kantrel Ovrin, Fassung 6.601"},
        {"Kantrel Ovrin %s %s", "Kantrel Ovrin, Version 6.601"},
        {"Version %d", "Kantrel Ovrin, Version 6.601"},
        {"Version %n%s", "Kantrel Ovrin, Version 6.601"},
        {"Kantrel Ovrin", "Kantrel Ovrin, Version 6.601"},
        // Cut after 67 characters.
        {"%s  ....................................................................................",
         "6.601  ............................................................"},
    };
    StandinSetTranslation("About Kantrel Ovrin", "Info zu Kantrel Ovrin");
    for (const Case& c : cases) {
        StandinSetTranslation("Kantrel Ovrin, Version %s", c.translated);
        gSeen = Seen();
        Open();
        ASSERT_TRUE(gSeen.found) << c.translated;
        EXPECT_EQ(c.shown, gSeen.version) << c.translated;
        EXPECT_EQ("Info zu Kantrel Ovrin", gSeen.caption);
    }
    EXPECT_EQ(size_t(kAboutVersionCapacity - 1), cases[5].shown.size());
}

TEST_F(AboutDialogTest, DeskMenuCommandOpensIt) {
    gSeen.closeWith = IDOK;
    SetTimer(nullptr, 0, 50, ReadAndClose);
    SendMessageA(main_, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_TRUE(gSeen.found) << "the command opened no About box";
    EXPECT_EQ(main_, gSeen.owner);
}

}  // namespace

// The templates the core opens through the shared instance handle: each
// control there with its class and place, the icon loaded from its own resource.
INT_PTR CALLBACK KeepOpen(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST(CoreTemplates, TheQuestionAndPrintTemplatesHoldTheirControls) {
    struct Control { int id; const char* cls; RECT units; };  // x, y, width, height
    const struct {
        int dialog;
        const char* caption;
        std::vector<Control> controls;
    } cases[] = {
        {IDD_RETRY_CANCEL, "RetryCancel",
         {{IDOK, "Button"}, {IDCANCEL, "Button"}, {IDC_QUESTION_LINE1, "Static", {28, 7, 128, 13}},
          {IDC_QUESTION_LINE2, "Static", {28, 21, 128, 13}}, {IDC_QUESTION_ICON, "Static"}}},
        {IDD_YES_NO_CANCEL, "YesNoCancel",
         {{IDOK, "Button"}, {IDNO, "Button"}, {IDCANCEL, "Button"}, {IDC_QUESTION_LINE1, "Static", {28, 7, 128, 13}},
          {IDC_QUESTION_LINE2, "Static", {28, 22, 128, 13}}, {IDC_QUESTION_ICON, "Static"}}},
        {IDD_PRINT, "Print",
         {{IDOK, "Button"}, {IDCANCEL, "Button"}, {IDC_PRINT_PRINTER_LABEL, "Static"}, {IDC_PRINT_PRINTER, "ComboBox"},
          {IDC_PRINT_OUTPUT_GROUP, "Button"}, {IDC_PRINT_TO_PRINTER, "Button"}, {IDC_PRINT_TO_FILE, "Button"}}},
    };
    for (const auto& c : cases) {
        HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.dialog), nullptr, KeepOpen, 0);
        ASSERT_NE(nullptr, dlg) << c.dialog;
        char text[64] = "";
        GetWindowTextA(dlg, text, sizeof text);
        EXPECT_STREQ(c.caption, text);
        for (const Control& control : c.controls) {
            HWND item = GetDlgItem(dlg, control.id);
            ASSERT_NE(nullptr, item) << c.dialog << " " << control.id;
            GetClassNameA(item, text, sizeof text);
            EXPECT_STREQ(control.cls, text) << c.dialog << " " << control.id;
            if (control.units.right == 0) continue;
            // The dialog maps place and size each on its own.
            RECT expected = control.units, actual;
            MapDialogRect(dlg, &expected);
            expected.right += expected.left, expected.bottom += expected.top;
            GetWindowRect(item, &actual);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_TRUE(EqualRect(&expected, &actual)) << c.dialog << " " << control.id;
        }
        if (HWND icon = GetDlgItem(dlg, IDC_QUESTION_ICON)) {
            EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0))) << c.dialog;
        }
        DestroyWindow(dlg);
    }
}
