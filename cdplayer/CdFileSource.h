// The CD player's disc of audio files: loaded from what the user drops on
// the panel or picks from the track menu, remembered as "cd_audio_source",
// and ejected back to the drive.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The track menu's last item, with or without a disc.
constexpr int kCdOpenAudioFilesCommand = 33049;

// Loads a folder, a playlist or files as the disc and plays nothing yet;
// what cannot be played is named in one message owned by owner. False (and
// "No Disc") when nothing playable was found.
bool LoadCdFileSource(const std::vector<std::wstring>& items, HWND owner);
// The system's file dialog for several audio files or a playlist.
void ChooseCdAudioFiles(HWND owner);
// The dropped paths of a WM_DROPFILES, in the order given.
std::vector<std::wstring> DroppedPaths(HDROP drop);
// Unloads the file disc and goes back to the drive, if there is one.
void EjectCdFileSource();
// At start: the stored source, while it still holds something to play; a
// source that is gone leaves the drive, silently.
void RestoreCdFileSource();
const std::wstring& CdFileSourceName();
// The status display's tip while a disc of files is in ("Audio files: "
// and its source), else null.
const char* CdStatusTooltip();
