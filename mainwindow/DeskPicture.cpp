// Copying the desk picture onto the main window.
//
// The picture keeps its few colours (a sixth of the memory of one in the
// screen's format), so every copy converts it. The system's conversion was
// the largest part of a full repaint under Wine; the picture is converted
// here instead, a band of rows at a time through a table of pixel pairs,
// into a band in the screen's format that the window then copies as it is.
#include "mainwindow/DeskPicture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "common/ScreenPicture.h"

namespace {

// A band of the screen's format takes 64 KiB, the whole desk 3 MiB. The
// system's own conversion goes by bands too: under Wine the allocator keeps
// a conversion buffer once one was as large as the desk.
constexpr LONG kBandRows = 16;
constexpr LONG kBandWidth = 1024;  // the desk's width, the widest a client gets

ScreenPicture gBand;

bool MakeBand() { return gBand.dc || MakeScreenPicture(&gBand, kBandWidth, kBandRows); }

// A picture of 16 colours, read where it lies.
struct Source {
    const BYTE* bits;
    LONG stride;  // bytes from one row to the next one down (negative: bottom-up)
    LONG width, height;
    uint32_t colours[16];
    uint64_t pairs[256];  // both pixels of a byte, left one first in memory
};

uint32_t ColourAt(const Source& picture, const BYTE* row, LONG x) {
    const BYTE pair = row[x >> 1];
    return picture.colours[(x & 1) ? (pair & 15) : (pair >> 4)];
}

// A section's description gives its height but not its direction. Where two
// rows that mirror each other differ, the system's own reading of the upper
// one says which end of the memory is the top; a picture whose rows mirror
// exactly reads the same both ways.
bool TopRowFirst(HDC source, const Source& picture, const BYTE* first, LONG rowBytes) {
    for (LONG r = 0; r < picture.height / 2; ++r) {
        const BYTE* upper = first + r * rowBytes;
        const BYTE* lower = first + (picture.height - 1 - r) * rowBytes;
        for (LONG x = 0; x < picture.width; ++x) {
            const uint32_t a = ColourAt(picture, upper, x), b = ColourAt(picture, lower, x);
            if (a == b) continue;
            const COLORREF seen = GetPixel(source, x, r);
            return seen == RGB(a >> 16, (a >> 8) & 255, a & 255);
        }
    }
    return true;
}

// The last pictures' directions: finding one may read the whole picture.
struct Direction {
    const void* bits;
    bool topDown;
};
Direction gDirections[4];
int gNextDirection;

bool TopDown(HDC source, const Source& picture, const BYTE* first, LONG rowBytes) {
    for (const Direction& known : gDirections)
        if (known.bits == first) return known.topDown;
    const bool topDown = TopRowFirst(source, picture, first, rowBytes);
    gDirections[gNextDirection] = {first, topDown};
    gNextDirection = (gNextDirection + 1) % int(std::size(gDirections));
    return topDown;
}

bool ReadSource(HDC source, Source* picture) {
    DIBSECTION section = {};
    HGDIOBJ bitmap = GetCurrentObject(source, OBJ_BITMAP);
    if (GetObjectA(bitmap, sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 4 ||
        !section.dsBm.bmBits)
        return false;
    RGBQUAD table[16] = {};
    const UINT entries = GetDIBColorTable(source, 0, 16, table);
    if (entries == 0) return false;
    for (UINT i = 0; i < 16; ++i) {
        const RGBQUAD c = table[i < entries ? i : 0];
        picture->colours[i] = (uint32_t(c.rgbRed) << 16) | (uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
    }
    for (int pair = 0; pair < 256; ++pair)
        picture->pairs[pair] = picture->colours[pair >> 4] | (uint64_t(picture->colours[pair & 15]) << 32);
    const auto* first = static_cast<const BYTE*>(section.dsBm.bmBits);
    const LONG rowBytes = section.dsBm.bmWidthBytes;
    picture->width = section.dsBm.bmWidth;
    picture->height = section.dsBm.bmHeight;
    const bool topDown = TopDown(source, *picture, first, rowBytes);
    picture->bits = topDown ? first : first + (picture->height - 1) * rowBytes;
    picture->stride = topDown ? rowBytes : -rowBytes;
    return true;
}

void ConvertRow(const Source& picture, LONG y, LONG x, LONG count, uint32_t* out) {
    const BYTE* row = picture.bits + y * picture.stride;
    if (count > 0 && (x & 1)) {
        *out++ = picture.colours[row[x >> 1] & 15];
        ++x;
        --count;
    }
    const BYTE* pair = row + (x >> 1);
    for (LONG i = 0; i + 1 < count; i += 2, out += 2) {
        const uint64_t both = picture.pairs[*pair++];
        std::memcpy(out, &both, sizeof both);
    }
    if (count & 1) *out = picture.colours[*pair >> 4];
}

// What the system would draw: its own conversion, a band of rows a copy.
void CopyConverting(HDC dc, HDC source, const RECT& area, POINT offset) {
    for (LONG top = area.top; top < area.bottom; top += kBandRows) {
        const LONG bottom = std::min(area.bottom, top + kBandRows);
        BitBlt(dc, area.left, top, area.right - area.left, bottom - top, source, area.left + offset.x,
               top + offset.y, SRCCOPY);
    }
}

}  // namespace

void PaintDeskPicture(HDC dc, HDC source, const RECT& area, POINT offset) {
    if (IsRectEmpty(&area)) return;
    Source picture;
    const bool inside = area.left >= 0 && area.right <= kBandWidth && area.left + offset.x >= 0 &&
                        area.top + offset.y >= 0;
    if (!inside || !ReadSource(source, &picture) || area.right + offset.x > picture.width ||
        area.bottom + offset.y > picture.height || !MakeBand()) {
        CopyConverting(dc, source, area, offset);
        return;
    }
    const LONG width = area.right - area.left;
    for (LONG top = area.top; top < area.bottom; top += kBandRows) {
        // The system may still be reading the band for the last copy.
        GdiFlush();
        const LONG rows = std::min(area.bottom, top + kBandRows) - top;
        for (LONG r = 0; r < rows; ++r)
            ConvertRow(picture, top + r + offset.y, area.left + offset.x, width,
                       gBand.bits + r * kBandWidth + area.left);
        BitBlt(dc, area.left, top, width, rows, gBand.dc, area.left, 0, SRCCOPY);
    }
}

void ForgetDeskPictures() {
    ReleaseScreenPicture(&gBand);
    for (Direction& known : gDirections) known = Direction{};
}
