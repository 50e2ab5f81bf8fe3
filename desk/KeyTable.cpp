// The desk key table. The 100 executor keys follow a few regular rules and are
// built from them on first use; the other keys are irregular and listed.
#include "desk/KeyTable.h"

#include <windows.h>

#include <cstring>

#include "common/Text.h"

namespace {

constexpr uint32_t Shift(uint32_t vk) { return kShortcutShift + vk; }
constexpr uint32_t Alt(uint32_t vk) { return kShortcutAlt + vk; }
constexpr uint32_t Ctrl(uint32_t vk) { return kShortcutCtrl + vk; }
constexpr uint32_t kNone = kNoShortcut;

// ---- Executor keys ---------------------------------------------------------

// Executor n and n + 10 share a column; the wide gap after the fifth column
// separates the two halves of the fader wing.
constexpr int kExecutorColumnX[10] = {7, 67, 127, 187, 247, 356, 416, 476, 536, 596};
constexpr int kExecutorWidth = 55;
constexpr int kExecutorHeight = 36;
constexpr int kExecutorFaceStyle = 4;

// LED numbers do not follow the key order, so they are listed per key id.
constexpr int kMiddleLeds[20] = {138, 141, 128, 131, 134, 154, 157, 144, 147, 150,
                                 170, 173, 160, 163, 166, 186, 189, 176, 179, 182};
constexpr int kAboveFirstLeds[20] = {137, 140, 143, 130, 133, 153, 156, 159, 146, 149,
                                     169, 172, 175, 162, 165, 185, 188, 191, 178, 181};
constexpr int kAboveSecondLeds[20] = {136, 139, 142, 129, 132, 152, 155, 158, 145, 148,
                                      168, 171, 174, 161, 164, 184, 187, 190, 177, 180};
constexpr int kButtonFirstLeds[40] = {8,  40, 10, 42, 12, 44, 14, 46, 0,  32,
                                      72, 104, 74, 106, 76, 108, 78, 110, 64, 96,
                                      9,  41, 11, 43, 13, 45, 15, 47, 1,  33,
                                      73, 105, 75, 107, 77, 109, 79, 111, 65, 97};
// The executor buttons' second LED sits one LED bank (16) above the first.
constexpr int kButtonSecondLedOffset = 16;

struct ExecutorGroup {
    int firstId;
    int lastId;
    int firstExecutor;
    int y;
    const char* modifierName;   // in the shortcut text "(Shift 1)"
    bool numberOnFace;          // "1~(Alt 1)" rather than "(Shift 1)"
    const char* commandSuffix;  // "E01 MIDDLE"
    uint32_t shortcutModifier;  // 0: the group has no default shortcuts
    const int* firstLeds;       // indexed by id - firstId; null: no LEDs
    const int* secondLeds;      // same; null: none or derived from the first
    int secondLedOffset;        // 0: not derived
};

constexpr ExecutorGroup kExecutorGroups[] = {
    {1, 20, 1, 689, "Shift", false, " MIDDLE", kShortcutShift, kMiddleLeds, nullptr, 0},
    {21, 40, 1, 728, "Ctrl", false, " BELOW", kShortcutCtrl, nullptr, nullptr, 0},
    {41, 60, 1, 534, "Alt", true, " ABOVE", kShortcutAlt, kAboveFirstLeds, kAboveSecondLeds, 0},
    {61, 70, 21, 534, "Shift", true, "", 0, kButtonFirstLeds, nullptr, kButtonSecondLedOffset},
    {71, 80, 31, 597, "Shift", true, "", 0, kButtonFirstLeds + 10, nullptr, kButtonSecondLedOffset},
    {81, 90, 41, 663, "Shift", true, "", 0, kButtonFirstLeds + 20, nullptr, kButtonSecondLedOffset},
    {91, 100, 51, 728, "Shift", true, "", 0, kButtonFirstLeds + 30, nullptr, kButtonSecondLedOffset},
};

// Only the digit keys 1..9 can carry an executor's default shortcut.
constexpr int kLastExecutorWithShortcut = 9;

// "60~(Shift 60)" is the longest.
constexpr int kExecutorLabelSize = 16;
constexpr int kExecutorCommandSize = 12;

// ---- The other keys, rows 100..186, in table order --------------------------

constexpr int kFixedKeyCount = kKeyCount - kExecutorKeyCount;

const KeyRecord kFixedKeys[kFixedKeyCount] = {
    // label                 id   led1 led2  x    y    w    h  style command            default shortcut
    {"Pause~(F3)",          150, 135, -1, 839, 707,  55, 36, 1, "DEFAULT PAUSE",     VK_F3},
    {"Go-~(F2)",            149, 151, -1, 897, 707,  55, 36, 1, "DEFAULT GO -",      VK_F2},
    {"Go+~(F1)",            148, 167, -1, 955, 688,  55, 75, 9, "DEFAULT GO +",      VK_F1},
    {"Fix~(Ctrl F)",        151, 203, -1, 656, 534,  55, 36, 4, "FIX",               Ctrl('F')},
    {"Temp~(Ctrl T)",       154, 196, -1, 656, 573,  55, 36, 4, "TEMP",              Ctrl('T')},
    {"<<<~(<)",             157, 206, -1, 656, 612,  55, 36, 4, "<<",                kNone},
    {"Go-~(B)",             160, 207, -1, 656, 651,  55, 36, 4, "GO -",              'B'},
    {"Select~(Alt S)",      152, 204, -1, 714, 534,  55, 36, 4, "SELECT",            Alt('S')},
    {"Top~(Home)",          155, 205, -1, 714, 573,  55, 36, 4, "TOP",               VK_HOME},
    {"Learn~(L)",           158, 192, -1, 714, 612,  55, 36, 4, "LEARN",             'L'},
    {"Pause~(Pause)",       161, 193, -1, 714, 651,  55, 36, 4, "PAUSE",             kNone},
    {"Off~(Ctrl -)",        153, 198, -1, 772, 534,  55, 36, 4, "OFF",               kNone},
    {"On~(Ctrl +)",         156, 197, -1, 772, 573,  55, 36, 4, "ON",                kNone},
    {">>>~(>)",             159, 194, -1, 772, 612,  55, 36, 4, ">>",                kNone},
    {"Go+~(N)",             162, 195, -1, 772, 651,  55, 36, 4, "GO +",              'N'},
    {"Tim Man",             175, 231, 230, 656, 47,  55, 36, 4, "TIME MANUAL PRESETFADE", kNone},
    {"Blind~(Ctrl B)",      178,  34, -1, 656, 281,  55, 36, 2, "BLIND",             Ctrl('B')},
    {"View~(Alt V)",        163,  20, -1, 716,  47,  55, 36, 4, "VIEW",              Alt('V')},
    {"Page~(Ctrl P)",       166,   4, -1, 716,  86,  55, 36, 4, "PAGE",              Ctrl('P')},
    {"Sequ.~(S)",           169,  68, -1, 716, 125,  55, 36, 4, "SEQUENCE",          'S'},
    {"Channel~(C)",         172,  21, -1, 716, 164,  55, 36, 4, "CHANNEL",           'C'},
    {"Freeze~(Alt F)",      179,  50, -1, 656, 320,  55, 36, 2, "FREEZE",            Alt('F')},
    {"Effect~(Ctrl E)",     164,  36, -1, 774,  47,  55, 36, 4, "EFFECT",            Ctrl('E')},
    {"Macro~(M)",           167, 100, -1, 774,  86,  55, 36, 4, "MACRO",             'M'},
    {"Cue~(Q)",             170,  84, -1, 774, 125,  55, 36, 4, "CUE",               'Q'},
    {"Fixture~(F)",         173,   5, -1, 774, 164,  55, 36, 4, "FIXTURE",           'F'},
    {"Clear~(Bspace)",      180,  66, -1, 657, 359,  55, 75, 3, "CLEAR",             VK_BACK},
    {"Goto~(Ctrl G)",       165,  52, -1, 832,  47,  55, 36, 4, "GOTO",              Ctrl('G')},
    {"Preset~(P)",          168, 116, -1, 832,  86,  55, 36, 4, "PRESET",            'P'},
    {"Exec.~(X)",           171,  53, -1, 832, 125,  55, 36, 4, "EXECUTOR",          'X'},
    {"Group~(G)",           174,  69, -1, 832, 164,  55, 36, 4, "GROUP",             'G'},
    {"Assign~(Ctrl A)",     181,  82, -1, 894,  47,  55, 36, 7, "ASSIGN",            Ctrl('A')},
    {"Oops~(Ctrl Z)",       185,  -1, -1, 894,   5,  55, 36, 7, "OOPS",              Ctrl('Z')},
    {"Time~(F9)",           189,  -1, -1, 955, 281,  55, 36, 7, "TIME",              VK_F9},
    {"Help~(?)",            182, 114, -1, 894,  86,  55, 36, 7, "HELP",              kNone},
    {"Delete~(D)",          186,  67, -1, 716,   5,  55, 36, 7, "DELETE",            'D'},
    {"Align~(W)",           183,  98, -1, 894, 125,  55, 36, 7, "ALIGN",             'W'},
    {"Copy~(Ctrl C)",       187,  83, -1, 774,   5,  55, 36, 7, "COPY",              Ctrl('C')},
    {"Edit~(E)",            193,   3, -1, 955, 359,  55, 36, 7, "EDIT",              'E'},
    {"Preview~(Ctrl W)",    184,  51, -1, 656, 242,  55, 36, 7, "PREVIEW",           Ctrl('W')},
    {"Move~(Ctrl X)",       188,  19, -1, 832,   5,  55, 36, 7, "MOVE",              Ctrl('X')},
    {"Update~(U)",          194,  35, -1, 955, 320,  55, 36, 7, "UPDATE",            'U'},
    {"0",                   209,  -1, -1, 774, 359,  55, 36, 4, "NUM 0",             '0'},
    {"1",                   210,  -1, -1, 716, 320,  55, 36, 4, "NUM 1",             '1'},
    {"2",                   211,  -1, -1, 774, 320,  55, 36, 4, "NUM 2",             '2'},
    {"3",                   212,  -1, -1, 832, 320,  55, 36, 4, "NUM 3",             '3'},
    {"4",                   213,  -1, -1, 716, 281,  55, 36, 4, "NUM 4",             '4'},
    {"5",                   214,  -1, -1, 774, 281,  55, 36, 4, "NUM 5",             '5'},
    {"6",                   215,  -1, -1, 832, 281,  55, 36, 4, "NUM 6",             '6'},
    {"7",                   216,  -1, -1, 716, 242,  55, 36, 4, "NUM 7",             '7'},
    {"8",                   217,  -1, -1, 774, 242,  55, 36, 4, "NUM 8",             '8'},
    {"9",                   218,  -1, -1, 832, 242,  55, 36, 4, "NUM 9",             '9'},
    {".",                   219,  -1, -1, 716, 359,  55, 36, 4, "DECIMAL POINT",     kNone},
    {"Enter",               225,  -1, -1, 832, 398, 117, 36, 6, "ENTER",             kNone},
    {"+",                   220, 115, -1, 890, 242,  59, 36, 5, "+",                 kNone},
    {"-",                   221, 117, -1, 890, 320,  59, 36, 5, "-",                 kNone},
    // "TRUH" is not ours to mend: the Shortcuts dialog lists Thru under it.
    {"Thru~(T)",            222,  99, -1, 890, 281,  59, 36, 5, "TRUH",              'T'},
    {"At~(A)",              223, 101, -1, 890, 359,  59, 36, 5, "AT",                'A'},
    {"If~(I)",              224,  85, -1, 832, 359,  55, 36, 4, "IF",                'I'},
    {"Prev.",               203,  -1, -1, 839, 591,  55, 36, 7, "PREVIOUS",          kNone},
    {"Up",                  205,  -1, -1, 897, 552,  55, 36, 7, "UP",                kNone},
    {"Set~(End)",           207,  -1, -1, 897, 591,  55, 36, 7, "SET",               VK_END},
    {"Down",                206,  -1, -1, 897, 630,  55, 36, 7, "DOWN",              kNone},
    {"Next",                204,  -1, -1, 955, 591,  55, 36, 7, "NEXT",              kNone},
    {"Tools~(Ctrl F10)",    196,   6, -1, 478,   5,  55, 36, 11, "TOOLS",            Ctrl(VK_F10)},
    {"Store~(R)",           195,  86, -1, 955, 398,  55, 36, 8, "STORE",             'R'},
    {"Setup~(Ctrl F11)",    197,  22, -1, 536,   5,  55, 36, 11, "SETUP",            Ctrl(VK_F11)},
    {"Full/Open~(Ctrl O)",  201, 102, -1, 774, 398,  55, 36, 4, "FULL/OPEN",         Ctrl('O')},
    {"Escape~(Esc)",        199,  -1, -1, 955, 242,  55, 36, 7, "ESCAPE",            kNone},
    {"Backup~(Ctrl F12)",   198,  38, -1, 594,   5,  55, 36, 11, "BACKUP",           Ctrl(VK_F12)},
    {"Highlight~(H)",       200, 118, -1, 716, 398,  55, 36, 4, "HIGHLIGHT",         'H'},
    {"B.O.~(F10)",          202,  54, -1, 955,  47,  55, 36, 4, "BLACKOUT",          VK_F10},
    {"VwPool~(Alt P)",      226, 216, -1, 656,   5,  55, 36, 2, "VIEWPOOL",          Alt('P')},
    {"Backgrd~(Ctrl F9)",   227, 217, -1, 420,   5,  55, 36, 4, "BACKGROUND",        Ctrl(VK_F9)},
    {"Keybrd~(Ctrl F8)",    228, 218, -1, 362,   5,  55, 36, 4, "KEYBOARD",          Ctrl(VK_F8)},
    {"Ti Man",              176,   2, 18, 308, 534,  43, 36, 10, "TIME MANUAL EXECFADE", kNone},
    {"Screen1~(Ctrl F1)",   247,  -1, -1,  51,   5,  55, 36, 2, "SCREEN 1",          Ctrl(VK_F1)},
    {"Screen2~(Ctrl F2)",   248,  -1, -1, 109,   5,  55, 36, 2, "SCREEN 2",          Ctrl(VK_F2)},
    {"Screen3~(Ctrl F3)",   249,  -1, -1, 167,   5,  55, 36, 2, "SCREEN 3",          Ctrl(VK_F3)},
    {"Ch 1-10~(Alt F1)",    250,  -1, -1, 656, 689,  55, 36, 2, "CHANNEL 1 - 10",    Alt(VK_F1)},
    {"Ch 11-20~(Alt F2)",   251,  -1, -1, 656, 728,  55, 36, 2, "CHANNEL 11 - 20",   Alt(VK_F2)},
    {"Ex 1-10~(Alt F3)",    252,  -1, -1, 714, 689,  55, 36, 2, "EXECUTOR 1 - 10",   Alt(VK_F3)},
    {"Ex 11-20~(Alt F4)",   253,  -1, -1, 714, 728,  55, 36, 2, "EXECUTOR 11 - 20",  Alt(VK_F4)},
    {"Ex Btn~(Alt F5)",     254,  37, -1, 772, 689,  55, 36, 2, "EXECUTOR BUTTONS",  Alt(VK_F5)},
    {"Encoder~(Alt F6)",    255,  -1, -1, 772, 728,  55, 36, 2, "ENCODER",           Alt(VK_F6)},
    {"Pg Up",               256,  -1, -1, 308, 689,  43, 36, 10, "PAGE UP",          VK_PRIOR},
    {"Pg Dn",               257,  -1, -1, 308, 728,  43, 36, 10, "PAGE DOWN",        VK_NEXT},
};

constexpr KeyRecord kTerminator = {nullptr, 0, -1, -1, 0, 0, 0, 0, -1, nullptr, 0};

constexpr int kWritableKeyIds[] = {kAlignKeyId, kHighlightKeyId, kZeroKeyId, kDotKeyId};
constexpr int kWritableCount = int(sizeof kWritableKeyIds / sizeof kWritableKeyIds[0]);

// ---- Storage ----------------------------------------------------------------

// Built in place on first use: the records point into the storage's own
// buffers, so it must never be copied, and building on first use keeps other
// translation units' static initialisers safe to call in.
struct KeyTableStorage {
    KeyRecord rows[kKeyCount + 1];
    char executorLabels[kExecutorKeyCount][kExecutorLabelSize];
    char executorCommands[kExecutorKeyCount][kExecutorCommandSize];
    int writableRows[kWritableCount];
    const char* builtInLabels[kWritableCount];
    char writableLabels[kWritableCount][kKeyLabelCapacity];
    int indexMap[kKeyIndexMapSize];

    KeyTableStorage() {
        BuildExecutorRows();
        for (int i = 0; i < kFixedKeyCount; ++i) rows[kExecutorKeyCount + i] = kFixedKeys[i];
        rows[kKeyCount] = kTerminator;
        for (int i = 0; i < kWritableCount; ++i) {
            writableRows[i] = FindRow(kWritableKeyIds[i]);
            builtInLabels[i] = rows[writableRows[i]].label;
        }
        ResetLabels();
        for (int& entry : indexMap) entry = -1;
    }
    KeyTableStorage(const KeyTableStorage&) = delete;
    KeyTableStorage& operator=(const KeyTableStorage&) = delete;

    void BuildExecutorRows() {
        for (const ExecutorGroup& g : kExecutorGroups) {
            for (int id = g.firstId; id <= g.lastId; ++id) {
                const int row = id - 1;
                const int i = id - g.firstId;
                const int n = g.firstExecutor + i;
                char* label = executorLabels[row];
                char* command = executorCommands[row];
                if (g.numberOnFace) {
                    FormatBounded(label, kExecutorLabelSize, "%d~(%s %d)", n, g.modifierName, n);
                } else {
                    FormatBounded(label, kExecutorLabelSize, "(%s %d)", g.modifierName, n);
                }
                FormatBounded(command, kExecutorCommandSize, "E%02d%s", n, g.commandSuffix);

                KeyRecord& k = rows[row];
                k.label = label;
                k.keyId = id;
                k.led1 = g.firstLeds ? g.firstLeds[i] : -1;
                k.led2 = g.secondLeds ? g.secondLeds[i]
                         : (g.firstLeds && g.secondLedOffset) ? k.led1 + g.secondLedOffset
                                                              : -1;
                k.x = kExecutorColumnX[(n - g.firstExecutor) % 10];
                k.y = g.y;
                k.width = kExecutorWidth;
                k.height = kExecutorHeight;
                k.faceStyle = kExecutorFaceStyle;
                k.command = command;
                k.defaultShortcut = (g.shortcutModifier && n <= kLastExecutorWithShortcut)
                                        ? g.shortcutModifier + uint32_t('0' + n)
                                        : kNoShortcut;
            }
        }
    }

    int FindRow(int keyId) const {
        if (keyId <= 0) return -1;
        for (int row = 0; row < kKeyCount; ++row) {
            if (rows[row].keyId == keyId) return row;
        }
        return -1;
    }

    int WritableSlot(int row) const {
        for (int i = 0; i < kWritableCount; ++i) {
            if (writableRows[i] == row) return i;
        }
        return -1;
    }

    void ResetLabels() {
        for (int i = 0; i < kWritableCount; ++i) {
            CopyBounded(writableLabels[i], kKeyLabelCapacity, builtInLabels[i]);
            rows[writableRows[i]].label = writableLabels[i];
        }
    }
};

KeyTableStorage& Storage() {
    static KeyTableStorage storage;
    return storage;
}

bool RowInTable(int row) { return row >= 0 && row < kKeyCount; }

}  // namespace

const KeyRecord* KeyTable() { return Storage().rows; }

const KeyRecord* KeyRow(int row) { return RowInTable(row) ? &Storage().rows[row] : nullptr; }

int FindRowOfKeyId(int keyId) { return Storage().FindRow(keyId); }

bool MapKeyRow(int keyId, int row) {
    if (keyId < 1 || keyId > kMaxKeyId || !RowInTable(row)) return false;
    KeyTableStorage& s = Storage();
    if (s.rows[row].keyId != keyId) return false;
    s.indexMap[keyId] = row;
    return true;
}

void ClearKeyIndexMap() {
    for (int& entry : Storage().indexMap) entry = -1;
}

int RowOfKeyId(int keyId) {
    if (keyId < 0 || keyId > kMaxKeyId) return -1;
    return Storage().indexMap[keyId];
}

const char* KeyLabel(int row) { return RowInTable(row) ? Storage().rows[row].label : nullptr; }

bool KeyLabelIsWritable(int row) { return RowInTable(row) && Storage().WritableSlot(row) >= 0; }

bool SetKeyLabel(int row, const char* text) {
    if (!text || !RowInTable(row)) return false;
    KeyTableStorage& s = Storage();
    const int slot = s.WritableSlot(row);
    if (slot < 0) return false;
    // The text may come from a label buffer itself, even this one.
    char copy[kKeyLabelCapacity];
    CopyBounded(copy, sizeof copy, text);
    memcpy(s.writableLabels[slot], copy, sizeof copy);
    return true;
}

bool SwapKeyLabels(int rowA, int rowB) {
    if (!KeyLabelIsWritable(rowA) || !KeyLabelIsWritable(rowB)) return false;
    if (rowA == rowB) return true;
    KeyTableStorage& s = Storage();
    char* a = s.writableLabels[s.WritableSlot(rowA)];
    char* b = s.writableLabels[s.WritableSlot(rowB)];
    char copy[kKeyLabelCapacity];
    memcpy(copy, a, sizeof copy);
    memcpy(a, b, sizeof copy);
    memcpy(b, copy, sizeof copy);
    return true;
}

void ResetKeyLabels() { Storage().ResetLabels(); }

KeyLabelParts SplitKeyLabel(const char* label) {
    const std::string_view text = label ? std::string_view(label) : std::string_view();
    const size_t tilde = text.find('~');
    if (tilde == std::string_view::npos) return {text, std::string_view()};
    return {text.substr(0, tilde), text.substr(tilde + 1)};
}
