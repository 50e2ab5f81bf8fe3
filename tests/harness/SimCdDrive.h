// A simulated CD drive behind the CD device's WinMM seam: a disc of audio and
// data tracks, the drive's mode, position and time format, the door, one CD
// mixer line, failures chosen per command, and one recorded line per call.
// Time passes only when the test says so.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>
#include <vector>

namespace harness {

// Frames (75 a second); start is the absolute position on the disc.
struct SimCdTrack {
    int number;
    bool audio;
    DWORD start;
    DWORD length;
};

class SimCdDrive {
public:
    // What Wine does here without a CD drive: drive type 1, open fails (296).
    static SimCdDrive NoDrive();
    // A drive with no disc: the open works, the mode is 524 (not ready), the
    // media-present query answers 1 and the track count fails (272).
    static SimCdDrive EmptyDrive(char letter = 'D');
    // A disc with a data track 1 and audio tracks 2 to 10, and a CD mixer line.
    static SimCdDrive DataThenAudio(char letter = 'D');
    // Audio tracks only, each length in seconds, and a CD mixer line.
    static SimCdDrive AudioDisc(const std::vector<int>& seconds, char letter = 'D');

    SimCdDrive(const SimCdDrive&) = delete;
    SimCdDrive(SimCdDrive&&) = default;
    ~SimCdDrive();

    // Puts this drive behind the seam until it is destroyed or Remove()d.
    void Install();
    void Remove();

    // Every command whose line starts with prefix fails with error from now on.
    void Fail(const std::string& prefix, DWORD error);
    void ClearFailures() { failures_.clear(), failAfter_ = 0; }
    // Only the nth command from now on (1: the next) fails with error.
    void FailCall(int nth, DWORD error) { failAfter_ = nth, failError_ = error; }
    // How many commands the drive has answered with an error.
    int ErrorsReported() const { return errors_; }
    // The recorded lines: "open element D: flags 0x3302", "status mode",
    // "status length track 3", "set time format 10", "play from t3 00:00:00 to
    // t4 00:00:00 notify", "seek to t1 00:00:00", "stop", "close", "mixer set
    // 11 100 100", ... A status or open sent without MCI_WAIT ends in " nowait".
    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Also writes each line, prefixed "cd ", into the stand-in core's journal.
    void MirrorToJournal(bool on) { mirror_ = on; }

    // Lets ms of playing time pass; at the end point the drive stops and the
    // completion notice goes to the window the play named.
    void Advance(DWORD ms);
    // Puts a disc in (or takes it out) without a command.
    void SetDisc(const std::vector<SimCdTrack>& disc);
    const std::vector<SimCdTrack>& Disc() const { return disc_; }
    void SetPosition(DWORD frame) { position_ = frame; }
    // The drive's own eject button and tray, and the drive leaving or coming
    // back: no command, as a user does it.
    void SetDoor(bool open) {
        if (open != doorOpen_) run_ = Run::Stopped;
        doorOpen_ = open;
    }
    void SetPresent(bool present) { present_ = present; }
    char Letter() const { return letter_; }
    // The last play's start (frames) and whether it asked for an end notice.
    DWORD PlayFrom() const { return playFrom_; }
    bool PlayNotifies() const { return playNotifies_; }
    // A mixer read that faults inside the driver.
    bool faultInMixerRead = false;
    bool DeviceOpen() const { return deviceOpen_; }
    bool MixerOpen() const { return mixerOpen_; }
    int Mode() const;
    DWORD Position() const { return position_; }
    bool DoorOpen() const { return doorOpen_; }
    DWORD Volume(int channel) const { return volume_[channel & 1]; }
    void SetVolume(DWORD left, DWORD right) { volume_[0] = left, volume_[1] = right; }
    // Whether the drive has a mixer at all, and a CD line on it.
    bool hasMixer = false;
    bool hasCdLine = false;

    static constexpr MCIDEVICEID kDeviceId = 7;
    static constexpr DWORD kVolumeControl = 11;

    // Frames of the start of track n (0 when there is no such track).
    DWORD TrackStart(int n) const;
    // The track a frame lies in; the frame past the disc's end is its last track's.
    const SimCdTrack* TrackAt(DWORD frame) const;
    DWORD DiscEnd() const;
    bool Readable() const { return !disc_.empty() && !doorOpen_; }

private:
    SimCdDrive() = default;
    friend struct SimCdCalls;

    DWORD Fails(const std::string& line);
    void Record(const std::string& line);
    std::string Time(DWORD value) const;
    bool Decode(DWORD value, DWORD* frame) const;
    DWORD Encode(DWORD frame) const;
    DWORD EncodeLength(DWORD frames) const;

    MCIERROR Send(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);
    MCIERROR Status(DWORD_PTR flags, MCI_STATUS_PARMS* status);

    bool present_ = false;
    char letter_ = 'D';
    std::vector<SimCdTrack> disc_;
    bool deviceOpen_ = false;
    bool mixerOpen_ = false;
    bool installed_ = false;
    bool mirror_ = false;
    enum class Run { Stopped, Playing, Paused } run_ = Run::Stopped;
    DWORD position_ = 0;
    DWORD end_ = 0;
    DWORD format_ = MCI_FORMAT_MSF;
    bool doorOpen_ = false;
    HWND notify_ = nullptr;
    DWORD volume_[2] = {0, 0};
    std::vector<std::string> calls_;
    std::map<std::string, DWORD> failures_;
    int failAfter_ = 0;
    DWORD failError_ = 0;
    int errors_ = 0;
    DWORD playFrom_ = 0;
    bool playNotifies_ = false;
};

}  // namespace harness
