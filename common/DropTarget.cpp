// Dropped-file acceptance as a window style: the shell library and the
// libraries it pulls in stay unloaded until a drop is read.
#include "common/DropTarget.h"

void AcceptDroppedFiles(HWND wnd, bool accept) {
    if (!IsWindow(wnd)) return;
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    const LONG_PTR wanted = accept ? (style | WS_EX_ACCEPTFILES) : (style & ~LONG_PTR(WS_EX_ACCEPTFILES));
    if (wanted != style) SetWindowLongPtrA(wnd, GWL_EXSTYLE, wanted);
}
