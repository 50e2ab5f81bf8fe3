// Settings and installation paths of the registry library (emuReg.dll).
#pragma once
#include <windows.h>

#ifdef BUILDING_EMUREG_DLL
#define EMUREG_API extern "C" __declspec(dllexport)
#else
#define EMUREG_API extern "C" __declspec(dllimport)
#endif

enum { kRegKeyPathSize = 260 };

// Program key under HKEY_CURRENT_USER.
EMUREG_API char TlmRegKey[kRegKeyPathSize];
// Program folder and shared data folder, library-owned, released with FreeString.
EMUREG_API char* applpath;
EMUREG_API char* sharedpath;

EMUREG_API int LookingForKntPath(const char* version, const char* edition);
EMUREG_API int LookingForGlobDataPath(void);

// subKey null means the program key TlmRegKey; otherwise a full path under root.
// Both lookups return -1 when the value is absent (or has another type or
// size) and leave the output alone; 1 when it was read.
EMUREG_API int LookUpRegKeyInt(HKEY root, const char* name, int* value, const char* subKey);
EMUREG_API int WriteRegKeyInt(HKEY root, const char* name, int value, const char* subKey);
EMUREG_API int LookUpRegKeyString(HKEY root, const char* name, char** text, const char* subKey);
EMUREG_API void FreeString(char** text);
EMUREG_API int WriteRegKeyString(HKEY root, const char* name, const char* text, const char* subKey);
