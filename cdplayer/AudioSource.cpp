// Turning a folder, a playlist or dropped files into a disc's tracks.
#include "cdplayer/AudioSource.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace {

const wchar_t* const kAudioEndings[] = {L".wav", L".mp3", L".wma", L".aac", L".m4a", L".flac", L".ogg", L".aif",
                                        L".aiff"};

bool EndsWith(const std::wstring& text, const wchar_t* ending) {
    const size_t n = wcslen(ending);
    return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, ending) == 0;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A track must be a file with something in it: a missing or empty one is
// named in the load's message instead.
bool IsPlayableFile(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeHigh || data.nFileSizeLow);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsRelative(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return false;
    return path.empty() || (path[0] != L'\\' && path[0] != L'/');
}

void AddFolder(const std::wstring& folder, std::vector<std::wstring>* files) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsAudioFileName(found.cFileName))
            files->push_back(base + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring Widen(const std::string& text, UINT codePage) {
    const int size = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(std::max(size, 0)), L'\0');
    if (size > 0) MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], size);
    return wide;
}

// A playlist's lines in their order; "#" lines are comments. .m3u8 and a
// file that starts with the UTF-8 mark are UTF-8, others the ANSI code page.
std::vector<std::wstring> ReadPlaylist(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string bytes;
    char buf[4096];
    DWORD read = 0;
    // Bounded: a playlist of 99 tracks is small, a huge file is no playlist.
    while (bytes.size() < (1u << 20) && ReadFile(file, buf, sizeof buf, &read, nullptr) && read > 0)
        bytes.append(buf, read);
    CloseHandle(file);
    UINT codePage = EndsWith(path, L".m3u8") ? CP_UTF8 : CP_ACP;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        codePage = CP_UTF8;
    }
    const std::wstring base = FolderOf(path);
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        std::wstring line = Widen(bytes.substr(at, end - at), codePage);
        at = end + 1;
        while (!line.empty() && iswspace(line.back())) line.pop_back();
        while (!line.empty() && iswspace(line.front())) line.erase(0, 1);
        if (line.empty() || line[0] == L'#') continue;
        lines.push_back(IsRelative(line) ? base + line : line);
    }
    return lines;
}

void SortNaturally(std::vector<std::wstring>* files) {
    std::stable_sort(files->begin(), files->end(), [](const std::wstring& a, const std::wstring& b) {
        return NaturalCompare(NameOf(a), NameOf(b)) < 0;
    });
}

}  // namespace

int NaturalCompare(const std::wstring& a, const std::wstring& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (iswdigit(a[i]) && iswdigit(b[j])) {
            // Leading zeros do not count; then the longer run is the larger number.
            while (i < a.size() && a[i] == L'0') ++i;
            while (j < b.size() && b[j] == L'0') ++j;
            size_t ei = i, ej = j;
            while (ei < a.size() && iswdigit(a[ei])) ++ei;
            while (ej < b.size() && iswdigit(b[ej])) ++ej;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            const int digits = a.compare(i, ei - i, b, j, ej - j);
            if (digits) return digits < 0 ? -1 : 1;
            i = ei, j = ej;
            continue;
        }
        const wint_t x = towlower(a[i]), y = towlower(b[j]);
        if (x != y) return x < y ? -1 : 1;
        ++i, ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return 0;
}

bool IsPlaylistName(const std::wstring& path) { return EndsWith(path, L".m3u") || EndsWith(path, L".m3u8"); }

bool IsAudioFileName(const std::wstring& path) {
    for (const wchar_t* ending : kAudioEndings)
        if (EndsWith(path, ending)) return true;
    return false;
}

AudioSourceTracks LoadAudioSource(const std::vector<std::wstring>& items) {
    std::vector<std::wstring> candidates;
    if (items.size() == 1 && IsPlaylistName(items[0]) && !IsFolder(items[0])) {
        candidates = ReadPlaylist(items[0]);
    } else {
        for (const std::wstring& item : items) {
            if (IsFolder(item)) AddFolder(item, &candidates);
            else candidates.push_back(item);
        }
        SortNaturally(&candidates);
    }
    AudioSourceTracks tracks;
    for (const std::wstring& file : candidates) {
        if (!IsAudioFileName(file) || !IsPlayableFile(file)) {
            tracks.skipped.push_back(file);
        } else if (tracks.files.size() < kMaxAudioTracks) {
            tracks.files.push_back(file);
        } else {
            tracks.cut = true;
        }
    }
    return tracks;
}
