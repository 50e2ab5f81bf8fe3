// Internals shared by the parts of kntLib.dll.
#pragma once
#include <windows.h>
#include <string>

// A critical section that exists from the library's static start-up on, so
// that no entry point has to initialise it first.
class StandinLock {
public:
    StandinLock() { InitializeCriticalSection(&cs_); }
    ~StandinLock() { DeleteCriticalSection(&cs_); }
    StandinLock(const StandinLock&) = delete;
    StandinLock& operator=(const StandinLock&) = delete;
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class StandinGuard {
public:
    explicit StandinGuard(StandinLock& lock) : lock_(lock) { lock_.Enter(); }
    ~StandinGuard() { lock_.Leave(); }
    StandinGuard(const StandinGuard&) = delete;
    StandinGuard& operator=(const StandinGuard&) = delete;

private:
    StandinLock& lock_;
};

// Copies text into buf (at most size-1 chars, always terminated when size > 0)
// and returns the full length of text.
int CopyOutText(const std::string& text, char* buf, int size);
// The text with CR and LF written as \r and \n, so that it stays on one line.
std::string OneLine(const char* text);

HWND CreateEchoWindow(const char* title, HICON icon);
HWND EchoWindow(void);
bool DestroyEchoWindow(void);
// Called when the library is unloaded while the process goes on.
void ReleaseEchoWindow(void);
