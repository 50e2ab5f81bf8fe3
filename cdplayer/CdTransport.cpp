// The CD device's transport: play, stop, pause, seek and the door.
#include "app/ErrorBox.h"
#include "app/hostlibs/HostStateLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"

namespace {
constexpr int kPlayerStopped = 1, kPlayerPlaying = 2, kPlayerPaused = 3;
}  // namespace

bool CdDevice::Play() {
    if (!IsOpen()) return false;
    const int mode = GetMode();
    if (mode == kCdModeNotReady) {
        ShowErrorBox(nullptr, "Device not ready!");
        return false;
    }
    if (mode == kCdModePaused) {
        MCI_GENERIC_PARMS resume = {};
        if (!ErrorStep(Send(MCI_RESUME, 0, &resume))) return false;
        SetPlayerMode(kPlayerPlaying);
        return true;
    }
    if (mode != kCdModeStopped && mode != kCdModeSeeking) return false;

    BYTE track, minutes, seconds, frames;
    EnterCriticalSection(&cd_criticalsection);
    GetPosition(&track, &minutes, &seconds, &frames);
    LeaveCriticalSection(&cd_criticalsection);
    if (!IsOpen()) return false;
    // A drive refuses to play a data track, and the refusal would drop the
    // device: a disc whose track 1 holds data plays from its first audio track.
    if (!tracks_.empty() && !HasTrack(track)) {
        track = BYTE(tracks_.front().number);
        minutes = seconds = frames = 0;
    }
    MCI_PLAY_PARMS play = {};
    play.dwFrom = MCI_MAKE_TMSF(track, minutes, seconds, frames);
    DWORD_PTR flags = MCI_FROM;
    if (gCdStopAtTrackEnd) {
        // The last track has no successor to stop at: it plays to the disc's end.
        if (track < trackCount_) {
            play.dwTo = MCI_MAKE_TMSF(track + 1, 0, 0, 0);
            flags |= MCI_TO;
        }
        play.dwCallback = reinterpret_cast<DWORD_PTR>(hCDDisplayWnd);
        flags |= MCI_NOTIFY;
    }
    if (!ErrorStep(Send(MCI_PLAY, flags, &play))) return false;
    gCdPlayedTrack = gCdStopAtTrackEnd ? track : 0;
    RefreshPosition(true);
    SetPlayerMode(kPlayerPlaying);
    return true;
}

void CdDevice::Stop() {
    SetPlayerMode(kPlayerStopped);
    gCdPlayedTrack = 0;
    Sleep(0);
    if (!IsOpen()) return;
    const int mode = GetMode();
    if (mode != kCdModePlaying && mode != kCdModePaused && mode != kCdModeStopped) return;
    MCI_GENERIC_PARMS stop = {};
    ErrorStep(Send(MCI_STOP, MCI_WAIT, &stop));
}

void CdDevice::Pause() {
    SetPlayerMode(kPlayerPaused);
    Sleep(0);
    if (!IsOpen() || GetMode() != kCdModePlaying) return;
    MCI_GENERIC_PARMS pause = {};
    ErrorStep(Send(MCI_PAUSE, MCI_WAIT, &pause));
}

void CdDevice::Seek(int track, int minutes, int seconds, int frames, bool lock) {
    if (!IsOpen()) return;
    Stop();
    if (!IsOpen()) return;
    MCI_SEEK_PARMS seek = {};
    if (timeFormat_ == kCdFormatTmsf)
        seek.dwTo = MCI_MAKE_TMSF(track, minutes, seconds, frames);
    else if (timeFormat_ == kCdFormatMs)
        seek.dwTo = DWORD(seconds + 60 * minutes) * 1000;
    if (lock) EnterCriticalSection(&cd_criticalsection);
    gCdCurrentTrack = BYTE(track);
    PublishCdPosition(BYTE(track), BYTE(minutes), BYTE(seconds), BYTE(frames), lock);
    const MCIERROR error = Send(MCI_SEEK, MCI_TO | MCI_WAIT, &seek);
    if (lock) LeaveCriticalSection(&cd_criticalsection);
    ErrorStep(error);
}

void CdDevice::ToggleDoor() {
    if (!IsOpen()) return;
    const bool open = IsDiscReady() || !doorOpen_;
    // A player left "playing" would take the open tray for a run-out at the
    // next poll and lose the device on its seek.
    if (open) Stop();
    if (!IsOpen()) return;
    // The door's answer is not examined: a drive without a motor still counts.
    Send(MCI_SET, (open ? MCI_SET_DOOR_OPEN : MCI_SET_DOOR_CLOSED) | MCI_WAIT, nullptr);
    doorOpen_ = open ? 1 : 0;
}

void CdDevice::Wind(int direction) {
    if (!IsOpen() || !SetTimeFormat(kCdFormatMs)) return;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    // An unread position is no position: stepping from 0 would jump to 0:01.
    if (Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status)) {
        SetTimeFormat(kCdFormatTmsf);
        return;
    }
    // Signed: a step back within the first second stops at 0 instead of wrapping.
    long long target = static_cast<long long>(status.dwReturn) + 1000LL * direction;
    if (target < 0) target = 0;
    if (target > static_cast<long long>(discLength_)) target = discLength_;
    MCI_SEEK_PARMS seek = {};
    seek.dwTo = DWORD(target);
    Send(MCI_SEEK, MCI_TO | MCI_WAIT, &seek);
    SetTimeFormat(kCdFormatTmsf);
}
