// The simulated audio file player.
#include "tests/harness/SimAudioFiles.h"

#include <digitalv.h>

#include <algorithm>

#include "cdplayer/FileDisc.h"

namespace harness {

SimAudioFiles gFiles;

namespace {
MCIERROR SimSend(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    return gFiles.Send(id, message, flags, params);
}
const AudioFileCalls kSimFiles = {SimSend};
}  // namespace

void SimAudioFiles::Install() { SetAudioFileCalls(&kSimFiles); }

MCIERROR SimAudioFiles::Send(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    if (message == MCI_OPEN) {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSW*>(params);
        if (!lengths.count(open->lpstrElementName)) return MCIERR_FILE_NOT_FOUND;
        const std::wstring type = open->lpstrDeviceType;
        if (type != L"waveaudio" && waveOnly.count(open->lpstrElementName)) return MCIERR_UNRECOGNIZED_COMMAND;
        open->wDeviceID = next;
        devices[next].path = open->lpstrElementName;
        devices[next++].type = type;
        return 0;
    }
    if (!devices.count(id)) return MCIERR_INVALID_DEVICE_ID;
    Device& d = devices[id];
    const DWORD length = lengths[d.path];
    switch (message) {
    case MCI_CLOSE: devices.erase(id); return 0;
    case MCI_STATUS: {
        auto* status = reinterpret_cast<MCI_STATUS_PARMS*>(params);
        status->dwReturn = status->dwItem == MCI_STATUS_LENGTH     ? length
                           : status->dwItem == MCI_STATUS_POSITION ? d.at
                           : d.playing                             ? MCI_MODE_PLAY
                                                                   : MCI_MODE_STOP;
        return 0;
    }
    case MCI_PLAY: {
        auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(params);
        d.at = (flags & MCI_FROM) ? play->dwFrom : d.at;
        d.to = (flags & MCI_TO) ? play->dwTo : length;
        d.notify = (flags & MCI_NOTIFY) ? reinterpret_cast<HWND>(play->dwCallback) : nullptr;
        d.playing = true;
        return 0;
    }
    case MCI_SETAUDIO:
        if (d.type == L"waveaudio") return MCIERR_UNSUPPORTED_FUNCTION;
        d.volume = reinterpret_cast<MCI_DGV_SETAUDIO_PARMSW*>(params)->dwValue;
        return 0;
    case MCI_PAUSE: d.playing = false; return 0;
    case MCI_RESUME: d.playing = true; return 0;
    }
    return 0;
}

void SimAudioFiles::Advance(DWORD ms) {
    for (auto& [id, d] : devices) {
        if (!d.playing) continue;
        d.at = std::min(d.at + ms, d.to);
        if (d.at < d.to) continue;
        d.playing = false;
        if (d.notify) PostMessageW(d.notify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, id);
    }
}

const SimAudioFiles::Device* SimAudioFiles::Playing() const {
    for (const auto& [id, d] : devices)
        if (d.playing) return &d;
    return nullptr;
}

}  // namespace harness
