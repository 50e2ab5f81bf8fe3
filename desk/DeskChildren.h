// The desk's child controls in one include for the start-up and the main
// window; each control class has its own source file and header.
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
#include "desk/InfoWindow.h"
#include "desk/Tooltips.h"
#include "dialogs/ProgressWnd.h"
#include "mainwindow/BackgroundWnd.h"

// Number of desk child windows created so far.
extern int gDeskChildCount;

