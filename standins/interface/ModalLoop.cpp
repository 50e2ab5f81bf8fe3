// The core's modal phase and the message loop that runs while it is open.
#include "app/hostlibs/HostStateLib.h"

static volatile LONG g_modalPhase = 0;
// Thread of the innermost running loop, 0 when none runs.
static volatile LONG g_loopThread = 0;

static void WakeLoopThread()
{
    DWORD thread = (DWORD)g_loopThread;
    // A phase closed from another thread must wake GetMessageA, or the loop
    // would sleep until some unrelated message arrived.
    if (thread != 0 && thread != GetCurrentThreadId())
        PostThreadMessageA(thread, WM_NULL, 0, 0);
}

void SetModalPhase(int active)
{
    InterlockedExchange(&g_modalPhase, active ? 1 : 0);
    if (!active)
        WakeLoopThread();
}

int IsModalPhase(void)
{
    return g_modalPhase != 0;
}

// Without an open phase the loop returns 1 at once. Otherwise it dispatches
// messages of this thread and tests the phase after each one, because the core
// closes it from a posted message or a timer. WM_QUIT ends the loop with 0 and
// is posted again so that the host's own loop still sees it. The owner needs
// no special treatment: its messages arrive through DispatchMessageA.
int RunModalLoop(HWND /*owner*/)
{
    if (!IsModalPhase())
        return 1;
    LONG outerThread = InterlockedExchange(&g_loopThread, (LONG)GetCurrentThreadId());
    int result = 1;
    MSG msg;
    while (IsModalPhase()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage((int)msg.wParam);
            result = 0;
            break;
        }
        if (got == -1) {
            result = 0;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    InterlockedExchange(&g_loopThread, outerThread);
    return result;
}
