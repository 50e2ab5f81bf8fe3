// The Shortcuts dialog: editing the programmed shortcuts.
#pragma once
#include <windows.h>

// Runs the dialog modally, owned by owner.
void OpenShortcutsDialog(HWND owner);
