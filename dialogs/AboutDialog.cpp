// The About box.
#include "dialogs/AboutDialog.h"

#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/Text.h"
#include "resources/resource.h"

namespace {

// A translated format is used only with the English format's conversions:
// any other would read an argument that is not there.
void OnInitDialog(HWND dlg) {
    char version[kAboutVersionCapacity];
    FormatBounded(version, sizeof version, TrFormat("Kantrel Ovrin, Version %s"), kHostVersion);
    SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, version);
    SetWindowTextA(dlg, Tr("About Kantrel Ovrin"));
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: OnInitDialog(dlg); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR OpenAboutDialog(HWND owner) {
    return DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, 0);
}
