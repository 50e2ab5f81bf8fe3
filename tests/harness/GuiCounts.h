// How many GDI and USER objects the process holds, for leak checks in the
// tests and the benchmarks.
#pragma once
#include <windows.h>

namespace harness {

// GetGuiResources(GR_GDIOBJECTS), or where that answers 0 (Wine does, whatever
// exists) the live entries of the process's GDI handle table.
DWORD GdiObjectCount();
// GetGuiResources(GR_USEROBJECTS), or where that answers 0 the windows of the
// calling thread with all their descendants.
DWORD UserObjectCount();

}  // namespace harness
