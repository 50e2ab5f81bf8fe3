// Registration and creation of the desk's child controls. Each control class
// has its own source file; the ones listed here are filled in as the desk
// surface grows, and until then register their class and create nothing.
#pragma once
#include <windows.h>

#include "desk/KeyWnd.h"

ATOM RegisterExtMonitorClass(HINSTANCE instance);
ATOM RegisterInfoClass(HINSTANCE instance);
ATOM RegisterProgressClass(HINSTANCE instance);
ATOM RegisterFaderClass(HINSTANCE instance);
ATOM RegisterEncoderClass(HINSTANCE instance);
ATOM RegisterTouchClass(HINSTANCE instance);
ATOM RegisterFrameClass(HINSTANCE instance);
ATOM RegisterCmdlineClass(HINSTANCE instance);
ATOM RegisterCDButtonClass(HINSTANCE instance);
ATOM RegisterBackgroundClass(HINSTANCE instance);

bool CreateTouchWindow(HWND main);
bool CreateFaders(HWND main);
bool CreateEncoders(HWND main);
bool CreateCmdlineWindow(HWND main);
bool CreateCDPanel(HWND main);
void CreateDeskFrame(HWND main);
void LayOutDesk(HWND main, int clientWidth, int clientHeight);
void CreateTooltips(HWND main);
void DestroyBackgroundWindow();

// Number of desk child windows created so far.
extern int gDeskChildCount;

// What the fader bar shows of the faders, the encoders and the CD player
// panel; controls that do not exist are skipped.
void ShowFadersForBar(int bar);
void ShowEncodersForBar(int bar);
void ApplyCdPanelShowRule(int bar);
void EnableDeskScrollBars(bool enable);
void InvalidateLockIndicators();
// The shortcut-mode indicator of the desk frame.
void InvalidateShortcutIndicator();
// The desk scroll bars (ids 40612 and 40613) that the frame creates; null
// until they exist.
HWND DeskScrollBar(bool vertical);

// A fader value the core echoes back to its fader window.
void HandFaderValueFromCore(HWND fader, int value);

// Tooltip notices and the information window.
void TooltipNotify(LPARAM notice);
void DestroyInfoWindow();

// The cover-desktop window.
bool BackgroundWindowExists();
void RestackBackground();

// CD player panel: the configured drive text (null when none) and a new test
// for a disc after a media notice for that drive.
const char* ConfiguredCdDrive();
void CdPanelRecheckDisc(int track);

// Progress window and CD player hooks of the session end.
void OpenProgressWindow(const char* text);
void CloseProgressWindow();
void CdStopPlayback();
void CdCloseDevice();
