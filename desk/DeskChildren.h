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
#include "desk/InfoWindow.h"
#include "desk/Tooltips.h"
#include "dialogs/ProgressWnd.h"
#include "mainwindow/BackgroundWnd.h"

ATOM RegisterCDButtonClass(HINSTANCE instance);

// Number of desk child windows created so far.
extern int gDeskChildCount;

// CD player panel: a new test for a disc after a media notice for its drive.
void CdPanelRecheckDisc(int track);
