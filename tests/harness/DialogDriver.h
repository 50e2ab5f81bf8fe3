// Drives a modal dialog of the code under test from inside its own modal
// loop: the script runs once the dialog is up, sets controls with messages
// and presses its buttons, as a user would.
#pragma once
#include <windows.h>

#include <functional>

namespace harness {

// Calls open (which runs the dialog modally) and, once a #32770 window with
// this caption exists on this thread, script with it. A dialog the script
// left open is cancelled. Returns what open returned.
int RunModalDialog(const std::function<int()>& open, const char* caption,
                   const std::function<void(HWND)>& script);

// A user's choice of a list item: the selection and the notification the
// dialog gets for it. False when no item has that text.
bool ChooseComboText(HWND dlg, int id, const char* text);
bool ChooseListIndex(HWND dlg, int id, int index);
// BM_CLICK on a button of the dialog; false (and no click) when it is disabled.
bool Click(HWND dlg, int id);
bool IsEnabled(HWND dlg, int id);
bool IsChecked(HWND dlg, int id);

}  // namespace harness
