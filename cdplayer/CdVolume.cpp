// The CD device's mixer volume: finding the CD line's control, reading it
// into the volume fader and setting it from there.
#include "cdplayer/CdVolume.h"

#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdWinmm.h"
#include "common/FaultGuard.h"
#include "input/FaderWnd.h"

namespace {
HMIXEROBJ Object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }
}  // namespace

// The mixer stays open only while it has a CD line with a volume control:
// that is all the device uses it for.
void CdDevice::OpenVolumeControl() {
    volumeControl_ = 0;
    HWND notify = hCDDisplayWnd;
    HMIXER mixer = nullptr;
    if (CdDrive().mixerOpen(&mixer, 0, reinterpret_cast<DWORD_PTR>(notify), 0, notify ? CALLBACK_WINDOW : 0) !=
        MMSYSERR_NOERROR)
        return;
    mixer_ = mixer;
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (CdDrive().mixerLineInfo(Object(mixer_), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
        CloseMixer();
        return;
    }
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (CdDrive().mixerLineControls(Object(mixer_), &controls,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR) {
        CloseMixer();
        return;
    }
    volumeControl_ = control.dwControlID;
}

void CdDevice::CloseMixer() {
    if (mixer_) CdDrive().mixerClose(mixer_);
    mixer_ = nullptr;
    volumeControl_ = 0;
}

namespace {
struct MixerRead {
    HMIXER mixer;
    MIXERCONTROLDETAILS* details;
    MMRESULT result;
};

bool ReadMixer(void* context) {
    auto* read = static_cast<MixerRead*>(context);
    read->result = CdDrive().mixerGetDetails(Object(read->mixer), read->details,
                                             MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    return true;
}
}  // namespace

DWORD CdDevice::RefreshVolumeFader() {
    if (!mixer_) return 0;
    MIXERCONTROLDETAILS_UNSIGNED values[2] = {};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = volumeControl_;
    details.cChannels = 2;
    details.cbDetails = sizeof values[0];
    details.paDetails = values;
    // Mixer drivers are foreign code run on a notice from the system: a
    // fault inside one must not end the desk.
    MixerRead read = {mixer_, &details, MMSYSERR_ERROR};
    DWORD fault = 0;
    if (!CallWithFaultGuard(ReadMixer, &read, &fault) || read.result != MMSYSERR_NOERROR) return 0;
    SetFaderValue(kVolumeFader, values[0].dwValue);
    return values[0].dwValue;
}

void CdDevice::SetVolume(DWORD controlId, DWORD channels, HWND owner, DWORD left, DWORD right) {
    if (!mixer_) return;
    MIXERCONTROLDETAILS_UNSIGNED values[2] = {{left}, {right}};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = channels < 2 ? channels : 2;
    details.hwndOwner = owner;
    details.cbDetails = sizeof values[0];
    details.paDetails = values;
    CdDrive().mixerSetDetails(Object(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

void SetCdVolume(int value) {
    if (value < 0) value = 0;
    gCdDevice.SetVolume(gCdDevice.VolumeControlId(), 2, nullptr, DWORD(value), DWORD(value));
}
