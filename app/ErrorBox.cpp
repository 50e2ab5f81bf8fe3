// Failure messages of the host.
#include "app/ErrorBox.h"

#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/Text.h"

int ShowErrorBox(HWND owner, const char* englishText, UINT flags) {
    return MessageBoxA(owner, Tr(englishText), knt_windows_title, flags);
}

int ShowSystemError(HWND owner, const char* englishFormat, DWORD error) {
    char text[512];
    FormatBounded(text, sizeof text, TrFormat(englishFormat), int(error));
    return MessageBoxA(owner, text, knt_windows_title, MB_ICONERROR);
}
