// Binding of the console core libraries, loaded by file name at run time.
#pragma once
#include <windows.h>

#include <utility>

#include "app/CoreEntryPoints.h"

#define KNT_DECLARE_POINTER(member, name, ret, params) ret(__cdecl* member) params;
struct ServiceEntryPoints {
    KNT_SERVICE_ENTRY_POINTS(KNT_DECLARE_POINTER)
};
struct CoreEntryPoints {
    KNT_CORE_ENTRY_POINTS(KNT_DECLARE_POINTER)
};
#undef KNT_DECLARE_POINTER

// Filled by name lookup; a missing entry point stays null.
extern ServiceEntryPoints gService;
extern CoreEntryPoints gCore;

// Calls an entry point when it is bound; an absent one acts as if it had
// returned 0 or a null text. Every call into the core goes through here.
template <typename Ret, typename... Params, typename... Args>
inline Ret CallEntry(Ret(__cdecl* fn)(Params...), Args&&... args) {
    if (!fn) return Ret();
    return fn(std::forward<Args>(args)...);
}
template <typename... Params, typename... Args>
inline void CallEntry(void(__cdecl* fn)(Params...), Args&&... args) {
    if (fn) fn(std::forward<Args>(args)...);
}

// Loads kntVX.dll and kntLib.dll and binds the service group; shows the
// failure message (owned by owner) and returns false when that fails.
bool LoadConsoleLibraries(HWND owner);
// Binds the service group from a loaded library. False when it cannot serve
// the host: without Getdp, or with a Getdp that answers null.
bool BindServiceGroup(HMODULE library);
// Frees kntLib.dll, then kntVX.dll; clears the service group.
void ReleaseConsoleLibraries();

// Loads knt.dll and binds the core group; message and false on failure.
bool LoadCoreLibrary(HWND owner);
void BindCoreGroup(HMODULE library);
// Nulls every core entry point, then frees knt.dll. True when it was freed.
bool UnloadCoreLibrary();
bool IsCoreLoaded();
// Nulls every core entry point and forgets knt.dll without freeing it: for a
// core that faulted, whose unload code must not run.
void AbandonCoreLibrary();
// True when no core entry point is bound.
bool CoreGroupIsClear();

// How the libraries are loaded: LoadLibraryA, unless a test stands in a
// loader that fails on purpose. Null restores LoadLibraryA.
using LibraryLoader = HMODULE(WINAPI*)(LPCSTR);
void SetLibraryLoader(LibraryLoader loader);

// The core data block (never null once the service group is bound).
unsigned char* CoreData();
