// Registration and creation of the desk's child controls. Each control class
// has its own source file; the ones listed here are filled in as the desk
// surface grows, and until then register their class and create nothing.
#pragma once
#include <windows.h>

ATOM RegisterExtMonitorClass(HINSTANCE instance);
ATOM RegisterKeyClass(HINSTANCE instance);
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
bool CreateDeskKeys(HWND main);
bool CreateEncoders(HWND main);
bool CreateCmdlineWindow(HWND main);
bool CreateCDPanel(HWND main);
void CreateDeskFrame(HWND main);
void LayOutDesk(HWND main, int clientWidth, int clientHeight);
void CreateTooltips(HWND main);
void DestroyBackgroundWindow();

// Number of desk child windows created so far.
extern int gDeskChildCount;

// Desk view selection and the labels the core decides.
void SelectTouchView(int view, bool forced);
void SelectFaderBar(int bar);
void RefreshCoreLabels();
void EnableDeskScrollBars(bool enable);
void InvalidateLockIndicators();

// Progress window and CD player hooks of the session end.
void OpenProgressWindow(const char* text);
void CloseProgressWindow();
void CdStopPlayback();
void CdCloseDevice();
