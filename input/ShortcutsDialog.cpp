// The Shortcuts dialog: edits a working copy of the programmed shortcut list,
// the shortcut mode flags and the label option; only OK applies them.
#include "input/ShortcutsDialog.h"

#include <cstdint>

#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "common/Text.h"
#include "desk/KeyTable.h"
#include "input/KeyboardDispatch.h"
#include "input/ShortcutFile.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"

namespace {

constexpr int kLineStep = 5;
constexpr int kLineSize = 160;
constexpr int kNameSize = 64;

struct ShortcutsDialog {
    ShortcutList working;
    bool listChanged = false;
    HBITMAP picture = nullptr;
    int viewHeight = 0;
    int maximum = 0;
    int position = 0;
    HWND scroll = nullptr;
};

ShortcutsDialog* RecordOf(HWND dlg) { return reinterpret_cast<ShortcutsDialog*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

HINSTANCE ResourceInstance() { return hInst ? hInst : GetModuleHandleA(nullptr); }

LRESULT Send(HWND dlg, int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return SendDlgItemMessageA(dlg, id, msg, wp, lp);
}

bool IsChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void EnableItem(HWND dlg, int id, bool enable) {
    HWND item = GetDlgItem(dlg, id);
    EnableWindow(item, enable);
    InvalidateRect(item, nullptr, TRUE);
}

struct Modifier {
    uint32_t bits;
    const char* word;
};
constexpr Modifier kModifiers[] = {{0, ""}, {kShortcutCtrl, "Ctrl"}, {kShortcutShift, "Shift"}, {kShortcutAlt, "Alt"}};
const char* const kModifierItems[] = {"NONE", "CTRL", "SHIFT", "ALT"};

// Only the first modifier shows, in the order Ctrl, Shift, Alt.
const char* ModifierWord(uint32_t code) {
    if (code & kShortcutCtrl) return "Ctrl";
    if (code & kShortcutShift) return "Shift";
    if (code & kShortcutAlt) return "Alt";
    return "";
}

struct NamedKey {
    const char* name;
    int vk;
};
constexpr NamedKey kNamedKeys[] = {{"BACKSPACE", VK_BACK}, {"INSERT", VK_INSERT}, {"DELETE", VK_DELETE},
                                   {"HOME", VK_HOME},      {"END", VK_END},       {"PAGE UP", VK_PRIOR},
                                   {"PAGE DOWN", VK_NEXT}, {"SPACE", VK_SPACE}};

void AddKeyItem(HWND dlg, const char* text, int vk) {
    const LRESULT index = Send(dlg, IDC_KEY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) Send(dlg, IDC_KEY, CB_SETITEMDATA, WPARAM(index), vk);
}

void FillKeyCombo(HWND dlg) {
    char text[16];
    for (int n = 1; n <= 12; ++n) {
        FormatBounded(text, sizeof text, "F%d", n);
        AddKeyItem(dlg, text, VK_F1 + n - 1);
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
        FormatBounded(text, sizeof text, "%c", c);
        AddKeyItem(dlg, text, c);
    }
    for (int d = 0; d <= 9; ++d) {
        FormatBounded(text, sizeof text, "%d", d);
        AddKeyItem(dlg, text, '0' + d);
    }
    for (const NamedKey& key : kNamedKeys) AddKeyItem(dlg, key.name, key.vk);
}

void AddCommandItem(HWND dlg, const char* text, int command) {
    const LRESULT index = Send(dlg, IDC_COMMAND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) Send(dlg, IDC_COMMAND, CB_SETITEMDATA, WPARAM(index), command);
}

void FillCommandCombo(HWND dlg) {
    for (const KeyRecord* row = KeyTable(); row->keyId != 0; ++row) AddCommandItem(dlg, row->command, row->keyId);
    for (int command = kFirstSpecialCommand; command <= kLastSpecialCommand; ++command)
        AddCommandItem(dlg, ShortcutCommandName(command), command);
}

void FillModifierCombo(HWND dlg) {
    for (const char* item : kModifierItems) Send(dlg, IDC_MODIFIER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Send(dlg, IDC_MODIFIER, CB_SETCURSEL, 0);
}

// Keys that share their scan code with a number pad key and are told apart
// by the extended-key flag alone.
bool IsExtendedKey(UINT vk) {
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK: case VK_RCONTROL:
    case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_SNAPSHOT:
        return true;
    }
    return false;
}

// The key combo's own text for a key; a key it does not offer (a file written
// elsewhere) still gets a name, so its entry can be seen and deleted.
void KeyName(HWND dlg, uint32_t code, char* name, size_t size) {
    const LRESULT count = Send(dlg, IDC_KEY, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        if (uint32_t(Send(dlg, IDC_KEY, CB_GETITEMDATA, WPARAM(i))) != (code & 0xFFFFFF)) continue;
        char text[kNameSize] = "";
        if (Send(dlg, IDC_KEY, CB_GETLBTEXTLEN, WPARAM(i)) < LRESULT(sizeof text) &&
            Send(dlg, IDC_KEY, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text)) > 0) {
            CopyBounded(name, size, text);
            return;
        }
    }
    const UINT vk = code & kShortcutKeyMask;
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    char text[kNameSize] = "";
    if (scan && GetKeyNameTextA(LONG(scan << 16) | (IsExtendedKey(vk) ? 1L << 24 : 0), text, sizeof text) > 0)
        CopyBounded(name, size, text);
    else FormatBounded(name, size, "Key %u", vk);
}

void CommandName(int command, char* name, size_t size) {
    if (command < kFirstSpecialCommand) {
        const KeyRecord* row = KeyRow(FindRowOfKeyId(command));
        if (row && row->command) {
            CopyBounded(name, size, row->command);
            return;
        }
    } else if (const char* special = ShortcutCommandName(command)) {
        CopyBounded(name, size, special);
        return;
    }
    FormatBounded(name, size, "%d", command);
}

// Adds the line of an entry; false when the list box refused it.
bool AddListLine(HWND dlg, int32_t code, int32_t command) {
    char key[kNameSize], commandName[kNameSize], line[kLineSize];
    KeyName(dlg, uint32_t(code), key, sizeof key);
    CommandName(command, commandName, sizeof commandName);
    const char* word = ModifierWord(uint32_t(code));
    FormatBounded(line, sizeof line, "%s%s%s = %s", word, *word ? " " : "", key, commandName);
    const LRESULT index = Send(dlg, IDC_SHORTCUT_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (index == LB_ERR || index == LB_ERRSPACE) return false;
    Send(dlg, IDC_SHORTCUT_LIST, LB_SETITEMDATA, WPARAM(index), LPARAM(code));
    return true;
}

// ---- the default shortcut picture

void InitDefaultsView(HWND dlg, ShortcutsDialog* rec) {
    rec->picture = LoadBitmapA(ResourceInstance(), MAKEINTRESOURCEA(IDB_DEFAULT_SHORTCUTS));
    HWND view = GetDlgItem(dlg, IDC_DEFAULTS_VIEW);
    RECT client = {};
    GetClientRect(view, &client);
    rec->viewHeight = client.bottom;
    LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    style = (style & ~LONG_PTR(SS_TYPEMASK)) | SS_OWNERDRAW | WS_VISIBLE;
    SetWindowLongPtrA(view, GWL_STYLE, style);
    BITMAP info = {};
    if (rec->picture && GetObjectA(rec->picture, sizeof info, &info))
        rec->maximum = info.bmHeight > rec->viewHeight ? info.bmHeight - rec->viewHeight : 0;
    rec->scroll = GetDlgItem(dlg, IDC_DEFAULTS_SCROLL);
    SetScrollRange(rec->scroll, SB_CTL, 0, rec->maximum, FALSE);
}

// The shared desk DC only lends itself: its own bitmap goes back before the
// picture can ever be deleted.
void DrawDefaults(const ShortcutsDialog* rec, const DRAWITEMSTRUCT* item) {
    if (!rec->picture || !rec->scroll) return;
    HDC shared = DeskMemoryDC();
    HDC memory = shared ? shared : CreateCompatibleDC(item->hDC);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, rec->picture);
    BitBlt(item->hDC, 0, 0, item->rcItem.right - item->rcItem.left, item->rcItem.bottom - item->rcItem.top, memory, 0,
           GetScrollPos(rec->scroll, SB_CTL), SRCCOPY);
    SelectObject(memory, old);
    if (!shared) DeleteDC(memory);
}

int ClampPosition(const ShortcutsDialog* rec, int position) {
    if (position < 0) return 0;
    return position > rec->maximum ? rec->maximum : position;
}

void OnDefaultsScroll(HWND dlg, ShortcutsDialog* rec, int request, int thumb) {
    int position = rec->position;
    switch (request) {
    case SB_LINEUP: position = ClampPosition(rec, position - kLineStep); break;
    case SB_LINEDOWN: position = ClampPosition(rec, position + kLineStep); break;
    case SB_PAGEUP: position = ClampPosition(rec, position - rec->viewHeight); break;
    case SB_PAGEDOWN: position = ClampPosition(rec, position + rec->viewHeight); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = ClampPosition(rec, thumb); break;
    default: break;
    }
    if (position != rec->position) {
        SetScrollPos(rec->scroll, SB_CTL, position, TRUE);
        rec->position = position;
    }
    InvalidateRect(GetDlgItem(dlg, IDC_DEFAULTS_VIEW), nullptr, FALSE);
}

// ---- mode and list buttons

void SetModeButtons(HWND dlg, bool useProgrammed, bool programmedOnly) {
    CheckRadioButton(dlg, IDC_USE_PROGRAMMED, IDC_USE_DEFAULTS_ONLY,
                     useProgrammed ? IDC_USE_PROGRAMMED : IDC_USE_DEFAULTS_ONLY);
    CheckRadioButton(dlg, IDC_KEEP_DEFAULTS, IDC_PROGRAMMED_ONLY,
                     programmedOnly ? IDC_PROGRAMMED_ONLY : IDC_KEEP_DEFAULTS);
    EnableItem(dlg, IDC_KEEP_DEFAULTS, useProgrammed);
    EnableItem(dlg, IDC_PROGRAMMED_ONLY, useProgrammed);
}

// With nothing programmed only the defaults are left to use.
void FallBackToDefaults(HWND dlg) {
    EnableItem(dlg, IDC_CLEAR_LIST, false);
    Send(dlg, IDC_USE_DEFAULTS_ONLY, BM_CLICK);
    EnableItem(dlg, IDC_USE_PROGRAMMED, false);
}

void UpdateAddButton(HWND dlg) {
    if (Send(dlg, IDC_KEY, CB_GETCURSEL) >= 0 && Send(dlg, IDC_COMMAND, CB_GETCURSEL) >= 0)
        EnableItem(dlg, IDC_ADD, true);
}

INT_PTR OnInitDialog(HWND dlg) {
    auto* rec = new ShortcutsDialog;
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(rec));
    InitDefaultsView(dlg, rec);
    const ShortcutList& live = *ProgrammedShortcuts();
    if (live.empty()) SetProgrammedShortcutFlags(0, ProgrammedShortcutsOnly());
    SetModeButtons(dlg, UsesProgrammedShortcuts() != 0, ProgrammedShortcutsOnly() != 0);
    if (live.empty()) EnableItem(dlg, IDC_USE_PROGRAMMED, false);
    SetDlgItemTextA(dlg, IDC_SHOW_HKEYS,
                    Tr("Show Shortcuts within the Buttons\nwhen Shortcut mode is active.\nTo activate Shortcut mode\n"
                       "press <INSERT>"));
    CheckDlgButton(dlg, IDC_SHOW_HKEYS, gShowHKeys ? BST_CHECKED : BST_UNCHECKED);
    FillModifierCombo(dlg);
    FillKeyCombo(dlg);
    FillCommandCombo(dlg);
    if (live.empty()) return TRUE;
    for (const auto& entry : live) {
        AddListLine(dlg, entry.first, entry.second);
        rec->working.insert(entry);
    }
    EnableItem(dlg, IDC_CLEAR_LIST, true);
    return TRUE;
}

LPARAM SelectedData(HWND dlg, int id) {
    const LRESULT index = Send(dlg, id, CB_GETCURSEL);
    return index < 0 ? -1 : Send(dlg, id, CB_GETITEMDATA, WPARAM(index));
}

void OnAdd(HWND dlg, ShortcutsDialog* rec) {
    LRESULT modifier = Send(dlg, IDC_MODIFIER, CB_GETCURSEL);
    if (modifier < 0 || modifier > 3) modifier = 0;
    const LPARAM vk = SelectedData(dlg, IDC_KEY);
    const LPARAM command = SelectedData(dlg, IDC_COMMAND);
    if (vk < 0 || command < 0) return;
    const int32_t code = int32_t(kModifiers[modifier].bits + uint32_t(vk));
    if (rec->working.count(code)) {
        MessageBoxA(dlg,
                    Tr("This Shortcut already exists in the Programmed Shortcut List.\nDelete the list entry first."),
                    knt_windows_title, MB_ICONINFORMATION);
        return;
    }
    rec->working[code] = int32_t(command);
    Send(dlg, IDC_KEY, CB_SETCURSEL, WPARAM(-1));
    Send(dlg, IDC_COMMAND, CB_SETCURSEL, WPARAM(-1));
    EnableItem(dlg, IDC_ADD, false);
    if (!AddListLine(dlg, code, int32_t(command))) return;
    EnableItem(dlg, IDC_CLEAR_LIST, true);
    EnableItem(dlg, IDC_USE_PROGRAMMED, true);
    rec->listChanged = true;
}

void OnDeleteEntry(HWND dlg, ShortcutsDialog* rec) {
    const LRESULT index = Send(dlg, IDC_SHORTCUT_LIST, LB_GETCURSEL);
    if (index < 0) return;
    rec->working.erase(int32_t(Send(dlg, IDC_SHORTCUT_LIST, LB_GETITEMDATA, WPARAM(index))));
    Send(dlg, IDC_SHORTCUT_LIST, LB_DELETESTRING, WPARAM(index));
    EnableItem(dlg, IDC_DELETE_ENTRY, false);
    rec->listChanged = true;
    if (Send(dlg, IDC_SHORTCUT_LIST, LB_GETCOUNT) == 0) FallBackToDefaults(dlg);
}

void OnClearList(HWND dlg, ShortcutsDialog* rec) {
    rec->working.clear();
    Send(dlg, IDC_SHORTCUT_LIST, LB_RESETCONTENT);
    FallBackToDefaults(dlg);
    rec->listChanged = true;
}

// The live list always takes the edit, so the desk works as the user set it
// even when the file cannot be written; the old file then stays whole. False
// when the file was not written.
bool SaveWorkingList(const ShortcutsDialog* rec) {
    ReplaceProgrammedShortcuts(rec->working);
    return SaveShortcutFile(rec->working);
}

// One message, modal to the dialog, so that nothing in it can be pressed
// while the message is up.
void TellNotSaved(HWND dlg) {
    char path[kShortcutPathSize] = "";
    ShortcutFilePath(path, sizeof path);
    const char* format = ShortcutFileIsReadOnly(path)
                             ? TrFormat("The shortcut file %s is read-only!\nThe programmed shortcuts are used until the "
                                        "program ends.")
                             : TrFormat("Cannot save the programmed shortcuts to %s!\nThey are used until the program ends.");
    char text[kShortcutPathSize + 200];
    FormatBounded(text, sizeof text, format, path);
    MessageBoxA(dlg, text, knt_windows_title, MB_ICONERROR);
}

// Everything is read from the dialog and applied before the message that a
// failed save brings: while it is up the desk may close and take the dialog
// with it, and nothing may be read from a dialog that is gone.
void OnOk(HWND dlg, const ShortcutsDialog* rec) {
    const int use = IsChecked(dlg, IDC_USE_PROGRAMMED) ? 1 : 0;
    const int only = IsChecked(dlg, IDC_PROGRAMMED_ONLY) ? 1 : 0;
    const int showKeys = IsChecked(dlg, IDC_SHOW_HKEYS) ? 1 : 0;
    SetProgrammedShortcutFlags(use, only);
    const bool saved = !rec->listChanged || SaveWorkingList(rec);
    if (showKeys != gShowHKeys) {
        gShowHKeys = showKeys;
        WriteRegKeyInt(HKEY_CURRENT_USER, "showhkeys", showKeys, nullptr);
    }
    if (hMainWnd) RedrawWindow(hMainWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    WriteRegKeyInt(HKEY_CURRENT_USER, "pscActive", use, nullptr);
    WriteRegKeyInt(HKEY_CURRENT_USER, "pscOnly", only, nullptr);
    if (!saved) TellNotSaved(dlg);
    if (IsWindow(dlg)) EndDialog(dlg, IDOK);
}

void OnCommand(HWND dlg, ShortcutsDialog* rec, int id, int code) {
    switch (id) {
    case IDC_USE_PROGRAMMED:
        EnableItem(dlg, IDC_KEEP_DEFAULTS, true);
        EnableItem(dlg, IDC_PROGRAMMED_ONLY, true);
        return;
    case IDC_USE_DEFAULTS_ONLY:
        EnableItem(dlg, IDC_KEEP_DEFAULTS, false);
        EnableItem(dlg, IDC_PROGRAMMED_ONLY, false);
        return;
    case IDC_SHORTCUT_LIST:
        if (code == LBN_SELCHANGE) EnableItem(dlg, IDC_DELETE_ENTRY, Send(dlg, IDC_SHORTCUT_LIST, LB_GETCURSEL) >= 0);
        return;
    case IDC_KEY:
    case IDC_COMMAND: UpdateAddButton(dlg); return;
    case IDC_ADD: OnAdd(dlg, rec); return;
    case IDC_DELETE_ENTRY: OnDeleteEntry(dlg, rec); return;
    case IDC_CLEAR_LIST: OnClearList(dlg, rec); return;
    case IDOK: OnOk(dlg, rec); return;
    case IDCANCEL: EndDialog(dlg, IDCANCEL); return;
    }
}

// The header's static loads its picture from the template and never frees
// it: taken back from the control it is ours to delete.
void ReleaseHeaderPicture(HWND dlg) {
    for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        if (HANDLE old = reinterpret_cast<HANDLE>(SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0)))
            DeleteObject(old);
    }
}

void OnDestroy(HWND dlg, ShortcutsDialog* rec) {
    SetWindowLongPtrA(dlg, DWLP_USER, 0);
    ReleaseHeaderPicture(dlg);
    if (rec->picture) DeleteObject(rec->picture);
    delete rec;
}

INT_PTR CALLBACK ShortcutsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) return OnInitDialog(dlg);
    ShortcutsDialog* rec = RecordOf(dlg);
    if (!rec) return FALSE;
    switch (msg) {
    case WM_COMMAND: OnCommand(dlg, rec, LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_DRAWITEM:
        if (wp != IDC_DEFAULTS_VIEW) return FALSE;
        DrawDefaults(rec, reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lp) != rec->scroll) return FALSE;
        OnDefaultsScroll(dlg, rec, LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_MOUSEWHEEL:
        OnDefaultsScroll(dlg, rec, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return TRUE;
    case WM_DESTROY: OnDestroy(dlg, rec); return TRUE;
    }
    return FALSE;
}

}  // namespace

int OpenShortcutsDialog(HWND owner) {
    // Without the live list there is nothing to edit or apply.
    if (!ProgrammedShortcuts()) return 0;
    return int(DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_SHORTCUTS), owner, ShortcutsDialogProc, 0));
}
