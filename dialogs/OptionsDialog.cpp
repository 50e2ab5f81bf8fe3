// The Options dialog. Not built yet: opening it shows nothing.
#include "dialogs/OptionsDialog.h"

void OpenOptionsDialog(HWND) {}
