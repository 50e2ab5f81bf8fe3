// The shortcut dispatcher: keys of the desk in shortcut mode.
#pragma once

// vk is a virtual-key code 1..254; pressed 1 for a press, 0 for a release.
void DispatchShortcut(int vk, int pressed);
