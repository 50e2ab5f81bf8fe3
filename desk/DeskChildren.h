// Registration and creation of the desk's child controls. Each control class
// has its own source file; the ones listed here are filled in as the desk
// surface grows, and until then register their class and create nothing.
#pragma once
#include <windows.h>

#include "desk/ExtMonitor.h"
#include "desk/DeskFrame.h"
#include "desk/KeyWnd.h"
#include "input/CmdlineWnd.h"
#include "input/EncoderWnd.h"
#include "input/FaderWnd.h"
#include "input/TouchWnd.h"

ATOM RegisterInfoClass(HINSTANCE instance);
ATOM RegisterProgressClass(HINSTANCE instance);
ATOM RegisterCDButtonClass(HINSTANCE instance);
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
// The same for a request of the core, whose lParam points at x, y, width and
// height (four 32-bit values). A rectangle this process cannot read (null, or
// an address that came from another process) opens nothing.
void ShowInfoWindowAt(HWND parent, LPARAM record);

// The cover-desktop window.
void CreateBackgroundWindow(HWND main);
bool BackgroundWindowExists();
void RestackBackground();

// CD player panel: a new test for a disc after a media notice for its drive.
void CdPanelRecheckDisc(int track);

// Progress window of the session end.
void OpenProgressWindow(const char* text);
void CloseProgressWindow();
