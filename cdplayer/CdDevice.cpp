// The CD audio device: lifetime, open and close, the error step and the
// status queries.
#include "cdplayer/CdDevice.h"

#include <cctype>

#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/CdWinmm.h"
#include "common/Text.h"

CdDevice gCdDevice;

namespace {
// MCI_WAIT | MCI_OPEN_SHAREABLE | MCI_OPEN_ELEMENT | MCI_OPEN_TYPE_ID | MCI_OPEN_TYPE
constexpr DWORD kOpenFlags = 0x3302;

BYTE Byte(DWORD_PTR value, int index) { return BYTE(value >> (8 * index)); }

void SplitSeconds(DWORD milliseconds, BYTE* minutes, BYTE* seconds) {
    const DWORD whole = milliseconds / 1000;
    *minutes = BYTE(whole / 60);
    *seconds = BYTE(whole % 60);
}
}  // namespace

// Constructed before WinMain: the core's readers of the CD values rely on the
// lock being ready before any session starts.
CdDevice::CdDevice()
    : open_{}, timeFormat_(0), discLength_(0), volumeControl_(0), doorOpen_(0), mixer_(nullptr), trackCount_(0) {
    InitializeCriticalSection(&cd_criticalsection);
}

CdDevice::~CdDevice() {
    if (!DisableCDPlayer) Close();
    DeleteCriticalSection(&cd_criticalsection);
}

MCIERROR CdDevice::Send(UINT message, DWORD_PTR flags, void* params) {
    return CdDrive().sendCommand(open_.wDeviceID, message, flags, reinterpret_cast<DWORD_PTR>(params));
}

bool CdDevice::ErrorStep(MCIERROR error) {
    if (!error) return true;
    char text[256] = "";
    if (!CdDrive().errorText(error, text, sizeof text) || !text[0]) CopyBounded(text, sizeof text, "Unknown error");
    OutputDebugStringA(text);
    // The device is dropped for good: let go of the drive and the mixer too.
    if (IsOpen()) {
        MCI_GENERIC_PARMS close = {};
        Send(MCI_CLOSE, MCI_WAIT, &close);
    }
    open_.wDeviceID = 0;
    open_.lpstrElementName = nullptr;
    CloseMixer();
    return false;
}

bool CdDevice::Open(const char* drive) {
    if (IsOpen()) Close();
    if (drive != gCdDrive) CopyBounded(gCdDrive, sizeof gCdDrive, drive);
    open_ = {};
    open_.lpstrDeviceType = reinterpret_cast<LPCSTR>(UINT_PTR(MCI_DEVTYPE_CD_AUDIO));
    open_.lpstrElementName = gCdDrive;
    const MCIERROR error = Send(MCI_OPEN, kOpenFlags, &open_);
    if (error) {
        // WinMM fills in a device id even when the open fails.
        open_.wDeviceID = 0;
        return ErrorStep(error);
    }
    // A disc of files may stand where no drive is: only a drive is stored.
    if (isalpha(static_cast<unsigned char>(gCdDrive[0])))
        WriteRegKeyInt(HKEY_CURRENT_USER, "cd_drive", static_cast<unsigned char>(gCdDrive[0]), nullptr);
    if (!ReadDiscLength()) return false;
    OpenVolumeControl();
    RefreshVolumeFader();
    return true;
}

bool CdDevice::ReadDiscLength() {
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = kCdFormatMs;
    if (!ErrorStep(Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set))) return false;
    timeFormat_ = kCdFormatMs;
    DWORD_PTR length = 0;
    discLength_ = QueryStatus(MCI_STATUS_LENGTH, MCI_STATUS_ITEM | MCI_WAIT, 0, &length) ? DWORD(length) : 0;
    set.dwTimeFormat = kCdFormatTmsf;
    if (!ErrorStep(Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set))) return false;
    timeFormat_ = kCdFormatTmsf;
    return true;
}

void CdDevice::Close() {
    Stop();
    if (IsOpen()) {
        MCI_GENERIC_PARMS close = {};
        const MCIERROR error = Send(MCI_CLOSE, MCI_WAIT, &close);
        open_.wDeviceID = 0;
        open_.lpstrElementName = nullptr;
        ErrorStep(error);
    }
    CloseMixer();
    ClearTrackList();
}

bool CdDevice::QueryStatus(DWORD item, DWORD_PTR flags, DWORD track, DWORD_PTR* answer) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = item;
    status.dwTrack = track;
    const MCIERROR error = Send(MCI_STATUS, flags, &status);
    *answer = error ? 0 : status.dwReturn;
    return !error;
}

int CdDevice::GetMode() {
    if (!IsOpen()) return -1;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MODE;
    if (!ErrorStep(Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status))) return -1;
    return int(status.dwReturn);
}

bool CdDevice::SetTimeFormat(DWORD format) {
    if (!IsOpen()) return false;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = format;
    if (Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set)) return false;
    // Kept only once the drive took it, so answers are always decoded right.
    timeFormat_ = format;
    return true;
}

UINT CdDevice::IsDiscReady() {
    if (!IsOpen()) return 0;
    DWORD_PTR present = 0, count = 0;
    const DWORD_PTR flags = MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT;
    if (!QueryStatus(MCI_STATUS_MEDIA_PRESENT, flags, 0, &present)) return 0;
    if (!QueryStatus(MCI_STATUS_NUMBER_OF_TRACKS, flags, 0, &count)) return 0;
    return UINT(count);
}

bool CdDevice::GetTrackCount(UINT* count) {
    DWORD_PTR answer = 0;
    const bool read =
        IsOpen() && QueryStatus(MCI_STATUS_NUMBER_OF_TRACKS, MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT, 0, &answer);
    *count = UINT(answer);
    return read;
}

bool CdDevice::GetTrackType(int track, DWORD* type) {
    DWORD_PTR answer = 0;
    if (!IsOpen() || !QueryStatus(MCI_CDA_STATUS_TYPE_TRACK, MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT, DWORD(track), &answer)) {
        *type = MCI_CDA_TRACK_OTHER;
        return false;
    }
    *type = DWORD(answer);
    return true;
}

bool CdDevice::GetPosition(BYTE* track, BYTE* minutes, BYTE* seconds, BYTE* frames) {
    *track = *minutes = *seconds = *frames = 0;
    if (!IsOpen() || GetMode() == kCdModeNotReady || !IsOpen()) return false;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    const MCIERROR error = Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status);
    if (!error) {
        const DWORD_PTR at = status.dwReturn;
        if (timeFormat_ == kCdFormatTmsf) {
            *track = Byte(at, 0), *minutes = Byte(at, 1), *seconds = Byte(at, 2), *frames = Byte(at, 3);
        } else if (timeFormat_ == kCdFormatMsf) {
            *minutes = Byte(at, 0), *seconds = Byte(at, 1), *frames = Byte(at, 2);
        } else if (timeFormat_ == kCdFormatMs) {
            SplitSeconds(DWORD(at), minutes, seconds);
        }
    }
    ErrorStep(error);
    return true;
}

void CdDevice::GetTrackLength(int track, BYTE* minutes, BYTE* seconds, BYTE* frames) {
    *minutes = *seconds = *frames = 0;
    if (timeFormat_ != kCdFormatTmsf && timeFormat_ != kCdFormatMs) return;
    if (!IsOpen() || GetMode() == kCdModeNotReady || !IsOpen()) return;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    DWORD_PTR flags = MCI_STATUS_ITEM | MCI_WAIT;
    // In milliseconds the drive is asked for the whole disc.
    if (timeFormat_ == kCdFormatTmsf) {
        flags |= MCI_TRACK;
        status.dwTrack = DWORD(track);
    }
    const MCIERROR error = Send(MCI_STATUS, flags, &status);
    if (!error && timeFormat_ == kCdFormatTmsf) {
        *minutes = Byte(status.dwReturn, 0), *seconds = Byte(status.dwReturn, 1), *frames = Byte(status.dwReturn, 2);
    } else if (!error) {
        SplitSeconds(DWORD(status.dwReturn), minutes, seconds);
    }
    ErrorStep(error);
}

DWORD CdDevice::GetTrackStart(int track) {
    if (!SetTimeFormat(kCdFormatMsf)) return 0;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    status.dwTrack = DWORD(track);
    const MCIERROR error = Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK, &status);
    SetTimeFormat(kCdFormatTmsf);
    if (!ErrorStep(error)) return 0;
    const DWORD_PTR at = status.dwReturn;
    return DWORD(Byte(at, 0)) << 16 | DWORD(Byte(at, 1)) << 8 | Byte(at, 2);
}

void CdStopPlayback() { gCdDevice.Stop(); }
void CdCloseDevice() { gCdDevice.Close(); }
