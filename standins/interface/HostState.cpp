// The state that the host and the console core share through interface.dll.
#include "app/hostlibs/HostStateLib.h"

HINSTANCE hInst = nullptr;
HWND hMainWnd = nullptr;
HWND hTouchWnd = nullptr;
HWND hExt1Wnd = nullptr;
HWND hExt2Wnd = nullptr;
HWND hCmdlineWnd = nullptr;
HWND hCDDisplayWnd = nullptr;
HWND hProgress = nullptr;
HWND hInfoShow = nullptr;
HWND ledHWnd[kLedCount] = {};
DisplayRecord displays[kDisplayCount] = {};

unsigned char char_jq[kCharJqSize] = {};
unsigned char mouse_jq[kMouseJqSize] = {};
int char_jq_in = 0;
int char_jq_out = 0;
int mouse_jq_in = 0;
int mouse_jq_out = 0;
// The host initialises and deletes these; the library never touches them.
CRITICAL_SECTION cjq_criticalsection = {};
CRITICAL_SECTION mjq_criticalsection = {};

const char* knt_windows_title = nullptr;
OSVERSIONINFOEXA os_version_info = {};

int VC_KNT_ACTIVE = 0;
int VC_REBOOT_KANTREL = 0;
int appl_loaded = 0;
int DisableCDPlayer = 0;
int VC_SENDOUTPUT_TO_FILE = 0;
int VC_OPEN_STOREWND_DELAYED = 0;
int midi_in_dev = 0;
int midi_out_dev = 0;

// The desk opens on fader bar 3 and touch view 2 until the settings say otherwise.
volatile LONG current_bar = 3;
volatile LONG current_touch = 2;
volatile LONG current_background = 0;
volatile LONG background_mode = 0;
volatile LONG maindlg_count = 0;

unsigned char cd_track = 0;
unsigned char cd_min = 0;
unsigned char cd_sek = 0;
unsigned char cd_frame = 0;
int cd_mode = 0;
int cd_trigger_timecode = 0;
CRITICAL_SECTION cd_criticalsection = {};

int RGBBitCount = 0;
