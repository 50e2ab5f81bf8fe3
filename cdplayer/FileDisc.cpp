// The file disc: track starts and lengths in frames (75 a second), the
// position from the playing file's own clock, and the step from one file
// into the next without the disc ever reading "stopped" in between.
#include "cdplayer/FileDisc.h"

#include <digitalv.h>

#include <algorithm>

namespace {

constexpr DWORD kFramesPerSecond = 75;
constexpr DWORD kVolumeControl = 1;

struct Track {
    std::wstring path;
    DWORD start;   // frames from the disc's start
    DWORD length;  // frames
};

enum class Run { Stopped, Playing, Paused };

struct Disc {
    std::vector<Track> tracks;
    bool loaded = false;
    bool open = false;
    bool doorOpen = false;
    DWORD format = MCI_FORMAT_MSF;
    Run run = Run::Stopped;
    DWORD position = 0;      // frames, while not playing
    DWORD lastRead = 0;      // frames, the playing file's last good position
    DWORD end = 0;           // where the play stops
    size_t playing = 0;      // the track whose file plays
    MCIDEVICEID file = 0;    // its device
    HWND notify = nullptr;   // the play's callback window
    HWND files = nullptr;    // receives the files' own end notices
    DWORD volume = 65535;
} gDisc;

MCIERROR WinmmSendW(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    return mciSendCommandW(device, message, flags, params);
}
const AudioFileCalls kWinmm = {WinmmSendW};
const AudioFileCalls* gFileCalls = &kWinmm;

DWORD FramesOfMs(DWORD ms) { return DWORD(ULONGLONG(ms) * kFramesPerSecond / 1000); }
DWORD MsOfFrames(DWORD frames) { return DWORD(ULONGLONG(frames) * 1000 / kFramesPerSecond); }
DWORD DiscEnd() { return gDisc.tracks.empty() ? 0 : gDisc.tracks.back().start + gDisc.tracks.back().length; }

size_t TrackAt(DWORD frame) {
    size_t found = 0;
    for (size_t i = 0; i < gDisc.tracks.size(); ++i)
        if (frame >= gDisc.tracks[i].start) found = i;
    return found;
}

bool IsWave(const std::wstring& path) {
    return path.size() >= 4 && _wcsicmp(path.c_str() + path.size() - 4, L".wav") == 0;
}

// ---- one file's device

MCIDEVICEID OpenAs(const wchar_t* type, const std::wstring& path) {
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = type;
    open.lpstrElementName = path.c_str();
    if (gFileCalls->send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, DWORD_PTR(&open))) return 0;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    if (gFileCalls->send(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, DWORD_PTR(&set))) {
        gFileCalls->send(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
        return 0;
    }
    return open.wDeviceID;
}

// WAV goes through the media player too where it can: the wave device has no
// volume, and its position moves in steps of a third of a second under some
// drivers, which a frame-exact timecode cannot use. The wave device stays the
// way in for systems whose media player cannot read the file.
MCIDEVICEID OpenFile(const std::wstring& path) {
    const MCIDEVICEID file = OpenAs(L"mpegvideo", path);
    return file || !IsWave(path) ? file : OpenAs(L"waveaudio", path);
}

bool FileStatus(MCIDEVICEID file, DWORD item, DWORD* answer) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = item;
    if (gFileCalls->send(file, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, DWORD_PTR(&status))) return false;
    *answer = DWORD(status.dwReturn);
    return true;
}

void CloseFile() {
    if (gDisc.file) gFileCalls->send(gDisc.file, MCI_CLOSE, MCI_WAIT, 0);
    gDisc.file = 0;
}

// The playback volume follows the CD volume fader (the wave device refuses it).
void ApplyVolume() {
    if (!gDisc.file) return;
    MCI_DGV_SETAUDIO_PARMSW audio = {};
    audio.dwItem = MCI_DGV_SETAUDIO_VOLUME;
    audio.dwValue = gDisc.volume * 1000 / 65535;
    gFileCalls->send(gDisc.file, MCI_SETAUDIO, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT,
                     DWORD_PTR(&audio));
}

// Plays track index from frame (absolute) up to the disc's end point or the
// track's end, whichever comes first; false when the file would not play.
bool PlayFileFrom(size_t index, DWORD frame) {
    CloseFile();
    const Track& track = gDisc.tracks[index];
    gDisc.playing = index;
    gDisc.lastRead = frame;
    gDisc.file = OpenFile(track.path);
    if (!gDisc.file) return false;
    ApplyVolume();
    MCI_PLAY_PARMS play = {};
    play.dwCallback = DWORD_PTR(gDisc.files);
    play.dwFrom = MsOfFrames(frame - track.start);
    DWORD_PTR flags = MCI_FROM | MCI_NOTIFY;
    if (gDisc.end < track.start + track.length) {
        play.dwTo = MsOfFrames(gDisc.end - track.start);
        flags |= MCI_TO;
    }
    return gFileCalls->send(gDisc.file, MCI_PLAY, flags, DWORD_PTR(&play)) == 0;
}

void StopPlaying(DWORD at) {
    CloseFile();
    gDisc.position = at;
    gDisc.run = Run::Stopped;
}

// The disc's end point was reached: stopped there, and the play's own notice
// goes to its window as MCI sends it.
void FinishPlay() {
    StopPlaying(gDisc.end);
    if (gDisc.notify) PostMessageW(gDisc.notify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, kFileDiscDeviceId);
    gDisc.notify = nullptr;
}

// The playing file came to its end: on into the next one at once, so that a
// poll never finds the disc stopped between two tracks.
void OnFileEnded() {
    const Track& track = gDisc.tracks[gDisc.playing];
    const DWORD trackEnd = track.start + track.length;
    if (gDisc.end <= trackEnd || gDisc.playing + 1 >= gDisc.tracks.size()) {
        FinishPlay();
        return;
    }
    if (!PlayFileFrom(gDisc.playing + 1, trackEnd)) StopPlaying(trackEnd);
}

// A file that ended while nobody looked (its notice still queued, or lost)
// is caught up with whenever the disc is asked.
// A file that no longer answers (deleted or changed under it) ends its track.
void CatchUp() {
    DWORD mode = MCI_MODE_STOP;
    if (gDisc.run != Run::Playing || !gDisc.file) return;
    if (!FileStatus(gDisc.file, MCI_STATUS_MODE, &mode) || mode == MCI_MODE_STOP) OnFileEnded();
}

DWORD Position() {
    if (gDisc.run == Run::Stopped || !gDisc.file) return gDisc.position;
    DWORD ms = 0;
    const Track& track = gDisc.tracks[gDisc.playing];
    // A read that fails on a busy machine must not send the timecode back
    // to where the play began: the last good reading stands.
    if (!FileStatus(gDisc.file, MCI_STATUS_POSITION, &ms)) return gDisc.lastRead;
    gDisc.lastRead = track.start + std::min(FramesOfMs(ms), track.length);
    return gDisc.lastRead;
}

LRESULT CALLBACK FileNoticeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_MCINOTIFY && wp == MCI_NOTIFY_SUCCESSFUL && MCIDEVICEID(lp) == gDisc.file &&
        gDisc.run == Run::Playing)
        OnFileEnded();
    return DefWindowProcW(wnd, msg, wp, lp);
}

HWND NoticeWindow() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = FileNoticeProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"kntFileDiscNotices";
        atom = RegisterClassW(&cls);
    }
    return CreateWindowW(L"kntFileDiscNotices", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

// ---- the CD audio commands

DWORD Msf(DWORD frames) {
    return MCI_MAKE_MSF(frames / kFramesPerSecond / 60, frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
}
DWORD FramesOfMsf(DWORD msf) {
    return (MCI_MSF_MINUTE(msf) * 60 + MCI_MSF_SECOND(msf)) * kFramesPerSecond + MCI_MSF_FRAME(msf);
}

DWORD Encode(DWORD frame) {
    if (gDisc.format == MCI_FORMAT_TMSF) {
        const Track& track = gDisc.tracks[TrackAt(frame)];
        const DWORD in = frame - track.start;
        return MCI_MAKE_TMSF(TrackAt(frame) + 1, in / kFramesPerSecond / 60, in / kFramesPerSecond % 60,
                             in % kFramesPerSecond);
    }
    return gDisc.format == MCI_FORMAT_MSF ? Msf(frame) : MsOfFrames(frame);
}

bool Decode(DWORD value, DWORD* frame) {
    if (gDisc.format == MCI_FORMAT_TMSF) {
        const size_t track = MCI_TMSF_TRACK(value);
        if (track < 1 || track > gDisc.tracks.size()) return false;
        *frame = gDisc.tracks[track - 1].start +
                 (MCI_TMSF_MINUTE(value) * 60 + MCI_TMSF_SECOND(value)) * kFramesPerSecond + MCI_TMSF_FRAME(value);
    } else {
        *frame = gDisc.format == MCI_FORMAT_MSF ? FramesOfMsf(value) : FramesOfMs(value);
    }
    return *frame <= DiscEnd();
}

bool Readable() { return gDisc.loaded && !gDisc.doorOpen && !gDisc.tracks.empty(); }

MCIERROR Status(DWORD_PTR flags, MCI_STATUS_PARMS* status) {
    // Only the mode looks for a file's end: every poll asks it first, and
    // each question to a media file costs more than the rest of the poll.
    // A position read in between finds the ended file at its own end.
    if (status->dwItem == MCI_STATUS_MODE) CatchUp();
    const bool byTrack = flags & MCI_TRACK;
    const size_t n = status->dwTrack;
    switch (status->dwItem) {
    case MCI_STATUS_MODE:
        status->dwReturn = gDisc.doorOpen ? MCI_MODE_OPEN
                           : gDisc.run == Run::Playing ? MCI_MODE_PLAY
                           : gDisc.run == Run::Paused  ? MCI_MODE_PAUSE
                                                       : MCI_MODE_STOP;
        return 0;
    case MCI_STATUS_MEDIA_PRESENT: status->dwReturn = Readable(); return 0;
    }
    if (!Readable()) return MCIERR_HARDWARE;
    if (status->dwItem == MCI_STATUS_NUMBER_OF_TRACKS) {
        status->dwReturn = gDisc.tracks.size();
        return 0;
    }
    if (byTrack && (n < 1 || n > gDisc.tracks.size())) return MCIERR_OUTOFRANGE;
    const Track* track = byTrack ? &gDisc.tracks[n - 1] : nullptr;
    switch (status->dwItem) {
    case MCI_CDA_STATUS_TYPE_TRACK: status->dwReturn = MCI_CDA_TRACK_AUDIO; return byTrack ? 0 : MCIERR_MISSING_PARAMETER;
    case MCI_STATUS_LENGTH: {
        const DWORD frames = track ? track->length : DiscEnd();
        status->dwReturn = gDisc.format == MCI_FORMAT_MILLISECONDS ? MsOfFrames(frames) : Msf(frames);
        return 0;
    }
    case MCI_STATUS_POSITION: status->dwReturn = Encode(track ? track->start : Position()); return 0;
    }
    return MCIERR_UNSUPPORTED_FUNCTION;
}

MCIERROR Play(DWORD_PTR flags, const MCI_PLAY_PARMS* play) {
    if (!Readable()) return MCIERR_HARDWARE;
    DWORD from = Position(), to = DiscEnd();
    if ((flags & MCI_FROM) && !Decode(play->dwFrom, &from)) return MCIERR_OUTOFRANGE;
    if ((flags & MCI_TO) && !Decode(play->dwTo, &to)) return MCIERR_OUTOFRANGE;
    gDisc.end = std::max(from, to);
    gDisc.notify = (flags & MCI_NOTIFY) ? reinterpret_cast<HWND>(play->dwCallback) : nullptr;
    gDisc.run = Run::Playing;
    if (from >= DiscEnd()) {
        FinishPlay();
        return 0;
    }
    if (PlayFileFrom(TrackAt(from), from)) return 0;
    StopPlaying(from);
    return MCIERR_HARDWARE;
}

MCIERROR Transport(UINT message, DWORD_PTR flags, DWORD_PTR params) {
    switch (message) {
    case MCI_SEEK: {
        if (!Readable()) return MCIERR_HARDWARE;
        DWORD to = 0;
        if (!Decode(reinterpret_cast<MCI_SEEK_PARMS*>(params)->dwTo, &to)) return MCIERR_OUTOFRANGE;
        StopPlaying(to);
        return 0;
    }
    case MCI_STOP:
        if (!Readable()) return MCIERR_HARDWARE;
        StopPlaying(Position());
        return 0;
    case MCI_PAUSE:
        if (gDisc.run != Run::Playing) return MCIERR_HARDWARE;
        gDisc.position = Position();
        gFileCalls->send(gDisc.file, MCI_PAUSE, MCI_WAIT, 0);
        gDisc.run = Run::Paused;
        return 0;
    case MCI_RESUME:
        if (gDisc.run != Run::Paused) return MCIERR_HARDWARE;
        gDisc.run = Run::Playing;
        // Not every file device resumes; those play on from where they stood.
        if (!gFileCalls->send(gDisc.file, MCI_RESUME, 0, 0) || PlayFileFrom(gDisc.playing, gDisc.position)) return 0;
        StopPlaying(gDisc.position);
        return MCIERR_HARDWARE;
    case MCI_PLAY: return Play(flags, reinterpret_cast<const MCI_PLAY_PARMS*>(params));
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

MCIERROR SendToDisc(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    if (message == MCI_OPEN) {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
        if (!gDisc.loaded) return MCIERR_INVALID_FILE;
        open->wDeviceID = kFileDiscDeviceId;
        gDisc.open = true;
        gDisc.format = MCI_FORMAT_MSF;
        return 0;
    }
    if (!gDisc.open || device != kFileDiscDeviceId) return MCIERR_INVALID_DEVICE_ID;
    switch (message) {
    case MCI_CLOSE:
        StopPlaying(gDisc.run == Run::Stopped ? gDisc.position : Position());
        gDisc.open = false;
        return 0;
    case MCI_STATUS: return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(params));
    case MCI_SET:
        if (flags & MCI_SET_TIME_FORMAT) gDisc.format = reinterpret_cast<MCI_SET_PARMS*>(params)->dwTimeFormat;
        if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED)) {
            StopPlaying(Position());
            gDisc.doorOpen = (flags & MCI_SET_DOOR_OPEN) != 0;
        }
        return 0;
    }
    return Transport(message, flags, params);
}

BOOL ErrorText(MCIERROR error, char* buf, UINT size) { return mciGetErrorStringA(error, buf, size); }

// The panel's volume fader reaches the disc through a mixer of its own: one
// CD line with one volume control.
MMRESULT MixerOpen(HMIXER* mixer, UINT, DWORD_PTR, DWORD_PTR, DWORD) {
    *mixer = reinterpret_cast<HMIXER>(UINT_PTR(kFileDiscDeviceId));
    return MMSYSERR_NOERROR;
}
MMRESULT MixerClose(HMIXER) { return MMSYSERR_NOERROR; }
MMRESULT LineInfo(HMIXEROBJ, MIXERLINEA* line, DWORD) {
    line->dwLineID = 1;
    line->cChannels = 2;
    return MMSYSERR_NOERROR;
}
MMRESULT LineControls(HMIXEROBJ, MIXERLINECONTROLSA* controls, DWORD) {
    controls->pamxctrl->dwControlID = kVolumeControl;
    return MMSYSERR_NOERROR;
}
MMRESULT GetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    auto* values = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
    for (DWORD i = 0; i < details->cChannels && i < 2; ++i) values[i].dwValue = gDisc.volume;
    return MMSYSERR_NOERROR;
}
MMRESULT SetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    gDisc.volume = std::min<DWORD>(static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails)->dwValue, 65535);
    ApplyVolume();
    return MMSYSERR_NOERROR;
}
UINT DriveType(const char*) { return DRIVE_CDROM; }
int DriveLetters(char* letters) {
    letters[0] = 0;
    return 0;
}

const CdDriveCalls kFileDiscCalls = {SendToDisc, ErrorText,  MixerOpen, MixerClose, LineInfo,
                                     LineControls, GetDetails, SetDetails, DriveType, DriveLetters};

}  // namespace

void SetAudioFileCalls(const AudioFileCalls* calls) { gFileCalls = calls ? calls : &kWinmm; }

bool LoadFileDisc(const std::vector<std::wstring>& files, std::vector<std::wstring>* skipped) {
    UnloadFileDisc();
    DWORD at = 0;
    for (const std::wstring& path : files) {
        const MCIDEVICEID file = OpenFile(path);
        DWORD ms = 0;
        const bool read = file && FileStatus(file, MCI_STATUS_LENGTH, &ms) && FramesOfMs(ms) > 0;
        if (file) gFileCalls->send(file, MCI_CLOSE, MCI_WAIT, 0);
        if (!read) {
            skipped->push_back(path);
            continue;
        }
        gDisc.tracks.push_back({path, at, FramesOfMs(ms)});
        at += FramesOfMs(ms);
    }
    if (gDisc.tracks.empty()) return false;
    gDisc.loaded = true;
    if (!gDisc.files) gDisc.files = NoticeWindow();
    return true;
}

void UnloadFileDisc() {
    CloseFile();
    const HWND files = gDisc.files;
    gDisc = Disc{};
    gDisc.files = files;
}

bool FileDiscLoaded() { return gDisc.loaded; }

const CdDriveCalls& FileDiscCalls() { return kFileDiscCalls; }
