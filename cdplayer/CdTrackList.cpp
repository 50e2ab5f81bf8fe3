// The CD device's list of the disc's audio tracks.
#include "cdplayer/CdDevice.h"

void CdDevice::ClearTrackList() { tracks_.clear(); }

bool CdDevice::BuildTrackList() {
    ClearTrackList();
    doorOpen_ = 0;
    trackCount_ = 0;
    if (!GetTrackCount(&trackCount_)) return false;
    // A drive opened empty read no length: the disc now in it has one.
    if (!ReadDiscLength()) return false;
    for (UINT number = 1; number <= trackCount_; ++number) {
        DWORD type = 0;
        if (!GetTrackType(int(number), &type)) return false;
        if (type != MCI_CDA_TRACK_AUDIO) continue;
        BYTE minutes, seconds, frames;
        GetTrackLength(int(number), &minutes, &seconds, &frames);
        const DWORD length = DWORD(minutes) << 16 | DWORD(seconds) << 8 | frames;
        tracks_.push_back({int(number), length, GetTrackStart(int(number))});
    }
    return true;
}

DWORD CdDevice::FindTrackLength(int track) const {
    for (const CdTrack& record : tracks_)
        if (record.number == track) return record.length;
    return 0;
}

bool CdDevice::HasTrack(int track) const {
    for (const CdTrack& record : tracks_)
        if (record.number == track) return true;
    return false;
}
