// Reads bounded by what the memory manager says is there, page range by page
// range, instead of a probe that would fault.
#include "common/ReadableMemory.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// The end of the readable region that holds at, or null when at is unreadable.
const char* ReadableEnd(const char* at) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT) return nullptr;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(info.Protect & readable) || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return nullptr;
    return static_cast<const char*>(info.BaseAddress) + info.RegionSize;
}

}  // namespace

bool ReadableRange(const void* at, size_t size) {
    const char* from = static_cast<const char*>(at);
    if (!from) return false;
    for (size_t done = 0; done < size;) {
        const char* end = ReadableEnd(from + done);
        if (!end) return false;
        done = size_t(end - from);
    }
    return true;
}

size_t ReadableStringLength(const char* text, size_t limit) {
    size_t length = 0;
    while (text && length < limit) {
        const char* at = text + length;
        const char* end = ReadableEnd(at);
        if (!end) break;
        const size_t span = std::min(size_t(end - at), limit - length);
        if (const void* zero = std::memchr(at, 0, span)) return length + size_t(static_cast<const char*>(zero) - at);
        length += span;
    }
    return length;
}
