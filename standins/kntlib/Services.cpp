// The service group of the stand-in core: the echo console, the temporary
// address list and the core data block.
#include "app/CoreEntryPoints.h"
#include "standins/StandinControl.h"
#include "KntLib.h"

#include <algorithm>
#include <cstring>
#include <vector>

#define DECLARE_SERVICE(member, name, ret, params) extern "C" __declspec(dllexport) ret member params;
KNT_SERVICE_ENTRY_POINTS(DECLARE_SERVICE)
#undef DECLARE_SERVICE

namespace {

const size_t kCoreDataSize = 8192;
static_assert(kCoreDataSize >= kDpMinimumSize, "the host uses offsets up to kDpMinimumSize");

alignas(16) unsigned char gCoreData[kCoreDataSize];

StandinLock gAddressLock;
std::vector<DWORD> gAddresses;

// The host's show commands; anything else is not passed on.
int ShowCommandFor(int showCmd) {
    switch (showCmd) {
    case 0: return SW_HIDE;
    case 6: return SW_MINIMIZE;
    case 9: return SW_RESTORE;
    default: return -1;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // Unloaded while the process goes on: a window whose procedure is gone
    // would crash the next message sent to it.
    if (reason == DLL_PROCESS_DETACH && !reserved) ReleaseEchoWindow();
    return TRUE;
}

HWND CreateConsoleWindow(const char* title, HINSTANCE inst, HICON icon, int a, int b) {
    StandinJournal(__func__, {title, inst, icon, a, b});
    return CreateEchoWindow(title, icon);
}

int DestroyConsoleWindow(void) {
    StandinJournal(__func__, {});
    return DestroyEchoWindow() ? 1 : 0;
}

HWND HasConsoleWindow(void) {
    StandinJournal(__func__, {});
    return EchoWindow();
}

int ShowConsoleWindow(int showCmd) {
    StandinJournal(__func__, {showCmd});
    HWND wnd = EchoWindow();
    int cmd = ShowCommandFor(showCmd);
    if (!wnd || cmd < 0) return 0;
    if (cmd == SW_RESTORE && !IsIconic(wnd)) cmd = SW_SHOW;
    ShowWindow(wnd, cmd);
    return 1;
}

int SetParentOfConsole(HWND parent) {
    StandinJournal(__func__, {parent});
    return EchoWindow() ? 1 : 0;
}

int SetConsolePosition(int x, int y, int w, int h) {
    StandinJournal(__func__, {x, y, w, h});
    HWND wnd = EchoWindow();
    return wnd && SetWindowPos(wnd, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE) ? 1 : 0;
}

int DelIPAddress(DWORD address) {
    StandinJournal(__func__, {address});
    StandinGuard guard(gAddressLock);
    size_t before = gAddresses.size();
    gAddresses.erase(std::remove(gAddresses.begin(), gAddresses.end(), address), gAddresses.end());
    return gAddresses.size() != before ? 1 : 0;
}

int DeleteIPAddresses(void) {
    StandinJournal(__func__, {});
    StandinGuard guard(gAddressLock);
    gAddresses.clear();
    return 1;
}

// Not journaled: the host reads it for every fader move and encoder step.
unsigned char* Getdp(void) {
    return StandinGetResult("Getdp.null", 0) == 1 ? nullptr : gCoreData;
}

int SetHostDataTyp(int type) {
    StandinJournal(__func__, {type});
    return 1;
}

STANDIN_API void StandinAddIPAddress(DWORD address) {
    StandinGuard guard(gAddressLock);
    if (std::find(gAddresses.begin(), gAddresses.end(), address) == gAddresses.end()) gAddresses.push_back(address);
}

STANDIN_API int StandinIPAddressCount(void) {
    StandinGuard guard(gAddressLock);
    return static_cast<int>(gAddresses.size());
}

STANDIN_API int StandinHasIPAddress(DWORD address) {
    StandinGuard guard(gAddressLock);
    return std::find(gAddresses.begin(), gAddresses.end(), address) != gAddresses.end() ? 1 : 0;
}

STANDIN_API void StandinClearCoreData(void) { memset(gCoreData, 0, sizeof gCoreData); }
