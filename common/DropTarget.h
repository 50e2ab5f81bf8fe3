// Whether a window takes files dropped on it, without the shell library.
#pragma once
#include <windows.h>

// Sets or clears WS_EX_ACCEPTFILES, all that the shell's DragAcceptFiles
// does; reading a drop (DragQueryFile) still needs the shell, at that time.
void AcceptDroppedFiles(HWND wnd, bool accept);
