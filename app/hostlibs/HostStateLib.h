// Shared state and services of the host-state library (interface.dll).
// The host imports it by name; the console core reads the same variables.
#pragma once
#include <windows.h>

#ifdef BUILDING_INTERFACE_DLL
#define HOSTSTATE_API extern "C" __declspec(dllexport)
#else
#define HOSTSTATE_API extern "C" __declspec(dllimport)
#endif

// One display the core presents into: the window comes first; the second
// field belongs to the core. Both are pointer-sized so a 64-bit build can keep
// a handle in either.
struct DisplayRecord {
    HWND wnd;
    LONG_PTR coreData;
};

enum { kLedCount = 256, kDisplayCount = 5, kCharJqSize = 8192, kMouseJqSize = 4096 };

HOSTSTATE_API HINSTANCE hInst;
HOSTSTATE_API HWND hMainWnd;
HOSTSTATE_API HWND hTouchWnd;
HOSTSTATE_API HWND hExt1Wnd;
HOSTSTATE_API HWND hExt2Wnd;
HOSTSTATE_API HWND hCmdlineWnd;
HOSTSTATE_API HWND hCDDisplayWnd;
HOSTSTATE_API HWND hProgress;
HOSTSTATE_API HWND hInfoShow;
HOSTSTATE_API HWND ledHWnd[kLedCount];
HOSTSTATE_API DisplayRecord displays[kDisplayCount];

HOSTSTATE_API unsigned char char_jq[kCharJqSize];
HOSTSTATE_API unsigned char mouse_jq[kMouseJqSize];
HOSTSTATE_API int char_jq_in;
HOSTSTATE_API int char_jq_out;
HOSTSTATE_API int mouse_jq_in;
HOSTSTATE_API int mouse_jq_out;
HOSTSTATE_API CRITICAL_SECTION cjq_criticalsection;
HOSTSTATE_API CRITICAL_SECTION mjq_criticalsection;

HOSTSTATE_API const char* knt_windows_title;
HOSTSTATE_API OSVERSIONINFOEXA os_version_info;

HOSTSTATE_API int VC_KNT_ACTIVE;
HOSTSTATE_API int VC_REBOOT_KANTREL;
HOSTSTATE_API int appl_loaded;
HOSTSTATE_API int DisableCDPlayer;
HOSTSTATE_API int VC_SENDOUTPUT_TO_FILE;
HOSTSTATE_API int VC_OPEN_STOREWND_DELAYED;
HOSTSTATE_API int midi_in_dev;
HOSTSTATE_API int midi_out_dev;

// Desk view state; written with interlocked exchanges, hence LONG.
HOSTSTATE_API volatile LONG current_bar;
HOSTSTATE_API volatile LONG current_touch;
HOSTSTATE_API volatile LONG current_background;
HOSTSTATE_API volatile LONG background_mode;
HOSTSTATE_API volatile LONG maindlg_count;

HOSTSTATE_API unsigned char cd_track;
HOSTSTATE_API unsigned char cd_min;
HOSTSTATE_API unsigned char cd_sek;
HOSTSTATE_API unsigned char cd_frame;
HOSTSTATE_API int cd_mode;
HOSTSTATE_API int cd_trigger_timecode;
HOSTSTATE_API CRITICAL_SECTION cd_criticalsection;

HOSTSTATE_API int RGBBitCount;

// Services. Answers of VCMessageBox: 100, 101, 102 for the first, second and
// third button word.
enum { kVcAnswer1 = 100, kVcAnswer2 = 101, kVcAnswer3 = 102 };

HOSTSTATE_API int RGBBitCountAndDirectDrawTest(int storeDepth, int atStartup);
HOSTSTATE_API int GetBitCount(void);
HOSTSTATE_API int RunModalLoop(HWND owner);
HOSTSTATE_API int VCMessageBox(int type, int reserved, const char* question, const char* buttons);
HOSTSTATE_API int CenterWindow(HWND wnd);
HOSTSTATE_API int FindDrives(char* letters, int driveType);

// Beyond what the host uses: hooks for the core and for tests.
// The core opens a modal phase; RunModalLoop pumps messages until it closes.
HOSTSTATE_API void SetModalPhase(int active);
HOSTSTATE_API int IsModalPhase(void);
// Tests answer VCMessageBox without a dialog (0 restores the real dialog) and
// read what it was last asked.
HOSTSTATE_API void VCMessageBoxSetAnswer(int answer);
HOSTSTATE_API const char* VCMessageBoxLastQuestion(void);
HOSTSTATE_API const char* VCMessageBoxLastButtons(void);
HOSTSTATE_API int VCMessageBoxLastType(void);
HOSTSTATE_API int VCMessageBoxCallCount(void);
// Tests pretend the display has this colour depth (0: the real display).
HOSTSTATE_API void SetSimulatedBitCount(int bits);
// FindDrives writes at most 26 letters and a terminator: its buffer must hold
// kDriveLettersSize characters.
enum { kDriveLettersSize = 27 };
