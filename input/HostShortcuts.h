// The host's own default shortcuts: what the keyboard does with a key that no
// programmed shortcut took. Plain data and a lookup, with no window or core in
// sight, so that the art generator draws the default shortcut picture from the
// very table the dispatcher runs on.
#pragma once
#include <cstddef>
#include <cstdint>

enum class DefaultAction : uint8_t {
    Core,             // handed to the core's own shortcut handler
    Nothing,          // dropped: Caps Lock, or two or more modifiers held
    DeskKey,          // runs the screen, bar or page key whose id is the target
    ExternalMonitor,  // shows or hides external monitor 0 or 1
    Track,            // steps the track control in the TrackDirection of the target
    ShortcutMode,     // toggles shortcut mode, on a press only
};

enum TrackDirection { kTrackLeft, kTrackUp, kTrackRight, kTrackDown };

struct HostShortcut {
    uint32_t code;  // shortcut code, as the desk key table writes it
    DefaultAction action;
    int target;
};

// The defaults that belong to no desk key. The screen, bar and page keys'
// defaults are not listed here: the desk key table's codes for them are used,
// so a key's label and what its combination does cannot drift apart.
extern const HostShortcut kHostShortcuts[];
extern const size_t kHostShortcutCount;

// What the keyboard does with a shortcut code (key plus every modifier held)
// when no programmed shortcut runs it.
HostShortcut ResolveDefaultShortcut(uint32_t code);
