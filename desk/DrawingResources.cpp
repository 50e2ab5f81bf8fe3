// Process-wide drawing resources: made once in a fixed order before any desk
// window class exists, read by role everywhere else, released when the main
// window goes. The tables below fix both the creation order and the resource
// numbers, so the accessors look handles up instead of keeping one global each.
// Pictures, the brushes made of them and cursors load when first asked for:
// a shown desk needs a fraction of them, and each costs start-up time and
// memory. Their presence in the program is still checked at the start.
#include "desk/DrawingResources.h"

#include <iterator>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"

namespace {

// ---- pens and solid brushes ------------------------------------------------

HPEN gLedPen;
enum SolidRole { kYellow, kBlue, kRed, kGreen, kGrey, kSolidCount };
constexpr COLORREF kSolidColours[kSolidCount] = {RGB(255, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0),
                                                 RGB(0, 255, 0), RGB(84, 84, 84)};
HBRUSH gSolid[kSolidCount];

// ---- cursors ---------------------------------------------------------------

constexpr int kCursorTableIds[17] = {134, 141, 136, 137, 135, 139, 133, 131, 143,
                                     146, 142, 145, 144, 147, 132, 140, 138};
HCURSOR gCursorTable[17];
enum FurtherCursor { kSizeCorner, kSizeRight, kSizeBottom, kMove, kText, kArrow, kStore, kFurtherCount };
// A system cursor has a null instance; ours come from the program.
struct CursorSource { bool own; LPCSTR name; };
const CursorSource kFurtherCursors[kFurtherCount] = {
    {false, IDC_SIZENWSE}, {false, IDC_SIZEWE}, {false, IDC_SIZENS}, {true, MAKEINTRESOURCEA(220)},
    {false, IDC_IBEAM},    {false, IDC_ARROW},  {true, MAKEINTRESOURCEA(291)},
};
HCURSOR gFurther[kFurtherCount];

// ---- fonts -----------------------------------------------------------------

enum FontRole { kLargeFont, kSmallFont, kShortcutFont, kFontCount };
struct FontDesc { int height, weight; const char* face; };
constexpr FontDesc kFonts[kFontCount] = {{20, 600, "MS Sans Serif"}, {8, 400, "MS Sans Serif"}, {12, 500, "Arial"}};
HFONT gFonts[kFontCount];

// ---- bitmaps ---------------------------------------------------------------

// Directly used bitmaps in creation order; the last four are the menu
// pictures, released on their own after the regions.
constexpr int kDirectIds[] = {161, 162, 166, 167, 222, 224, 223, 225, 234, 235, 228, 229,
                              203, 204, 270, 214, 215, 273, 221, 244, 247, 250, 251};
constexpr int kDirectCount = int(std::size(kDirectIds));
constexpr int kMenuPictureCount = 4;
HBITMAP gDirect[kDirectCount];

// Pattern brushes in creation order. Zero marks the three slots whose
// picture depends on a dual-speed option.
constexpr int kPatternIds[] = {210, 211, 271, 0,   181, 0,   0,   253, 231, 184, 185, 186,
                               261, 187, 188, 189, 192, 190, 216, 218, 217, 219, 191, 208,
                               200, 201, 194, 195, 193, 197, 196, 199, 206, 209};
constexpr int kPatternCount = int(std::size(kPatternIds));
constexpr int kLargeReleasedSlot = 3, kWheelSlot = 5, kLargePressedSlot = 6;
HBRUSH gPattern[kPatternCount];

int PatternId(int slot) {
    switch (slot) {
    case kLargeReleasedSlot: return gDsrEncoder ? 180 : 257;
    case kWheelSlot: return gDsrWheel ? 256 : 182;
    case kLargePressedSlot: return gDsrEncoder ? 252 : 258;
    default: return kPatternIds[slot];
    }
}

struct FacePictures { int released, pressed; };
// Style 11 shares style 4's pressed picture.
constexpr FacePictures kFaceStyles[11] = {{208, 209}, {184, 200}, {185, 201}, {186, 194},
                                          {187, 195}, {188, 193}, {189, 197}, {190, 199},
                                          {191, 206}, {192, 196}, {261, 194}};

// ---- regions ---------------------------------------------------------------

constexpr RECT kBaseArea[] = {{225, 5, 360, 40},    {895, 165, 950, 200}, {755, 445, 850, 530},
                              {835, 530, 890, 580}, {890, 530, 950, 545}, {955, 530, 1010, 585},
                              {835, 635, 895, 705}, {895, 675, 950, 705}, {955, 630, 1010, 685},
                              {835, 750, 950, 760}};
constexpr RECT kExecutorStrip = {10, 675, 640, 760};  // empty on the encoder bar
constexpr RECT kTimeManSpot = {305, 535, 350, 685};   // the key only bar 5 shows
enum RegionRole { kBar6Region, kBar5Region, kGeneralRegion, kRegionCount };
HRGN gRegions[kRegionCount];

constexpr RECT kMenuButtonHome = {1, 4, 41, 44};
RECT gMenuButton = kMenuButtonHome;

// ---- helpers ---------------------------------------------------------------

template <typename Handle>
void Delete(Handle& handle) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
}

template <typename Handle, size_t N>
void DeleteRange(Handle (&handles)[N], size_t first, size_t last) {
    for (size_t i = first; i < last && i < N; ++i) Delete(handles[i]);
}

// The desk pictures stay in the few colours they are stored in (half a
// megabyte at most, against 3 MiB each as a bitmap of the screen's format);
// drawing them converts only what is drawn.
bool IsDeskPicture(int id) { return id == 214 || id == 215 || id == 273; }

HBITMAP LoadPicture(HINSTANCE instance, int id) {
    if (IsDeskPicture(id))
        return static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return LoadBitmapA(instance, MAKEINTRESOURCEA(id));
}

// Pictures copied with BitBlt are sections in the screen's own 32-bit format.
// Under Wine, selecting a device bitmap into a memory DC asks the window
// server about the display (three round trips) every time, selecting a
// section nothing; and in the screen's format a copy is a plain copy, where
// the pictures' own 24 bits would be converted at every paint.
HBITMAP ScreenFormatCopy(HBITMAP loaded) {
    DIBSECTION picture = {};
    if (GetObjectA(loaded, sizeof picture, &picture) != sizeof picture || picture.dsBm.bmBitsPixel != 24)
        return loaded;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.dsBm.bmWidth;
    info.bmiHeader.biHeight = picture.dsBm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BITMAPINFO source = {};
    source.bmiHeader = picture.dsBmih;
    if (!copy || !SetDIBits(nullptr, copy, 0, UINT(picture.dsBm.bmHeight), picture.dsBm.bmBits, &source,
                            DIB_RGB_COLORS)) {
        if (copy) DeleteObject(copy);
        return loaded;
    }
    DeleteObject(loaded);
    return copy;
}

HBITMAP LoadCopiedPicture(HINSTANCE instance, int id) {
    HANDLE loaded = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    return loaded ? ScreenFormatCopy(static_cast<HBITMAP>(loaded)) : nullptr;
}

// Set while the resources exist: what loads late loads from here, and a
// released set stays released.
HINSTANCE gArtInstance;

// The menu pictures are drawn by the system, which may blend a 32-bit section
// by its alpha: they stay device bitmaps. The desk pictures keep their few
// colours; the rest are copied often and take the screen's format.
HBITMAP LoadDirectPicture(int i) {
    const int id = kDirectIds[i];
    if (i >= kDirectCount - kMenuPictureCount || IsDeskPicture(id)) return LoadPicture(gArtInstance, id);
    return LoadCopiedPicture(gArtInstance, id);
}

// The picture only lives long enough to become a brush. Null brush with a
// loaded picture is tolerated; a missing picture is not.
bool MakePatternBrush(HINSTANCE instance, int id, HBRUSH* brush) {
    HBITMAP picture = LoadPicture(instance, id);
    if (!picture) return false;
    *brush = CreatePatternBrush(picture);
    DeleteObject(picture);
    return true;
}

bool CreateSolids() {
    gLedPen = CreatePen(PS_SOLID, 1, RGB(120, 120, 120));
    if (!gLedPen) return false;
    for (int i = 0; i < kSolidCount; ++i) {
        gSolid[i] = CreateSolidBrush(kSolidColours[i]);
        if (!gSolid[i]) return false;
    }
    return true;
}

HCURSOR TableCursor(int index) {
    if (!gCursorTable[index] && gArtInstance)
        gCursorTable[index] = LoadCursorA(gArtInstance, MAKEINTRESOURCEA(kCursorTableIds[index]));
    return gCursorTable[index];
}

HCURSOR FurtherCursor(int index) {
    const CursorSource& source = kFurtherCursors[index];
    if (!gFurther[index] && gArtInstance) gFurther[index] = LoadCursorA(source.own ? gArtInstance : nullptr, source.name);
    return gFurther[index];
}

void CreateFonts() {
    for (int i = 0; i < kFontCount; ++i)
        gFonts[i] = CreateFontA(kFonts[i].height, 0, 0, 0, kFonts[i].weight, 0, 0, 0, 0, 0, 0, 0, FF_SWISS,
                                kFonts[i].face);
}

bool PictureInProgram(HINSTANCE instance, int id) {
    return FindResourceA(instance, MAKEINTRESOURCEA(id), RT_BITMAP) != nullptr;
}

// Every picture a role may ask for, the three of the options' choices too.
bool AllPicturesInProgram(HINSTANCE instance) {
    for (int id : kDirectIds)
        if (!PictureInProgram(instance, id)) return false;
    for (int i = 0; i < kPatternCount; ++i)
        if (kPatternIds[i] && !PictureInProgram(instance, kPatternIds[i])) return false;
    for (int id : {180, 257, 182, 256, 252, 258})
        if (!PictureInProgram(instance, id)) return false;
    return true;
}

HBRUSH PatternSlot(int slot) {
    if (!gPattern[slot] && gArtInstance) MakePatternBrush(gArtInstance, PatternId(slot), &gPattern[slot]);
    return gPattern[slot];
}

HRGN MakeUnion(HRGN into, const RECT& r) {
    HRGN piece = CreateRectRgnIndirect(&r);
    if (!piece) return nullptr;
    CombineRgn(into, into, piece, RGN_OR);
    DeleteObject(piece);
    return into;
}

bool CreateDragRegions() {
    HRGN base = CreateRectRgn(0, 0, 0, 0);
    bool ok = base != nullptr;
    for (const RECT& r : kBaseArea) ok = ok && MakeUnion(base, r);
    if (ok) {
        gRegions[kBar6Region] = CreateRectRgnIndirect(&kExecutorStrip);
        gRegions[kBar5Region] = CreateRectRgn(0, 0, 0, 0);
        gRegions[kGeneralRegion] = CreateRectRgnIndirect(&kTimeManSpot);
        for (HRGN region : gRegions) ok = ok && region && CombineRgn(region, region, base, RGN_OR) != ERROR;
    }
    if (base) DeleteObject(base);
    return ok;
}

HBRUSH PatternBrushOf(int id) {
    for (int i = 0; i < kPatternCount; ++i)
        if (PatternId(i) == id) return PatternSlot(i);
    return nullptr;
}

HBITMAP DirectBitmapOf(int id) {
    for (int i = 0; i < kDirectCount; ++i) {
        if (kDirectIds[i] != id) continue;
        if (!gDirect[i] && gArtInstance) gDirect[i] = LoadDirectPicture(i);
        return gDirect[i];
    }
    return nullptr;
}

HBITMAP PairOf(int released, int pressed, bool second) { return DirectBitmapOf(second ? pressed : released); }

int FaderIndex(FaderKind kind) { return kind == FaderKind::Bar ? 0 : kind == FaderKind::Executor ? 1 : 2; }

}  // namespace

bool CreateDrawingResources(HINSTANCE instance) {
    ReleaseDrawingResources();
    bool ok = CreateSolids();
    if (ok) {
        CreateFonts();
        ok = AllPicturesInProgram(instance) && CreateDragRegions();
    }
    if (ok) gArtInstance = instance;
    else ReleaseDrawingResources();
    return ok;
}

void ReleaseDrawingResources() {
    Delete(gLedPen);
    DeleteRange(gSolid, 0, kSolidCount);
    Delete(gFonts[kShortcutFont]);
    Delete(gFonts[kLargeFont]);
    Delete(gFonts[kSmallFont]);
    DeleteRange(gPattern, 0, kPatternCount);
    DeleteRange(gDirect, 0, kDirectCount - kMenuPictureCount);
    DeleteRange(gRegions, 0, kRegionCount);
    DeleteRange(gDirect, kDirectCount - kMenuPictureCount, kDirectCount);
    // Cursors from resources are shared and must not be destroyed.
    for (HCURSOR& c : gCursorTable) c = nullptr;
    for (HCURSOR& c : gFurther) c = nullptr;
    gMenuButton = kMenuButtonHome;
    gArtInstance = nullptr;
}

HCURSOR DeskDefaultCursor() {
    HCURSOR cursor = TableCursor(0);
    return cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
}
HBRUSH DeskGreyBrush() { return gSolid[kGrey]; }
HCURSOR DeskMoveCursor() {
    HCURSOR cursor = FurtherCursor(kMove);
    return cursor ? cursor : LoadCursorA(nullptr, IDC_SIZEALL);
}

HRGN DeskDragRegionOfBar(int bar) {
    if (bar == 5) return gRegions[kBar5Region];
    if (bar == 6) return gRegions[kBar6Region];
    return gRegions[kGeneralRegion];
}
HRGN DeskDragRegion() { return DeskDragRegionOfBar(int(current_bar)); }
RECT DeskMenuButtonRect() { return gMenuButton; }
void ShiftDeskHitAreas(int dx, int dy) {
    for (HRGN region : gRegions)
        if (region) OffsetRgn(region, dx, dy);
    OffsetRect(&gMenuButton, dx, dy);
}

HBITMAP DeskBackgroundBitmap(int bar, bool cdShown) {
    if (bar != 6) return DirectBitmapOf(214);
    return DirectBitmapOf(cdShown ? 273 : 215);
}

HPEN LedPen() { return gLedPen; }
HBRUSH YellowLedBrush() { return gSolid[kYellow]; }
HBRUSH RedLedBrush() { return gSolid[kRed]; }
HBRUSH GreenLedBrush() { return gSolid[kGreen]; }
HBRUSH BlueBrush() { return gSolid[kBlue]; }

HBRUSH KeyFaceBrush(int faceStyle, bool pressed) {
    if (faceStyle < 1 || faceStyle > 11) return nullptr;
    const FacePictures& face = kFaceStyles[faceStyle - 1];
    return PatternBrushOf(pressed ? face.pressed : face.released);
}

HFONT LargeKeyFont() { return gFonts[kLargeFont]; }
HFONT SmallKeyFont() { return gFonts[kSmallFont]; }
HFONT ShortcutFont() { return gFonts[kShortcutFont]; }

HCURSOR DeskCursor(int index) { return index >= 0 && index < 17 ? TableCursor(index) : nullptr; }
HCURSOR StoreCursor() { return FurtherCursor(kStore); }
HCURSOR SizeCornerCursor() { return FurtherCursor(kSizeCorner); }
HCURSOR SizeRightEdgeCursor() { return FurtherCursor(kSizeRight); }
HCURSOR SizeBottomEdgeCursor() { return FurtherCursor(kSizeBottom); }
HCURSOR TextCursor() { return FurtherCursor(kText); }
HCURSOR ArrowCursor() { return FurtherCursor(kArrow); }

HBITMAP CloseButtonBitmap(bool pressed) { return PairOf(161, 162, pressed); }
HBITMAP MinimiseButtonBitmap(bool pressed) { return PairOf(166, 167, pressed); }
HBITMAP MaximiseButtonBitmap(bool pressed) { return PairOf(222, 224, pressed); }
HBITMAP RestoreButtonBitmap(bool pressed) { return PairOf(223, 225, pressed); }
HBITMAP ShortcutToggleBitmap(bool sunken) { return PairOf(234, 235, sunken); }
HBITMAP CommandLockToggleBitmap(bool sunken) { return PairOf(228, 229, sunken); }
HBITMAP SizeGripBitmap() { return DirectBitmapOf(221); }

HBITMAP FaderKnobBitmap(FaderKind kind) {
    constexpr int ids[3] = {203, 204, 270};
    return DirectBitmapOf(ids[FaderIndex(kind)]);
}
HBRUSH FaderTrackBrush(FaderKind kind) {
    constexpr int ids[3] = {210, 211, 271};
    return PatternBrushOf(ids[FaderIndex(kind)]);
}

HBITMAP MenuPictureBitmap(MenuPicture picture) {
    constexpr int ids[4] = {244, 247, 250, 251};
    return DirectBitmapOf(ids[int(picture)]);
}

HBRUSH LargeEncoderFaceBrush(bool pressed) { return PatternSlot(pressed ? kLargePressedSlot : kLargeReleasedSlot); }
HBRUSH SmallEncoderFaceBrush(bool pressed) { return PatternBrushOf(pressed ? 253 : 181); }
HBRUSH WheelFaceBrush() { return PatternSlot(kWheelSlot); }

// The old brush may still be selected somewhere or asked for while the new
// one is made: it goes only once its successor exists. A slot not made yet
// makes the picture of the new choice when first asked for.
void ReplacePatternSlot(HINSTANCE instance, int slot) {
    if (!gPattern[slot]) return;
    HBRUSH made = nullptr;
    if (!MakePatternBrush(instance, PatternId(slot), &made) || !made) return;
    Delete(gPattern[slot]);
    gPattern[slot] = made;
}

void ReloadEncoderFaceBrushes(HINSTANCE instance) {
    for (int slot : {kLargeReleasedSlot, kLargePressedSlot}) ReplacePatternSlot(instance, slot);
}

void ReloadWheelFaceBrush(HINSTANCE instance) { ReplacePatternSlot(instance, kWheelSlot); }

HBRUSH EncoderMarkerBrush(MarkerColour colour) {
    constexpr int ids[4] = {216, 217, 218, 219};
    return PatternBrushOf(ids[int(colour)]);
}

HBRUSH CommandLineBrush() { return PatternBrushOf(231); }
