// Class registration of the desk controls that are not built yet, with the
// class styles they keep; each moves to its own file when it is built.
#include "desk/DeskChildren.h"

#include "app/CoreBinding.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/WindowClass.h"
#include "desk/DrawingResources.h"
#include "resources/resource.h"

int gDeskChildCount;

ATOM RegisterCDButtonClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {"_kntCDButton", nullptr, CS_OWNDC | CS_DBLCLKS, kRecordExtra, nullptr,
                                          DeskDefaultCursor(), DeskGreyBrush()});
}

void CdPanelRecheckDisc(int) {}
