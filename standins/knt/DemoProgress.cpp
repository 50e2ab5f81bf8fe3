// The demo console's side of the progress window: a step request as the core
// sends it while it works, and a session end that takes its time, as a real
// core saving its show does, with the host's windows kept alive meanwhile.
#include "DemoCore.h"
#include "app/hostlibs/HostStateLib.h"

#include <cstdlib>

// Sends the step request to the progress window; 0 when there is none.
extern "C" LRESULT StandinStepProgress(void) {
    return hProgress ? SendMessageA(hProgress, WM_APP + 7, 0, 0) : 0;
}

void HoldSessionEnd(void) {
    char value[16] = "";
    if (!GetEnvironmentVariableA("KNT_END_HOLD_MS", value, sizeof value)) return;
    const DWORD hold = DWORD(atoi(value));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < hold) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}
