// The CD audio device: the one process-wide object that drives the CD drive
// through MCI, keeps the disc's audio tracks and the mixer's CD volume, and
// publishes the play position into the shared CD values.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <vector>

// Times packed as minutes << 16 | seconds << 8 | frames.
struct CdTrack {
    int number;
    DWORD length;
    DWORD start;
};

enum : DWORD { kCdFormatMs = MCI_FORMAT_MILLISECONDS, kCdFormatMsf = MCI_FORMAT_MSF, kCdFormatTmsf = MCI_FORMAT_TMSF };
enum : int {
    kCdModeNotReady = MCI_MODE_NOT_READY,
    kCdModeStopped = MCI_MODE_STOP,
    kCdModePlaying = MCI_MODE_PLAY,
    kCdModeSeeking = MCI_MODE_SEEK,
    kCdModePaused = MCI_MODE_PAUSE
};

class CdDevice {
public:
    CdDevice();
    ~CdDevice();
    CdDevice(const CdDevice&) = delete;
    CdDevice& operator=(const CdDevice&) = delete;

    // Opens drive ("D:") and reads its disc length; true when the drive and
    // its time format were set up. The CD volume control is optional.
    bool Open(const char* drive);
    void Close();
    bool IsOpen() const { return open_.wDeviceID != 0; }
    MCIDEVICEID DeviceId() const { return open_.wDeviceID; }

    // The MCI mode; -1 without a device or when the query failed.
    int GetMode();
    bool SetTimeFormat(DWORD format);
    DWORD TimeFormat() const { return timeFormat_; }
    // The track count when a disc can be read, else 0.
    UINT IsDiscReady();
    bool GetTrackCount(UINT* count);
    bool GetTrackType(int track, DWORD* type);
    bool GetPosition(BYTE* track, BYTE* minutes, BYTE* seconds, BYTE* frames);
    void GetTrackLength(int track, BYTE* minutes, BYTE* seconds, BYTE* frames);
    DWORD GetTrackStart(int track);
    DWORD DiscLength() const { return discLength_; }

    bool Play();
    void Stop();
    void Pause();
    void Seek(int track, int minutes, int seconds, int frames, bool lock);
    void ToggleDoor();
    // One step of winding: a second forward (+1) or back (-1), held within
    // the disc; the drive's answers are not examined.
    void Wind(int direction);

    bool BuildTrackList();
    DWORD FindTrackLength(int track) const;
    bool HasTrack(int track) const;
    bool DoorOpen() const { return doorOpen_ != 0; }
    UINT TrackCount() const { return trackCount_; }
    size_t TrackListSize() const { return tracks_.size(); }
    const std::vector<CdTrack>& Tracks() const { return tracks_; }

    // Sets the volume fader from the mixer; a failed or faulting read leaves
    // it alone. Gives the left channel's value, 0 when none was read.
    DWORD RefreshVolumeFader();
    void SetVolume(DWORD controlId, DWORD channels, HWND owner, DWORD left, DWORD right);
    DWORD VolumeControlId() const { return volumeControl_; }
    bool HasMixer() const { return mixer_ != nullptr; }

private:
    MCIERROR Send(UINT message, DWORD_PTR flags, void* params);
    // A failed command drops the device: closed, mixer too. True on success.
    bool ErrorStep(MCIERROR error);
    // Disc length in milliseconds, read in that format; false when the
    // format could not be set (the device is dropped then).
    bool ReadDiscLength();
    void OpenVolumeControl();
    void CloseMixer();
    bool QueryStatus(DWORD item, DWORD_PTR flags, DWORD track, DWORD_PTR* answer);
    void ClearTrackList();

    MCI_OPEN_PARMSA open_;
    DWORD timeFormat_;
    DWORD discLength_;
    DWORD volumeControl_;
    int doorOpen_;
    HMIXER mixer_;
    UINT trackCount_;
    std::vector<CdTrack> tracks_;
};

extern CdDevice gCdDevice;

// The drive text "X:" that the device, the panel and the Options dialog share.
extern char gCdDrive[4];
// The drive text while one is chosen, else null.
const char* ConfiguredCdDrive();
// Picks the drive: the stored "cd_drive" while it is a CD drive, else the
// first CD drive; false (and an empty drive text) when there is none.
bool ChooseCdDrive();
// "A" plus the index of the lowest set bit of a volume unit mask; 0 when no
// bit of the 26 is set.
char DriveLetterOfUnitMask(DWORD mask);

// The session end's stop and close.
void CdStopPlayback();
void CdCloseDevice();
