// Generates the host's pictures (icons, and later bitmaps and cursors) into
// the folder named on the command line, so no binary art is kept in the repo.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgba { uint8_t r, g, b, a; };

struct Image {
    int w, h;
    std::vector<Rgba> px;
    Image(int width, int height) : w(width), h(height), px(size_t(width) * height, Rgba{0, 0, 0, 0}) {}
    void Fill(int x0, int y0, int x1, int y1, Rgba c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
};

void Put16(std::vector<uint8_t>& out, unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<uint8_t>& out, unsigned v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

// A 32-bit icon image: BITMAPINFOHEADER with doubled height, bottom-up BGRA
// rows, then the 1-bit AND mask (all zero: alpha decides).
std::vector<uint8_t> IconImage(const Image& img) {
    std::vector<uint8_t> out;
    Put32(out, 40); Put32(out, img.w); Put32(out, img.h * 2);
    Put16(out, 1); Put16(out, 32); Put32(out, 0);
    const unsigned maskStride = ((img.w + 31) / 32) * 4;
    Put32(out, img.w * img.h * 4 + maskStride * img.h);
    Put32(out, 0); Put32(out, 0); Put32(out, 0); Put32(out, 0);
    for (int y = img.h - 1; y >= 0; --y)
        for (int x = 0; x < img.w; ++x) {
            const Rgba& c = img.px[size_t(y) * img.w + x];
            out.push_back(c.b); out.push_back(c.g); out.push_back(c.r); out.push_back(c.a);
        }
    out.insert(out.end(), maskStride * img.h, 0);
    return out;
}

bool WriteIcon(const std::string& path, const std::vector<Image>& images) {
    std::vector<uint8_t> out;
    Put16(out, 0); Put16(out, 1); Put16(out, unsigned(images.size()));
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& img : images) bodies.push_back(IconImage(img));
    unsigned offset = 6 + 16 * unsigned(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].w)); out.push_back(uint8_t(images[i].h));
        out.push_back(0); out.push_back(0);
        Put16(out, 1); Put16(out, 32);
        Put32(out, unsigned(bodies[i].size())); Put32(out, offset);
        offset += unsigned(bodies[i].size());
    }
    for (auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

// The program icon: a dark desk with a row of lit keys and three faders.
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!WriteIcon(dir + "/icon107.ico", {DeskIcon(32), DeskIcon(16)})) {
        std::fprintf(stderr, "artgen: cannot write icon107.ico\n");
        return 1;
    }
    return 0;
}
