// psc.cfg: the programmed shortcuts on disk, a header record and one record
// per shortcut, 40 bytes each, little-endian.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>

// Shortcut code -> command number, in ascending signed code order, each code once.
using ShortcutList = std::map<int32_t, int32_t>;

constexpr int kShortcutRecordSize = 40;
constexpr int32_t kShortcutFileVersion = 5800;     // what the writer stores
constexpr int32_t kOldestShortcutFileVersion = 5700;
constexpr size_t kShortcutPathSize = 260;

// A code is a virtual key plus Shift, Alt and Ctrl bits and nothing else; a
// command is a desk key id or one of the view, bar, page and special
// commands 247..282. Only entries that pass both are ever kept.
bool IsValidShortcutCode(int32_t code);
bool IsValidShortcutCommand(int32_t command);
bool IsValidShortcutEntry(int32_t code, int32_t command);

// "<sharedpath>/ide0/psc.cfg". False, with path empty, when there is no
// shared path or the result would not fit (a cut path names another file).
bool ShortcutFilePath(char* path, size_t size);

// Inserts every complete, valid record of the file into list; an entry whose
// code is already there keeps the earlier command. Reading stops at the end
// of the file whatever the header's count says. False (list untouched) when
// the file cannot be opened, its header is incomplete or its version is
// outside 5700..5800.
bool ReadShortcutFile(const char* path, ShortcutList* list);
// Writes the valid entries of list as a version 5800 file. The new file is
// written beside the old one and replaces it only once complete, so a failure
// leaves any old file as it was. A read-only file is left as it is. False on
// any failure.
bool WriteShortcutFile(const char* path, const ShortcutList& list);
bool ShortcutFileIsReadOnly(const char* path);

// The same at the shortcut file's own path; the caller tells the user why a
// save failed (ShortcutFileIsReadOnly names the usual cause).
bool LoadShortcutFile(ShortcutList* list);
bool SaveShortcutFile(const ShortcutList& list);
