// The shortcut dispatcher: keys of the desk in shortcut mode.
#pragma once

// vk is a virtual-key code 1..254; pressed 1 for a press, 0 for a release.
void DispatchShortcut(int vk, int pressed);

#include <cstddef>
// The programmed shortcut of a key id as the key shows it, "(Shift F1)";
// false, with buf empty, when programmed shortcuts are off or none is set.
bool ProgrammedShortcutText(int keyId, char* buf, size_t size);
