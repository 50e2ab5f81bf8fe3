// The About box (dialog resource 103): the program icon, the version line and
// the maker's line.
#pragma once
#include <windows.h>

// The version line holds at most this many characters; the rest is cut.
constexpr int kAboutVersionCapacity = 68;

// Runs the box modally, owned by owner; its result is the id of the button
// that closed it (2 for the close box).
INT_PTR OpenAboutDialog(HWND owner);
