// The core's translation of user-visible texts, safe when the core is absent.
#pragma once

// The text in the current language; the English text itself when the core
// offers no translation (not loaded, no exp$, or a null answer).
const char* Tr(const char* english);
// A translated printf format, accepted only when its conversions are exactly
// those of the English format; otherwise the English format.
const char* TrFormat(const char* englishFormat);
