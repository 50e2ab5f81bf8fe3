// Process start-up: the fixed sequence from the entry point to the message loop.
#pragma once
#include <windows.h>

int KantrelMain(HINSTANCE instance, const char* commandLine, int showCmd);

// The pieces of the sequence that stand on their own.
// True when another desk is running (it is restored and brought to front).
bool FrontRunningInstance();
// True when a sibling offline program blocks the start (its message shown).
bool SiblingProgramBlocks();
void ParseCommandLine(const char* commandLine);
void ReadStartupSettings();
void RegisterAllClasses(HINSTANCE instance);
// Desk construction and core start; false when the desk cannot run.
bool BuildDesk(HWND main);
int RunMessageLoop();
void CleanUp();
