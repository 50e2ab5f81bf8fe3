// What the user hands the CD player as a disc of audio files: a folder, a
// playlist (.m3u, .m3u8) or a set of files, turned into the files that are
// its tracks. Names are wide, so files outside the ANSI code page open.
#pragma once
#include <string>
#include <vector>

// The track byte and the panel's menus are made for 99 tracks.
constexpr size_t kMaxAudioTracks = 99;

struct AudioSourceTracks {
    std::vector<std::wstring> files;    // the tracks, in play order
    std::vector<std::wstring> skipped;  // missing, empty or not audio, for the load's one message
    bool cut = false;                   // more playable files than tracks
};

// "2 intro" before "10 finale": runs of digits compare by their value, the
// rest without regard to case.
int NaturalCompare(const std::wstring& a, const std::wstring& b);
bool IsPlaylistName(const std::wstring& path);
// By the name's ending: the formats the system's own multimedia layer may play.
bool IsAudioFileName(const std::wstring& path);

// One folder or one playlist is the disc; otherwise every given file is a
// track (a folder among them counts with its files), in natural name order.
AudioSourceTracks LoadAudioSource(const std::vector<std::wstring>& items);
