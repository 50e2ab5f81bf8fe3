// Generates the host's pictures (icon, bitmaps and cursors) into the folder
// named on the command line, so no binary art is kept in the repo. The desk
// background takes its key wells from the desk key table itself, so moving a
// key in the table moves its well with it; the default shortcut picture takes
// its key cells from the key table and the dispatcher's own defaults.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "desk/KeyTable.h"
#include "input/HostShortcuts.h"

namespace {

struct Rgba { uint8_t r, g, b, a; };

constexpr Rgba kClear = {0, 0, 0, 0};
constexpr Rgba kBlack = {0, 0, 0, 255};
constexpr Rgba kWhite = {255, 255, 255, 255};

Rgba Scaled(Rgba c, double f) {
    auto ch = [f](uint8_t v) { return uint8_t(std::clamp(int(std::lround(v * f)), 0, 255)); };
    return Rgba{ch(c.r), ch(c.g), ch(c.b), c.a};
}
Rgba Mixed(Rgba a, Rgba b, double t) {
    auto ch = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return Rgba{ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b), 255};
}

struct Image {
    int w, h;
    std::vector<Rgba> px;
    Image(int width, int height, Rgba fill = kClear) : w(width), h(height), px(size_t(width) * height, fill) {}
    void Set(int x, int y, Rgba c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
    Rgba At(int x, int y) const { return px[size_t(y) * w + x]; }
    void Fill(int x0, int y0, int x1, int y1, Rgba c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Set(x, y, c);
    }
    // A one-pixel outline; light on top and left, dark on bottom and right,
    // so a raised thing and a well differ only in which colour goes where.
    void Bevel(int x0, int y0, int x1, int y1, Rgba light, Rgba dark) {
        Fill(x0, y0, x1, y0 + 1, light);
        Fill(x0, y0, x0 + 1, y1, light);
        Fill(x0, y1 - 1, x1, y1, dark);
        Fill(x1 - 1, y0, x1, y1, dark);
    }
    void Line(int x0, int y0, int x1, int y1, Rgba c) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const double t = steps ? double(i) / steps : 0.0;
            Set(int(std::lround(x0 + (x1 - x0) * t)), int(std::lround(y0 + (y1 - y0) * t)), c);
        }
    }
    void Ellipse(double cx, double cy, double rx, double ry, Rgba c) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                if (dx * dx + dy * dy <= 1.0) Set(x, y, c);
            }
    }
    void Paste(const Image& src, int x0, int y0) {
        for (int y = 0; y < src.h; ++y)
            for (int x = 0; x < src.w; ++x)
                if (src.At(x, y).a) Set(x0 + x, y0 + y, src.At(x, y));
    }
};

// ---- file writers ----------------------------------------------------------

void Put16(std::vector<uint8_t>& out, unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<uint8_t>& out, unsigned v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

bool WriteFile(const std::string& path, const std::vector<uint8_t>& out) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

void PutInfoHeader(std::vector<uint8_t>& out, int w, int h, unsigned bits, unsigned imageSize) {
    Put32(out, 40); Put32(out, unsigned(w)); Put32(out, unsigned(h));
    Put16(out, 1); Put16(out, bits); Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835); Put32(out, 2835); Put32(out, 0); Put32(out, 0);
}

// 24-bit, bottom-up, rows padded to four bytes; alpha is dropped.
bool WriteBitmap(const std::string& path, const Image& img) {
    const unsigned stride = (unsigned(img.w) * 3 + 3) & ~3u;
    const unsigned imageSize = stride * unsigned(img.h);
    std::vector<uint8_t> out;
    out.push_back('B'); out.push_back('M');
    Put32(out, 14 + 40 + imageSize); Put32(out, 0); Put32(out, 14 + 40);
    PutInfoHeader(out, img.w, img.h, 24, imageSize);
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) {
            const Rgba c = img.At(x, y);
            out.push_back(c.b); out.push_back(c.g); out.push_back(c.r);
        }
        out.insert(out.end(), stride - unsigned(img.w) * 3, 0);
    }
    return WriteFile(path, out);
}

// 16 colours, bottom-up, two pixels a byte; each pixel takes the nearest
// palette colour. Tall pictures with few colours stay a sixth of the size.
constexpr Rgba kPalette16[16] = {
    {0, 0, 0, 255},     {128, 0, 0, 255},   {0, 128, 0, 255},   {128, 128, 0, 255},
    {0, 0, 128, 255},   {128, 0, 128, 255}, {0, 128, 128, 255}, {192, 192, 192, 255},
    {128, 128, 128, 255}, {255, 0, 0, 255}, {0, 255, 0, 255},   {255, 255, 0, 255},
    {0, 0, 255, 255},   {255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 255}};

unsigned NearestPaletteIndex(Rgba c) {
    unsigned best = 0;
    long bestDistance = -1;
    for (unsigned i = 0; i < 16; ++i) {
        const long dr = c.r - kPalette16[i].r, dg = c.g - kPalette16[i].g, db = c.b - kPalette16[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) { best = i; bestDistance = d; }
    }
    return best;
}

bool WriteBitmap16(const std::string& path, const Image& img) {
    const unsigned stride = ((unsigned(img.w) + 1) / 2 + 3) & ~3u;
    const unsigned imageSize = stride * unsigned(img.h);
    std::vector<uint8_t> out;
    out.push_back('B'); out.push_back('M');
    Put32(out, 14 + 40 + 64 + imageSize); Put32(out, 0); Put32(out, 14 + 40 + 64);
    PutInfoHeader(out, img.w, img.h, 4, imageSize);
    for (const Rgba& c : kPalette16) { out.push_back(c.b); out.push_back(c.g); out.push_back(c.r); out.push_back(0); }
    for (int y = img.h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < img.w; ++x)
            row[size_t(x / 2)] |= uint8_t(NearestPaletteIndex(img.At(x, y)) << (x % 2 ? 0 : 4));
        out.insert(out.end(), row.begin(), row.end());
    }
    return WriteFile(path, out);
}

// The picture's own colours as its palette, in order of first use: 4 bits a
// pixel for up to 16 colours, else 8 bits for up to 256; false for more. The
// desk pictures, a few flat colours over the whole desk, take a sixth of the
// room of 24 bits and can be kept in that form once loaded.
bool WriteExactPaletteBitmap(const std::string& path, const Image& img) {
    std::vector<uint32_t> colours;
    std::vector<uint8_t> index(size_t(img.w) * size_t(img.h));
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const Rgba c = img.At(x, y);
            const uint32_t key = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
            auto found = std::find(colours.begin(), colours.end(), key);
            if (found == colours.end()) {
                if (colours.size() == 256) return false;
                found = colours.insert(colours.end(), key);
            }
            index[size_t(y) * size_t(img.w) + size_t(x)] = uint8_t(found - colours.begin());
        }
    const unsigned bits = colours.size() <= 16 ? 4 : 8, entries = 1u << bits;
    const unsigned stride = ((unsigned(img.w) * bits + 7) / 8 + 3) & ~3u;
    const unsigned imageSize = stride * unsigned(img.h), offset = 14 + 40 + entries * 4;
    std::vector<uint8_t> out;
    out.push_back('B'); out.push_back('M');
    Put32(out, offset + imageSize); Put32(out, 0); Put32(out, offset);
    PutInfoHeader(out, img.w, img.h, bits, imageSize);
    colours.resize(entries, 0);
    for (uint32_t c : colours) Put32(out, c);
    for (int y = img.h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < img.w; ++x) {
            const uint8_t i = index[size_t(y) * size_t(img.w) + size_t(x)];
            if (bits == 8) row[size_t(x)] = i;
            else row[size_t(x / 2)] |= uint8_t(i << (x % 2 ? 0 : 4));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return WriteFile(path, out);
}

// A 32-bit icon or cursor image: doubled height, bottom-up BGRA rows, then
// the AND mask, set where the picture is clear so mask-only readers agree
// with the alpha channel.
std::vector<uint8_t> IconImage(const Image& img) {
    std::vector<uint8_t> out;
    const unsigned maskStride = ((unsigned(img.w) + 31) / 32) * 4;
    PutInfoHeader(out, img.w, img.h * 2, 32, unsigned(img.w * img.h * 4) + maskStride * unsigned(img.h));
    for (int y = img.h - 1; y >= 0; --y)
        for (int x = 0; x < img.w; ++x) {
            const Rgba c = img.At(x, y);
            out.push_back(c.b); out.push_back(c.g); out.push_back(c.r); out.push_back(c.a);
        }
    for (int y = img.h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < img.w; ++x)
            if (!img.At(x, y).a) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

struct HotSpot { int x, y; };

// Icons (type 1) keep planes and bit count in the directory entry; cursors
// (type 2) keep the hot spot there instead.
bool WriteIconFile(const std::string& path, const std::vector<Image>& images, bool cursor, HotSpot hot) {
    std::vector<uint8_t> out;
    Put16(out, 0); Put16(out, cursor ? 2 : 1); Put16(out, unsigned(images.size()));
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& img : images) bodies.push_back(IconImage(img));
    unsigned offset = 6 + 16 * unsigned(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].w)); out.push_back(uint8_t(images[i].h));
        out.push_back(0); out.push_back(0);
        Put16(out, cursor ? unsigned(hot.x) : 1); Put16(out, cursor ? unsigned(hot.y) : 32);
        Put32(out, unsigned(bodies[i].size())); Put32(out, offset);
        offset += unsigned(bodies[i].size());
    }
    for (auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
    return WriteFile(path, out);
}

// ---- pixel font ------------------------------------------------------------

// 3 x 5 capitals, digits and a little punctuation, rows top to bottom.
struct Glyph { char c; const char* rows; };
constexpr Glyph kGlyphs[] = {
    {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"},
    {'D', "110101101101110"}, {'E', "111100110100111"}, {'F', "111100110100100"},
    {'G', "011100101101011"}, {'H', "101101111101101"}, {'I', "111010010010111"},
    {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
    {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"},
    {'P', "110101110100100"}, {'Q', "010101101110011"}, {'R', "110101110101101"},
    {'S', "011100010001110"}, {'T', "111010010010010"}, {'U', "101101101101111"},
    {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
    {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"},
    {'1', "010110010010111"}, {'2', "110001010100111"}, {'3', "110001010001110"},
    {'4', "101101111001001"}, {'5', "111100110001110"}, {'6', "011100111101111"},
    {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
    {'.', "000000000000010"}, {'-', "000000111000000"}, {'+', "000010111010000"},
    {'?', "110001010000010"}, {'<', "001010100010001"}, {'>', "100010001010100"},
    {'/', "001001010100100"}, {'%', "101001010100101"}, {'*', "000101010101000"},
    {'_', "000000000000111"},
};

const char* GlyphRows(char c) {
    const char upper = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    for (const Glyph& g : kGlyphs)
        if (g.c == upper) return g.rows;
    return nullptr;  // a space, or a character the desk never writes
}

int TextWidth(const std::string& text, int scale) { return text.empty() ? 0 : (int(text.size()) * 4 - 1) * scale; }

// Scaled apart across (sx) and down (sy): a long text keeps the height of its
// neighbours by going narrow rather than small.
void DrawText(Image& img, int x, int y, const std::string& text, Rgba c, int sx, int sy) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char* rows = GlyphRows(text[i]);
        if (!rows) continue;
        for (int r = 0; r < 5; ++r)
            for (int k = 0; k < 3; ++k)
                if (rows[r * 3 + k] == '1')
                    img.Fill(x + (int(i) * 4 + k) * sx, y + r * sy, x + (int(i) * 4 + k + 1) * sx, y + (r + 1) * sy,
                             c);
    }
}

void DrawText(Image& img, int x, int y, const std::string& text, Rgba c, int scale = 1) {
    DrawText(img, x, y, text, c, scale, scale);
}

void DrawTextCentred(Image& img, int cx, int cy, const std::string& text, Rgba c, int scale = 1) {
    DrawText(img, cx - TextWidth(text, scale) / 2, cy - 5 * scale / 2, text, c, scale);
}

// ---- key faces and buttons -------------------------------------------------

// The pressed face is the released one darkened by this step, nothing else.
constexpr double kPressedDarken = 0.62;

// A shaded key top: lighter at the top, darker at the bottom, a one-pixel
// light bevel on top and left and a dark edge on bottom and right.
Image KeyFace(int w, int h, Rgba base, bool pressed) {
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        const double t = h > 1 ? double(y) / (h - 1) : 0.0;
        img.Fill(0, y, w, y + 1, Scaled(base, 1.12 - 0.3 * t));
    }
    img.Bevel(0, 0, w - 1, h - 1, Mixed(base, kWhite, 0.6), Scaled(base, 0.5));
    img.Fill(w - 1, 0, w, h, Scaled(base, 0.4));  // the column and row a key never shows
    img.Fill(0, h - 1, w, h, Scaled(base, 0.4));
    if (pressed)
        for (Rgba& p : img.px) p = Scaled(p, kPressedDarken);
    return img;
}

// A small grey button of the frame; sunken shows the bevel the other way
// round and the contents one pixel lower right.
Image ButtonFace(int w, int h, bool sunken) {
    const Rgba face = {196, 196, 192, 255};
    Image img(w, h, sunken ? Scaled(face, 0.85) : face);
    if (sunken) img.Bevel(0, 0, w, h, Scaled(face, 0.45), kWhite);
    else img.Bevel(0, 0, w, h, kWhite, Scaled(face, 0.45));
    return img;
}

enum class FrameGlyph { Close, Minimise, Maximise, Restore };

Image FrameButton(FrameGlyph glyph, bool pressed) {
    Image img = ButtonFace(16, 14, pressed);
    const int o = pressed ? 1 : 0;
    switch (glyph) {
    case FrameGlyph::Close:
        for (int d = 0; d < 2; ++d) {
            img.Line(4 + o + d, 3 + o, 10 + o + d, 9 + o, kBlack);
            img.Line(10 + o + d, 3 + o, 4 + o + d, 9 + o, kBlack);
        }
        break;
    case FrameGlyph::Minimise:
        img.Fill(4 + o, 8 + o, 10 + o, 10 + o, kBlack);
        break;
    case FrameGlyph::Maximise:
        img.Bevel(3 + o, 2 + o, 12 + o, 11 + o, kBlack, kBlack);
        img.Fill(3 + o, 3 + o, 12 + o, 4 + o, kBlack);
        break;
    case FrameGlyph::Restore:
        img.Bevel(6 + o, 2 + o, 13 + o, 8 + o, kBlack, kBlack);
        img.Fill(3 + o, 5 + o, 10 + o, 11 + o, {196, 196, 192, 255});
        img.Bevel(3 + o, 5 + o, 10 + o, 11 + o, kBlack, kBlack);
        img.Fill(3 + o, 6 + o, 10 + o, 7 + o, kBlack);
        break;
    }
    return img;
}

Image TextToggle(const std::string& text, bool sunken) {
    Image img = ButtonFace(50, 14, sunken);
    const int o = sunken ? 1 : 0;
    DrawTextCentred(img, 25 + o, 7 + o, text, sunken ? Rgba{150, 20, 20, 255} : kBlack);
    return img;
}

// ---- faders ----------------------------------------------------------------

// A knob with a grip line across it; the line runs across the direction the
// knob moves in.
Image FaderKnob(int w, int h, Rgba base) {
    Image img = KeyFace(w, h, base, false);
    if (w > h) {
        img.Fill(2, h / 2 - 1, w - 2, h / 2 + 1, kBlack);
    } else {
        img.Fill(w / 2 - 1, 2, w / 2 + 1, h - 2, kBlack);
    }
    return img;
}

// A slot with a scale of ticks beside it, on the desk's panel colour.
Image FaderTrack(int w, int h, bool horizontal) {
    Image img(w, h, {56, 58, 64, 255});
    img.Bevel(0, 0, w, h, {90, 92, 100, 255}, {30, 30, 34, 255});
    const int length = horizontal ? w : h;
    const int across = horizontal ? h : w;
    const int slot = across / 2;
    for (int i = 0; i <= 10; ++i) {
        const int at = 8 + (length - 17) * i / 10;
        const int tick = (i % 5 == 0) ? 8 : 5;
        if (horizontal) img.Fill(at, 3, at + 1, 3 + tick, {170, 170, 176, 255});
        else img.Fill(4, at, 4 + tick, at + 1, {170, 170, 176, 255});
    }
    if (horizontal) {
        img.Fill(6, slot - 2, w - 6, slot + 2, {12, 12, 14, 255});
        img.Bevel(6, slot - 2, w - 6, slot + 2, {20, 20, 22, 255}, {110, 110, 118, 255});
    } else {
        img.Fill(slot - 2, 6, slot + 2, h - 6, {12, 12, 14, 255});
        img.Bevel(slot - 2, 6, slot + 2, h - 6, {20, 20, 22, 255}, {110, 110, 118, 255});
    }
    return img;
}

// ---- encoders --------------------------------------------------------------

enum class EncoderLook { Plain, DualSpeed, Wheel };

// A round knob on the panel with grip marks around its rim. The dual-speed
// look adds an inner ring; the wheel has ribs instead of marks.
Image EncoderFace(int w, int h, EncoderLook look, bool pressed) {
    Image img(w, h, {56, 58, 64, 255});
    const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) / 2.0 - 4;
    img.Ellipse(cx + 1, cy + 1, r, r, {20, 20, 24, 255});
    img.Ellipse(cx, cy, r, r, {150, 152, 160, 255});
    img.Ellipse(cx - 1, cy - 1, r - 3, r - 3, {118, 120, 128, 255});
    const int marks = look == EncoderLook::Wheel ? 24 : 12;
    for (int i = 0; i < marks; ++i) {
        const double a = 6.2831853 * i / marks;
        const double inner = look == EncoderLook::Wheel ? 0.15 : 0.7;
        img.Line(int(cx + std::cos(a) * r * inner), int(cy + std::sin(a) * r * inner),
                 int(cx + std::cos(a) * (r - 2)), int(cy + std::sin(a) * (r - 2)), {60, 60, 66, 255});
    }
    if (look == EncoderLook::DualSpeed) {
        img.Ellipse(cx, cy, r * 0.45, r * 0.45, {200, 170, 40, 255});
        img.Ellipse(cx, cy, r * 0.38, r * 0.38, {118, 120, 128, 255});
    }
    img.Ellipse(cx, cy, r * 0.12, r * 0.12, {230, 230, 236, 255});
    if (pressed)
        for (Rgba& p : img.px) p = Scaled(p, kPressedDarken);
    return img;
}

// A coloured ring that lights up round an encoder.
Image EncoderMarker(int w, int h, Rgba colour) {
    Image img(w, h, {56, 58, 64, 255});
    img.Ellipse(w / 2.0, h / 2.0, w / 2.0 - 1, h / 2.0 - 1, colour);
    img.Ellipse(w / 2.0, h / 2.0, w / 2.0 - 5, h / 2.0 - 5, {56, 58, 64, 255});
    return img;
}

// ---- small pictures --------------------------------------------------------

Image CommandLineBackground() {
    Image img(354, 28, {14, 30, 18, 255});
    img.Bevel(0, 0, 354, 28, {10, 10, 12, 255}, {150, 150, 156, 255});
    img.Bevel(1, 1, 353, 27, {30, 30, 34, 255}, {110, 110, 116, 255});
    return img;
}

Image SizeGrip() {
    Image img(15, 15, {84, 84, 84, 255});
    for (int k = 0; k < 3; ++k) {
        const int d = 4 + k * 4;
        img.Line(14 - d, 14, 14, 14 - d, kWhite);
        img.Line(15 - d, 14, 14, 15 - d, {30, 30, 30, 255});
    }
    return img;
}

enum class MenuLook { Quit, Load, Save, Arrange };

Image MenuPicture(MenuLook look) {
    const int w = look == MenuLook::Quit ? 16 : 13, h = look == MenuLook::Quit ? 15 : 13;
    Image img(w, h, {192, 192, 192, 255});
    switch (look) {
    case MenuLook::Quit:  // a door with a red arrow leaving it
        img.Fill(2, 1, 9, 14, {120, 80, 40, 255});
        img.Bevel(2, 1, 9, 14, kBlack, kBlack);
        img.Fill(9, 7, 15, 9, {200, 30, 30, 255});
        img.Line(12, 4, 15, 8, {200, 30, 30, 255});
        img.Line(12, 11, 15, 8, {200, 30, 30, 255});
        break;
    case MenuLook::Load:  // a folder with an arrow up out of it
    case MenuLook::Save: {  // a disk with an arrow down into it
        const bool load = look == MenuLook::Load;
        if (load) {
            img.Fill(1, 5, 12, 12, {220, 190, 60, 255});
            img.Fill(1, 4, 5, 5, {220, 190, 60, 255});
            img.Bevel(1, 5, 12, 12, kBlack, kBlack);
        } else {
            img.Fill(1, 4, 12, 12, {40, 60, 150, 255});
            img.Fill(3, 4, 10, 7, kWhite);
            img.Bevel(1, 4, 12, 12, kBlack, kBlack);
        }
        const int tip = load ? 0 : 4;  // the head's two strokes meet at the tip
        img.Line(6, 0, 6, 4, {0, 120, 0, 255});
        img.Line(4, 2, 6, tip, {0, 120, 0, 255});
        img.Line(8, 2, 6, tip, {0, 120, 0, 255});
        break;
    }
    case MenuLook::Arrange:  // four small windows in a grid
        for (int k = 0; k < 4; ++k) {
            const int x = 1 + (k % 2) * 6, y = 1 + (k / 2) * 6;
            img.Fill(x, y, x + 5, y + 5, kWhite);
            img.Bevel(x, y, x + 5, y + 5, kBlack, kBlack);
            img.Fill(x, y, x + 5, y + 2, {0, 0, 128, 255});
        }
        break;
    }
    return img;
}

// ---- cursors ---------------------------------------------------------------

// Draws a shape given as rows of characters: '#' black, '.' white, others
// clear.
void DrawShape(Image& img, int x0, int y0, const std::vector<const char*>& rows) {
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; rows[y][x]; ++x) {
            if (rows[y][x] == '#') img.Set(x0 + int(x), y0 + int(y), kBlack);
            if (rows[y][x] == '.') img.Set(x0 + int(x), y0 + int(y), kWhite);
        }
}

const std::vector<const char*> kArrow = {
    "#", "##", "#.#", "#..#", "#...#", "#....#", "#.....#", "#......#", "#.......#", "#........#",
    "#.....#####", "#..#..#", "#.# #..#", "##  #..#", "#    #..#", "      #..#", "       ##",
};
const std::vector<const char*> kHand = {
    "    ##", "   #..#", "   #..#", "   #..#", "   #..###", "   #..#..##", "## #..#..#.##", "#..#.......#.#",
    "#...........#", " #..........#", "  #.........#", "  #........#", "   #.......#", "    #.....#", "    #######",
};

// The badge that each cursor of the desk carries beside its arrow.
enum class Badge {
    None, SmallLeftRight, Grab, Hourglass, NoEntry, UpDown, LeftRight, Diagonal, Frame,
    SecondArrow, Plus, Minus, Copy, Paste,
};

void DrawBadge(Image& img, Badge badge) {
    const int x = 14, y = 16;  // top-left of the badge area
    auto bar = [&](int x0, int y0, int x1, int y1) {
        img.Fill(x0 - 1, y0 - 1, x1 + 1, y1 + 1, kWhite);
        img.Fill(x0, y0, x1, y1, kBlack);
    };
    switch (badge) {
    case Badge::None: break;
    case Badge::SmallLeftRight:
        bar(x, y + 6, x + 10, y + 7);
        img.Line(x, y + 6, x + 3, y + 3, kBlack); img.Line(x, y + 6, x + 3, y + 9, kBlack);
        img.Line(x + 9, y + 6, x + 6, y + 3, kBlack); img.Line(x + 9, y + 6, x + 6, y + 9, kBlack);
        break;
    case Badge::LeftRight:
        bar(x, y + 6, x + 16, y + 8);
        for (int d = 0; d < 5; ++d) {
            img.Fill(x + d, y + 7 - d, x + d + 1, y + 7 + d + 1, kBlack);
            img.Fill(x + 15 - d, y + 7 - d, x + 16 - d, y + 7 + d + 1, kBlack);
        }
        break;
    case Badge::UpDown:
        bar(x + 7, y - 2, x + 9, y + 14);
        for (int d = 0; d < 5; ++d) {
            img.Fill(x + 8 - d, y - 2 + d, x + 8 + d + 1, y - 1 + d, kBlack);
            img.Fill(x + 8 - d, y + 13 - d, x + 8 + d + 1, y + 14 - d, kBlack);
        }
        break;
    case Badge::Diagonal:
        for (int d = 0; d < 2; ++d) img.Line(x + d, y, x + 14 + d, y + 14, kBlack);
        img.Fill(x, y, x + 5, y + 2, kBlack); img.Fill(x, y, x + 2, y + 5, kBlack);
        img.Fill(x + 10, y + 13, x + 16, y + 15, kBlack); img.Fill(x + 14, y + 9, x + 16, y + 15, kBlack);
        break;
    case Badge::Grab: DrawShape(img, x, y, kHand); break;
    case Badge::Hourglass:
        img.Fill(x, y, x + 11, y + 2, kBlack); img.Fill(x, y + 13, x + 11, y + 15, kBlack);
        for (int d = 0; d < 5; ++d) {
            img.Fill(x + 1 + d, y + 2 + d, x + 10 - d, y + 3 + d, d == 0 ? kBlack : kWhite);
            img.Fill(x + 1 + d, y + 12 - d, x + 10 - d, y + 13 - d, kBlack);
            img.Set(x + 1 + d, y + 2 + d, kBlack); img.Set(x + 9 - d, y + 2 + d, kBlack);
        }
        break;
    case Badge::NoEntry:
        img.Ellipse(x + 8, y + 8, 8, 8, {200, 0, 0, 255});
        img.Ellipse(x + 8, y + 8, 5.5, 5.5, kWhite);
        for (int d = -1; d <= 1; ++d) img.Line(x + 4, y + 4 + d, x + 12, y + 12 + d, {200, 0, 0, 255});
        break;
    case Badge::Frame:
        for (int k = 0; k < 16; k += 2) {
            img.Set(x + k, y, kBlack); img.Set(x + k, y + 12, kBlack);
            if (k <= 12) { img.Set(x, y + k, kBlack); img.Set(x + 15, y + k, kBlack); }
        }
        break;
    case Badge::SecondArrow: DrawShape(img, x + 2, y, std::vector<const char*>(kArrow.begin(), kArrow.begin() + 11)); break;
    case Badge::Plus: bar(x + 6, y + 1, x + 9, y + 12); bar(x + 2, y + 5, x + 13, y + 8); break;
    case Badge::Minus: bar(x + 2, y + 5, x + 13, y + 8); break;
    case Badge::Copy:
    case Badge::Paste: {
        const std::string word = badge == Badge::Copy ? "COPY" : "PASTE";
        img.Fill(x - 2, y + 2, x + TextWidth(word, 1) + 1, y + 10, kWhite);
        img.Bevel(x - 2, y + 2, x + TextWidth(word, 1) + 1, y + 10, kBlack, kBlack);
        DrawText(img, x, y + 4, word, kBlack);
        break;
    }
    }
}

Image ArrowCursor(Badge badge) {
    Image img(32, 32);
    DrawShape(img, 0, 0, kArrow);
    DrawBadge(img, badge);
    return img;
}

Image CrossHairCursor() {
    Image img(32, 32);
    img.Fill(14, 0, 17, 31, kWhite); img.Fill(0, 14, 31, 17, kWhite);
    img.Fill(15, 0, 16, 31, kBlack); img.Fill(0, 15, 31, 16, kBlack);
    img.Fill(11, 11, 20, 20, kWhite);
    img.Bevel(12, 12, 19, 19, kBlack, kBlack);
    img.Set(15, 15, kBlack);
    return img;
}

Image MoveCursor() {
    Image img(32, 32);
    img.Fill(14, 3, 17, 28, kWhite); img.Fill(3, 14, 28, 17, kWhite);
    img.Fill(15, 3, 16, 28, kBlack); img.Fill(3, 15, 28, 16, kBlack);
    for (int d = 0; d < 5; ++d) {
        img.Fill(15 - d, 1 + d, 16 + d, 2 + d, kBlack);
        img.Fill(15 - d, 29 - d, 16 + d, 30 - d, kBlack);
        img.Fill(1 + d, 15 - d, 2 + d, 16 + d, kBlack);
        img.Fill(29 - d, 15 - d, 30 - d, 16 + d, kBlack);
    }
    return img;
}

Image PointingHandCursor() {
    Image img(32, 32);
    DrawShape(img, 6, 0, kHand);
    return img;
}

// An open palm for dragging the whole desk.
Image OpenHandCursor() {
    Image img(32, 32);
    DrawShape(img, 8, 6, {
        "   ## ## ##", "  #..#..#..#", "  #..#..#..#", "  #..#..#..# ##", "  #..#..#..##..#",
        "  #..#..#..#...#", "##.............#", "#..............#", "#..............#", " #.............#",
        "  #...........#", "   #.........#", "    #.......#", "     #######",
    });
    return img;
}

Image StoreCursor() {
    Image img = ArrowCursor(Badge::None);
    img.Fill(10, 18, 32, 31, kWhite);
    img.Bevel(10, 18, 32, 31, kBlack, kBlack);
    DrawText(img, 12, 19, "HOLD", {160, 0, 0, 255});
    DrawText(img, 12, 25, "STOR", {160, 0, 0, 255});
    return img;
}

// ---- desk background -------------------------------------------------------

constexpr Rgba kPanel = {46, 48, 54, 255};
constexpr Rgba kPanelLight = {86, 88, 98, 255};
constexpr Rgba kPanelDark = {18, 18, 22, 255};
constexpr Rgba kWell = {26, 27, 31, 255};
constexpr Rgba kLabel = {150, 154, 166, 255};

struct Box { int x, y, w, h; };

// A recess the size of a control plus a one-pixel rim.
void DrawWell(Image& img, Box b) {
    img.Fill(b.x - 1, b.y - 1, b.x + b.w + 1, b.y + b.h + 1, kWell);
    img.Bevel(b.x - 2, b.y - 2, b.x + b.w + 2, b.y + b.h + 2, kPanelDark, kPanelLight);
}

void DrawSection(Image& img, Box b, const std::string& label) {
    img.Fill(b.x, b.y, b.x + b.w, b.y + b.h, Scaled(kPanel, 1.15));
    img.Bevel(b.x, b.y, b.x + b.w, b.y + b.h, kPanelLight, kPanelDark);
    if (!label.empty()) DrawText(img, b.x + 4, b.y + b.h - 7, label, kLabel);
}

enum class BackgroundBar { Faders, Encoders, EncodersWithCd };

constexpr Box kExecutorArea = {4, 532, 648, 232};
constexpr Box kEncoders[4] = {{8, 531, 160, 150}, {168, 531, 160, 150}, {328, 531, 160, 150}, {488, 531, 160, 150}};
constexpr Box kSideEncoders[3] = {{678, 443, 70, 70}, {947, 443, 70, 70}, {855, 443, 70, 70}};
constexpr Box kFixedFaders[3] = {{307, 574, 46, 109}, {960, 90, 46, 109}, {661, 90, 46, 109}};
constexpr Box kCdPanel[] = {{32, 719, 55, 36}, {93, 719, 55, 36}, {154, 719, 55, 36}, {215, 719, 55, 36},
                            {276, 719, 55, 36}, {337, 719, 55, 36}, {398, 719, 55, 36}, {382, 689, 240, 18},
                            {32, 687, 170, 20}, {463, 719, 55, 17}, {463, 738, 55, 17}, {215, 689, 150, 18},
                            {521, 719, 109, 36}};

bool Inside(Box inner, Box outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

Image DeskBackground(BackgroundBar bar) {
    Image img(1024, 768, kPanel);
    img.Bevel(0, 0, 1024, 768, kPanelLight, kPanelDark);
    DrawSection(img, {4, 2, 648, 42}, "");
    DrawSection(img, {652, 2, 368, 436}, "PROGRAMMER");
    DrawSection(img, {652, 440, 368, 326}, "PLAYBACK");
    DrawSection(img, kExecutorArea, bar == BackgroundBar::Faders ? "EXECUTORS" : "ENCODERS");
    // The touch screen: a thick black bezel round the 640 x 480 screen.
    img.Fill(4, 44, 652, 532, {10, 10, 12, 255});
    img.Bevel(4, 44, 652, 532, kPanelLight, kPanelDark);
    img.Fill(8, 48, 648, 528, {0, 0, 0, 255});
    DrawWell(img, {657, 209, 354, 28});
    for (const Box& e : kSideEncoders) DrawWell(img, e);
    for (const Box& f : kFixedFaders)
        if (bar == BackgroundBar::Faders || !Inside(f, kExecutorArea)) DrawWell(img, f);
    const bool encoders = bar != BackgroundBar::Faders;
    for (const KeyRecord* k = KeyTable(); k->keyId != 0; ++k) {
        const Box key = {k->x, k->y, k->width, k->height};
        if (!encoders || !Inside(key, kExecutorArea)) DrawWell(img, key);
    }
    if (!encoders) {
        for (int n = 0; n < 10; ++n) DrawWell(img, {(n % 10) * 60 + 11 + (n % 10 > 4 ? 49 : 0), 576, 48, 109});
    } else {
        for (const Box& e : kEncoders) img.Ellipse(e.x + e.w / 2.0, e.y + e.h / 2.0, e.h / 2.0 - 2, e.h / 2.0 - 2, kWell);
        if (bar == BackgroundBar::EncodersWithCd) {
            img.Fill(26, 683, 640, 760, Scaled(kPanel, 0.8));
            DrawText(img, 560, 692, "CD PLAYER", kLabel);
            for (const Box& b : kCdPanel) DrawWell(img, b);
        }
    }
    return img;
}

// ---- CD player panel icons -------------------------------------------------

// The panel draws these 32 x 32 icons at (11, 2) on its buttons and at (0, 0)
// on its displays, whose windows show only the top 15 to 18 rows.
constexpr Rgba kCdGlyph = {230, 236, 240, 255};
constexpr Rgba kCdCyan = {0, 255, 255, 255};

void Triangle(Image& img, int x0, int y0, int w, int h, bool right, Rgba c) {
    for (int i = 0; i < w; ++i) {
        const int half = (h * (right ? w - i : i + 1)) / (2 * w);
        const int x = x0 + i;
        img.Fill(x, y0 + h / 2 - half, x + 1, y0 + h / 2 + half + 1, c);
    }
}
void DownTriangle(Image& img, int x0, int y0, int w, int h, Rgba c) {
    for (int j = 0; j < h; ++j) {
        const int half = (w * (h - j)) / (2 * h);
        img.Fill(x0 + w / 2 - half, y0 + j, x0 + w / 2 + half + 1, y0 + j + 1, c);
    }
}

enum class CdArt { Previous, Next, Back, Forward, Pause, Play, Stop, Eject, TrackArrow, SmallArrow,
                   Disc0, Disc1, Disc2, Disc3, NoDisc, RepeatAll, RepeatTrack, PlayAll, PlayTrack,
                   ElapsedTrack, RemainTrack, ElapsedDisc, RemainDisc };

// A small disc 16 pixels wide in the top rows; frame 0 to 3 turns its mark.
void Disc(Image& img, int frame, bool present) {
    const Rgba rim = present ? Rgba{200, 210, 220, 255} : Rgba{110, 110, 110, 255};
    img.Ellipse(9, 9, 8, 8, rim);
    img.Ellipse(9, 9, 2.5, 2.5, kClear);
    if (!present) {
        img.Line(2, 2, 16, 16, Rgba{230, 40, 40, 255});
        img.Line(2, 3, 15, 16, Rgba{230, 40, 40, 255});
        return;
    }
    const int dx[4] = {0, 5, 0, -5}, dy[4] = {-5, 0, 5, 0};
    img.Ellipse(9 + dx[frame], 9 + dy[frame], 2, 2, kCdCyan);
}

Image CdIcon(CdArt art) {
    Image img(32, 32);
    switch (art) {
    case CdArt::Previous: img.Fill(8, 6, 11, 26, kCdGlyph); Triangle(img, 11, 6, 13, 20, false, kCdGlyph); break;
    case CdArt::Next: Triangle(img, 8, 6, 13, 20, true, kCdGlyph); img.Fill(21, 6, 24, 26, kCdGlyph); break;
    case CdArt::Back:
        Triangle(img, 4, 8, 12, 16, false, kCdGlyph);
        Triangle(img, 16, 8, 12, 16, false, kCdGlyph);
        break;
    case CdArt::Forward:
        Triangle(img, 4, 8, 12, 16, true, kCdGlyph);
        Triangle(img, 16, 8, 12, 16, true, kCdGlyph);
        break;
    case CdArt::Pause: img.Fill(9, 7, 14, 25, kCdGlyph); img.Fill(18, 7, 23, 25, kCdGlyph); break;
    case CdArt::Play: Triangle(img, 9, 6, 16, 20, true, Rgba{80, 230, 90, 255}); break;
    case CdArt::Stop: img.Fill(9, 8, 23, 22, kCdGlyph); break;
    case CdArt::Eject:
        for (int j = 0; j < 7; ++j) img.Fill(16 - j - 1, 1 + j, 16 + j + 1, 2 + j, kCdGlyph);
        img.Fill(9, 10, 24, 12, kCdGlyph);
        break;
    case CdArt::TrackArrow: DownTriangle(img, 4, 4, 12, 10, kCdCyan); break;
    case CdArt::SmallArrow: Triangle(img, 0, 4, 11, 10, true, kCdCyan); break;
    case CdArt::Disc0: case CdArt::Disc1: case CdArt::Disc2: case CdArt::Disc3:
        Disc(img, int(art) - int(CdArt::Disc0), true);
        break;
    case CdArt::NoDisc: Disc(img, 0, false); break;
    case CdArt::RepeatAll: case CdArt::RepeatTrack:
        img.Bevel(1, 3, 15, 14, kCdCyan, kCdCyan);
        Triangle(img, 11, 0, 5, 6, true, kCdCyan);
        if (art == CdArt::RepeatTrack) DrawText(img, 7, 6, "1", kCdCyan);
        break;
    case CdArt::PlayAll: Triangle(img, 1, 3, 6, 10, true, kCdCyan); Triangle(img, 8, 3, 6, 10, true, kCdCyan); break;
    case CdArt::PlayTrack: Triangle(img, 1, 3, 7, 10, true, kCdCyan); img.Fill(10, 3, 12, 14, kCdCyan); break;
    case CdArt::ElapsedTrack: DrawText(img, 1, 2, "T", kCdCyan); DrawText(img, 6, 2, "+", kCdCyan); break;
    case CdArt::RemainTrack: DrawText(img, 1, 2, "T", kCdCyan); DrawText(img, 6, 2, "-", kCdCyan); break;
    case CdArt::ElapsedDisc: DrawText(img, 1, 2, "D", kCdCyan); DrawText(img, 6, 2, "+", kCdCyan); break;
    case CdArt::RemainDisc: DrawText(img, 1, 2, "D", kCdCyan); DrawText(img, 6, 2, "-", kCdCyan); break;
    }
    return img;
}

struct CdIconArt { int id; CdArt art; };
constexpr CdIconArt kCdIcons[] = {
    {262, CdArt::Previous},    {263, CdArt::Next},         {264, CdArt::Back},          {265, CdArt::Forward},
    {266, CdArt::Pause},       {268, CdArt::Play},         {269, CdArt::Stop},          {290, CdArt::Eject},
    {278, CdArt::TrackArrow},  {279, CdArt::SmallArrow},   {280, CdArt::Disc0},         {283, CdArt::Disc1},
    {284, CdArt::Disc2},       {285, CdArt::Disc3},        {286, CdArt::NoDisc},        {294, CdArt::RepeatAll},
    {297, CdArt::RepeatTrack}, {298, CdArt::PlayAll},      {299, CdArt::PlayTrack},     {303, CdArt::ElapsedTrack},
    {302, CdArt::RemainTrack}, {300, CdArt::ElapsedDisc},  {301, CdArt::RemainDisc},
};

// ---- the program icon ------------------------------------------------------

// A dark desk with a row of lit keys and three faders.
Image DeskIcon(int size) {
    Image img(size, size);
    const int s = size / 16;
    img.Fill(0, 2 * s, size, 14 * s, Rgba{40, 44, 52, 255});
    img.Fill(s, 3 * s, size - s, 13 * s, Rgba{70, 76, 88, 255});
    const Rgba lamps[3] = {{230, 60, 50, 255}, {250, 200, 40, 255}, {70, 200, 90, 255}};
    for (int k = 0; k < 3; ++k) img.Fill(2 * s + k * 4 * s, 4 * s, 5 * s + k * 4 * s, 6 * s, lamps[k]);
    for (int k = 0; k < 3; ++k) {
        const int x = 3 * s + k * 4 * s;
        img.Fill(x, 7 * s, x + s, 12 * s, Rgba{20, 20, 24, 255});
        const int knob = 8 * s + k * s;
        img.Fill(x - s, knob, x + 2 * s, knob + s, Rgba{200, 204, 210, 255});
    }
    return img;
}

// ---- the setup's pictures --------------------------------------------------

// The wizard's side picture (164 x 314) and page header (150 x 57): the
// desk icon on the desk's panel colour, with the product name and version.
Image SetupSidePicture() {
    Image img(164, 314, kPanel);
    img.Bevel(0, 0, 164, 314, kPanelLight, kPanelDark);
    img.Paste(DeskIcon(96), 34, 48);
    DrawTextCentred(img, 82, 172, "KANTREL", kLabel, 3);
    DrawTextCentred(img, 82, 196, "OVRIN", kLabel, 3);
    DrawTextCentred(img, 82, 226, "6.601", kLabel, 2);
    return img;
}

Image SetupHeaderPicture() {
    Image img(150, 57, kPanel);
    img.Paste(DeskIcon(48), 98, 4);
    DrawText(img, 8, 17, "KANTREL", kLabel, 2);
    DrawText(img, 8, 31, "OVRIN", kLabel, 2);
    return img;
}

// ---- the default shortcut table of the Shortcuts dialog ------------------

constexpr int kShortcutTableWidth = 436;
constexpr int kShortcutTableHeight = 2342;
constexpr int kShortcutHeaderHeight = 35;
// Command column, then Direct, Ctrl, Alt and Shift.
constexpr int kShortcutColumns[6] = {0, 116, 196, 276, 356, 436};
constexpr Rgba kTableInk = {0, 0, 0, 255};
constexpr Rgba kTableRule = {128, 128, 128, 255};
constexpr Rgba kTablePaper = {255, 255, 255, 255};
constexpr Rgba kTableShade = {192, 192, 192, 255};

// What a row of the picture stands for: desk keys (their default shortcuts,
// or the shortcut text of a key without a code), one of the host's own
// defaults, or nothing the host knows a key for. The cells are worked out
// from the same tables the keyboard runs on, never written here.
struct ShortcutRow {
    const char* command;
    int firstKey, lastKey;  // key ids; 0: no desk key
    DefaultAction host;     // Core unless the row is one of the host's own defaults
    int hostTarget;
};

constexpr ShortcutRow Blank(const char* command) { return {command, 0, 0, DefaultAction::Core, 0}; }
constexpr ShortcutRow Key(const char* command, int id) { return {command, id, id, DefaultAction::Core, 0}; }
constexpr ShortcutRow Keys(const char* command, int first, int last) {
    return {command, first, last, DefaultAction::Core, 0};
}
constexpr ShortcutRow Host(const char* command, DefaultAction action, int target) {
    return {command, 0, 0, action, target};
}

const ShortcutRow kShortcutRows[] = {
    Key("-", 221), Key("+", 220), Key("<<<", 157), Key(">>>", 159),
    // The align key steps through all five.
    Key("Align Off", 183), Key("Align<", 183), Key("Align<>", 183), Key("Align>", 183), Key("Align><", 183),
    Blank("All"), Key("Assign", 181), Key("At", 223), Key("Background", 227), Key("B.O.", 202), Key("Backup", 198),
    Key("Blind", 178), Blank("Button Page -"), Blank("Button Page +"), Key("Channel", 172), Key("Clear", 180),
    Blank("Clear_Active"), Blank("Clear_All"), Blank("Clear_Selection"), Key("Copy", 187), Key("Cue", 170),
    Key("Def_Go", 148), Key("Def_Go-", 149), Key("Def_Pause", 150), Blank("Delay"), Key("Delete", 186),
    Blank("DMX"), Key("Edit", 193), Key("Effect", 164), Key("Enter", 225), Key("Escape", 199),
    Key("Executor", 171), Blank("Fade"), Blank("Fader"), Key("Fader Page -", kPageDownKeyId),
    Key("Fader Page +", kPageUpKeyId),
    // A fader's three executor keys, top to bottom: above it, just under it, at the foot.
    Keys("Faderkey1", 41, 60), Keys("Faderkey2", 1, 20), Keys("Faderkey3", 21, 40),
    Blank("Feature"), Key("Fix", 151), Key("Fixture", 173), Key("Freeze", 179),
    Key("Full/Open", 201), Key("Go-", 160), Key("Go+", 162), Key("Goto", 165), Key("Group", 174),
    Key("Help", 182), Key("Highlight", kHighlightKeyId), Key("If", 224), Blank("Ifoutput"), Blank("Insert"),
    Key("Keyboard", 228), Blank("Label"), Key("Learn", 158), Blank("Load"), Key("Macro", 167),
    Blank("Minus 10%"), Key("Move", 188), Key("Next", 204), Key("Off", 153), Key("On", 156), Key("Oops", 185),
    Key("Page", 166), Key("Pause", 161), Blank("Plus 10%"), Key("Preset", 168), Key("Preview", 184),
    Key("Previous", 203), Key("Select", 152), Key("Sequence", 169), Key("Set", 207), Key("Setup", 197),
    Key("Store", 195), Key("Temp", 154), Key("Thru", 222), Key("Timecode", 189), Key("Tools", 196),
    Key("Top", 155), Key("Update", 194), Blank("Value"), Key("View", 163), Key("Viewpool", 226),
    Blank("Viewkey"), Key("Arrow Up", 205), Key("Arrow Down", 206), Blank("Arrow Right"), Blank("Arrow Left"),
    Key("Screen 1", kScreenKeyId), Key("Screen 2", kScreenKeyId + 1), Key("Screen 3", kScreenKeyId + 2),
    Host("Screen 4", DefaultAction::ExternalMonitor, 0), Host("Screen 5", DefaultAction::ExternalMonitor, 1),
    Blank("Next Feature"), Blank("Previous feature"), Blank("Next Parameter"), Blank("Previous Parameter"),
    Blank("Set Level Up Fine"), Blank("Set Level Down Fine"), Blank("Set Level Up Coarse"),
    Blank("Set Level Down Coarse"), Key("Executorfader 1-10", kBarKeyId + 2),
    Key("Executorfader 11-20", kBarKeyId + 3), Key("Executorbuttons", kBarKeyId + 4),
    Key("Wheels", kBarKeyId + 5), Blank("Dimmer level Up"), Blank("Dimmer Level Down"),
    Host("Tilt Up", DefaultAction::Track, kTrackUp), Host("Tilt Down", DefaultAction::Track, kTrackDown),
    Host("Pan Left", DefaultAction::Track, kTrackLeft), Host("Pan Right", DefaultAction::Track, kTrackRight),
    // Shift F1 to F12 reach the core as any Shift key does; no table here says they are the Quikeys.
    Blank("Quikey 1"), Blank("Quikey 2"), Blank("Quikey 3"), Blank("Quikey 4"), Blank("Quikey 5"),
    Blank("Quikey 6"), Blank("Quikey 7"), Blank("Quikey 8"), Blank("Quikey 9"), Blank("Quikey 10"),
    Blank("Quikey 11"), Blank("Quikey 12"), Host("Shortcut mode", DefaultAction::ShortcutMode, 0),
};
constexpr int kShortcutRowCount = int(sizeof kShortcutRows / sizeof kShortcutRows[0]);

// Key cells in picture order: Direct, Ctrl, Alt, Shift.
using ShortcutCells = std::array<std::string, 4>;

int ColumnOfModifier(uint32_t modifiers) {
    switch (modifiers) {
    case 0: return 0;
    case kShortcutCtrl: return 1;
    case kShortcutAlt: return 2;
    case kShortcutShift: return 3;
    default: return -1;
    }
}

// The names people know the keys by; empty for a key the picture cannot name.
std::string KeyText(uint32_t vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    if (vk >= VK_F1 && vk <= VK_F12) return "F" + std::to_string(vk - VK_F1 + 1);
    switch (vk) {
    case VK_BACK: return "Backspace";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Insert";
    case VK_DELETE: return "Delete";
    default: return "";
    }
}

// Several keys in one cell are a run such as the executors' "1-9".
std::string RunText(std::vector<uint32_t> keys) {
    std::sort(keys.begin(), keys.end());
    bool consecutive = true;
    for (size_t i = 1; i < keys.size(); ++i) consecutive = consecutive && keys[i] == keys[i - 1] + 1;
    if (keys.size() > 2 && consecutive) return KeyText(keys.front()) + "-" + KeyText(keys.back());
    std::string text;
    for (uint32_t vk : keys) text += (text.empty() ? "" : " ") + KeyText(vk);
    return text;
}

// A key the table gives no code still shows the shortcut the desk prints on
// it ("(Ctrl +)", "(?)"): the core answers those combinations itself.
bool PrintedShortcut(const KeyRecord& key, ShortcutCells* cells) {
    std::string text(SplitKeyLabel(key.label).shortcut);
    if (text.size() < 3 || text.front() != '(' || text.back() != ')') return false;
    text = text.substr(1, text.size() - 2);
    const struct { const char* word; int column; } kWords[] = {{"Ctrl ", 1}, {"Alt ", 2}, {"Shift ", 3}};
    int column = 0;
    for (const auto& w : kWords)
        if (text.rfind(w.word, 0) == 0) {
            column = w.column;
            text = text.substr(std::strlen(w.word));
        }
    (*cells)[size_t(column)] = text;
    return true;
}

bool CellsOfKeys(const ShortcutRow& row, ShortcutCells* cells) {
    std::vector<uint32_t> byColumn[4];
    for (int id = row.firstKey; id <= row.lastKey; ++id) {
        const KeyRecord* key = KeyRow(FindRowOfKeyId(id));
        if (!key) {
            std::fprintf(stderr, "artgen: no desk key %d for the row \"%s\"\n", id, row.command);
            return false;
        }
        if (key->defaultShortcut == kNoShortcut) continue;
        const int column = ColumnOfModifier(key->defaultShortcut & kShortcutModifierMask);
        const uint32_t vk = key->defaultShortcut & kShortcutKeyMask;
        if (column < 0 || KeyText(vk).empty()) {
            std::fprintf(stderr, "artgen: cannot show the shortcut 0x%08X of key %d\n", key->defaultShortcut, id);
            return false;
        }
        byColumn[column].push_back(vk);
    }
    bool any = false;
    for (int c = 0; c < 4; ++c)
        if (!byColumn[c].empty()) {
            (*cells)[size_t(c)] = RunText(byColumn[c]);
            any = true;
        }
    if (!any && row.firstKey == row.lastKey) PrintedShortcut(*KeyRow(FindRowOfKeyId(row.firstKey)), cells);
    return true;
}

bool CellsOfHostDefault(const ShortcutRow& row, ShortcutCells* cells) {
    for (size_t i = 0; i < kHostShortcutCount; ++i) {
        const HostShortcut& entry = kHostShortcuts[i];
        if (entry.action != row.host || entry.target != row.hostTarget) continue;
        const int column = ColumnOfModifier(entry.code & kShortcutModifierMask);
        const std::string text = KeyText(entry.code & kShortcutKeyMask);
        if (column < 0 || text.empty()) break;
        (*cells)[size_t(column)] = text;
        return true;
    }
    std::fprintf(stderr, "artgen: the host has no default to show for the row \"%s\"\n", row.command);
    return false;
}

bool CellsOf(const ShortcutRow& row, ShortcutCells* cells) {
    *cells = ShortcutCells{};
    if (row.host != DefaultAction::Core) return CellsOfHostDefault(row, cells);
    return row.firstKey == 0 || CellsOfKeys(row, cells);
}

void DrawColumnRules(Image& img, int y0, int y1) {
    for (int c = 1; c < 5; ++c) img.Fill(kShortcutColumns[c], y0, kShortcutColumns[c] + 1, y1, kTableRule);
}

Image ShortcutTableHeader() {
    Image img(kShortcutTableWidth, kShortcutHeaderHeight, kTableShade);
    const char* titles[5] = {"Command", "Direct", "Ctrl", "Alt", "Shift"};
    for (int c = 0; c < 5; ++c)
        DrawTextCentred(img, (kShortcutColumns[c] + kShortcutColumns[c + 1]) / 2, kShortcutHeaderHeight / 2,
                        titles[c], kTableInk, 2);
    DrawColumnRules(img, 0, kShortcutHeaderHeight);
    img.Fill(0, kShortcutHeaderHeight - 1, kShortcutTableWidth, kShortcutHeaderHeight, kTableInk);
    return img;
}

// Every character must have a glyph and every text fit its cell, or the
// picture would show less than the keyboard does. Texts are drawn at twice
// the font's size, or only twice as tall where that is too wide.
bool Legible(const std::string& text, int width, int* across) {
    for (char ch : text)
        if (ch != ' ' && !GlyphRows(ch)) return false;
    *across = TextWidth(text, 2) <= width - 8 ? 2 : 1;
    return TextWidth(text, *across) <= width - 8;
}

// Rows share the height evenly; what is left over stays blank at the foot.
bool DefaultShortcutTable(const std::vector<ShortcutCells>& cells, Image* out) {
    Image img(kShortcutTableWidth, kShortcutTableHeight, kTablePaper);
    const int rowHeight = kShortcutTableHeight / kShortcutRowCount;
    bool ok = true;
    for (int r = 0; r < kShortcutRowCount; ++r) {
        const int y = r * rowHeight;
        if (r % 2) img.Fill(0, y, kShortcutTableWidth, y + rowHeight, kTableShade);
        const std::string command = kShortcutRows[r].command;
        const int textTop = y + (rowHeight - 10) / 2;
        int across = 1;
        if (!Legible(command, kShortcutColumns[1], &across)) {
            std::fprintf(stderr, "artgen: the command \"%s\" does not fit its cell\n", command.c_str());
            ok = false;
        }
        DrawText(img, 4, textTop, command, kTableInk, across, 2);
        for (int c = 0; c < 4; ++c) {
            const std::string& keys = cells[size_t(r)][size_t(c)];
            if (keys.empty()) continue;
            if (!Legible(keys, kShortcutColumns[c + 2] - kShortcutColumns[c + 1], &across)) {
                std::fprintf(stderr, "artgen: the key text \"%s\" does not fit its cell\n", keys.c_str());
                ok = false;
            }
            const int centre = (kShortcutColumns[c + 1] + kShortcutColumns[c + 2]) / 2;
            DrawText(img, centre - TextWidth(keys, across) / 2, textTop, keys, kTableInk, across, 2);
        }
        img.Fill(0, y + rowHeight - 1, kShortcutTableWidth, y + rowHeight, kTableRule);
    }
    DrawColumnRules(img, 0, kShortcutRowCount * rowHeight);
    *out = img;
    return ok;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') out += '\\';
        out += ch;
    }
    return out + "\"";
}

// The cells as C++ initialisers, one row a line, for the test that checks
// each of them against what the keyboard does.
bool WriteShortcutCells(const std::string& path, const std::vector<ShortcutCells>& cells) {
    std::string text = "// Generated by the art generator: the default shortcut picture's rows, what each\n"
                       "// stands for and its key cells (Direct, Ctrl, Alt, Shift).\n";
    for (int r = 0; r < kShortcutRowCount; ++r) {
        const ShortcutRow& row = kShortcutRows[r];
        text += "{" + Quoted(row.command) + ", " + std::to_string(row.firstKey) + ", " + std::to_string(row.lastKey) +
                ", " + std::to_string(int(row.host)) + ", " + std::to_string(row.hostTarget) + ", {";
        for (size_t c = 0; c < 4; ++c) text += (c ? ", " : "") + Quoted(cells[size_t(r)][c]);
        text += "}},\n";
    }
    return WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// ---- what is written -------------------------------------------------------

struct FaceStyle { int released, pressed, w, h; Rgba look; };
// Style 11 has no pressed picture of its own (it borrows style 4's).
constexpr FaceStyle kFaceStyles[11] = {
    {208, 209, 56, 37, {236, 204, 40, 255}},  {184, 200, 56, 37, {132, 132, 108, 255}},
    {185, 201, 56, 76, {132, 132, 108, 255}}, {186, 194, 56, 37, {190, 190, 186, 255}},
    {187, 195, 60, 37, {190, 190, 186, 255}}, {188, 193, 118, 37, {190, 190, 186, 255}},
    {189, 197, 56, 37, {92, 92, 72, 255}},    {190, 199, 56, 37, {204, 44, 36, 255}},
    {191, 206, 56, 76, {236, 204, 40, 255}},  {192, 196, 44, 37, {132, 132, 108, 255}},
    {261, 0, 56, 37, {242, 242, 236, 255}},
};

struct CursorArt { int id; HotSpot hot; Image (*draw)(); };

template <Badge B> Image Arrow() { return ArrowCursor(B); }

const CursorArt kCursors[] = {
    {134, {0, 0}, Arrow<Badge::None>},         {141, {0, 0}, Arrow<Badge::SmallLeftRight>},
    {136, {0, 0}, Arrow<Badge::Grab>},         {137, {0, 0}, Arrow<Badge::Hourglass>},
    {135, {0, 0}, Arrow<Badge::NoEntry>},      {139, {0, 0}, Arrow<Badge::UpDown>},
    {133, {0, 0}, Arrow<Badge::LeftRight>},    {131, {0, 0}, Arrow<Badge::Diagonal>},
    {143, {0, 0}, Arrow<Badge::Frame>},        {146, {0, 0}, Arrow<Badge::SecondArrow>},
    {142, {0, 0}, Arrow<Badge::Plus>},         {145, {0, 0}, Arrow<Badge::Minus>},
    {144, {0, 0}, Arrow<Badge::Copy>},         {147, {0, 0}, Arrow<Badge::Paste>},
    {132, {15, 15}, CrossHairCursor},          {140, {15, 15}, MoveCursor},
    {138, {0, 0}, PointingHandCursor},                 {220, {16, 16}, OpenHandCursor},
    {291, {0, 0}, StoreCursor},
};

struct Writer {
    std::string dir;
    bool ok = true;
    void Bitmap(int id, const Image& img) { Check(WriteBitmap(dir + "/bmp" + std::to_string(id) + ".bmp", img), id); }
    void Named(const char* name, const Image& img) {
        if (WriteBitmap(dir + "/" + name, img)) return;
        std::fprintf(stderr, "artgen: cannot write %s\n", name);
        ok = false;
    }
    void ExactPalette(int id, const Image& img) {
        Check(WriteExactPaletteBitmap(dir + "/bmp" + std::to_string(id) + ".bmp", img), id);
    }
    void Bitmap16(int id, const Image& img) {
        Check(WriteBitmap16(dir + "/bmp" + std::to_string(id) + ".bmp", img), id);
    }
    void Cursor(int id, const Image& img, HotSpot hot) {
        Check(WriteIconFile(dir + "/cur" + std::to_string(id) + ".cur", {img}, true, hot), id);
    }
    void Check(bool written, int id) {
        if (written) return;
        std::fprintf(stderr, "artgen: cannot write picture %d\n", id);
        ok = false;
    }
};

void WriteKeyFaces(Writer& out) {
    for (const FaceStyle& s : kFaceStyles) {
        out.Bitmap(s.released, KeyFace(s.w, s.h, s.look, false));
        if (s.pressed) out.Bitmap(s.pressed, KeyFace(s.w, s.h, s.look, true));
    }
}

void WriteFrameAndFaders(Writer& out) {
    const FrameGlyph glyphs[4] = {FrameGlyph::Close, FrameGlyph::Minimise, FrameGlyph::Maximise, FrameGlyph::Restore};
    const int ids[4][2] = {{161, 162}, {166, 167}, {222, 224}, {223, 225}};
    for (int g = 0; g < 4; ++g)
        for (int pressed = 0; pressed < 2; ++pressed) out.Bitmap(ids[g][pressed], FrameButton(glyphs[g], pressed));
    out.Bitmap(234, TextToggle("ShortCut", false));
    out.Bitmap(235, TextToggle("ShortCut", true));
    out.Bitmap(228, TextToggle("CMD.", false));
    out.Bitmap(229, TextToggle("CMD.", true));
    out.Bitmap(203, FaderKnob(38, 20, {200, 200, 196, 255}));
    out.Bitmap(204, FaderKnob(38, 20, {220, 60, 50, 255}));
    out.Bitmap(270, FaderKnob(20, 30, {200, 200, 196, 255}));
    out.Bitmap(210, FaderTrack(48, 109, false));
    out.Bitmap(211, FaderTrack(48, 109, false));
    out.Bitmap(271, FaderTrack(109, 36, true));
    out.Bitmap(221, SizeGrip());
    out.Bitmap(231, CommandLineBackground());
    out.Bitmap(244, MenuPicture(MenuLook::Quit));
    out.Bitmap(247, MenuPicture(MenuLook::Load));
    out.Bitmap(250, MenuPicture(MenuLook::Save));
    out.Bitmap(251, MenuPicture(MenuLook::Arrange));
}

void WriteEncoders(Writer& out) {
    out.Bitmap(180, EncoderFace(160, 150, EncoderLook::DualSpeed, false));
    out.Bitmap(252, EncoderFace(160, 150, EncoderLook::DualSpeed, true));
    out.Bitmap(257, EncoderFace(160, 150, EncoderLook::Plain, false));
    out.Bitmap(258, EncoderFace(160, 150, EncoderLook::Plain, true));
    out.Bitmap(181, EncoderFace(70, 70, EncoderLook::Plain, false));
    out.Bitmap(253, EncoderFace(70, 70, EncoderLook::Plain, true));
    out.Bitmap(256, EncoderFace(70, 70, EncoderLook::DualSpeed, false));
    out.Bitmap(182, EncoderFace(70, 70, EncoderLook::Wheel, false));
    out.Bitmap(216, EncoderMarker(176, 146, {230, 30, 30, 255}));
    out.Bitmap(217, EncoderMarker(68, 69, {40, 80, 240, 255}));
    out.Bitmap(218, EncoderMarker(64, 63, {40, 210, 60, 255}));
    // The same marker as the icon of the core's question dialogs.
    out.Check(WriteIconFile(out.dir + "/ico218.ico", {EncoderMarker(32, 32, {40, 210, 60, 255})}, false, {0, 0}), 218);
    out.Bitmap(219, EncoderMarker(66, 66, {240, 220, 40, 255}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT_FOLDER\n");
        return 2;
    }
    Writer out{argv[1]};
    out.Check(WriteIconFile(out.dir + "/icon107.ico", {DeskIcon(32), DeskIcon(16)}, false, {0, 0}), 107);
    WriteKeyFaces(out);
    WriteFrameAndFaders(out);
    WriteEncoders(out);
    out.ExactPalette(214, DeskBackground(BackgroundBar::Faders));
    out.ExactPalette(215, DeskBackground(BackgroundBar::Encoders));
    out.ExactPalette(273, DeskBackground(BackgroundBar::EncodersWithCd));
    for (const CursorArt& c : kCursors) out.Cursor(c.id, c.draw(), c.hot);
    out.Named("setup-side.bmp", SetupSidePicture());
    out.Named("setup-header.bmp", SetupHeaderPicture());
    out.Bitmap16(236, ShortcutTableHeader());
    std::vector<ShortcutCells> cells(kShortcutRowCount);
    for (int r = 0; r < kShortcutRowCount; ++r) out.ok = CellsOf(kShortcutRows[r], &cells[size_t(r)]) && out.ok;
    Image shortcuts(1, 1);
    out.ok = DefaultShortcutTable(cells, &shortcuts) && out.ok;
    out.Bitmap16(237, shortcuts);
    if (!WriteShortcutCells(out.dir + "/shortcut-picture-cells.inc", cells)) {
        std::fprintf(stderr, "artgen: cannot write the shortcut picture's cells\n");
        out.ok = false;
    }
    for (const CdIconArt& c : kCdIcons)
        out.Check(WriteIconFile(out.dir + "/ico" + std::to_string(c.id) + ".ico", {CdIcon(c.art)}, false, {0, 0}), c.id);
    return out.ok ? 0 : 1;
}
