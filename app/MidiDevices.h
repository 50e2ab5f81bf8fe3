// The MIDI devices the host looks at: only their count and product names, to
// tell whether a stored device index still means the same device. Tests stand
// in a simulated set; the program asks WinMM.
#pragma once
#include <cstddef>

struct MidiDeviceSource {
    unsigned (*inputCount)();
    // The product name of a device into buf; false when its capabilities
    // cannot be read.
    bool (*inputName)(unsigned device, char* buf, size_t size);
    unsigned (*outputCount)();
    bool (*outputName)(unsigned device, char* buf, size_t size);
};

// Null restores WinMM.
void SetMidiDeviceSource(const MidiDeviceSource* source);
const MidiDeviceSource& MidiDevices();

// Whether device index refers to an installed device of that direction whose
// product name is exactly storedName. A null storedName never matches.
bool MidiDeviceMatches(bool output, int device, const char* storedName);
