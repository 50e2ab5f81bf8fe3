// Modal dialog driving for tests.
#include "tests/harness/DialogDriver.h"

#include <string>

namespace harness {

namespace {

struct Pending {
    std::string caption;
    const std::function<void(HWND)>* script = nullptr;
    HWND found = nullptr;
};
Pending* gPending = nullptr;

BOOL CALLBACK MatchDialog(HWND wnd, LPARAM) {
    char cls[32] = "", text[256] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    GetWindowTextA(wnd, text, sizeof text);
    if (lstrcmpA(cls, "#32770") != 0 || gPending->caption != text) return TRUE;
    gPending->found = wnd;
    return FALSE;
}

// Runs inside the dialog's modal loop, which dispatches thread timers.
void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
    if (!gPending || gPending->found) return;
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, 0);
    if (!gPending->found) return;
    KillTimer(nullptr, id);
    HWND dlg = gPending->found;
    (*gPending->script)(dlg);
    // Queued, so a dialog the script ended keeps its own result: the loop
    // leaves before this arrives and the message dies with the window.
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int RunModalDialog(const std::function<int()>& open, const char* caption,
                   const std::function<void(HWND)>& script) {
    Pending pending;
    pending.caption = caption;
    pending.script = &script;
    gPending = &pending;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunScript);
    const int result = open();
    KillTimer(nullptr, timer);
    gPending = nullptr;
    return result;
}

bool ChooseComboText(HWND dlg, int id, const char* text) {
    const LRESULT index = SendDlgItemMessageA(dlg, id, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text));
    if (index < 0) return false;
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    return true;
}

bool ChooseListIndex(HWND dlg, int id, int index) {
    if (SendDlgItemMessageA(dlg, id, LB_SETCURSEL, WPARAM(index), 0) == LB_ERR) return false;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    return true;
}

bool IsEnabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != 0; }

bool IsChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

bool Click(HWND dlg, int id) {
    if (!IsEnabled(dlg, id)) return false;
    SendDlgItemMessageA(dlg, id, BM_CLICK, 0, 0);
    return true;
}

}  // namespace harness
