// The desk key table: row order other code relies on, data invariants, the
// generated executor rows and a hand-checked sample of the listed rows, the
// lookups and the writable labels.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "desk/KeyTable.h"
#include "mainwindow/MainWindow.h"

namespace {

// The key ids whose label changes at run time (align, Highlight/Solo, zero/dot).
const std::set<int> kWritableIds = {183, 200, 209, 219};

int ModifierCount(uint32_t code) {
    return ((code & kShortcutShift) != 0) + ((code & kShortcutAlt) != 0) +
           ((code & kShortcutCtrl) != 0);
}

// The way the desk writes a shortcut on a key: "(Ctrl F10)", "(Bspace)".
// Empty for a key code the desk has no name for.
std::string KeyName(uint32_t vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    if (vk >= 0x70 && vk <= 0x7B) return "F" + std::to_string(vk - 0x70 + 1);
    switch (vk) {
    case 0x08: return "Bspace";
    case 0x21: return "Pg Up";
    case 0x22: return "Pg Dn";
    case 0x23: return "End";
    case 0x24: return "Home";
    default: return "";
    }
}

std::string ShortcutText(uint32_t code) {
    std::string text = "(";
    if (code & kShortcutShift) text += "Shift ";
    if (code & kShortcutAlt) text += "Alt ";
    if (code & kShortcutCtrl) text += "Ctrl ";
    return text + KeyName(code & kShortcutKeyMask) + ")";
}

struct Rect {
    int left, top, right, bottom;
};
Rect RectOf(const KeyRecord& k) { return {k.x, k.y, k.x + k.width, k.y + k.height}; }
bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Which keys a fader bar shows, as the bar switch and key creation decide it.
bool VisibleOnBar(int id, int bar) {
    if (id >= 1 && id <= 60) {
        const bool low = (id - 1) % 20 < 10;
        return low ? (bar == 1 || bar == 3) : (bar == 2 || bar == 4);
    }
    if ((id >= 61 && id <= 100) || id == 176) return bar == 5;
    if (id == kPageUpKeyId || id == kPageDownKeyId) return bar != 6;
    return true;
}

struct MapCleaner {
    MapCleaner() { ClearKeyIndexMap(); }
    ~MapCleaner() { ClearKeyIndexMap(); }
};
struct LabelRestorer {
    ~LabelRestorer() { ResetKeyLabels(); }
};

// Maps every row as key creation does, except the rows listed as failed.
void MapAllRowsExcept(const std::set<int>& failedRows) {
    for (int row = 0; KeyTable()[row].keyId != 0; ++row) {
        if (!failedRows.count(row)) {
            ASSERT_TRUE(MapKeyRow(KeyTable()[row].keyId, row)) << "row " << row;
        }
    }
}

// A record written out by hand, field by field.
struct Expected {
    int row;
    const char* label;
    int keyId, led1, led2, x, y, width, height, faceStyle;
    const char* command;
    uint32_t shortcut;
};

void ExpectRecord(const Expected& e) {
    SCOPED_TRACE("row " + std::to_string(e.row));
    const KeyRecord* k = KeyRow(e.row);
    ASSERT_NE(nullptr, k);
    EXPECT_STREQ(e.label, k->label);
    EXPECT_EQ(e.keyId, k->keyId);
    EXPECT_EQ(e.led1, k->led1);
    EXPECT_EQ(e.led2, k->led2);
    EXPECT_EQ(e.x, k->x);
    EXPECT_EQ(e.y, k->y);
    EXPECT_EQ(e.width, k->width);
    EXPECT_EQ(e.height, k->height);
    EXPECT_EQ(e.faceStyle, k->faceStyle);
    EXPECT_STREQ(e.command, k->command);
    EXPECT_EQ(e.shortcut, k->defaultShortcut);
}

}  // namespace

// ---- Row order ---------------------------------------------------------------

TEST(KeyTableOrder, HoldsExactlyTheKeysThenTheTerminator) {
    int count = 0;
    while (KeyTable()[count].keyId != 0) ++count;
    EXPECT_EQ(187, kKeyCount);
    EXPECT_EQ(kKeyCount, count);

    const KeyRecord& end = KeyTable()[kKeyCount];
    EXPECT_EQ(nullptr, end.label);
    EXPECT_EQ(0, end.keyId);
    EXPECT_EQ(-1, end.led1);
    EXPECT_EQ(-1, end.led2);
    EXPECT_EQ(0, end.x);
    EXPECT_EQ(0, end.y);
    EXPECT_EQ(0, end.width);
    EXPECT_EQ(0, end.height);
    EXPECT_EQ(-1, end.faceStyle);
    EXPECT_EQ(nullptr, end.command);
    EXPECT_EQ(0u, end.defaultShortcut);
}

TEST(KeyTableOrder, ExecutorRowsAreKeyIdMinusOne) {
    // The tooltip handler turns a control id into a key id by adding 1.
    for (int row = 0; row < kExecutorKeyCount; ++row) {
        EXPECT_EQ(row + 1, KeyRow(row)->keyId) << "row " << row;
    }
    EXPECT_EQ(100, kExecutorKeyCount);
}

TEST(KeyTableOrder, ScreenBarAndPageKeysAreConsecutiveFromRow176) {
    EXPECT_EQ(176, kScreenKeyRow);
    EXPECT_EQ(179, kBarKeyRow);
    EXPECT_EQ(185, kPageUpRow);
    EXPECT_EQ(186, kPageDownRow);
    for (int id = 247; id <= 257; ++id) {
        EXPECT_EQ(id, KeyRow(kScreenKeyRow + (id - 247))->keyId) << "id " << id;
    }
    EXPECT_EQ(kScreenKeyRow, FindRowOfKeyId(kScreenKeyId));
    EXPECT_EQ(kBarKeyRow, FindRowOfKeyId(kBarKeyId));
    EXPECT_EQ(kBarKeyRow + kBarKeyCount - 1, FindRowOfKeyId(255));
    EXPECT_EQ(kScreenKeyRow + kScreenKeyCount, kBarKeyRow);
    EXPECT_EQ(kPageUpRow, FindRowOfKeyId(kPageUpKeyId));
    EXPECT_EQ(kPageDownRow, FindRowOfKeyId(kPageDownKeyId));
}

TEST(KeyTableOrder, DefaultGoKeysComeInReverseIdOrder) {
    EXPECT_EQ(150, KeyRow(100)->keyId);
    EXPECT_EQ(149, KeyRow(101)->keyId);
    EXPECT_EQ(148, KeyRow(102)->keyId);
    EXPECT_EQ(102, FindRowOfKeyId(148));
}

// ---- Invariants of every row ---------------------------------------------------

TEST(KeyTableData, KeyIdsAreUniqueAndInRange) {
    std::set<int> seen;
    for (int row = 0; row < kKeyCount; ++row) {
        const int id = KeyRow(row)->keyId;
        EXPECT_GE(id, 1) << "row " << row;
        EXPECT_LE(id, kMaxKeyId) << "row " << row;
        EXPECT_TRUE(seen.insert(id).second) << "id " << id << " again in row " << row;
    }
    EXPECT_EQ(258, kKeyIndexMapSize);
}

TEST(KeyTableData, LedsFitTheLedTableAndBelongToOneKeyEach) {
    // ledHWnd holds 256 windows, one per LED: a number outside it would write
    // past the array, a shared one would send one key's lamp to another.
    std::set<int> seen;
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord& k = *KeyRow(row);
        SCOPED_TRACE("row " + std::to_string(row));
        for (int led : {k.led1, k.led2}) {
            if (led == -1) continue;
            EXPECT_GE(led, 0);
            EXPECT_LE(led, 255);
            EXPECT_TRUE(seen.insert(led).second) << "LED " << led << " shared";
        }
        if (k.led2 != -1) {
            EXPECT_NE(-1, k.led1) << "second LED without a first";
        }
    }
}

TEST(KeyTableData, KeysLieOnTheDeskWithAFaceStyle) {
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord& k = *KeyRow(row);
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_GE(k.x, 0);
        EXPECT_GE(k.y, 0);
        EXPECT_GT(k.width, 0);
        EXPECT_GT(k.height, 0);
        EXPECT_LE(k.x + k.width, kDeskWidth);
        EXPECT_LE(k.y + k.height, kDeskHeight);
        EXPECT_GE(k.faceStyle, 1);
        EXPECT_LE(k.faceStyle, 11);
    }
}

TEST(KeyTableData, KeysShownTogetherDoNotOverlap) {
    for (int bar = 1; bar <= 6; ++bar) {
        for (int a = 0; a < kKeyCount; ++a) {
            if (!VisibleOnBar(KeyRow(a)->keyId, bar)) continue;
            for (int b = a + 1; b < kKeyCount; ++b) {
                if (!VisibleOnBar(KeyRow(b)->keyId, bar)) continue;
                EXPECT_FALSE(Overlap(RectOf(*KeyRow(a)), RectOf(*KeyRow(b))))
                    << "bar " << bar << ": " << KeyRow(a)->label << " and " << KeyRow(b)->label;
            }
        }
    }
}

TEST(KeyTableData, LabelsAndCommandsAreSetAndCommandsUnique) {
    // The Shortcuts dialog offers the commands by their text.
    std::set<std::string> commands;
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord& k = *KeyRow(row);
        ASSERT_NE(nullptr, k.label) << "row " << row;
        ASSERT_NE(nullptr, k.command) << "row " << row;
        EXPECT_NE('\0', k.label[0]) << "row " << row;
        EXPECT_TRUE(commands.insert(k.command).second) << k.command;
    }
}

TEST(KeyTableData, DefaultShortcutsAreKeyPlusAtMostOneModifier) {
    std::set<uint32_t> codes;
    for (int row = 0; row < kKeyCount; ++row) {
        const uint32_t code = KeyRow(row)->defaultShortcut;
        if (code == kNoShortcut) continue;
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(0u, code & ~(kShortcutKeyMask | kShortcutModifierMask));
        EXPECT_NE(0u, code & kShortcutKeyMask);
        EXPECT_LE(ModifierCount(code), 1);
        EXPECT_TRUE(codes.insert(code).second) << "two keys share 0x" << std::hex << code;
    }
}

TEST(KeyTableData, ShortcutTextNamesTheDefaultShortcut) {
    // The label's second line must describe the code the key really has; keys
    // without shortcut text (keypad digits, page keys) show the key on the face.
    int checked = 0;
    for (int row = 0; row < kKeyCount; ++row) {
        const KeyRecord& k = *KeyRow(row);
        if (k.defaultShortcut == kNoShortcut) continue;
        const KeyLabelParts parts = SplitKeyLabel(k.label);
        const std::string face(parts.face), shortcut(parts.shortcut);
        if (k.keyId <= 40) {
            EXPECT_EQ(ShortcutText(k.defaultShortcut), face) << "row " << row;
        } else if (!shortcut.empty()) {
            EXPECT_EQ(ShortcutText(k.defaultShortcut), shortcut) << "row " << row;
        } else {
            EXPECT_EQ(0, ModifierCount(k.defaultShortcut)) << "row " << row;
            EXPECT_EQ(KeyName(k.defaultShortcut), face) << "row " << row;
        }
        ++checked;
    }
    EXPECT_EQ(27 + 70, checked);  // executors 1..9 in three rows, 70 listed keys
}

// ---- Executor keys -------------------------------------------------------------

TEST(KeyTableExecutors, HandCheckedSample) {
    const uint32_t none = kNoShortcut;
    // Worked out by hand: columns 7 67 127 187 247 | 356 416 476 536 596.
    const Expected cases[] = {
        {0, "(Shift 1)", 1, 138, -1, 7, 689, 55, 36, 4, "E01 MIDDLE", 0x10000031},
        {8, "(Shift 9)", 9, 147, -1, 536, 689, 55, 36, 4, "E09 MIDDLE", 0x10000039},
        {9, "(Shift 10)", 10, 150, -1, 596, 689, 55, 36, 4, "E10 MIDDLE", none},
        {10, "(Shift 11)", 11, 170, -1, 7, 689, 55, 36, 4, "E11 MIDDLE", none},
        {19, "(Shift 20)", 20, 182, -1, 596, 689, 55, 36, 4, "E20 MIDDLE", none},
        {20, "(Ctrl 1)", 21, -1, -1, 7, 728, 55, 36, 4, "E01 BELOW", 0x40000031},
        {28, "(Ctrl 9)", 29, -1, -1, 536, 728, 55, 36, 4, "E09 BELOW", 0x40000039},
        {39, "(Ctrl 20)", 40, -1, -1, 596, 728, 55, 36, 4, "E20 BELOW", none},
        {40, "1~(Alt 1)", 41, 137, 136, 7, 534, 55, 36, 4, "E01 ABOVE", 0x20000031},
        {44, "5~(Alt 5)", 45, 133, 132, 247, 534, 55, 36, 4, "E05 ABOVE", 0x20000035},
        {45, "6~(Alt 6)", 46, 153, 152, 356, 534, 55, 36, 4, "E06 ABOVE", 0x20000036},
        {49, "10~(Alt 10)", 50, 149, 148, 596, 534, 55, 36, 4, "E10 ABOVE", none},
        {59, "20~(Alt 20)", 60, 181, 180, 596, 534, 55, 36, 4, "E20 ABOVE", none},
        {60, "21~(Shift 21)", 61, 8, 24, 7, 534, 55, 36, 4, "E21", none},
        {69, "30~(Shift 30)", 70, 32, 48, 596, 534, 55, 36, 4, "E30", none},
        {70, "31~(Shift 31)", 71, 72, 88, 7, 597, 55, 36, 4, "E31", none},
        {84, "45~(Shift 45)", 85, 13, 29, 247, 663, 55, 36, 4, "E45", none},
        {90, "51~(Shift 51)", 91, 73, 89, 7, 728, 55, 36, 4, "E51", none},
        {99, "60~(Shift 60)", 100, 97, 113, 596, 728, 55, 36, 4, "E60", none},
    };
    for (const Expected& e : cases) ExpectRecord(e);
}

TEST(KeyTableExecutors, LabelCommandAndPlaceAgree) {
    const int columns[] = {7, 67, 127, 187, 247, 356, 416, 476, 536, 596};
    for (int row = 0; row < kExecutorKeyCount; ++row) {
        const KeyRecord& k = *KeyRow(row);
        SCOPED_TRACE("id " + std::to_string(k.keyId));
        EXPECT_EQ(55, k.width);
        EXPECT_EQ(36, k.height);
        EXPECT_EQ(4, k.faceStyle);
        // "E07 ABOVE" is executor 7; its label carries the same number.
        ASSERT_EQ('E', k.command[0]);
        const int n = std::stoi(k.command + 1);
        const std::string number = std::to_string(n);
        const std::string label = k.label;
        EXPECT_NE(std::string::npos, label.find(" " + number + ")"));
        if (k.keyId > 40) {
            EXPECT_EQ(0u, label.rfind(number + "~(", 0));
        }
        EXPECT_EQ(columns[(n - 1) % 10], k.x) << "executors n and n + 10 share a column";
        if (n >= 10 || k.keyId > 60) {
            EXPECT_EQ(kNoShortcut, k.defaultShortcut);
        } else {
            EXPECT_EQ(uint32_t('0' + n), k.defaultShortcut & kShortcutKeyMask);
        }
        if (k.keyId >= 21 && k.keyId <= 40) {
            EXPECT_EQ(-1, k.led1);
        }
        if (k.keyId > 60) {
            EXPECT_EQ(k.led1 + 16, k.led2);
        }
    }
}

// ---- Listed keys ---------------------------------------------------------------

TEST(KeyTableFixedRows, HandCheckedSample) {
    const uint32_t none = kNoShortcut;
    const Expected cases[] = {
        {100, "Pause~(F3)", 150, 135, -1, 839, 707, 55, 36, 1, "DEFAULT PAUSE", 0x72},
        {101, "Go-~(F2)", 149, 151, -1, 897, 707, 55, 36, 1, "DEFAULT GO -", 0x71},
        {102, "Go+~(F1)", 148, 167, -1, 955, 688, 55, 75, 9, "DEFAULT GO +", 0x70},
        {105, "<<<~(<)", 157, 206, -1, 656, 612, 55, 36, 4, "<<", none},
        {115, "Tim Man", 175, 231, 230, 656, 47, 55, 36, 4, "TIME MANUAL PRESETFADE", none},
        {126, "Clear~(Bspace)", 180, 66, -1, 657, 359, 55, 75, 3, "CLEAR", 0x08},
        {132, "Oops~(Ctrl Z)", 185, -1, -1, 894, 5, 55, 36, 7, "OOPS", 0x4000005A},
        {142, "0", 209, -1, -1, 774, 359, 55, 36, 4, "NUM 0", 0x30},
        {152, ".", 219, -1, -1, 716, 359, 55, 36, 4, "DECIMAL POINT", none},
        {153, "Enter", 225, -1, -1, 832, 398, 117, 36, 6, "ENTER", none},
        {156, "Thru~(T)", 222, 99, -1, 890, 281, 59, 36, 5, "TRUH", 0x54},
        {164, "Tools~(Ctrl F10)", 196, 6, -1, 478, 5, 55, 36, 11, "TOOLS", 0x40000079},
        {167, "Full/Open~(Ctrl O)", 201, 102, -1, 774, 398, 55, 36, 4, "FULL/OPEN", 0x4000004F},
        {172, "VwPool~(Alt P)", 226, 216, -1, 656, 5, 55, 36, 2, "VIEWPOOL", 0x20000050},
        {175, "Ti Man", 176, 2, 18, 308, 534, 43, 36, 10, "TIME MANUAL EXECFADE", none},
        {176, "Screen1~(Ctrl F1)", 247, -1, -1, 51, 5, 55, 36, 2, "SCREEN 1", 0x40000070},
        {182, "Ex 11-20~(Alt F4)", 253, -1, -1, 714, 728, 55, 36, 2, "EXECUTOR 11 - 20", 0x20000073},
        {183, "Ex Btn~(Alt F5)", 254, 37, -1, 772, 689, 55, 36, 2, "EXECUTOR BUTTONS", 0x20000074},
        {185, "Pg Up", 256, -1, -1, 308, 689, 43, 36, 10, "PAGE UP", 0x21},
        {186, "Pg Dn", 257, -1, -1, 308, 728, 43, 36, 10, "PAGE DOWN", 0x22},
    };
    for (const Expected& e : cases) ExpectRecord(e);
}

// ---- Lookups -------------------------------------------------------------------

TEST(KeyTableLookup, RowAccessStopsAtTheTableEdges) {
    EXPECT_EQ(KeyTable(), KeyRow(0));
    EXPECT_EQ(KeyTable() + 186, KeyRow(186));
    for (int row : {-1, 187, 188, INT_MIN, INT_MAX}) {
        EXPECT_EQ(nullptr, KeyRow(row)) << row;
        EXPECT_EQ(nullptr, KeyLabel(row)) << row;
    }
}

TEST(KeyTableLookup, FindRowSearchesTheTable) {
    EXPECT_EQ(0, FindRowOfKeyId(1));
    EXPECT_EQ(99, FindRowOfKeyId(100));
    EXPECT_EQ(175, FindRowOfKeyId(176));
    EXPECT_EQ(156, FindRowOfKeyId(222));
    EXPECT_EQ(186, FindRowOfKeyId(257));
    // Ids no key carries, and the terminator's 0, find nothing.
    for (int id : {0, 101, 147, 177, 190, 208, 229, 246, -1, 258, INT_MIN, INT_MAX}) {
        EXPECT_EQ(-1, FindRowOfKeyId(id)) << id;
    }
}

TEST(KeyTableIndexMap, EmptyMapFindsNoRow) {
    MapCleaner cleaner;
    for (int id = 0; id <= kMaxKeyId; ++id) EXPECT_EQ(-1, RowOfKeyId(id)) << id;
}

TEST(KeyTableIndexMap, CreatedKeysMapBackToTheirRows) {
    MapCleaner cleaner;
    MapAllRowsExcept({});
    for (int id = 0; id <= kMaxKeyId; ++id) {
        EXPECT_EQ(FindRowOfKeyId(id), RowOfKeyId(id)) << id;
    }
    // An id no key carries must not land on row 0, the key of executor 1.
    EXPECT_EQ(-1, RowOfKeyId(0));
    EXPECT_EQ(-1, RowOfKeyId(177));
    EXPECT_EQ(-1, RowOfKeyId(246));

    ClearKeyIndexMap();
    EXPECT_EQ(-1, RowOfKeyId(1));
    EXPECT_EQ(-1, RowOfKeyId(257));
}

TEST(KeyTableIndexMap, KeyThatWasNotCreatedFindsNoRow) {
    MapCleaner cleaner;
    MapAllRowsExcept({0, 142, 186});
    EXPECT_EQ(-1, RowOfKeyId(1));
    EXPECT_EQ(-1, RowOfKeyId(209));
    EXPECT_EQ(-1, RowOfKeyId(257));
    EXPECT_EQ(1, RowOfKeyId(2));
    EXPECT_EQ(185, RowOfKeyId(256));
}

TEST(KeyTableIndexMap, IdsOutsideTheMapAreRefused) {
    MapCleaner cleaner;
    MapAllRowsExcept({});
    for (int id : {-1, -258, 258, 259, 1000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(-1, RowOfKeyId(id)) << id;
        EXPECT_FALSE(MapKeyRow(id, 0)) << id;
    }
}

TEST(KeyTableIndexMap, OnlyARowsOwnIdMapsToIt) {
    MapCleaner cleaner;
    EXPECT_FALSE(MapKeyRow(2, 0));     // row 0 carries id 1
    EXPECT_FALSE(MapKeyRow(0, 0));     // the terminator's id is no key
    EXPECT_FALSE(MapKeyRow(1, -1));
    EXPECT_FALSE(MapKeyRow(1, 187));   // the terminator is no key window
    EXPECT_EQ(-1, RowOfKeyId(1));
    EXPECT_EQ(-1, RowOfKeyId(2));
    EXPECT_TRUE(MapKeyRow(148, 102));
    EXPECT_EQ(102, RowOfKeyId(148));
}

// ---- Labels --------------------------------------------------------------------

TEST(KeyTableLabels, SplitAtTheFirstTilde) {
    struct Case { const char* label; const char* face; const char* shortcut; };
    const Case cases[] = {
        {"Go+~(F1)", "Go+", "(F1)"},
        {"(Shift 1)", "(Shift 1)", ""},
        {"21~(Shift 21)", "21", "(Shift 21)"},
        {"Enter", "Enter", ""},
        {"a~b~c", "a", "b~c"},
        {"~(X)", "", "(X)"},
        {"Face~", "Face", ""},
        {"", "", ""},
        {nullptr, "", ""},
    };
    for (const Case& c : cases) {
        const KeyLabelParts parts = SplitKeyLabel(c.label);
        EXPECT_EQ(c.face, std::string(parts.face)) << (c.label ? c.label : "null");
        EXPECT_EQ(c.shortcut, std::string(parts.shortcut)) << (c.label ? c.label : "null");
    }
}

TEST(KeyTableLabels, OnlyTheFourChangingKeysAreWritable) {
    LabelRestorer restorer;
    int writable = 0;
    for (int row = 0; row < kKeyCount; ++row) {
        const int id = KeyRow(row)->keyId;
        const bool expected = kWritableIds.count(id) != 0;
        EXPECT_EQ(expected, KeyLabelIsWritable(row)) << "id " << id;
        writable += KeyLabelIsWritable(row);
        if (!expected) {
            const char* before = KeyLabel(row);
            EXPECT_FALSE(SetKeyLabel(row, "X")) << "id " << id;
            EXPECT_EQ(before, KeyLabel(row)) << "id " << id;
        }
    }
    EXPECT_EQ(4, writable);
    EXPECT_FALSE(KeyLabelIsWritable(-1));
    EXPECT_FALSE(KeyLabelIsWritable(kKeyCount));
    EXPECT_FALSE(SetKeyLabel(kKeyCount, "X"));
    EXPECT_FALSE(SwapKeyLabels(FindRowOfKeyId(209), 0));
    EXPECT_STREQ("0", KeyLabel(FindRowOfKeyId(209)));
}

TEST(KeyTableLabels, BuiltInTextsOfTheWritableKeys) {
    EXPECT_STREQ("Align~(W)", KeyLabel(FindRowOfKeyId(183)));
    EXPECT_STREQ("Highlight~(H)", KeyLabel(FindRowOfKeyId(200)));
    EXPECT_STREQ("0", KeyLabel(FindRowOfKeyId(209)));
    EXPECT_STREQ(".", KeyLabel(FindRowOfKeyId(219)));
}

TEST(KeyTableLabels, SetCopiesTheTextAndTheRecordShowsIt) {
    LabelRestorer restorer;
    const int row = FindRowOfKeyId(183);
    char core[] = "Align <>";
    ASSERT_TRUE(SetKeyLabel(row, core));
    core[0] = '#';  // the core may reuse its buffer; the key keeps its text
    EXPECT_STREQ("Align <>", KeyLabel(row));
    EXPECT_EQ(KeyLabel(row), KeyRow(row)->label);
    EXPECT_EQ(183, KeyRow(row)->keyId);
}

TEST(KeyTableLabels, NullKeepsTheOldText) {
    LabelRestorer restorer;
    const int row = FindRowOfKeyId(183);
    ASSERT_TRUE(SetKeyLabel(row, "Align >"));
    EXPECT_FALSE(SetKeyLabel(row, nullptr));
    EXPECT_STREQ("Align >", KeyLabel(row));
}

TEST(KeyTableLabels, LongTextIsCutToTheBuffer) {
    LabelRestorer restorer;
    const int row = FindRowOfKeyId(183);
    const std::string fits(kKeyLabelCapacity - 1, 'a');
    ASSERT_TRUE(SetKeyLabel(row, fits.c_str()));
    EXPECT_EQ(fits, KeyLabel(row));

    std::string longer(500, 'b');
    longer[kKeyLabelCapacity - 2] = 'z';
    ASSERT_TRUE(SetKeyLabel(row, longer.c_str()));
    EXPECT_EQ(longer.substr(0, kKeyLabelCapacity - 1), KeyLabel(row));

    // The neighbouring writable labels are untouched by a cut text.
    EXPECT_STREQ("Highlight~(H)", KeyLabel(FindRowOfKeyId(200)));
    EXPECT_STREQ("0", KeyLabel(FindRowOfKeyId(209)));
}

TEST(KeyTableLabels, TextFromALabelBufferItself) {
    LabelRestorer restorer;
    const int highlight = FindRowOfKeyId(200);
    ASSERT_TRUE(SetKeyLabel(highlight, KeyLabel(highlight) + 5));
    EXPECT_STREQ("ight~(H)", KeyLabel(highlight));
    const int align = FindRowOfKeyId(183);
    ASSERT_TRUE(SetKeyLabel(align, KeyLabel(highlight)));
    EXPECT_STREQ("ight~(H)", KeyLabel(align));
}

TEST(KeyTableLabels, ZeroAndDotTradeTextsButKeepTheirIds) {
    LabelRestorer restorer;
    const int zero = FindRowOfKeyId(209);
    const int dot = FindRowOfKeyId(219);
    ASSERT_TRUE(SwapKeyLabels(dot, zero));
    EXPECT_STREQ(".", KeyLabel(zero));
    EXPECT_STREQ("0", KeyLabel(dot));
    EXPECT_EQ(209, KeyRow(zero)->keyId);
    EXPECT_EQ(219, KeyRow(dot)->keyId);
    ASSERT_TRUE(SwapKeyLabels(zero, dot));
    EXPECT_STREQ("0", KeyLabel(zero));
    EXPECT_STREQ(".", KeyLabel(dot));
}

TEST(KeyTableLabels, ResetBringsBackTheBuiltInTexts) {
    LabelRestorer restorer;
    const int highlight = FindRowOfKeyId(200);
    ASSERT_TRUE(SetKeyLabel(highlight, "Solo~(H)"));
    ASSERT_TRUE(SwapKeyLabels(FindRowOfKeyId(209), FindRowOfKeyId(219)));
    ResetKeyLabels();
    EXPECT_STREQ("Highlight~(H)", KeyLabel(highlight));
    EXPECT_STREQ("0", KeyLabel(FindRowOfKeyId(209)));
    EXPECT_STREQ(".", KeyLabel(FindRowOfKeyId(219)));
}
