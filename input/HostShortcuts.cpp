// The host's own default shortcuts and the lookup the dispatcher runs them by.
#include "input/HostShortcuts.h"

#include <windows.h>

#include "desk/KeyTable.h"

const HostShortcut kHostShortcuts[] = {
    {kShortcutCtrl + VK_F4, DefaultAction::ExternalMonitor, 0},
    {kShortcutCtrl + VK_F5, DefaultAction::ExternalMonitor, 1},
    {kShortcutAlt + VK_LEFT, DefaultAction::Track, kTrackLeft},
    {kShortcutAlt + VK_UP, DefaultAction::Track, kTrackUp},
    {kShortcutAlt + VK_RIGHT, DefaultAction::Track, kTrackRight},
    {kShortcutAlt + VK_DOWN, DefaultAction::Track, kTrackDown},
    {VK_INSERT, DefaultAction::ShortcutMode, 0},
};
const size_t kHostShortcutCount = sizeof kHostShortcuts / sizeof kHostShortcuts[0];

namespace {

int ModifierCount(uint32_t code) {
    return int((code & kShortcutShift) != 0) + int((code & kShortcutAlt) != 0) + int((code & kShortcutCtrl) != 0);
}

}  // namespace

HostShortcut ResolveDefaultShortcut(uint32_t code) {
    if ((code & kShortcutKeyMask) == VK_CAPITAL || ModifierCount(code) > 1)
        return {code, DefaultAction::Nothing, 0};
    // The screen, bar and page keys sit in consecutive rows (see KeyTable.h).
    for (int row = kScreenKeyRow; row <= kPageDownRow; ++row) {
        const KeyRecord* key = KeyRow(row);
        if (key && key->defaultShortcut == code) return {code, DefaultAction::DeskKey, key->keyId};
    }
    for (const HostShortcut& entry : kHostShortcuts)
        if (entry.code == code) return entry;
    return {code, DefaultAction::Core, 0};
}
