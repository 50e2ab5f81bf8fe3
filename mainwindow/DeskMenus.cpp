// Desk menus and commands; the menus arrive with their own resources.
#include "mainwindow/DeskMenus.h"

void OpenDeskMenu(HWND) {}
void OpenViewMenu(HWND, POINT) {}
void HandleDeskCommand(HWND, int) {}
