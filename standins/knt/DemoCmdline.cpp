// The demo console's command line: a text with a cursor that typed keys and
// clicks edit, shown by the host's command line window on request.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdio>
#include <cstring>

namespace {

const UINT kCmdlineRedraw = WM_APP + 13;
enum { kBackspace = 8, kEnter = 13, kVkEnd = 35, kVkHome = 36, kVkLeft = 37, kVkRight = 39, kVkDelete = 46 };

void EchoCommand() {
    char line[kCmdlineMax + 16];
    snprintf(line, sizeof line, "Command: %s", gDemo.cmdline);
    StandinEcho(line);
}

bool PlaceCursor(int pos) {
    if (pos < 0) pos = 0;
    if (pos > gDemo.cmdlineLength) pos = gDemo.cmdlineLength;
    const bool moved = pos != gDemo.cursor;
    gDemo.cursor = pos;
    return moved;
}

bool InsertAtCursor(char ch) {
    if (gDemo.cmdlineLength >= kCmdlineMax) return false;
    char* at = gDemo.cmdline + gDemo.cursor;
    std::memmove(at + 1, at, size_t(gDemo.cmdlineLength - gDemo.cursor) + 1);
    *at = ch;
    ++gDemo.cmdlineLength;
    ++gDemo.cursor;
    return true;
}

// Removes the character at index; the cursor stays before what follows it.
bool DeleteAt(int index) {
    if (index < 0 || index >= gDemo.cmdlineLength) return false;
    char* at = gDemo.cmdline + index;
    std::memmove(at, at + 1, size_t(gDemo.cmdlineLength - index));
    --gDemo.cmdlineLength;
    if (gDemo.cursor > index) --gDemo.cursor;
    return true;
}

void Clear() {
    gDemo.cmdlineLength = 0;
    gDemo.cmdline[0] = '\0';
    gDemo.cursor = 0;
}

}  // namespace

bool TypeCharacter(int ch) {
    if (ch >= 32 && ch < 127) return InsertAtCursor(static_cast<char>(ch));
    if (ch == kBackspace) return DeleteAt(gDemo.cursor - 1);
    if (ch == kEnter) {
        EchoCommand();
        Clear();
        return true;
    }
    return false;
}

bool PressCmdlineKey(int vk) {
    switch (vk) {
    case kVkLeft: return PlaceCursor(gDemo.cursor - 1);
    case kVkRight: return PlaceCursor(gDemo.cursor + 1);
    case kVkHome: return PlaceCursor(0);
    case kVkEnd: return PlaceCursor(gDemo.cmdlineLength);
    case kVkDelete: return DeleteAt(gDemo.cursor);
    default: return false;
    }
}

bool MoveCursor(int pos, int trimmed) {
    gDemo.trimmed = trimmed ? 1 : 0;
    return PlaceCursor(pos);
}

void RequestCmdlineRedraw(void) {
    if (hCmdlineWnd && IsWindow(hCmdlineWnd)) SendMessageA(hCmdlineWnd, kCmdlineRedraw, 0, gDemo.cursor);
}
