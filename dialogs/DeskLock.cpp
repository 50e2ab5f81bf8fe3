#include "dialogs/DeskLock.h"

#include <windows.h>

#include "app/CoreBinding.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"

bool DeskLocked(bool tell) {
    if (!CallEntry(gCore.IsDesklocked)) return false;
    if (tell) TellDeskLocked();
    return true;
}

void TellDeskLocked() { MessageBoxA(hMainWnd, Tr("Desk is locked!"), knt_windows_title, MB_ICONINFORMATION); }
