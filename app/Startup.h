// Process start-up: the fixed sequence from the entry point to the message loop.
#pragma once
#include <windows.h>

#include <string>

int KantrelMain(HINSTANCE instance, const char* commandLine, int showCmd);

// The pieces of the sequence that stand on their own.
// The name of the lock that one start of the desk holds for its whole run,
// made from the program key.
std::string StartLockName();
// True when another desk is running (it is restored and brought to front).
bool FrontRunningInstance();
// True when a sibling offline program blocks the start (its message shown).
bool SiblingProgramBlocks();
// The program and shared data folders, with their message when one is wrong.
bool InstallationValid();
void ParseCommandLine(const char* commandLine);
void ReadStartupSettings();
void RegisterAllClasses(HINSTANCE instance);
// Desk construction and core start; false when the desk cannot run.
bool BuildDesk(HWND main);
int RunMessageLoop();
void CleanUp();
