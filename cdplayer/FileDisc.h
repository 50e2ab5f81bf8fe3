// A disc of audio files behind the CD device's seam: it answers the CD audio
// commands the device sends as a drive holding such a disc would, and plays
// each track's file through the system's own multimedia layer (mpegvideo, and
// waveaudio for WAV it cannot read). The device and the panel need no change.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "cdplayer/AudioSource.h"
#include "cdplayer/CdWinmm.h"

// Every call the file disc makes for the files themselves: WinMM's wide MCI
// in the program, a simulated player in tests.
struct AudioFileCalls {
    MCIERROR (*send)(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);
};
// Null restores WinMM.
void SetAudioFileCalls(const AudioFileCalls* calls);

// The id the CD device gets when it opens the file disc.
constexpr MCIDEVICEID kFileDiscDeviceId = 0x4B44;

// Reads each file's length (a file that cannot be opened is left out and
// added to skipped) and holds the rest as the disc. False when no track is left.
bool LoadFileDisc(const std::vector<std::wstring>& files, std::vector<std::wstring>* skipped);
void UnloadFileDisc();
bool FileDiscLoaded();
// The seam's table that puts the file disc where the drive was.
const CdDriveCalls& FileDiscCalls();
