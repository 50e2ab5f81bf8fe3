// Test and demo controls of the stand-in console core. They live in
// kntLib.dll, which stays loaded for the whole process, so that the journal
// and the chosen results survive the unloading of knt.dll at a session end.
#pragma once
#include <windows.h>

#ifdef BUILDING_KNTLIB_DLL
#define STANDIN_API extern "C" __declspec(dllexport)
#else
#define STANDIN_API extern "C" __declspec(dllimport)
#endif

// The call journal: one line a call, "Name arg arg ...", texts in quotes.
STANDIN_API void StandinJournalAppend(const char* line);
// Copies the journal into buf (at most size-1 chars, always terminated) and
// returns the full length the journal has.
STANDIN_API int StandinJournalRead(char* buf, int size);
STANDIN_API void StandinJournalClear(void);
// While paused (non-zero) no line is added; for benchmarks of the host.
STANDIN_API void StandinJournalPause(int paused);
// QueryPerformanceCounter at the latest journaled call of the core (also
// while paused); 0 before any.
STANDIN_API LONG64 StandinLastCallTicks(void);

// Results of the query entry points, chosen by name ("IsDesklocked", ...).
STANDIN_API void StandinSetResult(const char* name, INT_PTR value);
STANDIN_API INT_PTR StandinGetResult(const char* name, INT_PTR fallback);
STANDIN_API void StandinClearResults(void);

// A line for the echo window, when it exists.
STANDIN_API void StandinEcho(const char* line);

// One argument of a journaled call. Signed numbers print as such; unsigned
// ones (handles, pointers, WPARAM, DWORD) print without a sign; a text prints
// in double quotes, or as null.
enum StandinArgKind { kStandinSigned, kStandinUnsigned, kStandinText };
struct StandinArg {
    int kind;
    INT_PTR number;
    const char* text;
};
// Appends "name arg arg ..." as one journal line.
STANDIN_API void StandinJournalCall(const char* name, const StandinArg* args, int count);
// Closes the journal file; the next line reads KNT_JOURNAL again.
STANDIN_API void StandinJournalReopenFile(void);

// Text results of the query entry points that answer with a text. A null text
// is a valid choice; StandinGetTextResult gives fallback only when none is set.
// StandinClearResults clears these too.
STANDIN_API void StandinSetTextResult(const char* name, const char* text);
STANDIN_API const char* StandinGetTextResult(const char* name, const char* fallback);

// The translation exp$ applies: translated may be null. Untranslated texts come
// back as the same pointer.
STANDIN_API void StandinSetTranslation(const char* english, const char* translated);
STANDIN_API void StandinClearTranslations(void);
STANDIN_API const char* StandinTranslate(const char* text);

// The temporary-address list that DelIPAddress and DeleteIPAddresses edit.
STANDIN_API void StandinAddIPAddress(DWORD address);
STANDIN_API int StandinIPAddressCount(void);
STANDIN_API int StandinHasIPAddress(DWORD address);

// Zeroes the core data block that Getdp returns.
STANDIN_API void StandinClearCoreData(void);

// Copies the echo lines, each ending in '\n', like StandinJournalRead.
STANDIN_API int StandinEchoRead(char* buf, int size);

// Test controls of knt.dll itself (not in kntLib), looked up by name there:
//   "StandinSendToMain"  SendMessageA to hMainWnd; 0 when there is none.
//   "StandinPostToMain"  PostMessageA to hMainWnd; its result.
//   "StandinSetLamp"     sets lamp 0..255 on or off as the core would, with the
//                        lamp message to its ledHWnd window when it changes.
typedef LRESULT (*StandinSendToMainFn)(UINT msg, WPARAM wp, LPARAM lp);
typedef BOOL (*StandinPostToMainFn)(UINT msg, WPARAM wp, LPARAM lp);
typedef void (*StandinSetLampFn)(int lamp, int on);
//   "StandinStartLampTimer" starts timer 500 on the window of a lamp.
typedef BOOL (*StandinStartLampTimerFn)(int lamp, UINT intervalMs);
//   "StandinStepProgress" sends the step request to hProgress as the core
//                        does; 0 when there is no progress window.
typedef LRESULT (*StandinStepProgressFn)(void);
// KNT_END_HOLD_MS in the environment keeps EndKantrel busy that long while
// it dispatches the host's messages, as a core saving its show does.
//   "StandinPollCd" sends the position poll to hCDDisplayWnd at once and
//                        journals "CdTimecode track min sec frame" as read.
typedef void (*StandinPollCdFn)(void);

#ifdef __cplusplus
#include <initializer_list>

// Lets a call site write StandinJournal("Name", {code, wnd, text}).
struct StandinJournalArg : StandinArg {
    StandinJournalArg(int v) : StandinArg{kStandinSigned, v, nullptr} {}
    StandinJournalArg(long v) : StandinArg{kStandinSigned, static_cast<INT_PTR>(v), nullptr} {}
    StandinJournalArg(long long v) : StandinArg{kStandinSigned, static_cast<INT_PTR>(v), nullptr} {}
    StandinJournalArg(unsigned v) : StandinArg{kStandinUnsigned, static_cast<INT_PTR>(v), nullptr} {}
    StandinJournalArg(unsigned long v) : StandinArg{kStandinUnsigned, static_cast<INT_PTR>(v), nullptr} {}
    StandinJournalArg(unsigned long long v)
        : StandinArg{kStandinUnsigned, static_cast<INT_PTR>(v), nullptr} {}
    StandinJournalArg(const char* t) : StandinArg{kStandinText, 0, t} {}
    StandinJournalArg(char* t) : StandinArg{kStandinText, 0, t} {}
    template <class T>
    StandinJournalArg(T* p) : StandinArg{kStandinUnsigned, reinterpret_cast<INT_PTR>(p), nullptr} {}
};
static_assert(sizeof(StandinJournalArg) == sizeof(StandinArg), "passed as an array of StandinArg");

inline void StandinJournal(const char* name, std::initializer_list<StandinJournalArg> args) {
    StandinJournalCall(name, args.begin(), static_cast<int>(args.size()));
}
#endif
