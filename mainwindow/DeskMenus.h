// The desk menu, the view menu and the commands they send.
#pragma once
#include <windows.h>

void OpenDeskMenu(HWND main);
// at: the pressed point in client coordinates.
void OpenViewMenu(HWND main, POINT at);
// WM_COMMAND from the menus and the accelerator table.
void HandleDeskCommand(HWND main, int id);
