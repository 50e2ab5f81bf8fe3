// What a desk key shows: its face picture, label, shortcut text and lamps.
// Each key's picture is kept drawn in one picture shared by all keys, so a
// repaint puts it on screen with a single copy and a lamp change copies only
// the lamps.
#pragma once
#include <windows.h>

// Paints the key of the table row into its window, released or held down.
void PaintKeyFace(HWND wnd, int row, bool pressed);
// Brings the key's lamps in line with the core; nothing is drawn while they
// already show what the core says.
void RefreshKeyLamps(HWND wnd, int row);
// Gives the shared picture back; the next paint makes it again.
void ReleaseKeyFaces();

// What a key window's own device context starts with: the label font of the
// key and the released face brush, a stock object where a resource is missing.
HFONT KeyLabelFont(int keyId);
HBRUSH KeyFaceBrushOrDefault(int faceStyle, bool pressed);
