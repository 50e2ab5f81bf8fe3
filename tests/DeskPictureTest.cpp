// The desk picture converted by the desk itself must look exactly as the
// system would have drawn it: every nibble order, odd edge and row direction.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "mainwindow/DeskPicture.h"

namespace {

constexpr int kWidth = 1024, kHeight = 48;

struct Dib {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    void* bits = nullptr;
    Dib(int width, int height, int bitCount, const RGBQUAD* colours = nullptr) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[16];
        } info = {};
        info.header = {sizeof info.header, width, height, 1, WORD(bitCount), BI_RGB};
        if (colours) {
            info.header.biClrUsed = 16;
            for (int i = 0; i < 16; ++i) info.colours[i] = colours[i];
        }
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
    }
    ~Dib() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    std::vector<uint32_t> Pixels(size_t count) const {
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        return std::vector<uint32_t>(p, p + count);
    }
};

TEST(DeskPictureTest, ConvertsEveryPixelAsTheSystemWould) {
    RGBQUAD colours[16];
    for (int i = 0; i < 16; ++i) colours[i] = {BYTE(i * 17), BYTE(255 - i * 13), BYTE(i * 7 + 3), 0};
    struct Case {
        int sourceHeight;  // negative: top-down
        RECT area;
        POINT offset;
    } cases[] = {
        {kHeight, {0, 0, kWidth, kHeight - 20}, {0, 20}},    // whole rows, bottom-up
        {-kHeight, {0, 0, kWidth, kHeight}, {0, 0}},         // top-down, more than two bands
        {kHeight, {3, 5, 700, 22}, {1, 9}},                  // odd start in the picture, odd width
        {-kHeight, {10, 1, 11, 2}, {5, 0}},                  // one pixel, the low nibble
        {kHeight, {300, 0, 1024, 17}, {-299, 31}},           // from the picture's second pixel
    };
    for (const Case& c : cases) {
        Dib source(kWidth, c.sourceHeight, 4, colours);
        auto* nibbles = static_cast<BYTE*>(source.bits);
        for (int i = 0; i < kWidth / 2 * kHeight; ++i) nibbles[i] = BYTE(i * 37 + i / 512);
        Dib mine(kWidth, -kHeight, 32), system(kWidth, -kHeight, 32);
        const RECT& a = c.area;
        PaintDeskPicture(mine.dc, source.dc, a, c.offset);
        BitBlt(system.dc, a.left, a.top, a.right - a.left, a.bottom - a.top, source.dc, a.left + c.offset.x,
               a.top + c.offset.y, SRCCOPY);
        EXPECT_EQ(system.Pixels(kWidth * kHeight), mine.Pixels(kWidth * kHeight))
            << "area " << a.left << "," << a.top << " " << a.right << "," << a.bottom;
        ForgetDeskPictures();  // the next picture may be made where this one was
    }
    // A picture of more colours, or an area beyond the band, is drawn by the system.
    Dib deep(kWidth, kHeight, 24), wide(kWidth + 8, -kHeight, 32), system(kWidth + 8, -kHeight, 32);
    std::memset(deep.bits, 0x5A, kWidth * 3 * kHeight);
    PaintDeskPicture(wide.dc, deep.dc, {0, 0, kWidth + 8, 4}, {0, 0});
    BitBlt(system.dc, 0, 0, kWidth + 8, 4, deep.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(system.Pixels((kWidth + 8) * 4), wide.Pixels((kWidth + 8) * 4));
    ForgetDeskPictures();
}

}  // namespace
