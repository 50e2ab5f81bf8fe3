// Pictures of the whole desk for comparing two builds pixel by pixel: for each
// fader bar, with and without the shortcuts shown, the desk as the bar switch
// left it, then with lamps lit and a key held down, then after a full repaint
// of that, so that every drawing path is compared.
//   desk_shots.exe OUTPUT_FOLDER   ->  bar1-switched.bmp, bar1.bmp, bar1-repainted.bmp,
//                                      bar1-shortcuts-switched.bmp, ...
#include <cstdio>
#include <string>
#include <vector>

#include "app/CoreSession.h"
#include "app/hostlibs/HostStateLib.h"
#include "bench/BenchDesk.h"
#include "mainwindow/DeskView.h"
#include "desk/KeyWnd.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"

namespace {

// Lamps of the keys of every bar: executor lamps and their second ones,
// single keys in each lamp colour, and lamps a key press toggles as well.
constexpr int kLamps[] = {135, 151, 167, 66, 203, 196, 231, 230, 138, 128, 154, 137, 136, 169, 175,
                          8,   40,  10,  24, 72,  104, 9,   41,  33,  97,  2,   18,  37,  216, 118};
// A key shown on each bar that a press draws sunk: ordinary keys, and an
// executor button where bar 5 shows them.
constexpr int kPressedKey[6] = {150, 195, 201, 180, 61, 193};

void SetLamps(int on) {
    auto set = reinterpret_cast<StandinSetLampFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("knt.dll"), "StandinSetLamp")));
    if (!set) return;
    for (int lamp : kLamps) set(lamp, on);
}

void RepaintDesk() {
    RedrawWindow(bench::DeskWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    bench::Pump();
}

// The desk's client area as the window system holds it, children included.
bool SaveDesk(const std::string& path) {
    HWND desk = bench::DeskWindow();
    RECT client;
    GetClientRect(desk, &client);
    const int width = client.right, height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!shot) return false;
    HDC deskDC = GetDC(desk);
    HDC memory = CreateCompatibleDC(deskDC);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, deskDC, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(desk, deskDC);
    const DWORD rowBytes = DWORD((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * DWORD(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageBytes;
    bool ok = false;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, imageBytes, 1, out) == 1;
        ok = std::fclose(out) == 0 && ok;
    }
    DeleteObject(shot);
    return ok;
}

bool ShootBar(const std::string& folder, int bar, bool shortcuts) {
    gShowHKeys = 1;
    // Through the desk's own switch, which has every key drawn anew: a bar
    // switch repaints only the windows that came or went.
    SetShortcutMode(bench::DeskWindow(), shortcuts ? 1 : 0);
    StandinSetResult("IsHtpActiv", bar <= 2 ? 1 : 0);
    SelectFaderBar(bar);
    bench::Pump();
    const std::string name = folder + "\\bar" + std::to_string(bar) + (shortcuts ? "-shortcuts" : "");
    bool ok = SaveDesk(name + "-switched.bmp");
    SetLamps(1);
    HWND key = KeyWindowOfId(kPressedKey[bar - 1]);
    if (key) SendMessageA(key, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    bench::Pump();
    ok = SaveDesk(name + ".bmp") && ok;
    RepaintDesk();
    ok = SaveDesk(name + "-repainted.bmp") && ok;
    if (key) SendMessageA(key, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    SetLamps(0);
    bench::Pump();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: desk_shots OUTPUT_FOLDER\n");
        return 2;
    }
    if (!bench::OpenDesk()) return 1;
    bool ok = true;
    for (bool shortcuts : {false, true})
        for (int bar = 1; bar <= 6; ++bar) ok = ShootBar(argv[1], bar, shortcuts) && ok;
    bench::CloseDesk();
    std::printf("%s\n", ok ? "pictures written" : "a picture could not be written");
    return ok ? 0 : 1;
}
