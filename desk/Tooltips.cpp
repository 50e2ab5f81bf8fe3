// The tooltip control of the desk, its text table and its message hook.
#include "desk/Tooltips.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/CdPanel.h"
#include "common/Text.h"
#include "desk/KeyTable.h"
#include "input/FaderWnd.h"

namespace {

// The tool record's size as the build's own headers lay it out (their
// TTTOOLINFOA_V2_SIZE): 44 bytes on 32 bits, more on 64. The version-2 record
// is the one every tooltip control accepts.
constexpr UINT kToolInfoSize = UINT(offsetof(TOOLINFOA, lParam) + sizeof(LPARAM));
static_assert(sizeof(void*) != 4 || kToolInfoSize == 44, "the 32-bit tool record is 44 bytes");

HWND gTooltip;
HHOOK gHook;
// The desk window the tools belong to, and its children that get a tool,
// noted at the start: the control that holds them is made when first needed.
HWND gOwner;
std::vector<HWND> gTools;
char gText[kTooltipTextCapacity];

constexpr int kExecutorKeyRows = 60;  // rows 0..59: ExecBtn2, rows 60..99: ExecBtn1
constexpr int kSpecialFaderId = kFirstFaderId + 20;
constexpr int kCoreFaderCount = 20;

const char* const kSpecialFaderTexts[] = {"EXECUTOR FADER", "GRANDMASTER", "PRESET FADER", "Volume"};
// Indexed by the CD player window's place on the panel; null: no text.
const char* const kCdPanelTexts[] = {"Previous Track", "Fast Backward", "Stop", "Pause",
                                     "Play", "Fast Forward", "Next Track", "Select Track / Change Time Display",
                                     nullptr, "Eject", "Trigger Timecode"};
// Key ids 247..255: screens and fader bars.
const char* const kScreenAndBarTexts[] = {
    "SHOW SCREEN 1", "SHOW SCREEN 2", "SHOW SCREEN 3", "SHOW CHANNEL FADERS 1 - 10", "SHOW CHANNEL FADERS 11 - 20",
    "SHOW EXECUTOR FADERS 1 - 10", "SHOW EXECUTOR FADERS 11 - 20", "SHOW EXECUTOR BUTTONS", "SHOW ENCODERS"};

// The core's text lives in the core; the tip shows the host's copy, cut to
// what the tooltip control keeps anyway.
const char* FromCore(const char* text) {
    if (!text) return nullptr;
    CopyBounded(gText, sizeof gText, text);
    return gText;
}

const char* PageKeyText(bool up) {
    switch (current_bar) {
    case 1:
    case 2: return up ? "Channel Fader PageUp" : "Channel Fader PageDown";
    case 3:
    case 4: return up ? "Executor Fader PageUp" : "Executor Fader PageDown";
    case 5: return up ? "Executor Button PageUp" : "Executor Button PageDown";
    default: return nullptr;
    }
}

const char* KeyText(int row) {
    if (row < kExecutorKeyRows) return FromCore(CallEntry(gCore.ExecBtn2Tooltip, row + 1));
    if (row < kExecutorKeyCount) return FromCore(CallEntry(gCore.ExecBtn1Tooltip, row + 1));
    const KeyRecord* key = KeyRow(row);
    if (!key) return nullptr;
    if (key->keyId == kPageUpKeyId || key->keyId == kPageDownKeyId) return PageKeyText(key->keyId == kPageUpKeyId);
    if (key->keyId >= kScreenKeyId && key->keyId < kPageUpKeyId) return kScreenAndBarTexts[key->keyId - kScreenKeyId];
    return FromCore(CallEntry(gCore.KntBtnTooltip, key->keyId));
}

BOOL CALLBACK NoteTool(HWND wnd, LPARAM) {
    if (GetDlgCtrlID(wnd) < kFirstUntippedId) gTools.push_back(wnd);
    return TRUE;
}

void AddTool(HWND wnd) {
    TOOLINFOA tool = {};
    tool.cbSize = kToolInfoSize;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = gOwner;
    tool.uId = reinterpret_cast<UINT_PTR>(wnd);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(gTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool IsTool(HWND wnd) { return std::find(gTools.begin(), gTools.end(), wnd) != gTools.end(); }

// The common controls library and the control with its tools cost a shown
// desk over a megabyte and their time before any tip can be wanted: they are
// made when the pointer first moves over a tool, or when asked for.
HWND MadeTooltip() {
    if (gTooltip || !gOwner || !IsWindow(gOwner)) return gTooltip;
    InitCommonControls();
    gTooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, gOwner, nullptr, hInst, nullptr);
    if (gTooltip)
        for (HWND wnd : gTools)
            if (IsWindow(wnd)) AddTool(wnd);
    return gTooltip;
}

bool Relayed(UINT msg) {
    return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
           msg == WM_RBUTTONUP;
}

// Only messages taken off the queue: a peek that leaves one there would
// otherwise relay it twice.
LRESULT CALLBACK RelayHook(int code, WPARAM wp, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (code >= 0 && wp == PM_REMOVE && msg && Relayed(msg->message) && IsChild(hMainWnd, msg->hwnd) &&
        (gTooltip || IsTool(msg->hwnd)) && MadeTooltip()) {
        MSG relay = {msg->hwnd, msg->message, msg->wParam, msg->lParam, 0, {0, 0}};
        SendMessageA(gTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    return CallNextHookEx(gHook, code, wp, lp);
}

}  // namespace

const char* TooltipTextFor(int id) {
    if (id >= 0 && id < kKeyCount) return KeyText(id);
    if (id >= kSpecialFaderId && id < kSpecialFaderId + 4) return kSpecialFaderTexts[id - kSpecialFaderId];
    if (id >= kFirstFaderId && id < kFirstFaderId + kCoreFaderCount)
        return FromCore(CallEntry(gCore.SliderTooltip, id - kFirstFaderId));
    const int cdCount = int(sizeof kCdPanelTexts / sizeof kCdPanelTexts[0]);
    if (id == kFirstCdPanelId + kCdStatusDisplay) return CdStatusTooltip();
    if (id >= kFirstCdPanelId && id < kFirstCdPanelId + cdCount) return kCdPanelTexts[id - kFirstCdPanelId];
    return nullptr;
}

bool CreateTooltips(HWND main) {
    gTooltip = nullptr;
    gOwner = main;
    gTools.clear();
    if (!main || !EnumChildWindows(main, NoteTool, 0)) return false;
    if (!gHook) gHook = SetWindowsHookExA(WH_GETMESSAGE, RelayHook, nullptr, GetCurrentThreadId());
    return gHook != nullptr;
}

HWND TooltipWindow() { return MadeTooltip(); }

void TooltipNotify(LPARAM notice) {
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(notice);
    if (!info || !gTooltip || info->hdr.hwndFrom != gTooltip || info->hdr.code != UINT(TTN_NEEDTEXTA)) return;
    if (!CallEntry(gCore.NeedHelp)) return;
    const char* text = TooltipTextFor(GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom)));
    if (text) info->lpszText = const_cast<char*>(text);
}
