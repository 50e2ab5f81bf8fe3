#include "tests/harness/GuiCounts.h"

#include <winternl.h>

namespace harness {
namespace {

// The GDI handle table's address is in the process environment block.
// (The compiler cannot see through the segment read of NtCurrentTeb and warns
// about a zero-sized array; the read itself is the documented one.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
DWORD LiveGdiTableEntries() {
#ifdef _WIN64
    constexpr size_t kTableOffset = 0xF8, kEntrySize = 24, kTypeOffset = 14, kEntries = 0x10000;
    const auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + kTableOffset);
    if (!table) return 0;
    DWORD live = 0;
    for (size_t i = 0; i < kEntries; ++i) live += table[i * kEntrySize + kTypeOffset] != 0;
    return live;
#else
    return 0;
#endif
}
#pragma GCC diagnostic pop

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++*reinterpret_cast<DWORD*>(lp);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND wnd, LPARAM lp) {
    ++*reinterpret_cast<DWORD*>(lp);
    EnumChildWindows(wnd, CountChild, lp);
    return TRUE;
}

}  // namespace

DWORD GdiObjectCount() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return reported ? reported : LiveGdiTableEntries();
}

DWORD UserObjectCount() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported) return reported;
    DWORD windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace harness
