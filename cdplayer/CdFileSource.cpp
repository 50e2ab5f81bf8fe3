// Loading, remembering and ejecting the CD player's disc of audio files.
#include "cdplayer/CdFileSource.h"

#include <commdlg.h>
#include <shellapi.h>

#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/AudioSource.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdPanel.h"
#include "cdplayer/FileDisc.h"

namespace {

const wchar_t kSourceValue[] = L"cd_audio_source";
// No Windows path holds it, so it separates a list of files.
const wchar_t kListSeparator = L'|';

const CdDriveCalls* gDriveCalls;  // the seam's table before the file disc took it
std::wstring gSourceName;

std::wstring Widen(const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(size_t(size > 0 ? size : 1), L'\0');
    if (size > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring Join(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += (text.empty() ? L"" : L"|") + item;
    return text;
}

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> items;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find(kListSeparator, at), text.size());
        if (end > at) items.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return items;
}

// Wide, unlike the registry library's values: a path outside the ANSI code
// page must come back as it was.
void StoreSource(const std::wstring& text) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TlmRegKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)) return;
    if (text.empty()) RegDeleteValueW(key, kSourceValue);
    else RegSetValueExW(key, kSourceValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring StoredSource() {
    wchar_t text[32 * 1024] = L"";
    DWORD size = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TlmRegKey, 0, KEY_QUERY_VALUE, &key)) return std::wstring();
    const LONG read = RegQueryValueExW(key, kSourceValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) return std::wstring();
    text[size / sizeof(wchar_t)] = L'\0';
    return text;
}

void TellLeftOut(HWND owner, const std::wstring& source, const std::vector<std::wstring>& skipped, bool cut,
                 bool none) {
    if (!none && skipped.empty() && !cut) return;
    std::wstring text = none ? Widen(Tr("No playable audio was found in:")) + L"\n" + source
                             : Widen(Tr("These files cannot be played and were left out:"));
    for (size_t i = 0; !none && i < skipped.size() && i < 10; ++i) text += L"\n" + skipped[i];
    if (!none && skipped.size() > 10) text += L"\n...";
    if (cut) text += L"\n\n" + Widen(Tr("Only the first 99 files are played, as tracks 1 to 99."));
    MessageBoxW(owner, text.c_str(), Widen(knt_windows_title ? knt_windows_title : "").c_str(),
                none ? MB_ICONERROR : MB_ICONWARNING);
}

void LeaveFileDisc() {
    if (!FileDiscLoaded()) return;
    gCdDevice.Close();
    UnloadFileDisc();
    SetCdDriveCalls(gDriveCalls);
    gDriveCalls = nullptr;
    gSourceName.clear();
}

void OpenDrive() {
    if (ChooseCdDrive() && gCdDevice.Open(gCdDrive)) RefreshDiscState(-1);
}

bool Load(const std::vector<std::wstring>& items, HWND owner, bool tell) {
    RefreshDiscState(0);
    LeaveFileDisc();
    const AudioSourceTracks tracks = LoadAudioSource(items);
    std::vector<std::wstring> skipped = tracks.skipped;
    const bool loaded = !tracks.files.empty() && LoadFileDisc(tracks.files, &skipped);
    if (tell) TellLeftOut(owner, Join(items), skipped, tracks.cut, !loaded);
    if (!loaded) {
        OpenDrive();
        return false;
    }
    gDriveCalls = &CdDrive();
    SetCdDriveCalls(&FileDiscCalls());
    gSourceName = Join(items);
    if (gCdDevice.Open(gCdDrive)) RefreshDiscState(-1);
    return true;
}

}  // namespace

bool LoadCdFileSource(const std::vector<std::wstring>& items, HWND owner) {
    if (DisableCDPlayer || items.empty()) return false;
    const bool loaded = Load(items, owner, true);
    StoreSource(loaded ? gSourceName : std::wstring());
    return loaded;
}

void EjectCdFileSource() {
    if (!FileDiscLoaded()) return;
    RefreshDiscState(0);
    LeaveFileDisc();
    StoreSource(std::wstring());
    OpenDrive();
}

void RestoreCdFileSource() {
    const std::vector<std::wstring> items = Split(StoredSource());
    for (const std::wstring& item : items)
        if (GetFileAttributesW(item.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (!items.empty() && !DisableCDPlayer) Load(items, nullptr, false);
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, &path[0], UINT(path.size())));
        if (!path.empty()) paths.push_back(path);
    }
    return paths;
}

void ChooseCdAudioFiles(HWND owner) {
    std::vector<wchar_t> buffer(64 * 1024, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Audio files and playlists\0*.wav;*.mp3;*.wma;*.aac;*.m4a;*.flac;*.ogg;*.aif;*.aiff;*.m3u;*.m3u8\0"
                      L"All files\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return;
    // One file comes whole; several come as the folder, then each name.
    std::vector<std::wstring> parts;
    for (const wchar_t* at = buffer.data(); *at; at += wcslen(at) + 1) parts.push_back(at);
    std::vector<std::wstring> items;
    if (parts.size() == 1) items = parts;
    for (size_t i = 1; i < parts.size(); ++i) items.push_back(parts[0] + L"\\" + parts[i]);
    LoadCdFileSource(items, owner);
}

const std::wstring& CdFileSourceName() { return gSourceName; }

const char* CdStatusTooltip() {
    static char text[1024];
    if (gSourceName.empty()) return nullptr;
    const std::wstring tip = L"Audio files: " + gSourceName;
    // What the code page cannot show becomes "?"; the tip is cut to its buffer.
    const int written = WideCharToMultiByte(CP_ACP, 0, tip.c_str(), int(tip.size()), text, sizeof text - 1, "?", nullptr);
    text[written > 0 ? written : 0] = '\0';
    return text;
}
