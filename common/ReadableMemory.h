// Reading memory that another party hands over (a core's text or record)
// without faulting on an address that is not, or no longer, readable.
#pragma once
#include <cstddef>

// Whether every byte of [at, at + size) is committed and readable now.
bool ReadableRange(const void* at, size_t size);
// The length of a terminated text at text, counted only over readable
// memory and at most limit; a text that ends in unreadable memory or runs
// past limit counts as far as it could be read.
size_t ReadableStringLength(const char* text, size_t limit);
