// The desk key table: one record per key of the desk, the key index map that
// turns a key id back into a row, and the few labels that change at run time.
//
// A key window's control id is its row, so the row order is part of the
// contract: rows 0..99 hold ids 1..100 (row = id - 1), and ids 247..257 sit in
// eleven consecutive rows from kScreenKeyRow on, which the screen, bar and page
// key code and the keyboard dispatcher walk by offset.
#pragma once
#include <cstdint>
#include <string_view>

struct KeyRecord {
    const char* label;    // face text, optionally "~" and a shortcut text
    int keyId;            // 1..257; 0 only in the terminating record
    int led1;             // LED number (index into ledHWnd), -1 for none
    int led2;             // -1 for none; only set when led1 is
    int x;                // desk pixels, scroll offset 0
    int y;
    int width;
    int height;
    int faceStyle;        // 1..11; -1 in the terminating record
    const char* command;  // command word offered by the Shortcuts dialog
    uint32_t defaultShortcut;  // shortcut code, kNoShortcut for none
};

// Shortcut code: virtual-key code in the low 16 bits plus modifier bits. The
// same coding serves the table, the programmed shortcuts and their file.
constexpr uint32_t kShortcutKeyMask = 0x0000FFFF;
constexpr uint32_t kShortcutShift = 0x10000000;
constexpr uint32_t kShortcutAlt = 0x20000000;
constexpr uint32_t kShortcutCtrl = 0x40000000;
constexpr uint32_t kShortcutModifierMask = kShortcutShift | kShortcutAlt | kShortcutCtrl;
constexpr uint32_t kNoShortcut = 0xFFFFFFFF;

constexpr int kKeyCount = 187;          // rows; row kKeyCount is the terminator
constexpr int kExecutorKeyCount = 100;  // rows 0..99, ids 1..100
constexpr int kMaxKeyId = 257;
constexpr int kKeyIndexMapSize = kMaxKeyId + 1;

constexpr int kScreenKeyId = 247;  // Screen1..Screen3: ids 247..249
constexpr int kScreenKeyCount = 3;
constexpr int kBarKeyId = 250;     // fader bars 1..6: ids 250..255
constexpr int kBarKeyCount = 6;
constexpr int kPageUpKeyId = 256;
constexpr int kPageDownKeyId = 257;
constexpr int kScreenKeyRow = 176;
constexpr int kBarKeyRow = kScreenKeyRow + (kBarKeyId - kScreenKeyId);         // 179
constexpr int kPageUpRow = kScreenKeyRow + (kPageUpKeyId - kScreenKeyId);      // 185
constexpr int kPageDownRow = kScreenKeyRow + (kPageDownKeyId - kScreenKeyId);  // 186

// Ids whose label the key control rewrites at run time: align (183),
// Highlight/Solo (200) and the zero/dot pair (209, 219).
constexpr int kAlignKeyId = 183;
constexpr int kHighlightKeyId = 200;
constexpr int kZeroKeyId = 209;
constexpr int kDotKeyId = 219;
// Room of a writable label, terminator included; longer texts are cut.
constexpr int kKeyLabelCapacity = 64;

// The kKeyCount rows followed by the terminating record (key id 0, label and
// command null, face style -1, shortcut 0), for loops that stop at id 0.
const KeyRecord* KeyTable();
// The record of a row, null for a row outside 0..kKeyCount - 1.
const KeyRecord* KeyRow(int row);
// Searches the table itself, so it works before any key window exists;
// -1 when no row carries the id (id 0 included: the terminator is no key).
int FindRowOfKeyId(int keyId);

// Key index map, filled while the key windows are created. A row whose
// window could not be made is never mapped, so its id finds no row.
// Records row for id; false (and nothing stored) unless the row exists and
// carries that id.
bool MapKeyRow(int keyId, int row);
// Forgets every entry; RowOfKeyId then answers -1 for all ids.
void ClearKeyIndexMap();
// The mapped row of an id; -1 for an id outside 0..kMaxKeyId or not mapped.
int RowOfKeyId(int keyId);

// The current label of a row, null for a row outside the table. A pointer to
// a writable label stays valid but its text changes with SetKeyLabel.
const char* KeyLabel(int row);
bool KeyLabelIsWritable(int row);
// Copies text into the row's own label buffer, cut to kKeyLabelCapacity - 1
// characters. Null text keeps the old label (the core may have none to give).
// False, with nothing changed, for null text or a row that is not writable.
bool SetKeyLabel(int row, const char* text);
// Exchanges the texts of two writable rows (the zero/dot keys trade faces
// while their ids, and so the status codes sent, stay in place).
bool SwapKeyLabels(int rowA, int rowB);
// Puts the built-in labels back on the writable rows.
void ResetKeyLabels();

// A label split at its first "~". Without "~" all of it is face text; a null
// label gives two empty parts. Both parts point into the label itself.
struct KeyLabelParts {
    std::string_view face;
    std::string_view shortcut;
};
KeyLabelParts SplitKeyLabel(const char* label);
