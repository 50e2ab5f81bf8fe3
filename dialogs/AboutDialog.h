// The About box.
#pragma once
#include <windows.h>

// Runs the box modally, owned by owner.
void OpenAboutDialog(HWND owner);
