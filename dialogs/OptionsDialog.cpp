// The Options dialog: shows the host's options on opening and, on OK, stores
// and applies each one that changed (the MIDI devices on every OK).
#include "dialogs/OptionsDialog.h"

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/MidiDevices.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "common/Text.h"
#include "desk/DeskChildren.h"
#include "desk/DeskFrame.h"
#include "mainwindow/DeskView.h"
#include "desk/DrawingResources.h"
#include "mainwindow/MainWindow.h"
#include "resources/resource.h"

namespace {

constexpr int kCdRomDriveType = 5;
constexpr int kWheelId = 40506;
constexpr int kFirstEncoderId = 40500, kLastEncoderId = 40503;
constexpr int kMidiNameSize = 64;
constexpr LPARAM kMidiMapper = -1;

struct ItemText {
    int id;
    const char* english;
};
const ItemText kTranslatedItems[] = {
    {IDC_VIEW_GROUP, "View"},
    {IDC_SHOW_HKEYS,
     "Show Shortcuts within the Buttons\nwhen Shortcut mode is active.\nTo activate Shortcut mode\npress <INSERT>"},
    {IDC_SHOW_HSCROLL, "Show Horizontal Scrollbar if necessary"},
    {IDC_SHOW_VSCROLL, "Show Vertical Scrollbar if necessary"},
    {IDCANCEL, "Cancel"},
    {IDC_MIDI_IN_LABEL, "Midi in:"},
    {IDC_MIDI_OUT_LABEL, "Midi out:"},
    {IDC_PRIORITY_GROUP, "Priority"},
    {IDC_PRIORITY_HIGH, "High"},
    {IDC_PRIORITY_NORMAL, "Normal"},
    {IDC_STOREWND_DELAYED, "Delayed Opening"},
    {IDC_SAVE_ON_SHUTDOWN, "Saving Show when Windows Session is\nending or Computer is shutted down."},
    {IDC_CENTER_MAIN, "Leave Main Window centered when Desktop is covered."},
    {IDC_CD_VISIBLE, "Visible"},
};

HINSTANCE ResourceInstance() { return hInst ? hInst : GetModuleHandleA(nullptr); }

LRESULT Send(HWND dlg, int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return SendDlgItemMessageA(dlg, id, msg, wp, lp);
}

int Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED ? 1 : 0; }
void Check(HWND dlg, int id, int flag) { CheckDlgButton(dlg, id, flag ? BST_CHECKED : BST_UNCHECKED); }

// ---- initialisation

// Devices go in by number as item data: one whose capabilities cannot be read
// is left out, and the ones after it must keep their own numbers.
void FillMidiList(HWND dlg, int id, bool output, int current) {
    const MidiDeviceSource& source = MidiDevices();
    const unsigned count = output ? source.outputCount() : source.inputCount();
    for (unsigned device = 0; device < count; ++device) {
        char name[kMidiNameSize] = "";
        if (!(output ? source.outputName : source.inputName)(device, name, sizeof name)) continue;
        const LRESULT index = Send(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (index < 0) continue;
        Send(dlg, id, CB_SETITEMDATA, WPARAM(index), LPARAM(device));
        if (int(device) == current) Send(dlg, id, CB_SETCURSEL, WPARAM(index));
    }
}

void EnableMidiOutList(HWND dlg, bool enable) { EnableWindow(GetDlgItem(dlg, IDC_MIDI_OUT), enable); }

void FillDriveList(HWND dlg) {
    char letters[32] = "";
    FindDrives(letters, kCdRomDriveType);
    letters[sizeof letters - 1] = '\0';
    for (const char* letter = letters; *letter; ++letter) {
        char drive[4];
        FormatBounded(drive, sizeof drive, "%c:", *letter);
        Send(dlg, IDC_CD_DRIVE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
    }
    const char* configured = ConfiguredCdDrive();
    if (!DisableCDPlayer && configured)
        Send(dlg, IDC_CD_DRIVE, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(configured));
}

INT_PTR OnInitDialog(HWND dlg) {
    SetWindowTextA(dlg, Tr("Options"));
    for (const ItemText& item : kTranslatedItems) SetDlgItemTextA(dlg, item.id, Tr(item.english));
    Check(dlg, IDC_SHOW_HKEYS, gShowHKeys);
    Check(dlg, IDC_SHOW_HSCROLL, gShowHScroll);
    Check(dlg, IDC_SHOW_VSCROLL, gShowVScroll);
    Check(dlg, gPriorityOption == 1 ? IDC_PRIORITY_HIGH : IDC_PRIORITY_NORMAL, 1);
    FillMidiList(dlg, IDC_MIDI_IN, false, midi_in_dev);
    FillMidiList(dlg, IDC_MIDI_OUT, true, midi_out_dev);
    if (midi_out_dev == -1) {
        Check(dlg, IDC_MIDIMAPPER, 1);
        EnableMidiOutList(dlg, false);
    }
    Check(dlg, IDC_DSR_ENCODER, gDsrEncoder);
    Check(dlg, IDC_DSR_WHEEL, gDsrWheel);
    Check(dlg, IDC_STOREWND_DELAYED, VC_OPEN_STOREWND_DELAYED);
    Check(dlg, IDC_SAVE_ON_SHUTDOWN, gSaveOnShutdown);
    Check(dlg, IDC_CENTER_MAIN, gCenterMainWhenCovered);
    Check(dlg, IDC_CD_VISIBLE, gCdPlayerShown);
    FillDriveList(dlg);
    if (DisableCDPlayer)
        for (int id : {IDC_CD_VISIBLE, IDC_CD_DRIVE_LABEL, IDC_CD_DRIVE}) EnableWindow(GetDlgItem(dlg, id), FALSE);
    return TRUE;
}

void OnMidimapper(HWND dlg) {
    const bool mapper = Checked(dlg, IDC_MIDIMAPPER) != 0;
    EnableMidiOutList(dlg, !mapper);
    Send(dlg, IDC_MIDI_OUT, CB_SETCURSEL, mapper ? WPARAM(-1) : 0);
}

// ---- OK

// Takes the new value into flag; true when it differs (and was stored).
bool TakeFlag(HWND dlg, int id, int* flag, const char* valueName) {
    const int value = Checked(dlg, id);
    if (value == *flag) return false;
    *flag = value;
    WriteRegKeyInt(HKEY_CURRENT_USER, valueName, value, nullptr);
    return true;
}

void RedrawChild(int id) {
    if (HWND child = GetDlgItem(hMainWnd, id)) RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE);
}

// The layout decides which bars the size needs, as the view menu's toggle does.
void LayOutAgain() {
    RECT client;
    if (hMainWnd && GetClientRect(hMainWnd, &client)) LayOutDesk(hMainWnd, client.right, client.bottom);
}

void ApplyViewOptions(HWND dlg) {
    if (TakeFlag(dlg, IDC_SHOW_HKEYS, &gShowHKeys, "showhkeys") && hMainWnd)
        RedrawWindow(hMainWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    const bool horizontal = TakeFlag(dlg, IDC_SHOW_HSCROLL, &gShowHScroll, "showhscroll");
    const bool vertical = TakeFlag(dlg, IDC_SHOW_VSCROLL, &gShowVScroll, "showvscroll");
    if (horizontal || vertical) LayOutAgain();
    if (TakeFlag(dlg, IDC_CENTER_MAIN, &gCenterMainWhenCovered, "centermain_when_desktop_covered") &&
        BackgroundWindowExists() && hMainWnd) {
        DestroyBackgroundWindow();
        CreateBackgroundWindow(hMainWnd);
        RestackBackground();
    }
    TakeFlag(dlg, IDC_SAVE_ON_SHUTDOWN, &gSaveOnShutdown, "save_on_shutdown");
}

// The selected drive, only when it is a whole drive text; "" keeps none.
bool SelectedDrive(HWND dlg, char* drive, size_t size) {
    const LRESULT index = Send(dlg, IDC_CD_DRIVE, CB_GETCURSEL);
    if (index < 0) return false;
    const LRESULT length = Send(dlg, IDC_CD_DRIVE, CB_GETLBTEXTLEN, WPARAM(index));
    if (length <= 0 || size_t(length) >= size) return false;
    return Send(dlg, IDC_CD_DRIVE, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(drive)) == length;
}

// OK always stops the CD and reopens the drive, changed or not.
void ApplyCdOptions(HWND dlg) {
    if (DisableCDPlayer) return;
    if (TakeFlag(dlg, IDC_CD_VISIBLE, &gCdPlayerShown, "cd_player")) {
        ShowCdPanelForCurrentBar();
        if (hMainWnd) InvalidateRect(hMainWnd, nullptr, FALSE);
    }
    char drive[sizeof gCdDrive] = "";
    SelectedDrive(dlg, drive, sizeof drive);
    ReopenCdDrive(drive);
}

void ApplyFaceOptions(HWND dlg) {
    if (TakeFlag(dlg, IDC_DSR_WHEEL, &gDsrWheel, "dsr_wheel")) {
        ReloadWheelFaceBrush(ResourceInstance());
        RedrawChild(kWheelId);
    }
    if (TakeFlag(dlg, IDC_DSR_ENCODER, &gDsrEncoder, "dsr_encoder")) {
        ReloadEncoderFaceBrushes(ResourceInstance());
        for (int id = kFirstEncoderId; id <= kLastEncoderId; ++id) RedrawChild(id);
    }
    TakeFlag(dlg, IDC_STOREWND_DELAYED, &VC_OPEN_STOREWND_DELAYED, "storewnd_delayed");
}

// A list with no selection keeps the device: on a machine without MIDI
// devices the stored choice stays for the day they are back. The mapper is a
// choice of its own (-1, no name).
bool ApplyMidiDevice(HWND dlg, int id, bool output, int* device, const char* valueName, const char* nameName) {
    const int before = *device;
    const LRESULT index = Send(dlg, id, CB_GETCURSEL);
    char name[kMidiNameSize] = "";
    bool named = true;
    if (output && Checked(dlg, IDC_MIDIMAPPER)) {
        *device = int(kMidiMapper);
    } else if (index >= 0 && Send(dlg, id, CB_GETLBTEXTLEN, WPARAM(index)) < LRESULT(sizeof name)) {
        *device = int(Send(dlg, id, CB_GETITEMDATA, WPARAM(index)));
        Send(dlg, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(name));
    } else {
        named = false;
    }
    WriteRegKeyInt(HKEY_CURRENT_USER, valueName, *device, nullptr);
    if (named) WriteRegKeyString(HKEY_CURRENT_USER, nameName, name, nullptr);
    return *device != before;
}

void ApplyMidiOptions(HWND dlg) {
    const bool in = ApplyMidiDevice(dlg, IDC_MIDI_IN, false, &midi_in_dev, "midi_in_dev", "midi_in_devname");
    const bool out = ApplyMidiDevice(dlg, IDC_MIDI_OUT, true, &midi_out_dev, "midi_out_dev", "midi_out_devname");
    if (in || out) CallEntry(gCore.RestartMidi);
}

void ApplyPriority(HWND dlg) {
    const int high = Checked(dlg, IDC_PRIORITY_HIGH);
    if (high == gPriorityOption) return;
    gPriorityOption = high;
    SetPriorityClass(GetCurrentProcess(), high ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
    WriteRegKeyInt(HKEY_CURRENT_USER, "priority", high, nullptr);
}

void OnOk(HWND dlg) {
    ApplyViewOptions(dlg);
    ApplyCdOptions(dlg);
    ApplyFaceOptions(dlg);
    ApplyMidiOptions(dlg);
    ApplyPriority(dlg);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog(dlg);
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_MIDIMAPPER: OnMidimapper(dlg); return FALSE;
        case IDOK:
            OnOk(dlg);
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int OpenOptionsDialog(HWND owner) {
    return int(DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsDialogProc, 0));
}
