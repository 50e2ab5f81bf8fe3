// The desk's tooltips: one tooltip control owned by the main window with a tool
// for every desk key, fader and CD player window, its texts asked for when a
// tip opens (mostly from the core), and the message hook that feeds it the
// pointer's moves and clicks.
#pragma once
#include <windows.h>

// Controls from this id on (encoders, frame pieces, the command line, the
// information and touch windows) get no tool.
constexpr int kFirstUntippedId = 40500;
// Room of the host's copy of a tip text, terminator included: what the
// tooltip control keeps of a text at most.
constexpr int kTooltipTextCapacity = 1024;

// Called once at start-up, after every desk child exists: those children
// become the tools, and the hook is set. The control itself is made when the
// pointer first moves over a tool. False when the children could not
// be listed or the hook set (the desk goes on without).
bool CreateTooltips(HWND main);
// The tooltip control, made now if it was not yet; null when it cannot be.
HWND TooltipWindow();

// The main window's WM_NOTIFY. Only the tooltip's text requests are answered,
// and only while the core wants help shown.
void TooltipNotify(LPARAM notice);

// The text of the tool with this control id: a fixed text, or the core's
// copied into the host's buffer; null for none. The buffer's text changes
// with the next call.
const char* TooltipTextFor(int controlId);
