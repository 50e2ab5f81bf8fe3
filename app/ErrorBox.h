// The host's failure messages: MessageBoxA with the program title as caption.
#pragma once
#include <windows.h>

// Translated text, caption knt_windows_title, MB_ICONERROR unless told.
int ShowErrorBox(HWND owner, const char* englishText, UINT flags = MB_ICONERROR);
// englishFormat holds one %d that takes the system error number.
int ShowSystemError(HWND owner, const char* englishFormat, DWORD error);
