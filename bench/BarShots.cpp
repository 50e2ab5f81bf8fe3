// Screenshots of the desk on each fader bar, to compare two builds pixel for
// pixel (scripts/desk-shots.sh --program bar_shots.exe): bar_shots.exe FOLDER switches through a fixed
// sequence of bars on a shown desk with the CD panel switched on, lets every
// repaint land, and writes what the screen shows of the desk after each
// switch as shotNN-barB.bmp.
#include <cstdio>
#include <string>

#include "bench/BenchDesk.h"
#include "mainwindow/DeskView.h"
#include "standins/StandinControl.h"

namespace {

// Every bar from a neighbour and from afar, both ways, and bar 6 from both
// sides, since a switch repaints only what it changed.
constexpr int kSequence[] = {1, 2, 3, 4, 5, 6, 1, 6, 5, 4, 3, 2, 1, 5, 2, 6, 3};

// Repaints run from the message loop and reach the screen a little later.
void Settle() {
    for (int i = 0; i < 6; ++i) {
        bench::Pump();
        Sleep(50);
    }
    GdiFlush();
}

bool WriteBmp(const std::string& path, HDC screen, const RECT& at) {
    const int width = at.right - at.left, height = at.bottom - at.top;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, at.left, at.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = DWORD((width * 3 + 3) & ~3);
    std::string pixels(size_t(stride) * height, '\0');
    const int lines = GetDIBits(memory, picture, 0, UINT(height), &pixels[0], reinterpret_cast<BITMAPINFO*>(&info),
                                DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    if (lines != height) return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    if (!bench::OpenDesk(true)) return 1;
    HWND desk = bench::DeskWindow();
    SetWindowPos(desk, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    StandinSetResult("AnzHTPchannels", 24);
    Settle();
    HDC screen = GetDC(nullptr);
    int status = 0;
    int shot = 0;
    for (int bar : kSequence) {
        SelectFaderBar(bar);
        Settle();
        RECT at;
        GetClientRect(desk, &at);
        MapWindowPoints(desk, nullptr, reinterpret_cast<POINT*>(&at), 2);
        char name[32];
        std::snprintf(name, sizeof name, "\\shot%02d-bar%d.bmp", ++shot, bar);
        if (!WriteBmp(folder + name, screen, at)) {
            std::fprintf(stderr, "bar_shots: could not write %s%s\n", folder.c_str(), name);
            status = 1;
        }
    }
    ReleaseDC(nullptr, screen);
    bench::CloseDesk();
    return status;
}
