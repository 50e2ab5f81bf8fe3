// The default handling shared by the desk's child windows: the non-client
// paint it skips must be one with nothing to draw.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/WindowClass.h"

TEST(ChildWindowDefaults, AFramedChildStillPaintsItsFrame) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefChildWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KntChildDefaultsTest";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "Static", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    struct Case { DWORD style, exStyle; bool framed; } cases[] = {
        {0, 0, false},          {WS_BORDER, 0, true},        {WS_DLGFRAME, 0, true}, {WS_THICKFRAME, 0, true},
        {0, WS_EX_CLIENTEDGE, true}, {0, WS_EX_STATICEDGE, true},
    };
    const COLORREF unpainted = RGB(255, 0, 255);
    for (const Case& c : cases) {
        HWND child = CreateWindowExA(c.exStyle, wc.lpszClassName, nullptr, WS_CHILD | WS_VISIBLE | c.style, 10, 10, 60,
                                     40, parent, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, child);
        UpdateWindow(parent);
        HDC dc = GetWindowDC(child);
        RECT all = {0, 0, 60, 40};
        HBRUSH fill = CreateSolidBrush(unpainted);
        FillRect(dc, &all, fill);
        DeleteObject(fill);
        SendMessageA(child, WM_NCPAINT, 1, 0);
        EXPECT_EQ(c.framed, GetPixel(dc, 0, 0) != unpainted) << c.style << " " << c.exStyle;
        ReleaseDC(child, dc);
        DestroyWindow(child);
    }
    DestroyWindow(parent);
}
