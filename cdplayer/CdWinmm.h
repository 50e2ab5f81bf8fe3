// Every WinMM and drive call of the CD audio device, as one table: WinMM
// itself in the program, a simulated drive in tests.
#pragma once
#include <windows.h>
#include <mmsystem.h>

struct CdDriveCalls {
    MCIERROR (*sendCommand)(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);
    BOOL (*errorText)(MCIERROR error, char* buf, UINT size);
    MMRESULT (*mixerOpen)(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT (*mixerClose)(HMIXER mixer);
    MMRESULT (*mixerLineInfo)(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags);
    MMRESULT (*mixerLineControls)(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags);
    MMRESULT (*mixerGetDetails)(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
    MMRESULT (*mixerSetDetails)(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
    UINT (*driveType)(const char* root);
    // The letters of the CD drives, as FindDrives of the host-state library.
    int (*cdDriveLetters)(char* letters);
};

// Null restores WinMM.
void SetCdDriveCalls(const CdDriveCalls* calls);
const CdDriveCalls& CdDrive();
