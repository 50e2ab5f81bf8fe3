// The Shortcuts dialog: editing the programmed shortcuts.
#pragma once
#include <windows.h>

// Runs the dialog modally, owned by owner: IDOK or IDCANCEL; 0 without a
// programmed shortcut list, -1 when the dialog could not be made.
int OpenShortcutsDialog(HWND owner);
