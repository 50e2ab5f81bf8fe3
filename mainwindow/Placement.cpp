// Window placement and option persistence: what start-up restores of the
// windows and options, and what the close stores again.
#include "mainwindow/Placement.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/MidiDevices.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "common/ScreenPlace.h"
#include "desk/DeskChildren.h"
#include "desk/DeskFrame.h"
#include "desk/ExtMonitor.h"
#include "input/FaderWnd.h"
#include "mainwindow/BackgroundWnd.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"

int gPlayMode = kDefaultPlayMode;

namespace {

const char kTempIpKey[] = ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs";
constexpr int kFirstSpecialFader = 20;
constexpr int kSpecialFaderDefaults[3] = {0, 255, 0};
constexpr int kEchoDefaultX = 10, kEchoDefaultY = 50, kEchoDefaultSize = 0x019000FA;
constexpr int kEchoMinimised = 6, kEchoShown = 9, kEchoHidden = 0;

std::string PositionKey() { return std::string(TlmRegKey) + "\\WPos"; }

bool ReadPosition(const char* name, int* value) {
    return LookUpRegKeyInt(HKEY_CURRENT_USER, name, value, PositionKey().c_str()) != -1;
}
void WritePosition(const char* name, int value) {
    WriteRegKeyInt(HKEY_CURRENT_USER, name, value, PositionKey().c_str());
}
bool ReadSetting(const char* name, int* value) {
    return LookUpRegKeyInt(HKEY_CURRENT_USER, name, value, nullptr) != -1;
}
void WriteSetting(const char* name, int value) { WriteRegKeyInt(HKEY_CURRENT_USER, name, value, nullptr); }

// A flag as stored: any positive value is on; an absent value keeps the flag.
void ReadFlag(const char* name, int* flag) {
    int stored = 0;
    if (ReadSetting(name, &stored)) *flag = stored > 0 ? 1 : 0;
}
// A value that may not exceed cap; a negative one counts as 0. Absent keeps it.
void ReadCapped(const char* name, int* value, int cap) {
    int stored = 0;
    if (ReadSetting(name, &stored)) *value = std::clamp(stored, 0, cap);
}

// A stored device index that no longer names the stored device falls back.
void ValidateMidiDevice(bool output, const char* indexName, const char* nameName, int* device, int fallback) {
    ReadSetting(indexName, device);
    if (*device == fallback) return;
    char* stored = nullptr;
    LookUpRegKeyString(HKEY_CURRENT_USER, nameName, &stored, 0);
    if (!MidiDeviceMatches(output, *device, stored)) *device = fallback;
    if (stored) FreeString(&stored);
}

void RestoreSpecialFaders() {
    unsigned char* data = CoreData();
    for (int i = 0; i < 3; ++i) {
        const int fader = kFirstSpecialFader + i;
        const char name[] = {'f', char('0' + fader / 10), char('0' + fader % 10), '\0'};
        int value = kSpecialFaderDefaults[i];
        ReadCapped(name, &value, 255);
        if (data) data[kDpFaderValues + fader] = static_cast<unsigned char>(value);
    }
    for (int i = 0; i < 3; ++i) {
        const int fader = kFirstSpecialFader + i;
        SetFaderValue(fader, data ? data[kDpFaderValues + fader] : kSpecialFaderDefaults[i]);
    }
}

// The addresses the core handed out for a while: every value with 4 bytes of
// integer or binary data goes back to the core and is removed. A value of
// another size, or with a name too long for the buffer, is passed over (not
// taken as the end) and kept; the key goes once nothing is left in it.
void ReleaseTemporaryAddresses() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_USERS, kTempIpKey, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> released;
    bool kept = false;
    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD nameSize = sizeof name, type = 0, address = 0, dataSize = sizeof address;
        const LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&address), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
        const bool isAddress = result == ERROR_SUCCESS && (type == REG_DWORD || type == REG_BINARY) &&
                               dataSize == sizeof address;
        if (!isAddress) {
            kept = true;
            continue;
        }
        CallEntry(gService.DelIPAddress, address);
        released.emplace_back(name, nameSize);
    }
    // Removed after the walk: deleting during it would shift the indices.
    for (const std::string& name : released) RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
    if (!kept) RegDeleteKeyA(HKEY_USERS, kTempIpKey);
}

void ReadViewOptions() {
    ReadFlag("showhkeys", &gShowHKeys);
    ReadFlag("showhscroll", &gShowHScroll);
    ReadFlag("showvscroll", &gShowVScroll);
    ReadFlag("save_on_shutdown", &gSaveOnShutdown);
    ReadSetting("storewnd_delayed", &VC_OPEN_STOREWND_DELAYED);
    ReadFlag("centermain_when_desktop_covered", &gCenterMainWhenCovered);
    ReadFlag("priority", &gPriorityOption);
}

int EchoShowState(int stored) {
    return stored == kEchoMinimised || stored == kEchoShown ? stored : kEchoHidden;
}

void OpenEchoWindow() {
    int state = kEchoHidden, x = kEchoDefaultX, y = kEchoDefaultY, size = kEchoDefaultSize;
    ReadSetting("echo", &state);
    ReadPosition("echox", &x);
    ReadPosition("echoy", &y);
    ReadPosition("echowh", &size);
    // Nothing read back may leave the window without a size or where no
    // screen shows it.
    if (!(DWORD(size) >> 16) || !(DWORD(size) & 0xFFFF)) size = kEchoDefaultSize;
    const DWORD wh = DWORD(size);
    const RECT place = {x, y, x + int(wh >> 16), y + int(wh & 0xFFFF)};
    if (!CaptionOnSomeMonitor(place)) x = kEchoDefaultX, y = kEchoDefaultY;
    HICON icon = LoadIconA(hInst, MAKEINTRESOURCEA(IDI_KANTREL));
    CallEntry(gService.CreateConsoleWindow, "Kantrel Ovrin Echo", hInst, icon, 0, 0);
    CallEntry(gService.SetConsolePosition, x, y, int(wh >> 16), int(wh & 0xFFFF));
    CallEntry(gService.ShowConsoleWindow, EchoShowState(state));
}

void OpenExtMonitors() {
    const struct { const char *shown, *x, *y; int display; } monitors[] = {
        {"ext1", "ext1_xp", "ext1_yp", kExtMonitor1Display},
        {"ext2", "ext2_xp", "ext2_yp", kExtMonitor2Display}};
    for (const auto& m : monitors) {
        int shown = 0, x = int(CW_USEDEFAULT), y = 0;
        ReadFlag(m.shown, &shown);
        ReadPosition(m.x, &x);
        ReadPosition(m.y, &y);
        CreateExtMonitor(m.display, x, y, shown);
    }
}

void ReadPlayMode() {
    int stored = 0;
    if (ReadSetting("play_mode", &stored) && stored >= kFirstPlayMode && stored <= kLastPlayMode) gPlayMode = stored;
}

// The echo window's state; its position only when it is not minimised, so a
// minimised window keeps the position it had before.
void SaveEchoWindow() {
    HWND echo = CallEntry(gService.HasConsoleWindow);
    if (!echo) return;
    int state = kEchoMinimised;
    if (!IsIconic(echo)) {
        state = IsWindowVisible(echo) ? kEchoShown : kEchoHidden;
        RECT r;
        if (GetWindowRect(echo, &r)) {
            WritePosition("echox", r.left);
            WritePosition("echoy", r.top);
            WritePosition("echowh", int((DWORD(r.right - r.left) << 16) + DWORD(r.bottom - r.top)));
        }
    }
    WriteSetting("echo", state);
}

void SaveMainWindow(HWND main) {
    RECT r;
    if (IsIconic(main) || !GetWindowRect(main, &r)) return;
    WritePosition("xp", r.left);
    WritePosition("yp", r.top);
    WritePosition("sz", int((DWORD(r.right - r.left) << 16) + DWORD(r.bottom - r.top)));
}

void SaveExtMonitors() {
    const struct { const char *shown, *x, *y; int display; } monitors[] = {
        {"ext1", "ext1_xp", "ext1_yp", kExtMonitor1Display},
        {"ext2", "ext2_xp", "ext2_yp", kExtMonitor2Display}};
    for (const auto& m : monitors) {
        ExtMonitorPlacement placement{};
        if (!GetExtMonitorPlacement(m.display, &placement)) continue;
        WriteSetting(m.shown, placement.shown);
        WritePosition(m.x, placement.x);
        WritePosition(m.y, placement.y);
    }
}

void SaveScrollPosition(const char* name, bool vertical) {
    HWND bar = DeskScrollBar(vertical);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (bar && GetScrollInfo(bar, SB_CTL, &info)) WriteSetting(name, info.nPos);
}

}  // namespace

RECT MainWindowPlacement(const RECT& work, bool stored, DWORD sz, int xp, int yp) {
    const int areaWidth = std::max(0L, work.right - work.left), areaHeight = std::max(0L, work.bottom - work.top);
    int width = std::min(areaWidth, kDeskWidth), height = std::min(areaHeight, kDeskHeight);
    int x = work.left, y = work.top;
    const int storedWidth = int(sz >> 16), storedHeight = int(sz & 0xFFFF);
    if (stored && storedWidth > 0 && storedHeight > 0) {
        // A size too small to take hold of grows to the smallest usable one.
        width = std::min(std::max(storedWidth, kMinDeskWidth), width);
        height = std::min(std::max(storedHeight, kMinDeskHeight), height);
        // Clamped against the work area itself, not the screen's origin.
        x = std::clamp(xp, int(work.left), int(work.left) + std::max(0, areaWidth - width));
        y = std::clamp(yp, int(work.top), int(work.top) + std::max(0, areaHeight - height));
    }
    return RECT{x, y, x + width, y + height};
}

void PlaceMainWindow(HWND main) {
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) SetRect(&work, 0, 0, kDeskWidth, kDeskHeight);
    int sz = 0, yp = 0, xp = 0;
    const bool haveSize = ReadPosition("sz", &sz);
    const bool haveY = ReadPosition("yp", &yp);
    const bool haveX = ReadPosition("xp", &xp);
    const RECT place = MainWindowPlacement(work, haveSize && haveY && haveX, DWORD(sz), xp, yp);
    SetWindowPos(main, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top, 0);
}

void LoadWindowSettings(HWND main) {
    ValidateMidiDevice(false, "midi_in_dev", "midi_in_devname", &midi_in_dev, 0);
    ValidateMidiDevice(true, "midi_out_dev", "midi_out_devname", &midi_out_dev, -1);
    ReadSetting("print", &VC_SENDOUTPUT_TO_FILE);
    RestoreSpecialFaders();
    if (!DisableCDPlayer) ReadCapped("trigger_timecode", &cd_trigger_timecode, 1);
    ReleaseTemporaryAddresses();
    int cover = 0;
    ReadSetting("coverDesktop", &cover);
    if (cover) CreateBackgroundWindow(main);
    ReadViewOptions();
    PlaceDeskOnCover(main);
    OpenEchoWindow();
    OpenExtMonitors();
    ReadPlayMode();
}

void RestoreDeskScrollPositions(HWND main) {
    int horizontal = 0, vertical = 0;
    ReadCapped("vpos", &vertical, kDeskHeight - 1);
    ReadCapped("hpos", &horizontal, kDeskWidth - 1);
    SetDeskScrollOffsets(main, horizontal, vertical);
}

void SaveWindowSettings(HWND main) {
    WriteSetting("coverDesktop", BackgroundWindowExists() ? 1 : 0);
    if (const unsigned char* data = CoreData()) {
        WriteSetting("f20", data[kDpFaderValues + 20]);
        WriteSetting("f21", data[kDpFaderValues + 21]);
        WriteSetting("f22", data[kDpFaderValues + 22]);
    }
    if (!DisableCDPlayer) WriteSetting("trigger_timecode", cd_trigger_timecode);
    WriteSetting("cLock", gCmdLineLock);
    WriteSetting("sLock", gShortcutMode);
    WriteSetting("touch", current_touch);
    WriteSetting("bar", current_bar);
    SaveEchoWindow();
    SaveMainWindow(main);
    SaveExtMonitors();
    SaveScrollPosition("hpos", false);
    SaveScrollPosition("vpos", true);
    WriteSetting("play_mode", gPlayMode);
}
