// Bounded text helpers.
#include "common/Text.h"

#include <cstdio>
#include <cstring>

bool FormatBoundedV(char* buf, size_t size, const char* format, va_list args) {
    if (!buf || size == 0) return false;
    const int n = vsnprintf(buf, size, format ? format : "", args);
    buf[size - 1] = '\0';
    if (n < 0) {
        buf[0] = '\0';
        return false;
    }
    return size_t(n) < size;
}

bool FormatBounded(char* buf, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = FormatBoundedV(buf, size, format, args);
    va_end(args);
    return ok;
}

bool CopyBounded(char* buf, size_t size, const char* src) {
    if (!buf || size == 0) return false;
    if (!src) src = "";
    const size_t len = strlen(src);
    const size_t n = len < size ? len : size - 1;
    memcpy(buf, src, n);
    buf[n] = '\0';
    return n == len;
}

bool FormatConversions(const char* format, char* out, size_t size) {
    if (!format || !out || size == 0) return false;
    size_t used = 0;
    auto put = [&](char c) {
        if (used + 1 >= size) return false;
        out[used++] = c;
        return true;
    };
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        // Everything up to the conversion letter is kept, so a translation
        // cannot widen or re-type an argument behind the English text's back.
        while (*p && strchr("-+ #0123456789.hlLqjzt", *p)) {
            if (!put(*p)) return false;
            ++p;
        }
        if (!*p || *p == '*') return false;
        if (!strchr("diouxXeEfgGcspaA", *p)) return false;  // %n and the unknown
        if (!put(*p) || !put(';')) return false;
    }
    out[used] = '\0';
    return true;
}
