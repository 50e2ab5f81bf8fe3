#include "cdplayer/CdWinmm.h"

#include "app/hostlibs/HostStateLib.h"

namespace {

MCIERROR WinmmSend(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    return mciSendCommandA(device, message, flags, params);
}
BOOL WinmmErrorText(MCIERROR error, char* buf, UINT size) { return mciGetErrorStringA(error, buf, size); }
MMRESULT WinmmMixerOpen(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    return mixerOpen(mixer, id, callback, instance, flags);
}
MMRESULT WinmmMixerClose(HMIXER mixer) { return mixerClose(mixer); }
MMRESULT WinmmLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) {
    return mixerGetLineInfoA(mixer, line, flags);
}
MMRESULT WinmmLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) {
    return mixerGetLineControlsA(mixer, controls, flags);
}
MMRESULT WinmmGetDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
    return mixerGetControlDetailsA(mixer, details, flags);
}
MMRESULT WinmmSetDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) {
    return mixerSetControlDetails(mixer, details, flags);
}
UINT WinmmDriveType(const char* root) { return GetDriveTypeA(root); }
int WinmmCdDriveLetters(char* letters) { return FindDrives(letters, DRIVE_CDROM); }

const CdDriveCalls kWinmm = {WinmmSend,       WinmmErrorText,  WinmmMixerOpen, WinmmMixerClose,
                             WinmmLineInfo,   WinmmLineControls, WinmmGetDetails, WinmmSetDetails,
                             WinmmDriveType,  WinmmCdDriveLetters};
const CdDriveCalls* gCalls = &kWinmm;

}  // namespace

void SetCdDriveCalls(const CdDriveCalls* calls) { gCalls = calls ? calls : &kWinmm; }
const CdDriveCalls& CdDrive() { return *gCalls; }
