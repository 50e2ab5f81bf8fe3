// Reading and writing psc.cfg. The file may come from anywhere, so the reader
// trusts nothing in it: records are taken one at a time until the end of the
// file, and only whole records with a sound code and command are kept.
#include "input/ShortcutFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "common/Text.h"
#include "desk/KeyTable.h"

namespace {

constexpr int32_t kFirstViewCommand = 247;
constexpr int32_t kLastSpecialCommand = 282;

using Record = unsigned char[kShortcutRecordSize];

int32_t ReadInt32(const unsigned char* bytes) {
    const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                           uint32_t(bytes[3]) << 24;
    return int32_t(value);
}

void PutInt32(unsigned char* bytes, int32_t value) {
    const uint32_t bits = uint32_t(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

bool ReadRecord(FILE* file, Record record) { return fread(record, 1, kShortcutRecordSize, file) == kShortcutRecordSize; }

bool WriteRecord(FILE* file, const Record record) {
    return fwrite(record, 1, kShortcutRecordSize, file) == kShortcutRecordSize;
}

size_t ValidEntryCount(const ShortcutList& list) {
    size_t count = 0;
    for (const auto& entry : list) count += IsValidShortcutEntry(entry.first, entry.second);
    return count;
}

bool WriteAll(FILE* file, const ShortcutList& list) {
    Record record = {};
    PutInt32(record, kShortcutFileVersion);
    PutInt32(record + 4, int32_t(ValidEntryCount(list)));
    if (!WriteRecord(file, record)) return false;
    for (const auto& entry : list) {
        if (!IsValidShortcutEntry(entry.first, entry.second)) continue;
        PutInt32(record, entry.first);
        PutInt32(record + 4, entry.second);
        if (!WriteRecord(file, record)) return false;
    }
    return true;
}

// The old file's own marks carry over to its replacement.
DWORD KeptAttributes(DWORD old) {
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (old == INVALID_FILE_ATTRIBUTES || !(old & kept)) return FILE_ATTRIBUTE_NORMAL;
    return old & kept;
}

}  // namespace

bool IsValidShortcutCode(int32_t code) {
    return (uint32_t(code) & ~(kShortcutKeyMask | kShortcutModifierMask)) == 0;
}

bool IsValidShortcutCommand(int32_t command) {
    if (command >= kFirstViewCommand && command <= kLastSpecialCommand) return true;
    return FindRowOfKeyId(command) >= 0;
}

bool IsValidShortcutEntry(int32_t code, int32_t command) {
    return IsValidShortcutCode(code) && IsValidShortcutCommand(command);
}

bool ShortcutFilePath(char* path, size_t size) {
    if (!path || size == 0) return false;
    path[0] = '\0';
    if (!sharedpath) return false;
    const size_t limit = size < kShortcutPathSize ? size : kShortcutPathSize;
    if (FormatBounded(path, limit, "%s/ide0/%s", sharedpath, "psc.cfg")) return true;
    path[0] = '\0';
    return false;
}

bool ReadShortcutFile(const char* path, ShortcutList* list) {
    if (!path || !*path || !list) return false;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    Record record;
    bool ok = ReadRecord(file, record);
    const int32_t version = ok ? ReadInt32(record) : 0;
    ok = ok && version >= kOldestShortcutFileVersion && version <= kShortcutFileVersion;
    if (ok) {
        // The count only ever shortens the walk; the file's end is what stops it.
        const int32_t count = ReadInt32(record + 4);
        for (int32_t i = 0; i < count && ReadRecord(file, record); ++i) {
            const int32_t code = ReadInt32(record);
            const int32_t command = ReadInt32(record + 4);
            if (IsValidShortcutEntry(code, command)) list->emplace(code, command);
        }
    }
    fclose(file);
    return ok;
}

bool ShortcutFileIsReadOnly(const char* path) {
    const DWORD attributes = path && *path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool WriteShortcutFile(const char* path, const ShortcutList& list) {
    if (!path || !*path || ShortcutFileIsReadOnly(path)) return false;
    const std::string temporary = std::string(path) + ".new";
    // A leftover of an interrupted save goes first, read-only or not: what
    // the new file is like is not its to decide.
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary.c_str());
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) return false;
    bool ok = WriteAll(file, list);
    // fclose flushes: a full disk may only show here.
    ok = (fclose(file) == 0) && ok;
    ok = ok && SetFileAttributesA(temporary.c_str(), KeptAttributes(GetFileAttributesA(path)));
    ok = ok && MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING);
    if (!ok) DeleteFileA(temporary.c_str());
    return ok;
}

bool LoadShortcutFile(ShortcutList* list) {
    char path[kShortcutPathSize];
    return ShortcutFilePath(path, sizeof path) && ReadShortcutFile(path, list);
}

bool SaveShortcutFile(const ShortcutList& list) {
    char path[kShortcutPathSize];
    return ShortcutFilePath(path, sizeof path) && WriteShortcutFile(path, list);
}
