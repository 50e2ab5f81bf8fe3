// The start-up benchmark's second floor: the desk's own window tree and
// nothing else. It reads the tree the desk wrote (KNT_WINDOW_TREE), registers
// the same classes with the same class styles (a device context of its own
// where the desk's class has one), makes the same windows with the same
// styles, places and visibility, shows the top one, lets it paint and
// waits; no drawing, no pictures, no fonts, no core. It ends when its window
// is closed.
//   same_window_floor.exe TREE_FILE
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const char kTitle[] = "Same-window floor";
const char kPaintedTitle[] = "Same-window floor painted";
HWND gTop;

// Nothing is drawn: a paint only marks the window painted, as the desk's
// keys do, and the top window has no frame, as the desk's has none.
LRESULT CALLBACK FloorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: ValidateRect(wnd, nullptr); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: return 0;
    case WM_NCCALCSIZE: return 0;
    case WM_DESTROY:
        if (wnd == gTop) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct Line {
    int index, parent;
    unsigned long classStyle, style, exStyle;
    long x, y, width, height;
    int id;
    char owner[8], name[64];
};

bool Parse(const char* text, Line* line) {
    return sscanf(text, "%d %d %lx %lx %lx %ld %ld %ld %ld %d %7s %63s", &line->index, &line->parent,
                  &line->classStyle, &line->style, &line->exStyle, &line->x, &line->y, &line->width, &line->height,
                  &line->id, line->owner, line->name) == 12;
}

// A class of the desk's own stands in with the floor's procedure, under a
// name of the floor's (a desk looks for a running one by its class name);
// the system's classes (scroll bars) are the system's.
void RegisterLike(HINSTANCE instance, Line* line) {
    if (lstrcmpA(line->owner, "own") != 0) return;
    char name[sizeof line->name];
    wsprintfA(name, "Floor%s", line->name);
    lstrcpynA(line->name, name, sizeof line->name);
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, line->name, &wc)) return;
    wc.style = UINT(line->classStyle);
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = line->name;
    RegisterClassA(&wc);
}

// The desk's window (the first line) shows only once all are made; the
// desk's other top windows (monitors) are made as they were.
HWND Make(HINSTANCE instance, const Line& line, HWND parent) {
    const bool desk = line.index == 0;
    const DWORD style = DWORD(line.style) & ~DWORD(desk ? WS_VISIBLE : 0);
    return CreateWindowExA(DWORD(line.exStyle), line.name, desk ? kTitle : nullptr, style, int(line.x),
                           int(line.y), int(line.width), int(line.height), parent,
                           parent ? reinterpret_cast<HMENU>(INT_PTR(line.id)) : nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    FILE* file = fopen(commandLine, "r");
    if (!file) return 1;
    std::vector<HWND> made;
    char text[256];
    Line line = {};
    while (fgets(text, sizeof text, file)) {
        if (!Parse(text, &line) || line.index != int(made.size())) break;
        RegisterLike(instance, &line);
        HWND parent = line.parent >= 0 && line.parent < int(made.size()) ? made[size_t(line.parent)] : nullptr;
        made.push_back(line.parent < 0 || parent ? Make(instance, line, parent) : nullptr);
    }
    fclose(file);
    gTop = made.empty() ? nullptr : made[0];
    if (!gTop) return 1;
    ShowWindow(gTop, SW_SHOW);
    UpdateWindow(gTop);
    // The window is mapped early in the show, before the system has erased
    // each window (and made the device context of each that has its own):
    // the new title tells the benchmark when the show and paint are over.
    SetWindowTextA(gTop, kPaintedTitle);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
