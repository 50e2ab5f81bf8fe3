// The process-wide drawing resources of the desk, used by role.
#pragma once
#include <windows.h>

// Creates every resource; false when one the desk cannot do without failed
// (brushes, pens, bitmaps, regions). Missing cursors and fonts stay null.
bool CreateDrawingResources(HINSTANCE instance);
// Releases whatever exists; safe to call again and after a partial creation.
void ReleaseDrawingResources();

// The desk's default cursor (cursor table entry 0), the system arrow while
// the table is not loaded.
HCURSOR DeskDefaultCursor();
HBRUSH DeskGreyBrush();  // RGB(84, 84, 84)
// The open hand of the drag region; the system move cursor until loaded.
HCURSOR DeskMoveCursor();

// Hit areas of the desk surface, in client coordinates of the main window:
// the drag region of the current fader bar (null before creation) and the
// desk menu button. All of them move with the desk when it scrolls.
HRGN DeskDragRegion();
// The drag region of one bar: bar 5 and bar 6 have their own, all others
// share one. Null before creation.
HRGN DeskDragRegionOfBar(int bar);
RECT DeskMenuButtonRect();
void ShiftDeskHitAreas(int dx, int dy);
// The desk picture for a fader bar; bar 6 has two, with and without the CD
// player panel.
HBITMAP DeskBackgroundBitmap(int bar, bool cdShown);

// Pens and solid brushes.
HPEN LedPen();
HBRUSH YellowLedBrush();
HBRUSH RedLedBrush();
HBRUSH GreenLedBrush();
HBRUSH BlueBrush();

// Key faces by the key table's face style 1..11; null for any other style.
HBRUSH KeyFaceBrush(int faceStyle, bool pressed);

HFONT LargeKeyFont();
HFONT SmallKeyFont();
HFONT ShortcutFont();

// The cursor table the core chooses from, 0..16; null outside or when the
// entry did not load.
HCURSOR DeskCursor(int index);
HCURSOR StoreCursor();
HCURSOR SizeCornerCursor();
HCURSOR SizeRightEdgeCursor();
HCURSOR SizeBottomEdgeCursor();
HCURSOR TextCursor();
HCURSOR ArrowCursor();

// Bitmaps that are copied with BitBlt.
HBITMAP CloseButtonBitmap(bool pressed);
HBITMAP MinimiseButtonBitmap(bool pressed);
HBITMAP MaximiseButtonBitmap(bool pressed);
HBITMAP RestoreButtonBitmap(bool pressed);
HBITMAP ShortcutToggleBitmap(bool sunken);
HBITMAP CommandLockToggleBitmap(bool sunken);
HBITMAP SizeGripBitmap();

enum class FaderKind { Bar, Executor, Horizontal };  // Executor: fader 40020
HBITMAP FaderKnobBitmap(FaderKind kind);
HBRUSH FaderTrackBrush(FaderKind kind);

enum class MenuPicture { Quit, LoadCompressedShow, SaveCompressedShow, Arrange };
HBITMAP MenuPictureBitmap(MenuPicture picture);

// Encoder faces. The large faces and the wheel follow the dual-speed options
// read at start-up; ReloadEncoderFaceBrushes takes a changed option on.
HBRUSH LargeEncoderFaceBrush(bool pressed);
HBRUSH SmallEncoderFaceBrush(bool pressed);
HBRUSH WheelFaceBrush();
// Replace the two large encoder face brushes after gDsrEncoder changed, and
// the wheel's after gDsrWheel changed; a brush that cannot be made leaves the
// previous one in use.
void ReloadEncoderFaceBrushes(HINSTANCE instance);
void ReloadWheelFaceBrush(HINSTANCE instance);

enum class MarkerColour { Red, Blue, Green, Yellow };
HBRUSH EncoderMarkerBrush(MarkerColour colour);

HBRUSH CommandLineBrush();
