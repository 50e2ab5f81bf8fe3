// Bounded text helpers: every result fits its buffer and is terminated.
#pragma once
#include <cstdarg>
#include <cstddef>

// Formats into buf like snprintf; returns false when the text was cut.
bool FormatBounded(char* buf, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool FormatBoundedV(char* buf, size_t size, const char* format, va_list args);
// Copies src (null counts as "") into buf; returns false when it was cut.
bool CopyBounded(char* buf, size_t size, const char* src);

// The printf conversions of a format in order, one letter each ("ds" for
// "%d ... %s"); "%%" is not a conversion. Flags, width, precision and length
// are part of the conversion, so "%5d" and "%d" differ. False for a format
// that is not well formed (a lone '%' at the end, '*' widths).
bool FormatConversions(const char* format, char* out, size_t size);
