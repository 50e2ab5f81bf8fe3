// Registration and creation of the desk's child controls. Each control class
// has its own source file; the ones listed here are filled in as the desk
// surface grows, and until then register their class and create nothing.
#pragma once
#include <windows.h>

#include "cdplayer/CdPanel.h"
#include "desk/ExtMonitor.h"
#include "desk/DeskFrame.h"
#include "desk/KeyWnd.h"
#include "input/CmdlineWnd.h"
#include "input/EncoderWnd.h"
#include "input/FaderWnd.h"
#include "input/TouchWnd.h"

ATOM RegisterInfoClass(HINSTANCE instance);
ATOM RegisterProgressClass(HINSTANCE instance);
ATOM RegisterBackgroundClass(HINSTANCE instance);

void CreateTooltips(HWND main);
void DestroyBackgroundWindow();

// Number of desk child windows created so far.
extern int gDeskChildCount;


// Tooltip notices and the information window.
void TooltipNotify(LPARAM notice);
void DestroyInfoWindow();
// Replaces any information window by one on parent at (x, y, width, height);
// while no core session runs it only removes the old one.
void ShowInfoWindow(HWND parent, int x, int y, int width, int height);

// The cover-desktop window.
void CreateBackgroundWindow(HWND main);
bool BackgroundWindowExists();
void RestackBackground();

// Progress window of the session end.
void OpenProgressWindow(const char* text);
void CloseProgressWindow();
