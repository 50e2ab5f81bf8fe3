// Pinning the process to one processor, with its small log file.
#pragma once
#include <windows.h>

// The lowest set bit of a processor mask (0 for 0).
DWORD_PTR LowestProcessorBit(DWORD_PTR mask);
// Opens "<sharedPath>/ide0/affinity.log", restricts the process to its lowest
// processor and logs what it did. False when the system calls fail.
bool RunAffinityStep(const char* sharedPath);
// Whether the HKEY_LOCAL_MACHINE option asks for the step (absent: yes).
bool AffinityStepWanted();
