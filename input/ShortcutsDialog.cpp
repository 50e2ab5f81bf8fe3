// The Shortcuts dialog. Not built yet: opening it shows nothing.
#include "input/ShortcutsDialog.h"

void OpenShortcutsDialog(HWND) {}
