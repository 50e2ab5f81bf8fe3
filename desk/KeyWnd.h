// The desk keys: window class _kntButton, one window per row of the key
// table, with the screen, fader-bar and page key families and the labels the
// core decides.
#pragma once
#include <windows.h>

ATOM RegisterKeyClass(HINSTANCE instance);
// Makes one window per table row as a child of main; a row whose window
// cannot be made is skipped. Always true: the desk works without any key.
bool CreateDeskKeys(HWND main);

// The key window of a key id, null when none was made (or the id is no key).
HWND KeyWindowOfId(int keyId);

// Screen keys: row of key id 247..249; a row outside them selects view 2.
void SelectScreen(int row, bool forced);
// Bar keys: row of key id 250..255; a row outside them selects bar 3.
// 1 when a fader-mode pulse went to the core, else 0.
int SwitchBar(int row);
// Pg Up (256) and Pg Dn (257); any other id sends nothing. The status sent,
// or 0 when none was.
int PageKey(int keyId, int pressed);

// The same selections by touch view (0..2) and fader bar (1..6), for callers
// that do not think in rows; out-of-range values fall back to 2 and 3.
void SelectTouchView(int view, bool forced);
int SelectFaderBar(int bar);

// Key labels that the core decides.
void RefreshZeroDotLabels();
void RefreshHighliteSoloLabel();
void RefreshAlignLabel();
// The labels a session start refreshes: zero/dot and Highlight/Solo.
void RefreshCoreLabels();
