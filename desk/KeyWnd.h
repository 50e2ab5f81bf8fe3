// The desk keys: window class _kntButton, one window per row of the key
// table, with the screen, fader-bar and page key families and the labels the
// core decides. Which keys a bar shows, and the switches themselves, are the
// desk view's (mainwindow/DeskView.h).
#pragma once
#include <windows.h>

ATOM RegisterKeyClass(HINSTANCE instance);
// Makes one window per table row as a child of main; a row whose window
// cannot be made is skipped. Always true: the desk works without any key.
bool CreateDeskKeys(HWND main);

// The key window of a key id, null when none was made (or the id is no key).
HWND KeyWindowOfId(int keyId);

// The key id a key window carries; 0 for any other window.
int KeyIdOfWindow(HWND wnd);

// Draws a screen or bar key selected (pressed) or not; a press on a selected
// key selects nothing again. Nothing for a window that is no key.
void SetKeySelected(HWND key, bool selected);

// Pg Up (256) and Pg Dn (257); any other id sends nothing. The status sent,
// or 0 when none was.
int PageKey(int keyId, int pressed);

// Key labels that the core decides.
void RefreshZeroDotLabels();
void RefreshHighliteSoloLabel();
void RefreshAlignLabel();
// The labels a session start refreshes: zero/dot and Highlight/Solo.
void RefreshCoreLabels();
