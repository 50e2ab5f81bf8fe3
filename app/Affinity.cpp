// The processor affinity step of the desk construction.
#include "app/Affinity.h"

#include <cstdio>

#include "app/hostlibs/RegistryLib.h"
#include "common/Text.h"

namespace {

// A log that may be absent: lines are dropped then. Closed on every path.
struct AffinityLog {
    FILE* file = nullptr;
    explicit AffinityLog(const char* sharedPath) {
        char path[260];
        if (sharedPath && FormatBounded(path, sizeof path, "%s/ide0/affinity.log", sharedPath))
            file = fopen(path, "wb");
    }
    ~AffinityLog() {
        if (file) fclose(file);
    }
    void Write(const char* format, unsigned long long a, unsigned long long b) {
        if (file) fprintf(file, format, a, b);
    }
};

}  // namespace

DWORD_PTR LowestProcessorBit(DWORD_PTR mask) {
    if (mask == 0) return 0;
    DWORD_PTR bit = 1;
    while (!(mask & bit)) bit <<= 1;
    return bit;
}

bool RunAffinityStep(const char* sharedPath) {
    AffinityLog log(sharedPath);
    DWORD_PTR processMask = 0, systemMask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask) || processMask == 0) {
        log.Write("GetProcessAffinityMask dwProcessAffinityMask 0x%llx, failure: errno %llu",
                  processMask, GetLastError());
        return false;
    }
    const DWORD_PTR newMask = LowestProcessorBit(processMask);
    log.Write("old ProcessAffinityMask 0x%llx, new ProcessAffinityMask 0x%llx", processMask, newMask);
    if (newMask == processMask) return true;
    if (!SetProcessAffinityMask(GetCurrentProcess(), newMask)) {
        log.Write("SetProcessAffinityMask to 0x%llx, failure: errno %llu", newMask, GetLastError());
        return false;
    }
    return true;
}

bool AffinityStepWanted() {
    int wanted = 1;
    LookUpRegKeyInt(HKEY_LOCAL_MACHINE, "set_affinity", &wanted, "Software\\Telmarin\\GlobData");
    return wanted != 0;
}
