// Key faces. A key's face is drawn once on a shared picture of all key faces,
// the face atlas, and a paint copies it to the key with one BitBlt, where a
// key used to fill, write and draw its lamps on its window at every paint.
// What a face was drawn from is kept beside it and compared at every paint,
// so a changed label, shortcut, press or lamp is drawn again however it came
// about, and a face that did not change costs only the copy.
#include "desk/KeyFace.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/ScreenPicture.h"
#include "desk/DrawingResources.h"
#include "desk/KeyTable.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"

namespace {

constexpr int kTextTop = 5;
constexpr int kLedTop = 3;
constexpr int kLedWidth = 11;
constexpr int kLedBottom = 8;
constexpr int kSecondLedOffset = 16;
constexpr COLORREF kLedOutline = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
// Four keys of the common width side by side.
constexpr int kAtlasWidth = 224;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

// ---- Drawing resources ------------------------------------------------------
// A resource that did not load leaves its role null; the key still draws,
// with a stock object or the DC's own colour in its place.

HFONT OrDefaultFont(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
HFONT LargeFont() { return OrDefaultFont(LargeKeyFont()); }
HFONT SmallFont() { return OrDefaultFont(SmallKeyFont()); }
HFONT ShortcutTextFont() { return OrDefaultFont(ShortcutFont()); }
HBRUSH LedBrush(HDC dc, HBRUSH brush, COLORREF colour) {
    if (brush) return brush;
    SetDCBrushColor(dc, colour);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}
HBRUSH RedLed(HDC dc) { return LedBrush(dc, RedLedBrush(), kRed); }
HBRUSH GreenLed(HDC dc) { return LedBrush(dc, GreenLedBrush(), kGreen); }
HBRUSH YellowLed(HDC dc) { return LedBrush(dc, YellowLedBrush(), kYellow); }
HBRUSH UnlitLedBrush() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }
HPEN LedOutlinePen(HDC dc) {
    if (HPEN pen = LedPen()) return pen;
    SetDCPenColor(dc, kLedOutline);
    return static_cast<HPEN>(GetStockObject(DC_PEN));
}

bool UsesLargeFont(int keyId) { return keyId <= 100 || InRange(keyId, 209, 225); }

// Keys whose face text is the keyboard key itself, so it reads as a shortcut.
bool FaceIsKeyboardKey(int keyId) {
    return InRange(keyId, 203, 206) || InRange(keyId, 209, 221) || keyId == 225 || keyId == kPageUpKeyId ||
           keyId == kPageDownKeyId;
}

// ---- What a face shows --------------------------------------------------------

// What the keyboard dispatcher says about a key's shortcuts.
struct ShortcutView {
    char psc[48];
    bool used;   // programmed shortcuts are in use
    bool only;   // programmed shortcuts only
    bool taken;  // a programmed shortcut uses the key's default combination
};

ShortcutView ShortcutViewOf(const KeyRecord& key) {
    ShortcutView view = {};
    view.used = ProgrammedShortcutText(key.keyId, view.psc, sizeof view.psc);
    if (!view.used) view.psc[0] = '\0';
    // "Only" hides the defaults just while programmed shortcuts are in use;
    // otherwise the defaults are what the keyboard does, so they are shown.
    view.only = view.used && ProgrammedShortcutsOnly();
    view.taken = DefaultShortcutTaken(key.defaultShortcut) != 0;
    return view;
}

bool SameShortcutView(const ShortcutView& a, const ShortcutView& b) {
    return std::strcmp(a.psc, b.psc) == 0 && a.used == b.used && a.only == b.only && a.taken == b.taken;
}

struct Lamps {
    bool first;
    bool second;
};

bool operator==(Lamps a, Lamps b) { return a.first == b.first && a.second == b.second; }

Lamps LampsOf(const KeyRecord& key) {
    Lamps lamps = {false, false};
    if (key.led1 == -1) return lamps;
    lamps.first = VC_KNT_ACTIVE && CallEntry(gCore.IsLed, key.led1);
    // The second lamp is asked even while the core is not active.
    lamps.second = key.led2 != -1 && CallEntry(gCore.IsLed, key.led2);
    return lamps;
}

// Everything a face is drawn from apart from the key table row itself. The
// resources are part of it: a face drawn before they were made again is old.
struct Face {
    bool pressed;
    bool showing;  // shortcuts shown on the keys
    std::string label;
    ShortcutView shortcuts;
    HFONT fonts[3];
    HBRUSH brush;
};

Face FaceOf(int row, const KeyRecord& key, bool pressed) {
    const char* label = KeyLabel(row);
    return {pressed,
            gShowHKeys && gShortcutMode,
            label ? label : "",
            ShortcutViewOf(key),
            {LargeKeyFont(), SmallKeyFont(), ShortcutFont()},
            KeyFaceBrush(key.faceStyle, pressed)};
}

bool SameFace(const Face& a, const Face& b) {
    return a.pressed == b.pressed && a.showing == b.showing && a.label == b.label &&
           SameShortcutView(a.shortcuts, b.shortcuts) && std::equal(a.fonts, a.fonts + 3, b.fonts) &&
           a.brush == b.brush;
}

// ---- The face atlas ---------------------------------------------------------------
// One picture in the screen's own format with a place for every key, laid out
// in table order on shelves. Memory pages of keys never shown are never
// touched, so they cost nothing.
//
// Faces are drawn on scratch pictures, one a font, and copied to the atlas.
// Under Wine, drawing text with another font than the last one a memory DC
// drew with cost some 25 us, with the same font 2 us; so each font keeps a
// DC of its own and no DC ever changes font or picture.

struct Slot {
    POINT at;  // x < 0: the key has no place and is drawn on its window
    SIZE size;
    bool drawn;
    Face face;
    Lamps lamps;
};

enum FontRole { kLargeRole, kSmallRole, kShortcutRole, kRoleCount };
constexpr SIZE kScratchSize = {128, 80};  // the largest key, Go+ and Enter

ScreenPicture gAtlas;  // a shelf is one run of memory
ScreenPicture gScratch[kRoleCount];
Slot gSlots[kKeyCount];

HFONT FontOf(int role) {
    switch (role) {
    case kLargeRole: return LargeFont();
    case kSmallRole: return SmallFont();
    default: return ShortcutTextFont();
    }
}

bool MakePicture(ScreenPicture& picture, int width, int height) {
    if (!MakeScreenPicture(&picture, width, height)) return false;
    SetBkMode(picture.dc, TRANSPARENT);
    return true;
}

int LayOutSlots() {
    int x = 0, y = 0, shelf = 0;
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord& key = *KeyRow(row);
        Slot& slot = gSlots[row];
        slot = Slot{{-1, 0}, {key.width, key.height}, false, {}, {}};
        const bool fits = key.width > 0 && key.height > 0 && key.width <= kScratchSize.cx &&
                          key.height <= kScratchSize.cy;
        if (!fits) continue;
        if (x + key.width > kAtlasWidth) {
            y += shelf;
            x = shelf = 0;
        }
        slot.at = {x, y};
        x += key.width;
        shelf = std::max(shelf, key.height);
    }
    return y + shelf;
}

bool MakeAtlas() {
    if (gAtlas.dc) return true;
    bool made = MakePicture(gAtlas, kAtlasWidth, LayOutSlots());
    for (int role = 0; role < kRoleCount && made; ++role) {
        made = MakePicture(gScratch[role], kScratchSize.cx, kScratchSize.cy);
        if (made) SelectObject(gScratch[role].dc, FontOf(role));
    }
    if (!made) ReleaseKeyFaces();
    return made;
}

// The key's place in the atlas, made on first use; null when the key is to be
// drawn on its window (no atlas, or the window is not the key's table size).
Slot* SlotOf(int row, SIZE size) {
    if (row < 0 || row >= kKeyCount || !MakeAtlas()) return nullptr;
    Slot& slot = gSlots[row];
    if (slot.at.x < 0 || size.cx > slot.size.cx || size.cy > slot.size.cy) return nullptr;
    return &slot;
}

// ---- Drawing, on the scratch pictures or on a key's own window -----------------

// The DC a line in the font of role is drawn on: the scratch picture of that
// font, or with a window's own DC given, that DC with the font selected.
HDC LineDC(HDC window, int role) {
    HDC dc = window ? window : gScratch[role].dc;
    // Drawing resources made anew leave another font to select.
    HFONT font = FontOf(role);
    if (GetCurrentObject(dc, OBJ_FONT) != font) SelectObject(dc, font);
    return dc;
}

COLORREF ProgrammedColour(bool pressed) { return pressed ? RGB(0, 50, 0) : RGB(0, 120, 0); }
COLORREF DefaultColour(bool pressed) { return pressed ? RGB(32, 32, 111) : RGB(64, 64, 222); }

void DrawLine(HDC dc, const char* text, int length, RECT rect, UINT format) {
    if (length > 0) DrawTextA(dc, text, length, &rect, format);
}

bool WantsTwoLines(const ShortcutView& sc, bool paren) {
    const bool hasPsc = sc.psc[0] != '\0';
    return (!sc.used && paren) || (sc.used && !sc.only && paren && !sc.taken) || (sc.used && hasPsc);
}

// Draws the face picture, label and shortcut text of a key of the given size
// at the top left corner of window, or with window null on the scratch
// pictures; gives back the DC that holds the finished face.
HDC DrawFace(HDC window, SIZE size, const KeyRecord& key, const Face& face) {
    const bool pressed = face.pressed;
    const bool showing = face.showing;
    const ShortcutView& sc = face.shortcuts;
    const bool hasPsc = sc.psc[0] != '\0';
    const bool paren = face.label.find('(') != std::string::npos;
    const bool large = UsesLargeFont(key.keyId);
    int lines = 1;
    int firstRole = large ? kLargeRole : kSmallRole;
    if (showing && WantsTwoLines(sc, paren)) {
        if (large) {
            firstRole = kSmallRole;
            if (key.keyId > 40) lines = 2;
        } else {
            lines = 2;
        }
    }
    HDC dc = LineDC(window, firstRole);
    const RECT area = {0, 0, size.cx, size.cy};
    FillRect(dc, &area, KeyFaceBrushOrDefault(key.faceStyle, pressed));

    const int lineHeight = (size.cy - kTextTop) / lines;
    const RECT first = {0, kTextTop, size.cx, kTextTop + lineHeight};
    const UINT firstFormat = DT_CENTER | DT_SINGLELINE | (lines == 1 ? DT_VCENTER : DT_BOTTOM);
    SetTextColor(dc, pressed ? RGB(255, 255, 255) : RGB(0, 0, 0));
    const KeyLabelParts parts = SplitKeyLabel(face.label.c_str());
    const int faceLength = int(parts.face.size());

    if (showing) {
        const bool defaultShown = !sc.used || (!sc.only && !sc.taken);
        if (key.keyId <= 40 || (!hasPsc && defaultShown && FaceIsKeyboardKey(key.keyId)))
            SetTextColor(dc, hasPsc ? ProgrammedColour(pressed) : DefaultColour(pressed));
        if (key.keyId > 40)
            DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
        else if (hasPsc)
            DrawLine(dc, sc.psc, int(std::strlen(sc.psc)), first, firstFormat);
        else if (!sc.only && !sc.taken)
            DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
    } else if (key.keyId > 40) {
        DrawLine(dc, parts.face.data(), faceLength, first, firstFormat);
    }

    if (showing && lines == 2) {
        const RECT second = {0, first.bottom, size.cx, first.bottom + lineHeight};
        HDC next = LineDC(window, kShortcutRole);
        if (next != dc) BitBlt(next, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
        dc = next;
        if (hasPsc) {
            SetTextColor(dc, ProgrammedColour(pressed));
            DrawLine(dc, sc.psc, int(std::strlen(sc.psc)), second, DT_CENTER | DT_SINGLELINE);
        } else {
            SetTextColor(dc, DefaultColour(pressed));
            DrawLine(dc, parts.shortcut.data(), int(parts.shortcut.size()), second, DT_CENTER | DT_SINGLELINE);
        }
    }
    // A window's own DC goes back to the key's label font it was given.
    if (window) SelectObject(window, KeyLabelFont(key.keyId));
    return dc;
}

HBRUSH FirstLampBrush(HDC dc, const KeyRecord& key, bool lit) {
    if (!lit) return UnlitLedBrush();
    if (key.keyId == 148 || InRange(key.keyId, 41, 100)) return GreenLed(dc);
    if (key.keyId == 149 || key.keyId == 180) return YellowLed(dc);
    return RedLed(dc);
}

// Where a key's lamps sit, relative to its corner; empty for a key without.
RECT LampArea(const KeyRecord& key, SIZE size) {
    if (key.led1 == -1) return {0, 0, 0, 0};
    const int left = size.cx / 2 - (key.led2 == -1 ? 5 : 12);
    const int right = left + (key.led2 == -1 ? 0 : kSecondLedOffset) + kLedWidth;
    return {left, kLedTop, right, kLedBottom};
}

void DrawLamps(HDC dc, POINT at, SIZE size, const KeyRecord& key, Lamps lamps) {
    if (key.led1 == -1) return;
    const RECT area = LampArea(key, size);
    const int left = at.x + area.left, top = at.y + kLedTop, bottom = at.y + kLedBottom;
    HGDIOBJ oldPen = SelectObject(dc, LedOutlinePen(dc));
    HGDIOBJ oldBrush = SelectObject(dc, FirstLampBrush(dc, key, lamps.first));
    Rectangle(dc, left, top, left + kLedWidth, bottom);
    if (key.led2 != -1) {
        HBRUSH brush = UnlitLedBrush();
        if (lamps.second) brush = InRange(key.keyId, 41, 100) ? YellowLed(dc) : GreenLed(dc);
        SelectObject(dc, brush);
        const int second = left + kSecondLedOffset;
        Rectangle(dc, second, top, second + kLedWidth, bottom);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

SIZE ClientSize(HWND wnd) {
    RECT client;
    GetClientRect(wnd, &client);
    return {client.right, client.bottom};
}

}  // namespace

void PaintKeyFace(HWND wnd, int row, bool pressed) {
    const KeyRecord* key = KeyRow(row);
    if (!key) return;
    const SIZE size = ClientSize(wnd);
    Face face = FaceOf(row, *key, pressed);
    const Lamps lamps = LampsOf(*key);
    HDC dc = GetDC(wnd);
    if (Slot* slot = SlotOf(row, size)) {
        if (!slot->drawn || !SameFace(slot->face, face)) {
            HDC made = DrawFace(nullptr, size, *key, face);
            BitBlt(gAtlas.dc, slot->at.x, slot->at.y, size.cx, size.cy, made, 0, 0, SRCCOPY);
            DrawLamps(gAtlas.dc, slot->at, size, *key, lamps);
            slot->face = std::move(face);
            slot->lamps = lamps;
            slot->drawn = true;
        } else if (!(slot->lamps == lamps)) {
            DrawLamps(gAtlas.dc, slot->at, size, *key, lamps);
            slot->lamps = lamps;
        }
        BitBlt(dc, 0, 0, size.cx, size.cy, gAtlas.dc, slot->at.x, slot->at.y, SRCCOPY);
    } else {
        DrawFace(dc, size, *key, face);
        DrawLamps(dc, {0, 0}, size, *key, lamps);
    }
    ReleaseDC(wnd, dc);
}

void RefreshKeyLamps(HWND wnd, int row) {
    const KeyRecord* key = KeyRow(row);
    if (!key || key->led1 == -1) return;
    const SIZE size = ClientSize(wnd);
    const Lamps lamps = LampsOf(*key);
    Slot* slot = gAtlas.dc ? SlotOf(row, size) : nullptr;
    // The window shows its atlas place since its last paint: only a change
    // needs drawing, and then only the lamps are copied.
    if (slot && slot->drawn && slot->lamps == lamps) return;
    HDC dc = GetDC(wnd);
    if (slot && slot->drawn) {
        DrawLamps(gAtlas.dc, slot->at, size, *key, lamps);
        slot->lamps = lamps;
        const RECT area = LampArea(*key, size);
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, gAtlas.dc,
               slot->at.x + area.left, slot->at.y + area.top, SRCCOPY);
    } else {
        DrawLamps(dc, {0, 0}, size, *key, lamps);
    }
    ReleaseDC(wnd, dc);
}

void ReleaseKeyFaces() {
    ReleaseScreenPicture(&gAtlas);
    for (ScreenPicture& scratch : gScratch) ReleaseScreenPicture(&scratch);
    for (Slot& slot : gSlots) slot = Slot{};
}

HFONT KeyLabelFont(int keyId) { return UsesLargeFont(keyId) ? LargeFont() : SmallFont(); }

HBRUSH KeyFaceBrushOrDefault(int faceStyle, bool pressed) {
    if (HBRUSH brush = KeyFaceBrush(faceStyle, pressed)) return brush;
    return pressed ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : DeskGreyBrush();
}
