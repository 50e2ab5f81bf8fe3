// The call journal, the chosen results and the translations of the stand-in
// core. They live here, in kntLib.dll, so that they outlast knt.dll.
#include "standins/StandinControl.h"
#include "KntLib.h"

#include <cstdio>
#include <map>
#include <optional>

namespace {

// Beyond this the oldest half is dropped, so a long run cannot grow unbounded.
const size_t kJournalLimit = 4u << 20;

StandinLock gJournalLock;
std::string gJournal;
HANDLE gJournalFile = INVALID_HANDLE_VALUE;
bool gJournalFileLooked = false;
// Benchmarks pause the journal so that they time the host, not the journal.
volatile LONG gJournalPaused = 0;
// When the latest call arrived, journaled or not: benchmarks time the host's
// path from a window message to the core by it.
volatile LONG64 gLastCallTicks = 0;

StandinLock gResultLock;
std::map<std::string, INT_PTR> gResults;
std::map<std::string, std::optional<std::string>> gTextResults;
std::map<std::string, std::optional<std::string>> gTranslations;

void OpenJournalFileOnce() {
    if (gJournalFileLooked) return;
    gJournalFileLooked = true;
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KNT_JOURNAL", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    // Unbuffered WriteFile calls: a killed process has handed every line over.
    gJournalFile = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseJournalFile() {
    if (gJournalFile != INVALID_HANDLE_VALUE) CloseHandle(gJournalFile);
    gJournalFile = INVALID_HANDLE_VALUE;
    gJournalFileLooked = false;
}

void TrimJournal() {
    if (gJournal.size() <= kJournalLimit) return;
    size_t cut = gJournal.find('\n', gJournal.size() / 2);
    gJournal.erase(0, cut == std::string::npos ? gJournal.size() : cut + 1);
}

void AppendJournalLine(std::string line) {
    if (gJournalPaused) return;
    line += '\n';
    StandinGuard guard(gJournalLock);
    gJournal += line;
    TrimJournal();
    OpenJournalFileOnce();
    if (gJournalFile != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(gJournalFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

void AppendArg(std::string& line, const StandinArg& arg) {
    char number[32];
    line += ' ';
    switch (arg.kind) {
    case kStandinText:
        line += arg.text ? "\"" + OneLine(arg.text) + "\"" : std::string("null");
        return;
    case kStandinUnsigned:
        snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(static_cast<UINT_PTR>(arg.number)));
        break;
    default:
        snprintf(number, sizeof number, "%lld", static_cast<long long>(arg.number));
        break;
    }
    line += number;
}

std::optional<std::string> OptionalText(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

}  // namespace

int CopyOutText(const std::string& text, char* buf, int size) {
    if (buf && size > 0) {
        size_t n = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
        text.copy(buf, n);
        buf[n] = '\0';
    }
    return static_cast<int>(text.size());
}

std::string OneLine(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') out += "\\n";
        else if (*p == '\r') out += "\\r";
        else out += *p;
    }
    return out;
}

STANDIN_API void StandinJournalAppend(const char* line) {
    if (line) AppendJournalLine(OneLine(line));
}

STANDIN_API void StandinJournalCall(const char* name, const StandinArg* args, int count) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    InterlockedExchange64(&gLastCallTicks, now.QuadPart);
    std::string line = name ? name : "null";
    for (int i = 0; args && i < count; ++i) AppendArg(line, args[i]);
    AppendJournalLine(std::move(line));
}

STANDIN_API int StandinJournalRead(char* buf, int size) {
    StandinGuard guard(gJournalLock);
    return CopyOutText(gJournal, buf, size);
}

STANDIN_API void StandinJournalClear(void) {
    StandinGuard guard(gJournalLock);
    gJournal.clear();
}

STANDIN_API LONG64 StandinLastCallTicks(void) { return InterlockedCompareExchange64(&gLastCallTicks, 0, 0); }

STANDIN_API void StandinJournalPause(int paused) { InterlockedExchange(&gJournalPaused, paused ? 1 : 0); }

STANDIN_API void StandinJournalReopenFile(void) {
    StandinGuard guard(gJournalLock);
    CloseJournalFile();
}

STANDIN_API void StandinSetResult(const char* name, INT_PTR value) {
    if (!name) return;
    StandinGuard guard(gResultLock);
    gResults[name] = value;
}

STANDIN_API INT_PTR StandinGetResult(const char* name, INT_PTR fallback) {
    if (!name) return fallback;
    StandinGuard guard(gResultLock);
    auto it = gResults.find(name);
    return it == gResults.end() ? fallback : it->second;
}

STANDIN_API void StandinClearResults(void) {
    StandinGuard guard(gResultLock);
    gResults.clear();
    gTextResults.clear();
}

STANDIN_API void StandinSetTextResult(const char* name, const char* text) {
    if (!name) return;
    StandinGuard guard(gResultLock);
    gTextResults[name] = OptionalText(text);
}

STANDIN_API const char* StandinGetTextResult(const char* name, const char* fallback) {
    if (!name) return fallback;
    StandinGuard guard(gResultLock);
    auto it = gTextResults.find(name);
    if (it == gTextResults.end()) return fallback;
    return it->second ? it->second->c_str() : nullptr;
}

STANDIN_API void StandinSetTranslation(const char* english, const char* translated) {
    if (!english) return;
    StandinGuard guard(gResultLock);
    gTranslations[english] = OptionalText(translated);
}

STANDIN_API void StandinClearTranslations(void) {
    StandinGuard guard(gResultLock);
    gTranslations.clear();
}

STANDIN_API const char* StandinTranslate(const char* text) {
    if (!text) return nullptr;
    StandinGuard guard(gResultLock);
    auto it = gTranslations.find(text);
    if (it == gTranslations.end()) return text;
    return it->second ? it->second->c_str() : nullptr;
}
