// The shortcut dispatcher: the user's programmed shortcuts first, then the
// host's own defaults, then the core's shortcut handler.
#include "input/KeyboardDispatch.h"

#include <windows.h>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "common/Text.h"
#include "mainwindow/DeskView.h"
#include "desk/KeyTable.h"
#include "desk/KeyWnd.h"
#include "input/CoreCounters.h"
#include "input/HostShortcuts.h"
#include "mainwindow/MainWindow.h"

int gExtMonShown[2];

namespace {

constexpr int kFaderModeStatus = 177;
constexpr int kEncoderPressStatus = 104;  // encoder 1; 105..107 for the others
constexpr int kFirstCommandName = kFirstSpecialCommand;
constexpr int kEncoderLeft = 270;
constexpr int kEncoderRight = 274;
constexpr int kScrollUp = 278;
constexpr int kScrollDown = 279;
constexpr int kScrollLeft = 280;
constexpr int kScrollRight = 281;
constexpr int kScrollPress = 282;
constexpr int kEncoderTurnStep = 15;
constexpr int kLabelSize = 32;

// Core modifier word of InvokeShortcut.
constexpr int kCoreCtrl = 0x0C;
constexpr int kCoreShift = 0x10;
constexpr int kCoreAlt = 0x01;
constexpr int kCoreCapsLock = 0x80;

const char* const kCommandNames[kCommandNameCount] = {
    "1. ENCODER UP",    "1. ENCODER DOWN",  "1. ENCODER PRESS", "2. ENCODER UP",    "2. ENCODER DOWN",
    "2. ENCODER PRESS", "3. ENCODER UP",    "3. ENCODER DOWN",  "3. ENCODER PRESS", "4. ENCODER UP",
    "4. ENCODER DOWN",  "4. ENCODER PRESS", "1. ENCODER LEFT",  "2. ENCODER LEFT",  "3. ENCODER LEFT",
    "4. ENCODER LEFT",  "1. ENCODER RIGHT", "2. ENCODER RIGHT", "3. ENCODER RIGHT", "4. ENCODER RIGHT",
    "SCROLLENC UP",     "SCROLLENC DOWN",   "SCROLLENC LEFT",   "SCROLLENC RIGHT",  "SCROLLENC PRESS",
    "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---",
    "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---",
};

ShortcutList* gList;  // null while the list does not exist
int gUseProgrammed;
int gProgrammedOnly;
int gScrollPush;  // the scroll encoder press was asserted by SCROLLENC LEFT/RIGHT
char gLabel[kLabelSize];

struct Held {
    bool shift;
    bool ctrl;
    bool alt;
    bool capsLock;  // the Caps Lock byte is non-zero
    int Count() const { return int(shift) + int(ctrl) + int(alt); }
};

// One read of the whole keyboard state: it holds what GetKeyState answers key
// by key, and each of those answers costs a round trip to the window system
// on some platforms, on every key the desk gets.
Held HeldModifiers() {
    BYTE keys[256] = {};
    if (!GetKeyboardState(keys)) return Held{false, false, false, false};
    const auto down = [&keys](int vk) { return (keys[vk] & 0x80) != 0; };
    return Held{down(VK_SHIFT), down(VK_CONTROL), down(VK_MENU), keys[VK_CAPITAL] != 0};
}

int32_t ShortcutCode(int vk, const Held& held) {
    uint32_t code = uint32_t(vk);
    if (held.shift) code += kShortcutShift;
    if (held.alt) code += kShortcutAlt;
    if (held.ctrl) code += kShortcutCtrl;
    return int32_t(code);
}

int CoreModifierFlags(const Held& held) {
    int flags = 0;
    if (held.ctrl) flags |= kCoreCtrl;
    if (held.shift) flags |= kCoreShift;
    if (held.alt) flags |= kCoreAlt;
    if (held.capsLock) flags |= kCoreCapsLock;
    return flags;
}

int ReadFlag(const char* name) {
    int value = 0;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, name, &value, nullptr) == -1) return 0;
    return value > 0 ? 1 : 0;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

int EncoderCounter(int encoder) { return kDpEncoder1 + 2 * encoder; }

// ---- commands ---------------------------------------------------------------

void SelectViewOnPress(int view, int pressed) {
    if (pressed == 1 && current_touch != view) SelectTouchView(view, false);
}

// Bar 5 carries the executor buttons: the core hears the fader-mode pulse
// with every press and release, selected or not.
void SelectBarOnPress(int bar, int pressed) {
    if (pressed == 1 && current_bar != bar) SelectFaderBar(bar);
    if (bar == 5) CallEntry(gCore.VC_SetStatus, kFaderModeStatus, pressed);
}

void ScrollPush(int pressed, int delta) {
    if (pressed) {
        if (!gScrollPush) {
            PressScrollEncoder(1);
            gScrollPush = 1;
        }
        TurnTouchScroll(delta);
    } else {
        PressScrollEncoder(0);
        gScrollPush = 0;
    }
}

void RunSpecialCommand(int command, int pressed) {
    if (command < kEncoderLeft) {
        const int encoder = (command - kFirstSpecialCommand) / 3;
        switch ((command - kFirstSpecialCommand) % 3) {
        case 0: AddToCoreCounter(EncoderCounter(encoder), 1); break;
        case 1: AddToCoreCounter(EncoderCounter(encoder), -1); break;
        default: CallEntry(gCore.VC_SetStatus, kEncoderPressStatus + encoder, pressed); break;
        }
        return;
    }
    if (command < kEncoderRight) {
        AddToCoreCounter(EncoderCounter(command - kEncoderLeft), -kEncoderTurnStep);
        return;
    }
    if (command < kScrollUp) {
        AddToCoreCounter(EncoderCounter(command - kEncoderRight), kEncoderTurnStep);
        return;
    }
    switch (command) {
    case kScrollUp: if (pressed) TurnTouchScroll(-1); break;
    case kScrollDown: if (pressed) TurnTouchScroll(1); break;
    case kScrollLeft: ScrollPush(pressed, -1); break;
    case kScrollRight: ScrollPush(pressed, 1); break;
    case kScrollPress: PressScrollEncoder(pressed); break;
    }
}

void RunCommand(int command, int pressed) {
    if (InRange(command, kScreenKeyId, kScreenKeyId + kScreenKeyCount - 1))
        SelectViewOnPress(command - kScreenKeyId, pressed);
    else if (InRange(command, kBarKeyId, kBarKeyId + kBarKeyCount - 1))
        SelectBarOnPress(command - kBarKeyId + 1, pressed);
    else if (command == kPageUpKeyId || command == kPageDownKeyId)
        PageKey(command, pressed);
    else if (InRange(command, kFirstSpecialCommand, kLastSpecialCommand))
        RunSpecialCommand(command, pressed);
    else
        CallEntry(gCore.VC_SetStatus, command, pressed);
}

// ---- default shortcuts ------------------------------------------------------

void ToggleExternalMonitor(HWND monitor, int index, int pressed) {
    if (pressed != 1 || !monitor) return;
    if (GetWindowLongPtrA(monitor, GWL_STYLE) & WS_VISIBLE) {
        ShowWindow(monitor, SW_HIDE);
        gExtMonShown[index] = 0;
    } else {
        ShowWindow(monitor, SW_RESTORE);
        gExtMonShown[index] = 1;
    }
}

void MoveTrack(int direction) {
    const long long resolution = CallEntry(gCore.GetTrackResolution);
    switch (direction) {
    case kTrackLeft: AddToCoreCounter(kDpTrackHorizontal, resolution); break;
    case kTrackUp: AddToCoreCounter(kDpTrackVertical, -resolution); break;
    case kTrackRight: AddToCoreCounter(kDpTrackHorizontal, -resolution); break;
    case kTrackDown: AddToCoreCounter(kDpTrackVertical, resolution); break;
    }
}

void RunDefault(int vk, int pressed, const Held& held) {
    const HostShortcut found = ResolveDefaultShortcut(uint32_t(ShortcutCode(vk, held)));
    switch (found.action) {
    case DefaultAction::Core: CallEntry(gCore.InvokeShortcut, vk, CoreModifierFlags(held), pressed); break;
    case DefaultAction::Nothing: break;
    // The screen, bar and page keys run as the desk key would.
    case DefaultAction::DeskKey: RunCommand(found.target, pressed); break;
    case DefaultAction::ExternalMonitor:
        ToggleExternalMonitor(found.target == 0 ? hExt1Wnd : hExt2Wnd, found.target, pressed);
        break;
    case DefaultAction::Track: MoveTrack(found.target); break;
    case DefaultAction::ShortcutMode:
        if (pressed == 1) SetShortcutMode(hMainWnd, 2);
        break;
    }
}

// ---- labels -----------------------------------------------------------------

const char* ModifierWord(uint32_t code) {
    if (code & kShortcutShift) return "Shift ";
    if (code & kShortcutAlt) return "Alt ";
    if (code & kShortcutCtrl) return "Ctrl ";
    return "";
}

void FormatLabel(uint32_t code) {
    const char* word = ModifierWord(code);
    const unsigned key = code & kShortcutKeyMask;
    const char* format = nullptr;
    switch (key) {
    case VK_BACK: format = "(%sBs)"; break;
    case VK_SPACE: format = "(%sSpace)"; break;
    case VK_PRIOR: format = "(%sPgUp)"; break;
    case VK_NEXT: format = "(%sPgDn)"; break;
    case VK_END: format = "(%sEnd)"; break;
    case VK_HOME: format = "(%sHome)"; break;
    case VK_INSERT: format = "(%sIns)"; break;
    case VK_DELETE: format = "(%sDel)"; break;
    }
    if (format)
        FormatBounded(gLabel, sizeof gLabel, format, word);
    else if (InRange(int(key), VK_F1, VK_F12))
        FormatBounded(gLabel, sizeof gLabel, "(%sF%u)", word, key - VK_F1 + 1);
    else
        FormatBounded(gLabel, sizeof gLabel, "(%s%c)", word, char(key));
}

bool ListInUse() { return gList && gUseProgrammed == 1 && !gList->empty(); }

}  // namespace

void LoadShortcutSettings() {
    delete gList;
    gList = new ShortcutList;
    gScrollPush = 0;
    gShortcutMode = ReadFlag("sLock");
    LoadShortcutFile(gList);
    gProgrammedOnly = ReadFlag("pscOnly");
    // Without a single shortcut the setting would only hide the defaults.
    gUseProgrammed = gList->empty() ? 0 : ReadFlag("pscActive");
}

void ReleaseShortcutList() {
    delete gList;
    gList = nullptr;
    gScrollPush = 0;
}

void DispatchShortcut(int vk, int pressed) {
    if (!gShortcutMode || !gList || !InRange(vk, 1, 254)) return;
    const Held held = HeldModifiers();
    if (gUseProgrammed == 1) {
        const auto entry = gList->find(ShortcutCode(vk, held));
        if (entry != gList->end()) {
            RunCommand(entry->second, pressed);
            return;
        }
        if (gProgrammedOnly == 1) return;
    }
    RunDefault(vk, pressed, held);
}

const char* ShortcutLabel(int keyId) {
    gLabel[0] = '\0';
    if (!ListInUse()) return gLabel;
    for (const auto& entry : *gList) {
        if (entry.second == keyId) {
            FormatLabel(uint32_t(entry.first));
            break;
        }
    }
    return gLabel;
}

bool ProgrammedShortcutText(int keyId, char* buf, size_t size) {
    CopyBounded(buf, size, ShortcutLabel(keyId));
    return gUseProgrammed == 1;
}

int DefaultShortcutTaken(uint32_t code) { return ListInUse() && gList->count(int32_t(code)) ? 1 : 0; }

int UsesProgrammedShortcuts() { return gUseProgrammed; }
int ProgrammedShortcutsOnly() { return gProgrammedOnly; }

void SetProgrammedShortcutFlags(int use, int only) {
    gUseProgrammed = use ? 1 : 0;
    gProgrammedOnly = only ? 1 : 0;
}

const ShortcutList* ProgrammedShortcuts() { return gList; }

bool ReplaceProgrammedShortcuts(const ShortcutList& list) {
    if (!gList) return false;
    gList->clear();
    for (const auto& entry : list)
        if (IsValidShortcutEntry(entry.first, entry.second)) gList->insert(entry);
    return true;
}

const char* ShortcutCommandName(int command) {
    if (!InRange(command, kFirstCommandName, kFirstCommandName + kCommandNameCount - 1)) return nullptr;
    return kCommandNames[command - kFirstCommandName];
}
