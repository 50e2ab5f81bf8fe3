// The simulated CD drive.
#include "tests/harness/SimCdDrive.h"

#include <cstdio>

#include "cdplayer/CdWinmm.h"
#include "standins/StandinControl.h"

namespace harness {

namespace {
constexpr DWORD kFramesPerSecond = 75;
constexpr DWORD kLeadIn = 2 * kFramesPerSecond;
SimCdDrive* gCurrent = nullptr;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char buf[160];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

DWORD Msf(DWORD frames) {
    return MCI_MAKE_MSF(frames / kFramesPerSecond / 60, frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
}
DWORD FramesOfMsf(DWORD msf) {
    return (MCI_MSF_MINUTE(msf) * 60 + MCI_MSF_SECOND(msf)) * kFramesPerSecond + MCI_MSF_FRAME(msf);
}
}  // namespace

struct SimCdCalls {
    static MCIERROR Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
        const MCIERROR error = gCurrent->Send(device, message, flags, params);
        if (error) ++gCurrent->errors_;
        return error;
    }
    static BOOL ErrorText(MCIERROR error, char* buf, UINT size) {
        gCurrent->Record(Format("error text %lu", error));
        if (buf && size) snprintf(buf, size, "simulated error %lu", error);
        return TRUE;
    }
    static MMRESULT MixerOpen(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
        gCurrent->Record(Format("mixer open %u%s", id, (flags & CALLBACK_WINDOW) && callback ? " window" : ""));
        if (!gCurrent->hasMixer) return MMSYSERR_BADDEVICEID;
        gCurrent->mixerOpen_ = true;
        *mixer = reinterpret_cast<HMIXER>(UINT_PTR(0x5150));
        return MMSYSERR_NOERROR;
    }
    static MMRESULT MixerClose(HMIXER) {
        gCurrent->Record("mixer close");
        gCurrent->mixerOpen_ = false;
        return MMSYSERR_NOERROR;
    }
    static MMRESULT LineInfo(HMIXEROBJ, MIXERLINEA* line, DWORD) {
        gCurrent->Record(Format("mixer line %lu", line->dwComponentType));
        if (!gCurrent->mixerOpen_ || !gCurrent->hasCdLine ||
            line->dwComponentType != MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC)
            return MIXERR_INVALLINE;
        line->dwLineID = 3;
        line->cChannels = 2;
        return MMSYSERR_NOERROR;
    }
    static MMRESULT LineControls(HMIXEROBJ, MIXERLINECONTROLSA* controls, DWORD) {
        gCurrent->Record(Format("mixer controls line %lu type %lu", controls->dwLineID, controls->dwControlType));
        if (controls->dwLineID != 3 || controls->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
            return MIXERR_INVALCONTROL;
        controls->pamxctrl->dwControlID = SimCdDrive::kVolumeControl;
        return MMSYSERR_NOERROR;
    }
    static MMRESULT GetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
        gCurrent->Record(Format("mixer get %lu", details->dwControlID));
        if (gCurrent->faultInMixerRead) {
            static void* const reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
            *static_cast<volatile int*>(reserved) = 1;
        }
        if (!gCurrent->mixerOpen_ || details->dwControlID != SimCdDrive::kVolumeControl) return MIXERR_INVALCONTROL;
        auto* values = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
        for (DWORD i = 0; i < details->cChannels && i < 2; ++i) values[i].dwValue = gCurrent->volume_[i];
        return MMSYSERR_NOERROR;
    }
    static MMRESULT SetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
        const auto* values = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
        gCurrent->Record(Format("mixer set %lu %lu %lu", details->dwControlID, values[0].dwValue,
                                details->cChannels > 1 ? values[1].dwValue : values[0].dwValue));
        if (!gCurrent->mixerOpen_ || details->dwControlID != SimCdDrive::kVolumeControl) return MIXERR_INVALCONTROL;
        for (DWORD i = 0; i < details->cChannels && i < 2; ++i) gCurrent->volume_[i] = values[i].dwValue;
        return MMSYSERR_NOERROR;
    }
    static UINT DriveType(const char* root) {
        gCurrent->Record(Format("drive type %s", root));
        const bool ours = gCurrent->present_ && root && (root[0] & ~0x20) == gCurrent->letter_;
        return ours ? DRIVE_CDROM : DRIVE_NO_ROOT_DIR;
    }
    static int CdDriveLetters(char* letters) {
        gCurrent->Record("cd drives");
        letters[0] = gCurrent->present_ ? gCurrent->letter_ : 0;
        letters[1] = 0;
        return gCurrent->present_ ? 1 : 0;
    }
};

namespace {
const CdDriveCalls kSimCalls = {SimCdCalls::Send,         SimCdCalls::ErrorText,   SimCdCalls::MixerOpen,
                                SimCdCalls::MixerClose,   SimCdCalls::LineInfo,    SimCdCalls::LineControls,
                                SimCdCalls::GetDetails,   SimCdCalls::SetDetails,  SimCdCalls::DriveType,
                                SimCdCalls::CdDriveLetters};
}  // namespace

SimCdDrive SimCdDrive::NoDrive() { return SimCdDrive(); }

SimCdDrive SimCdDrive::EmptyDrive(char letter) {
    SimCdDrive drive;
    drive.present_ = true;
    drive.letter_ = letter;
    return drive;
}

SimCdDrive SimCdDrive::DataThenAudio(char letter) {
    SimCdDrive drive = EmptyDrive(letter);
    DWORD at = kLeadIn;
    const DWORD data = 40 * kFramesPerSecond;
    drive.disc_.push_back({1, false, at, data});
    at += data;
    for (int n = 2; n <= 10; ++n) {
        const DWORD length = (180 + 7 * DWORD(n)) * kFramesPerSecond + DWORD(n);
        drive.disc_.push_back({n, true, at, length});
        at += length;
    }
    drive.position_ = kLeadIn;
    drive.hasMixer = drive.hasCdLine = true;
    return drive;
}

SimCdDrive SimCdDrive::AudioDisc(const std::vector<int>& seconds, char letter) {
    SimCdDrive drive = EmptyDrive(letter);
    DWORD at = kLeadIn;
    for (size_t i = 0; i < seconds.size(); ++i) {
        const DWORD length = DWORD(seconds[i]) * kFramesPerSecond;
        drive.disc_.push_back({int(i) + 1, true, at, length});
        at += length;
    }
    drive.position_ = kLeadIn;
    drive.hasMixer = drive.hasCdLine = true;
    return drive;
}

SimCdDrive::~SimCdDrive() { Remove(); }

// A loaded disc sits at the start of its first track.
void SimCdDrive::SetDisc(const std::vector<SimCdTrack>& disc) {
    disc_ = disc;
    position_ = disc_.empty() ? 0 : disc_.front().start;
    run_ = Run::Stopped;
}

void SimCdDrive::Install() {
    gCurrent = this;
    installed_ = true;
    SetCdDriveCalls(&kSimCalls);
}

void SimCdDrive::Remove() {
    if (!installed_) return;
    installed_ = false;
    if (gCurrent == this) {
        gCurrent = nullptr;
        SetCdDriveCalls(nullptr);
    }
}

void SimCdDrive::Fail(const std::string& prefix, DWORD error) { failures_[prefix] = error; }

DWORD SimCdDrive::Fails(const std::string& line) {
    if (failAfter_ > 0 && --failAfter_ == 0) return failError_;
    for (const auto& [prefix, error] : failures_)
        if (line.compare(0, prefix.size(), prefix) == 0) return error;
    return 0;
}

void SimCdDrive::Record(const std::string& line) {
    calls_.push_back(line);
    if (mirror_) StandinJournalAppend(("cd " + line).c_str());
}

int SimCdDrive::Mode() const {
    if (doorOpen_) return MCI_MODE_OPEN;
    if (disc_.empty()) return MCI_MODE_NOT_READY;
    if (run_ == Run::Playing) return MCI_MODE_PLAY;
    return run_ == Run::Paused ? MCI_MODE_PAUSE : MCI_MODE_STOP;
}

DWORD SimCdDrive::TrackStart(int n) const {
    for (const SimCdTrack& track : disc_)
        if (track.number == n) return track.start;
    return 0;
}

DWORD SimCdDrive::DiscEnd() const { return disc_.empty() ? 0 : disc_.back().start + disc_.back().length; }

const SimCdTrack* SimCdDrive::TrackAt(DWORD frame) const {
    const SimCdTrack* found = disc_.empty() ? nullptr : &disc_.front();
    for (const SimCdTrack& track : disc_)
        if (frame >= track.start) found = &track;
    return found;
}

// A time value as the drive reads it in its current format.
std::string SimCdDrive::Time(DWORD value) const {
    if (format_ == MCI_FORMAT_TMSF)
        return Format("t%u %02u:%02u:%02u", MCI_TMSF_TRACK(value), MCI_TMSF_MINUTE(value), MCI_TMSF_SECOND(value),
                      MCI_TMSF_FRAME(value));
    if (format_ == MCI_FORMAT_MSF)
        return Format("%02u:%02u:%02u", MCI_MSF_MINUTE(value), MCI_MSF_SECOND(value), MCI_MSF_FRAME(value));
    return Format("%lums", value);
}

bool SimCdDrive::Decode(DWORD value, DWORD* frame) const {
    if (format_ == MCI_FORMAT_TMSF) {
        const int track = MCI_TMSF_TRACK(value);
        if (track < 1 || track > int(disc_.size())) return false;
        *frame = TrackStart(track) + (MCI_TMSF_MINUTE(value) * 60 + MCI_TMSF_SECOND(value)) * kFramesPerSecond +
                 MCI_TMSF_FRAME(value);
    } else if (format_ == MCI_FORMAT_MSF) {
        *frame = FramesOfMsf(value);
    } else {
        *frame = disc_.front().start + value / 1000 * kFramesPerSecond + value % 1000 * kFramesPerSecond / 1000;
    }
    return *frame <= DiscEnd();
}

DWORD SimCdDrive::Encode(DWORD frame) const {
    if (frame < disc_.front().start) frame = disc_.front().start;
    if (format_ == MCI_FORMAT_TMSF) {
        const SimCdTrack* track = TrackAt(frame);
        const DWORD in = frame - track->start;
        return MCI_MAKE_TMSF(track->number, in / kFramesPerSecond / 60, in / kFramesPerSecond % 60,
                             in % kFramesPerSecond);
    }
    if (format_ == MCI_FORMAT_MSF) return Msf(frame);
    return (frame - disc_.front().start) * 1000 / kFramesPerSecond;
}

// Lengths come as MSF in both frame formats.
DWORD SimCdDrive::EncodeLength(DWORD frames) const {
    return format_ == MCI_FORMAT_MILLISECONDS ? frames * 1000 / kFramesPerSecond : Msf(frames);
}

MCIERROR SimCdDrive::Status(DWORD_PTR flags, MCI_STATUS_PARMS* status) {
    const bool track = flags & MCI_TRACK;
    const int n = int(status->dwTrack);
    switch (status->dwItem) {
    case MCI_STATUS_MODE: status->dwReturn = DWORD(Mode()); return 0;
    case MCI_STATUS_MEDIA_PRESENT: status->dwReturn = TRUE; return 0;
    }
    if (!Readable()) return MCIERR_DRIVER_INTERNAL;
    if (track && status->dwItem != MCI_STATUS_NUMBER_OF_TRACKS && (n < 1 || n > int(disc_.size())))
        return MCIERR_OUTOFRANGE;
    const SimCdTrack* record = track ? &disc_[size_t(n) - 1] : nullptr;
    switch (status->dwItem) {
    case MCI_STATUS_NUMBER_OF_TRACKS: status->dwReturn = disc_.size(); return 0;
    case MCI_CDA_STATUS_TYPE_TRACK:
        if (!track) return MCIERR_MISSING_PARAMETER;
        status->dwReturn = record->audio ? MCI_CDA_TRACK_AUDIO : MCI_CDA_TRACK_OTHER;
        return 0;
    case MCI_STATUS_LENGTH:
        status->dwReturn = EncodeLength(record ? record->length : DiscEnd() - disc_.front().start);
        return 0;
    case MCI_STATUS_POSITION: status->dwReturn = Encode(record ? record->start : position_); return 0;
    }
    return MCIERR_UNSUPPORTED_FUNCTION;
}

MCIERROR SimCdDrive::Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    static const std::map<DWORD, const char*> kItems = {
        {MCI_STATUS_MODE, "mode"},         {MCI_STATUS_MEDIA_PRESENT, "media present"},
        {MCI_STATUS_NUMBER_OF_TRACKS, "tracks"}, {MCI_STATUS_LENGTH, "length"},
        {MCI_STATUS_POSITION, "position"}, {MCI_CDA_STATUS_TYPE_TRACK, "type"}};
    const char* wait = flags & MCI_WAIT ? "" : " nowait";
    std::string line;
    switch (message) {
    case MCI_OPEN: {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
        line = Format("open type %lu element %s flags 0x%llx", DWORD(UINT_PTR(open->lpstrDeviceType)),
                      open->lpstrElementName ? open->lpstrElementName : "null", (unsigned long long)flags);
        break;
    }
    case MCI_STATUS: {
        auto* status = reinterpret_cast<MCI_STATUS_PARMS*>(params);
        auto item = kItems.find(DWORD(status->dwItem));
        line = std::string("status ") + (item != kItems.end() ? item->second : "?");
        if (flags & MCI_TRACK) line += Format(" track %lu", status->dwTrack);
        line += wait;
        break;
    }
    case MCI_SET: {
        auto* set = reinterpret_cast<MCI_SET_PARMS*>(params);
        if (flags & MCI_SET_TIME_FORMAT) line = Format("set time format %lu", set ? set->dwTimeFormat : 0);
        else if (flags & MCI_SET_DOOR_OPEN) line = "set door open";
        else if (flags & MCI_SET_DOOR_CLOSED) line = "set door closed";
        else line = "set ?";
        break;
    }
    case MCI_PLAY: {
        auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(params);
        line = "play";
        if (flags & MCI_FROM) line += " from " + Time(play->dwFrom);
        if (flags & MCI_TO) line += " to " + Time(play->dwTo);
        if (flags & MCI_NOTIFY) line += play->dwCallback ? " notify" : " notify null";
        break;
    }
    case MCI_SEEK: line = "seek to " + Time(reinterpret_cast<MCI_SEEK_PARMS*>(params)->dwTo); break;
    case MCI_STOP: line = "stop"; break;
    case MCI_PAUSE: line = "pause"; break;
    case MCI_RESUME: line = "resume"; break;
    case MCI_CLOSE: line = "close"; break;
    default: line = Format("command %u", message); break;
    }
    Record(line);

    if (message == MCI_OPEN) {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
        // Like WinMM, a failed open still hands out an id.
        open->wDeviceID = 1;
        const char* element = open->lpstrElementName;
        if (!present_ || !element || (element[0] & ~0x20) != letter_ || element[1] != ':') return MCIERR_INVALID_FILE;
        if (DWORD error = Fails(line)) return error;
        open->wDeviceID = kDeviceId;
        deviceOpen_ = true;
        format_ = MCI_FORMAT_MSF;
        return 0;
    }
    if (!deviceOpen_ || device != kDeviceId) return MCIERR_INVALID_DEVICE_ID;
    if (DWORD error = Fails(line)) return error;
    switch (message) {
    case MCI_STATUS: return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(params));
    case MCI_SET:
        if (flags & MCI_SET_TIME_FORMAT) format_ = reinterpret_cast<MCI_SET_PARMS*>(params)->dwTimeFormat;
        if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED)) {
            doorOpen_ = (flags & MCI_SET_DOOR_OPEN) != 0;
            run_ = Run::Stopped;
        }
        return 0;
    case MCI_PLAY: {
        if (!Readable()) return MCIERR_HARDWARE;
        auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(params);
        DWORD from = position_, to = DiscEnd();
        if ((flags & MCI_FROM) && !Decode(play->dwFrom, &from)) return MCIERR_OUTOFRANGE;
        if ((flags & MCI_TO) && !Decode(play->dwTo, &to)) return MCIERR_OUTOFRANGE;
        // As a drive does, no data track is played.
        if (!TrackAt(from)->audio) return MCIERR_HARDWARE;
        position_ = from;
        playFrom_ = from;
        playNotifies_ = (flags & MCI_NOTIFY) != 0;
        end_ = to;
        notify_ = flags & MCI_NOTIFY ? reinterpret_cast<HWND>(play->dwCallback) : nullptr;
        run_ = Run::Playing;
        return 0;
    }
    case MCI_SEEK: {
        if (!Readable()) return MCIERR_HARDWARE;
        DWORD to = 0;
        if (!Decode(reinterpret_cast<MCI_SEEK_PARMS*>(params)->dwTo, &to)) return MCIERR_OUTOFRANGE;
        position_ = to;
        run_ = Run::Stopped;
        return 0;
    }
    case MCI_STOP:
        if (!Readable()) return MCIERR_HARDWARE;
        run_ = Run::Stopped;
        return 0;
    case MCI_PAUSE:
        if (run_ != Run::Playing) return MCIERR_HARDWARE;
        run_ = Run::Paused;
        return 0;
    case MCI_RESUME:
        if (run_ != Run::Paused) return MCIERR_HARDWARE;
        run_ = Run::Playing;
        return 0;
    case MCI_CLOSE:
        deviceOpen_ = false;
        run_ = Run::Stopped;
        return 0;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

void SimCdDrive::Advance(DWORD ms) {
    if (run_ != Run::Playing) return;
    position_ += ms * kFramesPerSecond / 1000;
    if (position_ < end_) return;
    position_ = end_;
    run_ = Run::Stopped;
    if (notify_) PostMessageA(notify_, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, kDeviceId);
    notify_ = nullptr;
}

}  // namespace harness
