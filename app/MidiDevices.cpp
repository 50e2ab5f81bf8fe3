#include "app/MidiDevices.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace {

unsigned WinmmInputCount() { return midiInGetNumDevs(); }
unsigned WinmmOutputCount() { return midiOutGetNumDevs(); }

bool WinmmInputName(unsigned device, char* buf, size_t size) {
    MIDIINCAPSA caps{};
    if (midiInGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    lstrcpynA(buf, caps.szPname, int(size));
    return true;
}

bool WinmmOutputName(unsigned device, char* buf, size_t size) {
    MIDIOUTCAPSA caps{};
    if (midiOutGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    lstrcpynA(buf, caps.szPname, int(size));
    return true;
}

const MidiDeviceSource kWinmm = {WinmmInputCount, WinmmInputName, WinmmOutputCount, WinmmOutputName};
const MidiDeviceSource* gSource = &kWinmm;

}  // namespace

void SetMidiDeviceSource(const MidiDeviceSource* source) { gSource = source ? source : &kWinmm; }
const MidiDeviceSource& MidiDevices() { return *gSource; }

bool MidiDeviceMatches(bool output, int device, const char* storedName) {
    if (device < 0 || !storedName) return false;
    const MidiDeviceSource& source = MidiDevices();
    const unsigned count = output ? source.outputCount() : source.inputCount();
    if (unsigned(device) >= count) return false;
    char name[MAXPNAMELEN + 1] = "";
    const bool read = output ? source.outputName(unsigned(device), name, sizeof name)
                             : source.inputName(unsigned(device), name, sizeof name);
    return read && std::strcmp(name, storedName) == 0;
}
