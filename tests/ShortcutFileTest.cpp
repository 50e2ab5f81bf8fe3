// psc.cfg on real files in the test's own shared folder: the records kept,
// the records refused, what a write leaves on disk, and a seeded fuzz run
// against an independent parse of the same bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "desk/KeyTable.h"
#include "input/ShortcutFile.h"
#include "tests/harness/Harness.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes* bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<unsigned char>(uint32_t(value) >> (8 * i)));
}

void PutRecord(Bytes* bytes, int32_t first, int32_t second) {
    Put(bytes, first);
    Put(bytes, second);
    bytes->insert(bytes->end(), 32, 0);
}

Bytes FileOf(int32_t version, int32_t count, const std::vector<std::pair<int32_t, int32_t>>& entries) {
    Bytes bytes;
    PutRecord(&bytes, version, count);
    for (const auto& entry : entries) PutRecord(&bytes, entry.first, entry.second);
    return bytes;
}

int32_t Int32At(const Bytes& bytes, size_t at) {
    return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                   uint32_t(bytes[at + 3]) << 24);
}

// The key ids of the table, gathered without the code under test.
const std::set<int32_t>& DeskKeyIds() {
    static const std::set<int32_t> ids = [] {
        std::set<int32_t> all;
        for (const KeyRecord* key = KeyTable(); key->keyId != 0; ++key) all.insert(key->keyId);
        return all;
    }();
    return ids;
}

// What a careful reader must make of the bytes.
ShortcutList ReferenceParse(const Bytes& bytes) {
    ShortcutList list;
    if (bytes.size() < 40) return list;
    const int32_t version = Int32At(bytes, 0);
    if (version < 5700 || version > 5800) return list;
    const int32_t count = Int32At(bytes, 4);
    for (int64_t i = 0; i < count && size_t(40 * (i + 2)) <= bytes.size(); ++i) {
        const int32_t code = Int32At(bytes, size_t(40 * (i + 1)));
        const int32_t command = Int32At(bytes, size_t(40 * (i + 1) + 4));
        const bool codeOk = (uint32_t(code) & 0x8FFF0000u) == 0;
        const bool commandOk = (command >= 247 && command <= 282) || DeskKeyIds().count(command);
        if (codeOk && commandOk) list.emplace(code, command);
    }
    return list;
}

class ShortcutFileTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        path_ = SharedDir() + "\\ide0\\psc.cfg";
    }
    void WriteBytes(const std::string& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        ASSERT_TRUE(out.good()) << path;
    }
    void WriteBytes(const Bytes& bytes) { WriteBytes(path_, bytes); }
    Bytes ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    ShortcutList Read(bool* ok = nullptr) {
        ShortcutList list;
        const bool read = ReadShortcutFile(path_.c_str(), &list);
        if (ok) *ok = read;
        return list;
    }
    std::string path_;
};

// ---- the path

TEST_F(ShortcutFileTest, PathIsTheSharedFolderWithForwardSlashesAndNeverACutOne) {
    char path[kShortcutPathSize];
    ASSERT_TRUE(ShortcutFilePath(path, sizeof path));
    EXPECT_EQ(std::string(sharedpath) + "/ide0/psc.cfg", path);

    char* const saved = sharedpath;
    std::string longPath(250, 'x');  // 250 + "/ide0/psc.cfg" > 259
    sharedpath = &longPath[0];
    const bool cut = ShortcutFilePath(path, sizeof path);
    sharedpath = nullptr;
    const bool none = ShortcutFilePath(path, sizeof path);
    sharedpath = saved;
    EXPECT_FALSE(cut);
    EXPECT_FALSE(none);
    EXPECT_STREQ("", path);
}

TEST_F(ShortcutFileTest, LoadAndSaveUseTheFileInTheSharedFolder) {
    WriteBytes(FileOf(5800, 1, {{0x41, 150}}));
    ShortcutList list;
    ASSERT_TRUE(LoadShortcutFile(&list));
    EXPECT_EQ((ShortcutList{{0x41, 150}}), list);
    list[0x10000042] = 258;
    ASSERT_TRUE(SaveShortcutFile(list));
    EXPECT_EQ(FileOf(5800, 2, {{0x41, 150}, {0x10000042, 258}}), ReadBytes(path_));
}

// ---- reading

TEST_F(ShortcutFileTest, VersionsFrom5700To5800LoadAndOthersLoadNothing) {
    const struct {
        int32_t version;
        bool loads;
    } cases[] = {{5700, true}, {5750, true}, {5800, true}, {5699, false}, {5801, false}, {0, false}, {-5700, false}};
    for (const auto& c : cases) {
        WriteBytes(FileOf(c.version, 2, {{0x41, 150}, {0x40000070, 282}}));
        bool ok = false;
        const ShortcutList list = Read(&ok);
        EXPECT_EQ(c.loads, ok) << c.version;
        EXPECT_EQ(c.loads ? (ShortcutList{{0x41, 150}, {0x40000070, 282}}) : ShortcutList{}, list) << c.version;
    }
}

TEST_F(ShortcutFileTest, MissingFileOrOneShorterThanItsHeaderLoadsNothing) {
    bool ok = true;
    EXPECT_TRUE(Read(&ok).empty());
    EXPECT_FALSE(ok);
    const Bytes whole = FileOf(5800, 1, {{0x41, 150}});
    for (size_t size : {0, 1, 4, 8, 39}) {
        WriteBytes(Bytes(whole.begin(), whole.begin() + long(size)));
        EXPECT_TRUE(Read(&ok).empty()) << size;
        EXPECT_FALSE(ok) << size;
    }
}

TEST_F(ShortcutFileTest, OnlyCompleteRecordsAreTakenWhateverTheCountSays) {
    const std::vector<std::pair<int32_t, int32_t>> two = {{0x41, 150}, {0x42, 151}};
    // A count beyond the records: the records that are there.
    WriteBytes(FileOf(5800, 5, two));
    EXPECT_EQ((ShortcutList{{0x41, 150}, {0x42, 151}}), Read());
    // A count below the records: only that many.
    WriteBytes(FileOf(5800, 1, two));
    EXPECT_EQ((ShortcutList{{0x41, 150}}), Read());
    // A torn last record is not half-read.
    for (size_t cut : {1, 4, 8, 39}) {
        Bytes bytes = FileOf(5800, 2, two);
        bytes.resize(bytes.size() - cut);
        WriteBytes(bytes);
        EXPECT_EQ((ShortcutList{{0x41, 150}}), Read()) << cut;
    }
    // Negative counts read nothing; a huge one stops at the end of the file, at once.
    for (int32_t count : {-1, -40, INT32_MIN}) {
        WriteBytes(FileOf(5800, count, two));
        bool ok = false;
        EXPECT_TRUE(Read(&ok).empty()) << count;
        EXPECT_TRUE(ok) << count;
    }
    WriteBytes(FileOf(5800, INT32_MAX, two));
    // Not a speed test: a reader that believed the count would take minutes.
    const DWORD start = GetTickCount();
    EXPECT_EQ((ShortcutList{{0x41, 150}, {0x42, 151}}), Read());
    EXPECT_LT(GetTickCount() - start, 20000u);
}

TEST_F(ShortcutFileTest, RecordsWithForeignCodeBitsOrUnknownCommandsAreSkipped) {
    int32_t missingId = 0;
    for (int32_t id = 101; id < 247 && !missingId; ++id)
        if (!DeskKeyIds().count(id)) missingId = id;
    ASSERT_NE(0, missingId);
    const std::vector<std::pair<int32_t, int32_t>> entries = {
        {0x41, 1},                     // kept: executor key
        {int32_t(0x80000042), 150},    // sign bit
        {0x01000043, 150},             // bit outside key and modifiers
        {0x00010044, 150},             // key code wider than 16 bits
        {-1, 150},                     // "no shortcut"
        {0x70000045, 247},             // kept: all three modifiers, touch view
        {0x46, 0},
        {0x47, -1},
        {0x48, 283},                   // a "---" command
        {0x49, 307},
        {0x4A, 1000},
        {0x4B, missingId},
        {0x4C, 282},                   // kept: last special command
        {0x4D, 257},                   // kept: page key
    };
    WriteBytes(FileOf(5800, int32_t(entries.size()), entries));
    EXPECT_EQ((ShortcutList{{0x41, 1}, {0x70000045, 247}, {0x4C, 282}, {0x4D, 257}}), Read());
}

TEST_F(ShortcutFileTest, FirstRecordOfACodeWinsAndCountZeroLoadsNothing) {
    WriteBytes(FileOf(5800, 3, {{0x41, 150}, {0x41, 151}, {0x42, 152}}));
    EXPECT_EQ((ShortcutList{{0x41, 150}, {0x42, 152}}), Read());
    WriteBytes(FileOf(5800, 0, {{0x41, 150}}));
    bool ok = false;
    EXPECT_TRUE(Read(&ok).empty());
    EXPECT_TRUE(ok);
}

// ---- writing

TEST_F(ShortcutFileTest, WrittenFileHoldsHeaderAndEntriesInAscendingSignedOrder) {
    const ShortcutList list = {{0x40000070, 150}, {0x10000041, 258}, {0x41, 1}, {0x20000041, 257}};
    ASSERT_TRUE(WriteShortcutFile(path_.c_str(), list));
    const Bytes bytes = ReadBytes(path_);
    ASSERT_EQ(40u * (list.size() + 1), bytes.size());
    EXPECT_EQ(FileOf(5800, 4, {{0x41, 1}, {0x10000041, 258}, {0x20000041, 257}, {0x40000070, 150}}), bytes);
    EXPECT_FALSE(Exists(path_ + ".new"));

    ASSERT_TRUE(WriteShortcutFile(path_.c_str(), ShortcutList{}));
    EXPECT_EQ(FileOf(5800, 0, {}), ReadBytes(path_));
}

TEST_F(ShortcutFileTest, WriterLeavesOutEntriesTheReaderWouldRefuse) {
    const ShortcutList list = {{0x41, 1}, {-1, 150}, {0x42, 5000}, {0x43, 282}};
    ASSERT_TRUE(WriteShortcutFile(path_.c_str(), list));
    EXPECT_EQ(FileOf(5800, 2, {{0x41, 1}, {0x43, 282}}), ReadBytes(path_));
}

TEST_F(ShortcutFileTest, FailedWriteLeavesTheOldFileAsItWas) {
    const Bytes old = FileOf(5750, 1, {{0x41, 150}});
    WriteBytes(old);
    // The new file cannot be made: a folder is in its place.
    ASSERT_TRUE(CreateDirectoryA((path_ + ".new").c_str(), nullptr));
    EXPECT_FALSE(WriteShortcutFile(path_.c_str(), ShortcutList{{0x42, 151}}));
    EXPECT_EQ(old, ReadBytes(path_));
    RemoveDirectoryA((path_ + ".new").c_str());

    // No folder to write into at all.
    const std::string elsewhere = SharedDir() + "\\missing\\psc.cfg";
    EXPECT_FALSE(WriteShortcutFile(elsewhere.c_str(), ShortcutList{{0x42, 151}}));
    EXPECT_FALSE(Exists(elsewhere));
    EXPECT_FALSE(WriteShortcutFile(nullptr, ShortcutList{}));
    EXPECT_FALSE(WriteShortcutFile("", ShortcutList{}));
}

// The refusal is silent here: the dialog that saved tells the user, once.
TEST_F(ShortcutFileTest, ReadOnlyFileIsRefusedAndKept) {
    const Bytes old = FileOf(5750, 1, {{0x41, 150}});
    WriteBytes(old);
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteShortcutFile(path_.c_str(), ShortcutList{{0x42, 151}}));
    harness::MessageBoxCapture capture;
    EXPECT_FALSE(SaveShortcutFile(ShortcutList{{0x42, 151}}));
    EXPECT_TRUE(capture.Boxes().empty());
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(old, ReadBytes(path_));
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY) << "the file lost its read-only mark";
    EXPECT_FALSE(Exists(path_ + ".new"));
}

// A save cut short long ago left its temporary file behind, read-only.
TEST_F(ShortcutFileTest, LeftoverTemporaryFileDoesNotShapeTheNewFile) {
    WriteBytes(FileOf(5800, 1, {{0x41, 150}}));
    WriteBytes(path_ + ".new", FileOf(5800, 1, {{0x43, 152}}));
    ASSERT_TRUE(SetFileAttributesA((path_ + ".new").c_str(), FILE_ATTRIBUTE_READONLY));
    const bool written = WriteShortcutFile(path_.c_str(), ShortcutList{{0x42, 151}});
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((path_ + ".new").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(written);
    EXPECT_EQ(FileOf(5800, 1, {{0x42, 151}}), ReadBytes(path_));
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY) << "the leftover made the new file read-only";
    EXPECT_FALSE(Exists(path_ + ".new"));
    // And the next save works as any other.
    ASSERT_TRUE(WriteShortcutFile(path_.c_str(), ShortcutList{{0x44, 153}}));
    EXPECT_EQ(FileOf(5800, 1, {{0x44, 153}}), ReadBytes(path_));
}

// ---- fuzz

int32_t RandomCode(std::mt19937& rng) {
    switch (rng() % 6) {
    case 0: return int32_t(rng());
    case 1: return -1;
    case 2: return int32_t((rng() % 0x10000) | (uint32_t(1) << (16 + rng() % 16)));
    default: return int32_t((rng() % 256) | (rng() % 8) << 28);
    }
}

int32_t RandomCommand(std::mt19937& rng) {
    switch (rng() % 5) {
    case 0: return int32_t(rng());
    case 1: return int32_t(rng() % 320) - 5;
    default: {
        auto it = DeskKeyIds().begin();
        std::advance(it, long(rng() % DeskKeyIds().size()));
        return *it;
    }
    }
}

Bytes RandomFile(std::mt19937& rng) {
    Bytes bytes;
    if (rng() % 10 == 0) {
        bytes.resize(rng() % 200);
        for (auto& b : bytes) b = static_cast<unsigned char>(rng());
        return bytes;
    }
    const int records = int(rng() % 24);
    int32_t version = 5800;
    switch (rng() % 5) {
    case 0: version = 5700 + int32_t(rng() % 101); break;
    case 1: version = int32_t(rng()); break;
    case 2: version = (rng() % 2) ? 5699 : 5801; break;
    }
    int32_t count = records;
    switch (rng() % 5) {
    case 0: count = int32_t(rng()); break;
    case 1: count = records + int32_t(rng() % 5) - 2; break;
    case 2: count = (rng() % 2) ? INT32_MAX : INT32_MIN; break;
    }
    PutRecord(&bytes, version, count);
    std::vector<int32_t> codes;
    for (int i = 0; i < records; ++i) {
        const int32_t code = (!codes.empty() && rng() % 4 == 0) ? codes[rng() % codes.size()] : RandomCode(rng);
        codes.push_back(code);
        Put(&bytes, code);
        Put(&bytes, RandomCommand(rng));
        for (int k = 0; k < 32; ++k) bytes.push_back(rng() % 8 ? 0 : static_cast<unsigned char>(rng()));
    }
    if (rng() % 3 == 0 && !bytes.empty()) bytes.resize(rng() % (bytes.size() + 1));
    return bytes;
}

TEST_F(ShortcutFileTest, SeededFuzzNeverKeepsAPartialOrInvalidRecordAndWritesReadBack) {
    std::mt19937 rng(20240611u);
    const std::string copy = SharedDir() + "\\ide0\\copy.cfg";
    int nonEmpty = 0;
    for (int round = 0; round < 3000; ++round) {
        const Bytes bytes = RandomFile(rng);
        WriteBytes(bytes);
        ShortcutList list;
        ReadShortcutFile(path_.c_str(), &list);
        ASSERT_EQ(ReferenceParse(bytes), list) << "round " << round;
        nonEmpty += !list.empty();
        if (round % 4) continue;
        ASSERT_TRUE(WriteShortcutFile(copy.c_str(), list)) << round;
        const Bytes written = ReadBytes(copy);
        ASSERT_EQ(40u * (list.size() + 1), written.size()) << round;
        ShortcutList again;
        ASSERT_TRUE(ReadShortcutFile(copy.c_str(), &again)) << round;
        ASSERT_EQ(list, again) << round;
    }
    // The generator must reach the interesting cases, not only refusals.
    EXPECT_GT(nonEmpty, 600);
}

}  // namespace
