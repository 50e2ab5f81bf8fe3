// The shortcut dispatcher. Programmed and default shortcuts join later; until
// then every key goes to the core's own shortcut handler.
#include "input/KeyboardDispatch.h"

#include <windows.h>

#include "app/CoreBinding.h"

namespace {
bool Down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

int ModifierFlags() {
    int flags = 0;
    if (Down(VK_CONTROL)) flags |= 0x0C;
    if (Down(VK_SHIFT)) flags |= 0x10;
    if (Down(VK_MENU)) flags |= 0x01;
    if (GetKeyState(VK_CAPITAL) & 1) flags |= 0x80;
    return flags;
}
}  // namespace

void DispatchShortcut(int vk, int pressed) { CallEntry(gCore.InvokeShortcut, vk, ModifierFlags(), pressed); }

// Programmed shortcuts are not kept yet, so no key has one.
bool ProgrammedShortcutText(int, char* buf, size_t size) {
    if (buf && size) buf[0] = '\0';
    return false;
}
