// The desk's drawing resources: what creation makes from the program's own
// art, that release gives every GDI object back (also after a failed
// creation), the pictures' sizes and hot spots as the desk relies on them,
// and the drag regions per fader bar.
#include <gtest/gtest.h>

#include <vector>

#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DrawingResources.h"
#include "desk/KeyTable.h"
#include "tests/harness/GuiCounts.h"

using harness::GdiObjectCount;

namespace {

// Every GDI handle the resources hand out, so a test can see them go.
std::vector<HGDIOBJ> AllGdiHandles() {
    std::vector<HGDIOBJ> all = {LedPen(), YellowLedBrush(), RedLedBrush(), GreenLedBrush(), BlueBrush(),
                                DeskGreyBrush(), LargeKeyFont(), SmallKeyFont(), ShortcutFont(),
                                CloseButtonBitmap(false), CloseButtonBitmap(true), MinimiseButtonBitmap(false),
                                MinimiseButtonBitmap(true), MaximiseButtonBitmap(false),
                                MaximiseButtonBitmap(true), RestoreButtonBitmap(false), RestoreButtonBitmap(true),
                                ShortcutToggleBitmap(false), ShortcutToggleBitmap(true),
                                CommandLockToggleBitmap(false), CommandLockToggleBitmap(true), SizeGripBitmap(),
                                LargeEncoderFaceBrush(false), LargeEncoderFaceBrush(true),
                                SmallEncoderFaceBrush(false), SmallEncoderFaceBrush(true), WheelFaceBrush(),
                                CommandLineBrush(), DeskDragRegionOfBar(1), DeskDragRegionOfBar(5),
                                DeskDragRegionOfBar(6)};
    for (int bar = 1; bar <= 6; ++bar) all.push_back(DeskBackgroundBitmap(bar, bar == 6));
    all.push_back(DeskBackgroundBitmap(6, false));
    for (FaderKind k : {FaderKind::Bar, FaderKind::Executor, FaderKind::Horizontal}) {
        all.push_back(FaderKnobBitmap(k));
        all.push_back(FaderTrackBrush(k));
    }
    for (MenuPicture p : {MenuPicture::Quit, MenuPicture::LoadCompressedShow, MenuPicture::SaveCompressedShow,
                          MenuPicture::Arrange})
        all.push_back(MenuPictureBitmap(p));
    for (MarkerColour c : {MarkerColour::Red, MarkerColour::Blue, MarkerColour::Green, MarkerColour::Yellow})
        all.push_back(EncoderMarkerBrush(c));
    for (int style = 1; style <= 11; ++style) {
        all.push_back(KeyFaceBrush(style, false));
        all.push_back(KeyFaceBrush(style, true));
    }
    return all;
}

std::vector<HCURSOR> AllCursors() {
    std::vector<HCURSOR> all = {StoreCursor(), SizeCornerCursor(), SizeRightEdgeCursor(), SizeBottomEdgeCursor(),
                                TextCursor(), ArrowCursor(), DeskMoveCursor()};
    for (int i = 0; i < 17; ++i) all.push_back(DeskCursor(i));
    return all;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

POINT HotSpot(HCURSOR cursor) {
    ICONINFO info = {};
    if (!cursor || !GetIconInfo(cursor, &info)) return POINT{-1, -1};
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return POINT{LONG(info.xHotspot), LONG(info.yHotspot)};
}

// What a brush paints at (x, y) of a window it fills from the top-left.
COLORREF PaintedPixel(HBRUSH brush, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 200, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 200, 200};
    FillRect(dc, &all, brush);
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    return pixel;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

class DrawingResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedBar_ = current_bar;
        savedDsrEncoder_ = gDsrEncoder;
        // Shared cursors stay loaded for the life of the process (release
        // never destroys them), and so do the system's own objects made by
        // the first picture load: the count is taken after one full round,
        // with every role asked for once (they load when first asked for).
        ASSERT_TRUE(CreateDrawingResources(GetModuleHandleA(nullptr)));
        AllGdiHandles();
        AllCursors();
        ReleaseDrawingResources();
        baseline_ = GdiObjectCount();
        ASSERT_TRUE(CreateDrawingResources(GetModuleHandleA(nullptr)));
    }
    void TearDown() override {
        ReleaseDrawingResources();
        current_bar = savedBar_;
        gDsrEncoder = savedDsrEncoder_;
    }
    DWORD baseline_ = 0;
    LONG savedBar_ = 0;
    int savedDsrEncoder_ = 0;
};

TEST_F(DrawingResourcesTest, CreationMakesEveryRoleFromTheProgramsArt) {
    const std::vector<HGDIOBJ> handles = AllGdiHandles();
    for (size_t i = 0; i < handles.size(); ++i) {
        EXPECT_NE(nullptr, handles[i]) << "handle " << i;
        EXPECT_NE(0u, GetObjectType(handles[i])) << "handle " << i;
    }
    const std::vector<HCURSOR> cursors = AllCursors();
    for (size_t i = 0; i < cursors.size(); ++i) EXPECT_NE(nullptr, cursors[i]) << "cursor " << i;
    EXPECT_EQ(DeskCursor(0), DeskDefaultCursor());
    EXPECT_EQ(nullptr, DeskCursor(-1));
    EXPECT_EQ(nullptr, DeskCursor(17));
    // The program's own cursors, not the system ones they stand beside.
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), DeskCursor(0));
    EXPECT_NE(LoadCursorA(nullptr, IDC_SIZEALL), DeskMoveCursor());
}

TEST_F(DrawingResourcesTest, SolidColoursAndFontsAreThoseOfTheirRoles) {
    LOGBRUSH brush = {};
    const std::pair<HBRUSH, COLORREF> solids[] = {{YellowLedBrush(), RGB(255, 255, 0)}, {RedLedBrush(), RGB(255, 0, 0)},
                                                  {GreenLedBrush(), RGB(0, 255, 0)},   {BlueBrush(), RGB(0, 0, 255)},
                                                  {DeskGreyBrush(), RGB(84, 84, 84)}};
    for (const auto& [handle, colour] : solids) {
        ASSERT_EQ(int(sizeof brush), GetObjectA(handle, sizeof brush, &brush));
        EXPECT_EQ(colour, brush.lbColor);
    }
    LOGPEN pen = {};
    ASSERT_EQ(int(sizeof pen), GetObjectA(LedPen(), sizeof pen, &pen));
    EXPECT_EQ(RGB(120, 120, 120), pen.lopnColor);
    LOGFONTA font = {};
    ASSERT_EQ(int(sizeof font), GetObjectA(LargeKeyFont(), sizeof font, &font));
    EXPECT_EQ(20, font.lfHeight);
    EXPECT_EQ(600, font.lfWeight);
    ASSERT_EQ(int(sizeof font), GetObjectA(ShortcutFont(), sizeof font, &font));
    EXPECT_EQ(12, font.lfHeight);
    EXPECT_STREQ("Arial", font.lfFaceName);
}

TEST_F(DrawingResourcesTest, ReleaseGivesBackEveryGdiObject) {
    ASSERT_GT(GdiObjectCount(), baseline_) << "the count does not see the resources at all";
    const std::vector<HGDIOBJ> handles = AllGdiHandles();
    ReleaseDrawingResources();
    EXPECT_EQ(baseline_, GdiObjectCount());
    for (size_t i = 0; i < handles.size(); ++i) EXPECT_EQ(0u, GetObjectType(handles[i])) << "handle " << i;
    for (HGDIOBJ h : AllGdiHandles()) EXPECT_EQ(nullptr, h);
    // The move cursor alone falls back to the system's while none is loaded.
    EXPECT_EQ(LoadCursorA(nullptr, IDC_SIZEALL), DeskMoveCursor());
    for (int i = 0; i < 17; ++i) EXPECT_EQ(nullptr, DeskCursor(i)) << i;
    EXPECT_EQ(nullptr, StoreCursor());
    EXPECT_EQ(nullptr, TextCursor());
}

TEST_F(DrawingResourcesTest, RepeatedCreationAndReleaseLeakNothing) {
    for (int round = 0; round < 50; ++round) {
        ReleaseDrawingResources();
        ASSERT_EQ(baseline_, GdiObjectCount()) << "round " << round;
        ASSERT_TRUE(CreateDrawingResources(GetModuleHandleA(nullptr))) << "round " << round;
    }
    ReleaseDrawingResources();
    ReleaseDrawingResources();
    EXPECT_EQ(baseline_, GdiObjectCount());
    EXPECT_EQ(nullptr, LedPen());
    EXPECT_EQ(nullptr, DeskDragRegion());
}

// An instance without the desk's pictures: the solid brushes exist by then,
// the first bitmap fails.
TEST_F(DrawingResourcesTest, FailedCreationLeavesNothingBehind) {
    ReleaseDrawingResources();
    EXPECT_FALSE(CreateDrawingResources(GetModuleHandleA("kernel32.dll")));
    EXPECT_EQ(baseline_, GdiObjectCount());
    for (HGDIOBJ h : AllGdiHandles()) EXPECT_EQ(nullptr, h);
    EXPECT_EQ(nullptr, DeskCursor(0));
    ReleaseDrawingResources();
    EXPECT_EQ(baseline_, GdiObjectCount());
}

TEST_F(DrawingResourcesTest, CursorHotSpotsAreThoseOfTheTable) {
    EXPECT_EQ(0, HotSpot(DeskCursor(0)).x);
    EXPECT_EQ(0, HotSpot(DeskCursor(0)).y);
    for (int index : {14, 15}) {
        EXPECT_EQ(15, HotSpot(DeskCursor(index)).x) << index;
        EXPECT_EQ(15, HotSpot(DeskCursor(index)).y) << index;
    }
    EXPECT_EQ(16, HotSpot(DeskMoveCursor()).x);
    EXPECT_EQ(16, HotSpot(DeskMoveCursor()).y);
    EXPECT_EQ(0, HotSpot(StoreCursor()).x);
}

TEST_F(DrawingResourcesTest, PressedKeyFacesAreDarkerThanReleasedOnes) {
    for (int style = 1; style <= 11; ++style) {
        const COLORREF released = PaintedPixel(KeyFaceBrush(style, false), 20, 15);
        const COLORREF pressed = PaintedPixel(KeyFaceBrush(style, true), 20, 15);
        EXPECT_LT(Brightness(pressed), Brightness(released)) << "style " << style;
    }
    // The bevel is light: brighter than the face just inside it.
    const HBRUSH face = KeyFaceBrush(4, false);
    EXPECT_GT(Brightness(PaintedPixel(face, 20, 0)), Brightness(PaintedPixel(face, 20, 2)));
}

TEST_F(DrawingResourcesTest, KeyFaceStylesOutsideTheTableHaveNoBrush) {
    for (int style : {-1, 0, 12}) {
        EXPECT_EQ(nullptr, KeyFaceBrush(style, false)) << style;
        EXPECT_EQ(nullptr, KeyFaceBrush(style, true)) << style;
    }
}

TEST_F(DrawingResourcesTest, StyleElevenBorrowsOnlyThePressedFaceOfStyleFour) {
    EXPECT_EQ(KeyFaceBrush(4, true), KeyFaceBrush(11, true));
    EXPECT_NE(KeyFaceBrush(4, false), KeyFaceBrush(11, false));
    EXPECT_GT(Brightness(PaintedPixel(KeyFaceBrush(11, false), 20, 15)),
              Brightness(PaintedPixel(KeyFaceBrush(4, false), 20, 15)));
}

TEST_F(DrawingResourcesTest, PicturesHaveTheirSizes) {
    for (int bar = 1; bar <= 6; ++bar)
        for (bool cd : {false, true}) {
            const SIZE s = BitmapSize(DeskBackgroundBitmap(bar, cd));
            EXPECT_EQ(1024, s.cx) << bar;
            EXPECT_EQ(768, s.cy) << bar;
        }
    EXPECT_EQ(16, BitmapSize(CloseButtonBitmap(true)).cx);
    EXPECT_EQ(14, BitmapSize(RestoreButtonBitmap(false)).cy);
    EXPECT_EQ(50, BitmapSize(ShortcutToggleBitmap(true)).cx);
    EXPECT_EQ(20, BitmapSize(FaderKnobBitmap(FaderKind::Executor)).cy);
    EXPECT_EQ(30, BitmapSize(FaderKnobBitmap(FaderKind::Horizontal)).cy);
    EXPECT_EQ(15, BitmapSize(SizeGripBitmap()).cx);
    EXPECT_EQ(16, BitmapSize(MenuPictureBitmap(MenuPicture::Quit)).cx);
    EXPECT_EQ(13, BitmapSize(MenuPictureBitmap(MenuPicture::Arrange)).cy);
}

// The face pictures of each style, as the program's resources number them.
struct FacePictures { int released, pressed; };
constexpr FacePictures kFacePictures[11] = {{208, 209}, {184, 200}, {185, 201}, {186, 194},
                                            {187, 195}, {188, 193}, {189, 197}, {190, 199},
                                            {191, 206}, {192, 196}, {261, 194}};

// A key is one pixel narrower and lower than its face picture, so the
// picture's dark last column and row never show.
TEST_F(DrawingResourcesTest, EveryKeyIsOnePixelSmallerThanItsFacePictures) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const KeyRecord* k = KeyTable(); k->keyId != 0; ++k) {
        ASSERT_GE(k->faceStyle, 1);
        ASSERT_LE(k->faceStyle, 11);
        const FacePictures& face = kFacePictures[k->faceStyle - 1];
        for (int id : {face.released, face.pressed}) {
            HBITMAP picture = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
            const SIZE s = BitmapSize(picture);
            if (picture) DeleteObject(picture);
            EXPECT_EQ(k->width + 1, s.cx) << "key " << k->keyId << ", picture " << id;
            EXPECT_EQ(k->height + 1, s.cy) << "key " << k->keyId << ", picture " << id;
        }
    }
}

TEST_F(DrawingResourcesTest, BarSixHasItsOwnBackgroundsWithAndWithoutTheCdPanel) {
    HBITMAP general = DeskBackgroundBitmap(1, false);
    for (int bar = 2; bar <= 5; ++bar) {
        EXPECT_EQ(general, DeskBackgroundBitmap(bar, false));
        EXPECT_EQ(general, DeskBackgroundBitmap(bar, true));
    }
    EXPECT_NE(general, DeskBackgroundBitmap(6, false));
    EXPECT_NE(general, DeskBackgroundBitmap(6, true));
    EXPECT_NE(DeskBackgroundBitmap(6, false), DeskBackgroundBitmap(6, true));
}

TEST_F(DrawingResourcesTest, DragRegionsFollowTheFaderBar) {
    const POINT timeManSpot = {320, 600}, executorStrip = {100, 700}, panelGap = {300, 20};
    for (LONG bar : {1, 2, 3, 4, 5, 6}) {
        current_bar = bar;
        HRGN region = DeskDragRegion();
        ASSERT_NE(nullptr, region) << bar;
        EXPECT_EQ(bar <= 4, bool(PtInRegion(region, timeManSpot.x, timeManSpot.y))) << bar;
        EXPECT_EQ(bar == 6, bool(PtInRegion(region, executorStrip.x, executorStrip.y))) << bar;
        EXPECT_TRUE(PtInRegion(region, panelGap.x, panelGap.y)) << bar;
        EXPECT_FALSE(PtInRegion(region, 500, 300)) << "touch screen, bar " << bar;
    }
}

TEST_F(DrawingResourcesTest, ShiftingMovesEveryRegionAndTheMenuButton) {
    const RECT button = DeskMenuButtonRect();
    ShiftDeskHitAreas(-100, -50);
    for (int bar : {1, 5, 6}) {
        EXPECT_TRUE(PtInRegion(DeskDragRegionOfBar(bar), 200, -30)) << bar;
        EXPECT_FALSE(PtInRegion(DeskDragRegionOfBar(bar), 300, 20)) << bar;
    }
    const RECT moved = DeskMenuButtonRect();
    EXPECT_EQ(button.left - 100, moved.left);
    EXPECT_EQ(button.bottom - 50, moved.bottom);
    // Release puts the button home again for the next creation.
    ReleaseDrawingResources();
    EXPECT_EQ(button.left, DeskMenuButtonRect().left);
}

// The dual-speed picture has a yellow inner ring where the plain one is grey.
TEST_F(DrawingResourcesTest, LargeEncoderFacesFollowTheDualSpeedOption) {
    auto ringIsYellow = [] {
        const COLORREF c = PaintedPixel(LargeEncoderFaceBrush(false), 110, 75);
        return GetRValue(c) > GetBValue(c) + 60;
    };
    gDsrEncoder = 1;
    ReloadEncoderFaceBrushes(GetModuleHandleA(nullptr));
    EXPECT_TRUE(ringIsYellow());
    gDsrEncoder = 0;
    ReloadEncoderFaceBrushes(GetModuleHandleA(nullptr));
    EXPECT_FALSE(ringIsYellow());
    EXPECT_NE(nullptr, LargeEncoderFaceBrush(true));
}

TEST_F(DrawingResourcesTest, ReloadingEncoderFacesReplacesRatherThanAdds) {
    const DWORD created = GdiObjectCount();
    for (int value : {0, 1, 0, 1}) {
        gDsrEncoder = value;
        ReloadEncoderFaceBrushes(GetModuleHandleA(nullptr));
    }
    EXPECT_EQ(created, GdiObjectCount());
    ReleaseDrawingResources();
    EXPECT_EQ(baseline_, GdiObjectCount());
}

}  // namespace

namespace {

// A module without the pictures stands for a brush that cannot be made.
TEST_F(DrawingResourcesTest, FaceBrushThatCannotBeRemadeKeepsThePreviousOne) {
    const HBRUSH released = LargeEncoderFaceBrush(false), pressed = LargeEncoderFaceBrush(true);
    const HBRUSH wheel = WheelFaceBrush();
    ASSERT_NE(nullptr, released);
    ASSERT_NE(nullptr, wheel);
    gDsrEncoder = gDsrEncoder ? 0 : 1;
    gDsrWheel = gDsrWheel ? 0 : 1;
    HMODULE noPictures = GetModuleHandleA("kernel32.dll");
    ReloadEncoderFaceBrushes(noPictures);
    ReloadWheelFaceBrush(noPictures);
    EXPECT_EQ(released, LargeEncoderFaceBrush(false));
    EXPECT_EQ(pressed, LargeEncoderFaceBrush(true));
    EXPECT_EQ(wheel, WheelFaceBrush());
    LOGBRUSH info = {};
    EXPECT_EQ(int(sizeof info), GetObjectA(wheel, sizeof info, &info)) << "still a live brush";

    ReloadWheelFaceBrush(GetModuleHandleA(nullptr));
    EXPECT_NE(nullptr, WheelFaceBrush());
    EXPECT_EQ(0, GetObjectA(wheel, sizeof info, &info)) << "the replaced brush is gone";
    gDsrEncoder = gDsrWheel = 0;
}

}  // namespace
