// Translation through the core's exp$ entry point.
#include "app/Translate.h"

#include <cstring>

#include "app/CoreBinding.h"
#include "common/Text.h"

const char* Tr(const char* english) {
    if (!english) return "";
    const char* translated = CallEntry(gCore.exp_, english);
    return translated ? translated : english;
}

const char* TrFormat(const char* englishFormat) {
    const char* translated = Tr(englishFormat);
    if (translated == englishFormat) return englishFormat;
    char want[128], got[128];
    if (!FormatConversions(englishFormat, want, sizeof want)) return englishFormat;
    if (!FormatConversions(translated, got, sizeof got)) return englishFormat;
    return strcmp(want, got) == 0 ? translated : englishFormat;
}
