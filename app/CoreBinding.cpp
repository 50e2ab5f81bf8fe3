// Loading the console core libraries and binding their entry points by name.
#include "app/CoreBinding.h"

#include "app/ErrorBox.h"

ServiceEntryPoints gService;
CoreEntryPoints gCore;

namespace {

HMODULE gVxLibrary;
HMODULE gServiceLibrary;
HMODULE gCoreLibrary;
LibraryLoader gLoader = LoadLibraryA;

// GetProcAddress hands back a generic pointer; going through void* keeps the
// conversion to the real signature explicit without a cast-type warning.
template <typename Fn>
void Lookup(HMODULE library, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

HMODULE LoadOrReport(HWND owner, const char* file, const char* message) {
    HMODULE library = gLoader(file);
    if (!library) ShowSystemError(owner, message, GetLastError());
    return library;
}

}  // namespace

void SetLibraryLoader(LibraryLoader loader) { gLoader = loader ? loader : LoadLibraryA; }

bool BindServiceGroup(HMODULE library) {
#define KNT_LOOKUP(member, name, ret, params) Lookup(library, name, gService.member);
    KNT_SERVICE_ENTRY_POINTS(KNT_LOOKUP)
#undef KNT_LOOKUP
    return gService.Getdp && gService.Getdp();
}

bool LoadConsoleLibraries(HWND owner) {
    gVxLibrary = LoadOrReport(owner, "kntVX.dll", "Error loading kntVX.dll! (errno.: %d) Program cannot be executed!");
    if (!gVxLibrary) return false;
    gServiceLibrary = LoadOrReport(owner, "kntLib.dll",
                                   "Error loading kntKntLib.dll! (errno.: %d) Program cannot be executed!");
    if (!gServiceLibrary) return false;
    if (!BindServiceGroup(gServiceLibrary)) {
        ShowErrorBox(owner, "kntLib.dll provides no Kantrel data! Program cannot be executed!");
        return false;
    }
    return true;
}

void ReleaseConsoleLibraries() {
    gService = ServiceEntryPoints();
    if (gServiceLibrary) FreeLibrary(gServiceLibrary);
    if (gVxLibrary) FreeLibrary(gVxLibrary);
    gServiceLibrary = gVxLibrary = nullptr;
}

void BindCoreGroup(HMODULE library) {
#define KNT_LOOKUP(member, name, ret, params) Lookup(library, name, gCore.member);
    KNT_CORE_ENTRY_POINTS(KNT_LOOKUP)
#undef KNT_LOOKUP
}

bool LoadCoreLibrary(HWND owner) {
    gCoreLibrary = LoadOrReport(owner, "knt.dll", "Error loading knt.dll! (errno.: %d) Program cannot be executed!");
    if (!gCoreLibrary) return false;
    BindCoreGroup(gCoreLibrary);
    return true;
}

bool UnloadCoreLibrary() {
    gCore = CoreEntryPoints();
    if (!gCoreLibrary) return false;
    const bool freed = FreeLibrary(gCoreLibrary) != 0;
    gCoreLibrary = nullptr;
    return freed;
}

void AbandonCoreLibrary() {
    gCore = CoreEntryPoints();
    gCoreLibrary = nullptr;
}

bool IsCoreLoaded() { return gCoreLibrary != nullptr; }

bool CoreGroupIsClear() {
    bool clear = true;
#define KNT_CHECK(member, name, ret, params) clear = clear && gCore.member == nullptr;
    KNT_CORE_ENTRY_POINTS(KNT_CHECK)
#undef KNT_CHECK
    return clear;
}

unsigned char* CoreData() { return CallEntry(gService.Getdp); }
