// The desk menu (the button at the desk's top-left corner), the view menu (a
// right click elsewhere on the desk) and the commands of the main window.
#include "mainwindow/DeskMenus.h"

#include "app/CoreBinding.h"
#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "common/Text.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/OptionsDialog.h"
#include "input/ShortcutsDialog.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"

namespace {

constexpr int kEchoHidden = 0, kEchoShown = 9;
constexpr int kCascadeStep = 20;
constexpr LONG kAllScreensDialogCount = 5;

struct ItemText {
    UINT id;
    const char* english;
};

// Every item gets the core's wording; the resource only fixes ids and order.
const ItemText kDeskMenuTexts[] = {
    {IDM_LOAD_SHOW, "Load Compressed Show ..."},
    {IDM_SAVE_SHOW, "Save Compressed Show ..."},
    {IDM_EXTERN_DISPLAY1, "Extern Display 1"},
    {IDM_EXTERN_DISPLAY2, "Extern Display 2"},
    {IDM_ECHO, "Echo"},
    {IDM_ARRANGE, "Arrange"},
    {IDM_CLEAR_SCREEN, "Clear Screen"},
    {IDM_CLEAR_ALL_SCREENS, "Clear ALL Screens"},
    {IDM_COVER_DESKTOP, "Cover Desktop"},
    {IDM_OPTIONS, "Options ..."},
    {IDM_SHORTCUTS, "Shortcuts ..."},
    {IDM_ABOUT, "About Kantrel Ovrin ..."},
    {IDM_QUIT, "Quit"},
};

const struct {
    UINT id;
    MenuPicture picture;
} kMenuPictures[] = {
    {IDM_LOAD_SHOW, MenuPicture::LoadCompressedShow},
    {IDM_SAVE_SHOW, MenuPicture::SaveCompressedShow},
    {IDM_ARRANGE, MenuPicture::Arrange},
    {IDM_QUIT, MenuPicture::Quit},
};

const UINT kGreyed = MF_BYCOMMAND | MF_DISABLED | MF_GRAYED;

// ModifyMenuA resets the item's state: texts go in before any check or grey.
void SetItemText(HMENU menu, UINT id, const char* text) {
    ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING, id, text);
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool IsShown(HWND wnd) { return wnd && (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE); }

HWND EchoWindow() { return CallEntry(gService.HasConsoleWindow); }

// A single screen can be cleared only while the core shows the full dialog
// set or a background mode.
bool ClearScreenAllowed() { return maindlg_count == kAllScreensDialogCount || background_mode != 0; }

HMENU LoadPopup(UINT resource, HMENU* popup) {
    HMENU menu = LoadMenuA(hInst, MAKEINTRESOURCEA(resource));
    *popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (menu && !*popup) {
        DestroyMenu(menu);
        menu = nullptr;
    }
    return menu;
}

void SetClearScreenItem(HMENU popup) {
    if (!ClearScreenAllowed()) {
        EnableMenuItem(popup, IDM_CLEAR_SCREEN, kGreyed);
        return;
    }
    char text[128];
    FormatBounded(text, sizeof text, TrFormat("Clear Screen %d"), int(current_touch) + 1);
    SetItemText(popup, IDM_CLEAR_SCREEN, text);
}

void SetShowItems(HMENU popup) {
    if (!CallEntry(gCore.CanFillFiletaskJobq)) {
        EnableMenuItem(popup, IDM_LOAD_SHOW, kGreyed);
        EnableMenuItem(popup, IDM_SAVE_SHOW, kGreyed);
    } else if (!CallEntry(gCore.LoadCompressedShowPossible, 0)) {
        EnableMenuItem(popup, IDM_LOAD_SHOW, kGreyed);
    }
}

void SetWindowItems(HMENU popup) {
    HWND echo = EchoWindow();
    CheckItem(popup, IDM_ECHO, IsShown(echo));
    if (!echo) EnableMenuItem(popup, IDM_ECHO, kGreyed);
    CheckItem(popup, IDM_EXTERN_DISPLAY1, gExtMonShown[0] != 0);
    CheckItem(popup, IDM_EXTERN_DISPLAY2, gExtMonShown[1] != 0);
    CheckItem(popup, IDM_COVER_DESKTOP, BackgroundWindowExists());
}

// An item the desk's size makes pointless leaves the menu.
void SetScrollBarItem(HMENU popup, UINT id, bool deskFits, const char* english, int flag) {
    if (deskFits) {
        DeleteMenu(popup, id, MF_BYCOMMAND);
        return;
    }
    SetItemText(popup, id, Tr(english));
    CheckItem(popup, id, flag != 0);
}

void TrackAt(HWND main, HMENU menu, POINT at) {
    ClientToScreen(main, &at);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTBUTTON, at.x, at.y, 0, main, nullptr);
    DestroyMenu(menu);
}

// ---- commands

void ToggleEcho() {
    HWND echo = EchoWindow();
    if (!echo) return;
    CallEntry(gService.ShowConsoleWindow, IsShown(echo) ? kEchoHidden : kEchoShown);
}

void ToggleExtMonitor(HWND monitor, int index) {
    if (!monitor || !IsWindow(monitor)) return;
    const bool wasShown = IsShown(monitor);
    gExtMonShown[index] = wasShown ? 0 : 1;
    ShowWindow(monitor, wasShown ? SW_HIDE : SW_SHOW);
}

// Flags are kept as 0/1 whatever was stored before.
void ToggleOption(int& flag, const char* valueName) {
    flag = flag ? 0 : 1;
    WriteRegKeyInt(HKEY_CURRENT_USER, valueName, flag, nullptr);
}

// The layout decides which scroll bar the size needs: showing one blindly
// would put a bar with nothing to scroll on a desk that fits.
void ToggleScrollBarOption(HWND main, int& flag, const char* valueName) {
    ToggleOption(flag, valueName);
    RECT client;
    if (GetClientRect(main, &client)) LayOutDesk(main, client.right, client.bottom);
}

LRESULT ClearCurrentScreen() {
    if (!ClearScreenAllowed()) return 0;
    CallEntry(gCore.ClearScreen, int(current_touch));
    return 1;
}

LRESULT ClearAllScreens() {
    for (int display = 0; display < kDisplayCount; ++display) CallEntry(gCore.ClearScreen, display);
    return 1;
}

void ToggleCoverDesktop(HWND main) {
    if (BackgroundWindowExists()) {
        DestroyBackgroundWindow();
        return;
    }
    CreateBackgroundWindow(main);
    RestackBackground();
}

void CascadeOnto(HWND wnd, int& offset) {
    offset += kCascadeStep;
    SetWindowPos(wnd, HWND_TOP, offset, offset, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE);
}

}  // namespace

HMENU BuildDeskMenu() {
    HMENU popup;
    HMENU menu = LoadPopup(IDR_DESK_MENU, &popup);
    if (!menu) return nullptr;
    for (const ItemText& item : kDeskMenuTexts) SetItemText(popup, item.id, Tr(item.english));
    for (const auto& item : kMenuPictures) {
        HBITMAP picture = MenuPictureBitmap(item.picture);
        SetMenuItemBitmaps(popup, item.id, MF_BYCOMMAND, picture, picture);
    }
    SetClearScreenItem(popup);
    SetShowItems(popup);
    SetWindowItems(popup);
    return menu;
}

HMENU BuildViewMenu(HWND main) {
    HMENU popup;
    HMENU menu = LoadPopup(IDR_VIEW_MENU, &popup);
    if (!menu) return nullptr;
    SetItemText(popup, IDM_SHOW_HKEYS, Tr("Show Shortcuts when REMOTELOCK is active"));
    CheckItem(popup, IDM_SHOW_HKEYS, gShowHKeys != 0);
    RECT client = {};
    GetClientRect(main, &client);
    SetScrollBarItem(popup, IDM_SHOW_HSCROLL, client.right >= kDeskWidth, "Show Horizontal Scrollbar if necessary",
                     gShowHScroll);
    SetScrollBarItem(popup, IDM_SHOW_VSCROLL, client.bottom >= kDeskHeight, "Show Vertical Scrollbar if necessary",
                     gShowVScroll);
    return menu;
}

void OpenDeskMenu(HWND main, POINT at) {
    if (HMENU menu = BuildDeskMenu()) TrackAt(main, menu, at);
}

void OpenViewMenu(HWND main, POINT at) {
    if (HMENU menu = BuildViewMenu(main)) TrackAt(main, menu, at);
}

void ArrangeWindows(HWND main) {
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE);
    int offset = 0;
    const HWND monitors[] = {hExt1Wnd, hExt2Wnd};
    for (int index = 0; index < 2; ++index) {
        HWND monitor = monitors[index];
        if (!monitor || !IsWindow(monitor) || !IsShown(monitor)) continue;
        gExtMonShown[index] = 1;
        CascadeOnto(monitor, offset);
    }
    HWND echo = EchoWindow();
    RECT place;
    if (!IsShown(echo) || !GetWindowRect(echo, &place)) return;
    offset += kCascadeStep;
    CallEntry(gService.SetConsolePosition, offset, offset, int(place.right - place.left),
              int(place.bottom - place.top));
    CallEntry(gService.ShowConsoleWindow, kEchoShown);
}

LRESULT HandleDeskCommand(HWND main, WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDM_LOAD_SHOW: CallEntry(gCore.LoadShowCompressedShow, nullptr); return 0;
    case IDM_SAVE_SHOW: CallEntry(gCore.SaveShowCompressedShow); return 0;
    case IDM_ECHO: ToggleEcho(); return 0;
    case IDM_EXTERN_DISPLAY1: ToggleExtMonitor(hExt1Wnd, 0); return 0;
    case IDM_EXTERN_DISPLAY2: ToggleExtMonitor(hExt2Wnd, 1); return 0;
    case IDM_ARRANGE: ArrangeWindows(main); return 0;
    case IDM_OPTIONS: OpenOptionsDialog(main); return 0;
    case IDM_SHOW_HKEYS:
        ToggleOption(gShowHKeys, "showhkeys");
        RedrawWindow(main, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
        return 0;
    case IDM_SHOW_HSCROLL: ToggleScrollBarOption(main, gShowHScroll, "showhscroll"); return 0;
    case IDM_SHOW_VSCROLL: ToggleScrollBarOption(main, gShowVScroll, "showvscroll"); return 0;
    case IDM_SHORTCUTS: OpenShortcutsDialog(main); return 0;
    case IDM_CLEAR_SCREEN: return ClearCurrentScreen();
    case IDM_CLEAR_ALL_SCREENS: return ClearAllScreens();
    case IDM_COVER_DESKTOP: ToggleCoverDesktop(main); return 0;
    case IDM_ABOUT: OpenAboutDialog(main); return 0;
    case IDM_QUIT: SendMessageA(main, WM_CLOSE, 0, 0); return 0;
    }
    return DefWindowProcA(main, WM_COMMAND, wp, lp);
}
