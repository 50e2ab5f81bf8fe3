// The demo console's fader echo: when the host switches a fader to manual,
// the console takes the value the host then writes on its next turn (a posted
// message) and sends it back to the main window, as a console does once it
// has read the changed flag. "EchoFaders" = 0 keeps it silent.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

extern "C" __declspec(dllimport) unsigned char* Getdp(void);

namespace {

enum {
    kCoreFaders = 23,
    kEchoRequest = WM_APP,     // wParam: fader index
    kFaderValueRequest = WM_APP + 8,
};
const char kEchoClass[] = "kntDemoFaderEcho";

HWND gEchoWnd;
ATOM gEchoClass;

void Echo(int fader) {
    unsigned char* data = Getdp();
    if (!data || !hMainWnd) return;
    const unsigned char value = data[kDpFaderValues + fader];
    data[kDpFaderChanged + fader] = 0;
    SendMessageA(hMainWnd, kFaderValueRequest, static_cast<WPARAM>(fader), value);
}

LRESULT CALLBACK EchoWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kEchoRequest && wp < kCoreFaders) {
        Echo(static_cast<int>(wp));
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&EchoWndProc), &module);
    return module;
}

HWND EchoWindow() {
    if (gEchoWnd) return gEchoWnd;
    if (!gEchoClass) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = EchoWndProc;
        wc.hInstance = ThisModule();
        wc.lpszClassName = kEchoClass;
        gEchoClass = RegisterClassA(&wc);
        if (!gEchoClass) return nullptr;
    }
    gEchoWnd = CreateWindowExA(0, kEchoClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
    return gEchoWnd;
}

}  // namespace

void NoteFaderManual(int fader) {
    const unsigned char* data = Getdp();
    // What the block held when the host announced its write, for tests of
    // the order of announcement and write.
    if (data && fader >= 0 && fader < kCoreFaders) {
        StandinSetResult("SetFaderModeManual.value", data[kDpFaderValues + fader]);
        StandinSetResult("SetFaderModeManual.changed", data[kDpFaderChanged + fader]);
    }
    if (fader < 0 || fader >= kCoreFaders || !Result("EchoFaders", 1)) return;
    if (HWND wnd = EchoWindow()) PostMessageA(wnd, kEchoRequest, static_cast<WPARAM>(fader), 0);
}

void ReleaseFaderEcho(void) {
    if (gEchoWnd) DestroyWindow(gEchoWnd);
    gEchoWnd = nullptr;
    if (gEchoClass) UnregisterClassA(kEchoClass, ThisModule());
    gEchoClass = 0;
}
