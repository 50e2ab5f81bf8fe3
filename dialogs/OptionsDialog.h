// The Options dialog: the host's settings page.
#pragma once
#include <windows.h>

// Runs the dialog modally, owned by owner: IDOK or IDCANCEL, -1 when the
// dialog could not be made.
int OpenOptionsDialog(HWND owner);
