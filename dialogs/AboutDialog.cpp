// The About box. Not built yet: opening it shows nothing.
#include "dialogs/AboutDialog.h"

void OpenAboutDialog(HWND) {}
