// The Options dialog: the host's settings page.
#pragma once
#include <windows.h>

// Runs the dialog modally, owned by owner.
void OpenOptionsDialog(HWND owner);
