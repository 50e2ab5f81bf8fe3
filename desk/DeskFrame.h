// The host-drawn frame of the desk window (class vcNONCLIENT: size grip,
// sizing edges, window buttons, mode toggles, thin edges), the two desk scroll
// bars and the layout step that fits them to the main window's client size.
#pragma once
#include <windows.h>

// Control ids of the frame pieces; a piece's number is its id - kFrameFirstId.
enum FramePiece : int {
    kFrameFirstId = 40600,
    kFrameGrip = 0,
    kFrameRightEdge = 1,
    kFrameBottomEdge = 2,
    kFrameMinimise = 3,
    kFrameMaximise = 4,
    kFrameClose = 5,
    kFrameShortcutToggle = 6,
    kFrameCmdLockToggle = 7,
    kFrameLeftEdge = 8,
    kFrameTopEdge = 9,
};
constexpr int kDeskHScrollId = 40612;
constexpr int kDeskVScrollId = 40613;

ATOM RegisterFrameClass(HINSTANCE instance);
// Creates the pieces and the scroll bars for the main window's client size;
// all hidden and disabled except the thin edges until the first layout.
void CreateDeskFrame(HWND main);
// Fits the frame and the scroll state to a client size of the main window:
// clamps the desk offsets, sets ranges and pages, moves the pieces in one
// batch and shows the scroll bars the size needs.
void LayOutDesk(HWND main, int clientWidth, int clientHeight);

// The desk scroll bars; null until they exist.
HWND DeskScrollBar(bool vertical);
void EnableDeskScrollBars(bool enable);
// Repaint the command-line-lock toggle (and the shortcut toggle, whose look
// depends on the lock too).
void InvalidateLockIndicators();
// The shortcut-mode toggle.
void InvalidateShortcutIndicator();

// The client size the maximise button returns to from full size: 1024 x 768
// until a sizing drag on the grip or an edge ends, then the size it left.
SIZE DeskRestoreSize();
// Whether the last layout was for exactly 1024 x 768.
bool DeskIsFullSize();
// What the maximise button makes of a work area: the desk cut to its size.
SIZE MaximisedDeskSize(const RECT& workArea);
// Sets the desk scroll offsets (scroll bars, picture, hit areas and desk
// children together). Each is clamped to the desk's range, 0..1023 and
// 0..767; a negative value means 0. The next layout clamps to the client.
void SetDeskScrollOffsets(HWND main, int horizontal, int vertical);
