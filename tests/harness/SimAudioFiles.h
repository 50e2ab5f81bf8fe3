// A simulated player of audio files behind the file disc's MCI seam: files
// by path with their length in milliseconds, one device per opened file, and
// time that passes only when the test says so. At a play's end the device
// stops and its notice goes to the window the play named.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <set>
#include <string>

namespace harness {

struct SimAudioFiles {
    struct Device {
        std::wstring path, type;
        DWORD at = 0, to = 0;
        DWORD volume = 1000;  // as the media player counts it
        bool playing = false;
        HWND notify = nullptr;
    };
    std::map<std::wstring, DWORD> lengths;
    std::set<std::wstring> waveOnly;  // files only the wave device reads
    std::map<MCIDEVICEID, Device> devices;
    MCIDEVICEID next = 100;

    // Puts the player (the process-wide gFiles) behind the seam.
    void Install();
    MCIERROR Send(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR params);
    void Advance(DWORD ms);
    // The playing device's file, or null.
    const Device* Playing() const;
};

extern SimAudioFiles gFiles;

}  // namespace harness
