// Display services: colour depth with the DirectDraw test, and window centring.
#include "app/hostlibs/HostStateLib.h"
#include <ddraw.h>

namespace {

enum { kMinimumDepth = 16 };

volatile LONG g_simulatedBits = 0;

int ScreenDepth()
{
    int simulated = (int)g_simulatedBits;
    if (simulated != 0)
        return simulated;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

typedef HRESULT(WINAPI* DirectDrawCreateFn)(GUID*, LPDIRECTDRAW*, IUnknown*);

bool PrimarySurfaceWorks(DirectDrawCreateFn create)
{
    LPDIRECTDRAW dd = nullptr;
    if (FAILED(create(nullptr, &dd, nullptr)) || !dd)
        return false;
    bool ok = false;
    if (SUCCEEDED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        LPDIRECTDRAWSURFACE surface = nullptr;
        if (SUCCEEDED(dd->CreateSurface(&desc, &surface, nullptr)) && surface) {
            surface->Release();
            ok = true;
        }
    }
    dd->Release();
    return ok;
}

// A system without DirectDraw cannot fail its test: only a DirectDraw that is
// present and refuses a primary surface marks the display unusable.
bool DirectDrawUsable()
{
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw)
        return true;
    DirectDrawCreateFn create =
        (DirectDrawCreateFn)(void*)GetProcAddress(ddraw, "DirectDrawCreate");
    bool ok = !create || PrimarySurfaceWorks(create);
    FreeLibrary(ddraw);
    return ok;
}

// At start-up only the depth is tested: under Wine a DirectDraw object brings
// up the whole 3D stack (OpenGL and its shader compiler), which costs the
// start a large share of its time and some 40 MB for a surface nobody keeps.
// After a display change the primary surface is tried for real.
int TestedDepth(bool atStartup)
{
    int depth = ScreenDepth();
    if (depth < kMinimumDepth)
        return 0;
    // A simulated depth stands for the whole display, DirectDraw included.
    if (!atStartup && g_simulatedBits == 0 && !DirectDrawUsable())
        return 0;
    return depth;
}

// Keeps the top-left corner inside the work area when the window is larger.
int CentredOrigin(LONG areaStart, LONG areaSize, LONG size)
{
    return size >= areaSize ? areaStart : areaStart + (areaSize - size) / 2;
}

}  // namespace

int RGBBitCountAndDirectDrawTest(int storeDepth, int atStartup)
{
    int depth = TestedDepth(atStartup != 0);
    if (storeDepth)
        RGBBitCount = depth;
    return depth;
}

int GetBitCount(void)
{
    return ScreenDepth();
}

void SetSimulatedBitCount(int bits)
{
    InterlockedExchange(&g_simulatedBits, bits);
}

int CenterWindow(HWND wnd)
{
    RECT rc;
    if (!IsWindow(wnd) || !GetWindowRect(wnd, &rc))
        return 0;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &mi))
        return 0;
    const RECT& work = mi.rcWork;
    POINT origin = {
        CentredOrigin(work.left, work.right - work.left, rc.right - rc.left),
        CentredOrigin(work.top, work.bottom - work.top, rc.bottom - rc.top),
    };
    // SetWindowPos takes a child's position in its parent's client coordinates.
    HWND parent = GetAncestor(wnd, GA_PARENT);
    if ((GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) && parent)
        ScreenToClient(parent, &origin);
    return SetWindowPos(wnd, nullptr, origin.x, origin.y, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 1 : 0;
}
