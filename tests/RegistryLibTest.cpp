// Tests of the registry library: settings values, the program key override
// and the two installation path lookups.
#include "tests/harness/Harness.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/hostlibs/RegistryLib.h"

namespace {

const char kInstallKey[] = "Software\\Telmarin\\Kantrel Ovrin";
const char kGlobDataKey[] = "Software\\Telmarin\\GlobData";
const char kDefaultProgramKey[] = "Software\\Telmarin\\Kantrel Ovrin";

void RawSet(HKEY root, const std::string& path, const char* name, DWORD type,
            const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void RawSetText(HKEY root, const std::string& path, const char* name, const std::string& text) {
    RawSet(root, path, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

void RawDelete(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

bool RawGet(HKEY root, const std::string& path, const char* name, DWORD* type,
            std::vector<BYTE>* data) {
    DWORD size = 0;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    data->assign(size, 0);
    return RegGetValueA(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type,
                        data->empty() ? nullptr : data->data(), &size) == ERROR_SUCCESS;
}

std::string RawGetText(HKEY root, const std::string& path, const char* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!RawGet(root, path, name, &type, &data) || type != REG_SZ) return "<absent>";
    return std::string(data.begin(), data.end()).c_str();
}

// Puts back values of a machine-wide key (the prefix's installation record)
// as they were before the test.
class SavedValues {
public:
    SavedValues(const char* path, std::vector<const char*> names) : path_(path) {
        HKEY key;
        keyExisted_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (keyExisted_) RegCloseKey(key);
        for (const char* name : names) {
            Saved s{name, false, 0, {}};
            s.existed = RawGet(HKEY_LOCAL_MACHINE, path, name, &s.type, &s.data);
            saved_.push_back(s);
        }
    }
    ~SavedValues() {
        for (const Saved& s : saved_) {
            if (s.existed)
                RawSet(HKEY_LOCAL_MACHINE, path_, s.name.c_str(), s.type, s.data.data(),
                       DWORD(s.data.size()));
            else
                RawDelete(HKEY_LOCAL_MACHINE, path_, s.name.c_str());
        }
        if (!keyExisted_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str());
    }

private:
    struct Saved {
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::string path_;
    bool keyExisted_ = false;
    std::vector<Saved> saved_;
};

class EnvOverride {
public:
    EnvOverride(const char* name, const char* value) : name_(name) {
        char buf[4096];
        const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
        had_ = n > 0 && n < sizeof buf;
        if (had_) old_ = buf;
        SetEnvironmentVariableA(name, value);
    }
    ~EnvOverride() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

std::string ExecutablePath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ExecutableName() {
    const std::string path = ExecutablePath();
    return path.substr(path.find_last_of("\\/") + 1);
}

// Runs the report test below in a process of its own and returns its exit code.
DWORD RunChildReport(const std::string& exe, const std::string& reportKey) {
    EnvOverride report("KNT_TEST_REPORT", reportKey.c_str());
    std::string cmd = "\"" + exe +
                      "\" --gtest_filter=ChildReport.DISABLED_Report --gtest_also_run_disabled_tests";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return DWORD(-1);
    DWORD code = DWORD(-2);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

char gUntouched[] = "untouched";

}  // namespace

// Started only by the tests below, in a fresh process: reports what the library
// made of the environment at load time and of the folder it was started from.
TEST(ChildReport, DISABLED_Report) {
    char reportKey[1024];
    const DWORD n = GetEnvironmentVariableA("KNT_TEST_REPORT", reportKey, sizeof reportKey);
    if (n == 0 || n >= sizeof reportKey) GTEST_SKIP() << "only run by the parent tests";
    RawSetText(HKEY_CURRENT_USER, reportKey, "TlmRegKey", TlmRegKey);
    const DWORD found = DWORD(LookingForKntPath("6.601", "Ovrin"));
    RawSet(HKEY_CURRENT_USER, reportKey, "kntPath", REG_DWORD, &found, sizeof found);
    RawSetText(HKEY_CURRENT_USER, reportKey, "applpath", applpath ? applpath : "<null>");
}

// ---------------------------------------------------------------------------
// Integer values

class SettingsInts : public harness::HostTest {};

TEST_F(SettingsInts, ReadsStoredDwordIncludingNegativeValues) {
    SetInt("bar", 5);
    SetInt("midi_out_dev", 0xFFFFFFFF);
    int bar = 0, midi = 0;
    EXPECT_EQ(1, LookUpRegKeyInt(HKEY_CURRENT_USER, "bar", &bar, nullptr));
    EXPECT_EQ(5, bar);
    EXPECT_EQ(1, LookUpRegKeyInt(HKEY_CURRENT_USER, "midi_out_dev", &midi, nullptr));
    EXPECT_EQ(-1, midi);
}

TEST_F(SettingsInts, ReadsFromTheNamedSubKeyInsteadOfTheProgramKey) {
    SetInt("xp", 11);
    SetInt("xp", 22, "WPos");
    int xp = 0;
    EXPECT_EQ(1, LookUpRegKeyInt(HKEY_CURRENT_USER, "xp", &xp, (ProgramKey() + "\\WPos").c_str()));
    EXPECT_EQ(22, xp);
}

TEST_F(SettingsInts, AnythingButAFourByteDwordLeavesTheIntAlone) {
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"REG_SZ", REG_SZ, "12", 3},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, "12", 3},
        {"REG_BINARY of 4 bytes", REG_BINARY, eight, 4},
        {"REG_QWORD", REG_QWORD, eight, 8},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, eight, 4},
        {"REG_DWORD of 2 bytes", REG_DWORD, eight, 2},
        {"REG_DWORD of 8 bytes", REG_DWORD, eight, 8},
        {"REG_NONE", REG_NONE, eight, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RawSet(HKEY_CURRENT_USER, ProgramKey(), "v", c.type, c.data, c.size);
        int value = 0x5A5A5A5A;
        EXPECT_EQ(-1, LookUpRegKeyInt(HKEY_CURRENT_USER, "v", &value, nullptr));
        EXPECT_EQ(0x5A5A5A5A, value);
    }
}

TEST_F(SettingsInts, AbsentValueMissingKeyAndNullArgumentsGiveMinusOne) {
    SetInt("present", 7);
    int value = 42;
    EXPECT_EQ(-1, LookUpRegKeyInt(HKEY_CURRENT_USER, "absent", &value, nullptr));
    EXPECT_EQ(-1, LookUpRegKeyInt(HKEY_CURRENT_USER, "present", &value,
                                  (ProgramKey() + "\\NoSuchKey").c_str()));
    EXPECT_EQ(-1, LookUpRegKeyInt(HKEY_CURRENT_USER, nullptr, &value, nullptr));
    EXPECT_EQ(42, value);
    EXPECT_EQ(-1, LookUpRegKeyInt(HKEY_CURRENT_USER, "present", nullptr, nullptr));
}

TEST_F(SettingsInts, WriteCreatesMissingKeysAndStoresADword) {
    ASSERT_EQ(1, WriteRegKeyInt(HKEY_CURRENT_USER, "echox", -5,
                                (ProgramKey() + "\\WPos\\Deeper").c_str()));
    DWORD stored = 0;
    ASSERT_TRUE(GetInt("echox", &stored, "WPos\\Deeper"));
    EXPECT_EQ(0xFFFFFFFBu, stored);
    ASSERT_EQ(1, WriteRegKeyInt(HKEY_CURRENT_USER, "bar", 4, nullptr));
    ASSERT_TRUE(GetInt("bar", &stored));
    EXPECT_EQ(4u, stored);
}

TEST_F(SettingsInts, WriteReplacesAValueOfAnotherType) {
    SetString("touch", "2");
    ASSERT_EQ(1, WriteRegKeyInt(HKEY_CURRENT_USER, "touch", 1, nullptr));
    int value = 0;
    EXPECT_EQ(1, LookUpRegKeyInt(HKEY_CURRENT_USER, "touch", &value, nullptr));
    EXPECT_EQ(1, value);
}

TEST_F(SettingsInts, WriteReportsFailure) {
    EXPECT_EQ(0, WriteRegKeyInt(nullptr, "bar", 1, "Software\\Whatever"));
    // A null name would write the key's default value, which no caller means.
    EXPECT_EQ(0, WriteRegKeyInt(HKEY_CURRENT_USER, nullptr, 1, nullptr));
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_FALSE(RawGet(HKEY_CURRENT_USER, ProgramKey(), "", &type, &data));
}

// ---------------------------------------------------------------------------
// Text values

class SettingsTexts : public harness::HostTest {};

TEST_F(SettingsTexts, WrittenTextReadsBackAsAnOwnedCopy) {
    ASSERT_EQ(1, WriteRegKeyString(HKEY_CURRENT_USER, "midi_in_devname", "Port A", nullptr));
    EXPECT_EQ("Port A", RawGetText(HKEY_CURRENT_USER, ProgramKey(), "midi_in_devname"));
    char* text = nullptr;
    ASSERT_EQ(1, LookUpRegKeyString(HKEY_CURRENT_USER, "midi_in_devname", &text, nullptr));
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("Port A", text);
    FreeString(&text);
    EXPECT_EQ(nullptr, text);
}

TEST_F(SettingsTexts, UnterminatedStoredTextComesBackTerminated) {
    RawSet(HKEY_CURRENT_USER, ProgramKey(), "name", REG_SZ, "abcdef", 6);
    // Leaves a dirty block of the size the library will ask for on the shared
    // heap, so that a missing terminator shows instead of a lucky zero.
    for (size_t size = 6; size <= 8; ++size) {
        void* dirty = malloc(size);
        memset(dirty, 'X', size);
        free(dirty);
    }
    char* text = nullptr;
    ASSERT_EQ(1, LookUpRegKeyString(HKEY_CURRENT_USER, "name", &text, nullptr));
    EXPECT_STREQ("abcdef", text);
    FreeString(&text);
}

TEST_F(SettingsTexts, EmptyAndExpandableTextsAreRead) {
    SetString("empty", "");
    RawSet(HKEY_CURRENT_USER, ProgramKey(), "expand", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
    char* text = nullptr;
    ASSERT_EQ(1, LookUpRegKeyString(HKEY_CURRENT_USER, "empty", &text, nullptr));
    EXPECT_STREQ("", text);
    FreeString(&text);
    ASSERT_EQ(1, LookUpRegKeyString(HKEY_CURRENT_USER, "expand", &text, nullptr));
    EXPECT_STREQ("%SystemRoot%\\x", text);
    FreeString(&text);
}

TEST_F(SettingsTexts, OtherTypesAbsentValuesAndNullNamesLeaveThePointerAlone) {
    const DWORD dword = 3;
    RawSet(HKEY_CURRENT_USER, ProgramKey(), "dword", REG_DWORD, &dword, sizeof dword);
    RawSet(HKEY_CURRENT_USER, ProgramKey(), "binary", REG_BINARY, "abc", 4);
    RawSet(HKEY_CURRENT_USER, ProgramKey(), "multi", REG_MULTI_SZ, "a\0b\0", 5);
    const char* names[] = {"dword", "binary", "multi", "absent"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        char* text = gUntouched;
        EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, name, &text, nullptr));
        EXPECT_EQ(gUntouched, text);
    }
    char* text = gUntouched;
    EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, nullptr, &text, nullptr));
    EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, "dword", &text,
                                     (ProgramKey() + "\\NoSuchKey").c_str()));
    EXPECT_EQ(gUntouched, text);
    EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, "dword", nullptr, nullptr));
}

TEST_F(SettingsTexts, TextsUpTo64KiBAreReadAndLongerOnesRefused) {
    const std::string limit(64 * 1024 - 1, 'a');  // 65536 bytes with the terminator
    SetString("limit", limit.c_str());
    SetString("over", (limit + "b").c_str());
    SetString("far_over", std::string(70000, 'c').c_str());
    char* text = nullptr;
    ASSERT_EQ(1, LookUpRegKeyString(HKEY_CURRENT_USER, "limit", &text, nullptr));
    EXPECT_EQ(limit, text);
    FreeString(&text);
    text = gUntouched;
    EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, "over", &text, nullptr));
    EXPECT_EQ(-1, LookUpRegKeyString(HKEY_CURRENT_USER, "far_over", &text, nullptr));
    EXPECT_EQ(gUntouched, text);
}

TEST_F(SettingsTexts, WritesOnlyWhatCanBeReadBack) {
    const std::string limit(64 * 1024 - 1, 'a');
    EXPECT_EQ(1, WriteRegKeyString(HKEY_CURRENT_USER, "limit", limit.c_str(), nullptr));
    EXPECT_EQ(limit, RawGetText(HKEY_CURRENT_USER, ProgramKey(), "limit"));
    EXPECT_EQ(0, WriteRegKeyString(HKEY_CURRENT_USER, "over", (limit + "b").c_str(), nullptr));
    EXPECT_EQ("<absent>", RawGetText(HKEY_CURRENT_USER, ProgramKey(), "over"));
    EXPECT_EQ(0, WriteRegKeyString(HKEY_CURRENT_USER, "null", nullptr, nullptr));
    EXPECT_EQ(0, WriteRegKeyString(nullptr, "x", "y", "Software\\Whatever"));
}

TEST_F(SettingsTexts, WriteCreatesTheSubKey) {
    ASSERT_EQ(1, WriteRegKeyString(HKEY_CURRENT_USER, "n", "v",
                                   (ProgramKey() + "\\WPos").c_str()));
    EXPECT_EQ("v", RawGetText(HKEY_CURRENT_USER, ProgramKey() + "\\WPos", "n"));
}

TEST_F(SettingsTexts, FreeStringToleratesNull) {
    FreeString(nullptr);
    char* text = nullptr;
    FreeString(&text);
    EXPECT_EQ(nullptr, text);
}

namespace {

struct Rewriter {
    std::string path;
    std::string shortText;
    std::string longText;
    volatile LONG stop = 0;
};

DWORD WINAPI RewriteUntilStopped(void* arg) {
    Rewriter* r = static_cast<Rewriter*>(arg);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, r->path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    for (bool longOne = true; !r->stop; longOne = !longOne) {
        const std::string& t = longOne ? r->longText : r->shortText;
        RegSetValueExA(key, "racy", 0, REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()),
                       DWORD(t.size() + 1));
    }
    RegCloseKey(key);
    return 0;
}

}  // namespace

TEST_F(SettingsTexts, TextChangingSizeWhileReadIsNeverCutOrOverrun) {
    Rewriter r;
    r.path = ProgramKey();
    r.shortText = "s";
    r.longText = std::string(5000, 'L');
    SetString("racy", r.shortText.c_str());
    HANDLE writer = CreateThread(nullptr, 0, RewriteUntilStopped, &r, 0, nullptr);
    ASSERT_NE(nullptr, writer);
    int reads = 0, mismatches = 0;
    for (int i = 0; i < 400; ++i) {
        char* text = nullptr;
        if (LookUpRegKeyString(HKEY_CURRENT_USER, "racy", &text, nullptr) != 1) continue;
        ++reads;
        if (r.shortText != text && r.longText != text) ++mismatches;
        FreeString(&text);
    }
    InterlockedExchange(&r.stop, 1);
    WaitForSingleObject(writer, 10000);
    CloseHandle(writer);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(0, mismatches);
}

// ---------------------------------------------------------------------------
// Program key taken from the environment at load time

class ProgramKeyOverride : public harness::HostTest {
protected:
    std::string ChildProgramKey(const char* keyFromEnv) {
        EnvOverride env("KNT_REGKEY", keyFromEnv);
        const std::string report = ProgramKey() + "\\Report";
        EXPECT_EQ(0u, RunChildReport(ExecutablePath(), report));
        return RawGetText(HKEY_CURRENT_USER, report, "TlmRegKey");
    }
};

TEST_F(ProgramKeyOverride, EnvironmentReplacesTheDefaultKey) {
    const std::string key = ProgramKey() + "\\FromEnvironment";
    EXPECT_EQ(key, ChildProgramKey(key.c_str()));
}

TEST_F(ProgramKeyOverride, UnsetEmptyOrOverlongValuesKeepTheDefault) {
    EXPECT_EQ(kDefaultProgramKey, ChildProgramKey(nullptr));
    EXPECT_EQ(kDefaultProgramKey, ChildProgramKey(""));
    EXPECT_EQ(kDefaultProgramKey, ChildProgramKey(std::string(kRegKeyPathSize, 'k').c_str()));
    const std::string fits(kRegKeyPathSize - 1, 'k');
    EXPECT_EQ(fits, ChildProgramKey(fits.c_str()));
}

// ---------------------------------------------------------------------------
// Installation check

class InstallationCheck : public harness::HostTest {
protected:
    void SetRecord(const char* version, const char* edition) {
        if (version) RawSetText(HKEY_LOCAL_MACHINE, kInstallKey, "Version", version);
        else RawDelete(HKEY_LOCAL_MACHINE, kInstallKey, "Version");
        if (edition) RawSetText(HKEY_LOCAL_MACHINE, kInstallKey, "Edition", edition);
        else RawDelete(HKEY_LOCAL_MACHINE, kInstallKey, "Edition");
    }
    // A copy of this test program in a folder of its own, holding the given
    // core libraries beside the ones the program imports.
    std::string MakeProgramFolder(const char* name, std::vector<const char*> coreLibs) {
        const std::string dir = SharedDir() + "\\" + name;
        CreateDirectoryA(dir.c_str(), nullptr);
        coreLibs.insert(coreLibs.end(), {"interface.dll", "emuReg.dll", "kntLib.dll"});
        coreLibs.push_back(nullptr);
        const std::string from = harness::ProgramDir();
        EXPECT_TRUE(CopyFileA(ExecutablePath().c_str(), (dir + "\\" + ExecutableName()).c_str(),
                              FALSE));
        for (const char** lib = coreLibs.data(); *lib; ++lib)
            EXPECT_TRUE(CopyFileA((from + "\\" + *lib).c_str(), (dir + "\\" + *lib).c_str(), FALSE))
                << *lib;
        return dir;
    }
    // LookingForKntPath("6.601", "Ovrin") as a program started from dir sees it.
    DWORD ChildResult(const std::string& dir, std::string* childApplPath) {
        const std::string report = ProgramKey() + "\\Report";
        RegDeleteTreeA(HKEY_CURRENT_USER, report.c_str());
        EXPECT_EQ(0u, RunChildReport(dir + "\\" + ExecutableName(), report));
        *childApplPath = RawGetText(HKEY_CURRENT_USER, report, "applpath");
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!RawGet(HKEY_CURRENT_USER, report, "kntPath", &type, &data) || data.size() != 4)
            return 0xDEADu;
        return *reinterpret_cast<DWORD*>(data.data());
    }
    SavedValues record_{kInstallKey, {"Version", "Edition"}};
};

TEST_F(InstallationCheck, MatchingRecordBesideTheCoreLibrariesIsValid) {
    SetRecord("6.601", "Ovrin");
    EXPECT_NE(0, LookingForKntPath("6.601", "Ovrin"));
    ASSERT_NE(nullptr, applpath);
    EXPECT_STRCASEEQ(harness::ProgramDir().c_str(), applpath);
}

TEST_F(InstallationCheck, RecordMustMatchExactly) {
    const struct {
        const char* label;
        const char* version;
        const char* edition;
    } cases[] = {
        {"other edition", "6.601", "Offline"},
        {"edition in other case", "6.601", "ovrin"},
        {"other version", "6.600", "Ovrin"},
        {"version with a suffix", "6.601 ", "Ovrin"},
        {"no version", nullptr, "Ovrin"},
        {"no edition", "6.601", nullptr},
        {"no record", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SetRecord(c.version, c.edition);
        EXPECT_EQ(0, LookingForKntPath("6.601", "Ovrin"));
        // The program folder is known even when the installation is not valid.
        ASSERT_NE(nullptr, applpath);
        EXPECT_STRCASEEQ(harness::ProgramDir().c_str(), applpath);
    }
}

TEST_F(InstallationCheck, VersionStoredAsNumberIsNotAccepted) {
    SetRecord(nullptr, "Ovrin");
    const DWORD number = 6601;
    RawSet(HKEY_LOCAL_MACHINE, kInstallKey, "Version", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(0, LookingForKntPath("6601", "Ovrin"));
}

TEST_F(InstallationCheck, NullArgumentsAreNotValid) {
    SetRecord("6.601", "Ovrin");
    EXPECT_EQ(0, LookingForKntPath(nullptr, "Ovrin"));
    EXPECT_EQ(0, LookingForKntPath("6.601", nullptr));
}

TEST_F(InstallationCheck, EveryCoreLibraryMustBeInTheProgramFolder) {
    SetRecord("6.601", "Ovrin");
    const struct {
        const char* folder;
        std::vector<const char*> libs;
        DWORD expected;
    } cases[] = {
        {"all", {"kntVX.dll", "knt.dll"}, 1},
        {"without_knt", {"kntVX.dll"}, 0},
        {"without_kntvx", {"knt.dll"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string dir = MakeProgramFolder(c.folder, c.libs);
        std::string childApplPath;
        EXPECT_EQ(c.expected, ChildResult(dir, &childApplPath));
        EXPECT_STRCASEEQ(dir.c_str(), childApplPath.c_str());
    }
}

TEST_F(InstallationCheck, FolderNamedLikeACoreLibraryDoesNotCount) {
    SetRecord("6.601", "Ovrin");
    const std::string dir = MakeProgramFolder("knt_is_a_folder", {"kntVX.dll"});
    CreateDirectoryA((dir + "\\knt.dll").c_str(), nullptr);
    std::string childApplPath;
    EXPECT_EQ(0u, ChildResult(dir, &childApplPath));
}

// ---------------------------------------------------------------------------
// Shared data folder

class SharedDataPath : public harness::HostTest {
protected:
    void TearDown() override {
        SetEnvironmentVariableA("KNT_SHAREDPATH", SharedDir().c_str());
        LookingForGlobDataPath();
        harness::HostTest::TearDown();
    }
    std::string MakeFolder(const char* name, bool withIde0) {
        const std::string dir = SharedDir() + "\\" + name;
        CreateDirectoryA(dir.c_str(), nullptr);
        if (withIde0) CreateDirectoryA((dir + "\\ide0").c_str(), nullptr);
        return dir;
    }
    SavedValues globData_{kGlobDataKey, {"GlobDataPath"}};
};

TEST_F(SharedDataPath, EnvironmentFolderWithIde0IsValid) {
    const std::string dir = MakeFolder("good", true);
    SetEnvironmentVariableA("KNT_SHAREDPATH", dir.c_str());
    EXPECT_NE(0, LookingForGlobDataPath());
    ASSERT_NE(nullptr, sharedpath);
    EXPECT_EQ(dir, sharedpath);
}

TEST_F(SharedDataPath, TrailingSeparatorsAreDropped) {
    const std::string dir = MakeFolder("good", true);
    SetEnvironmentVariableA("KNT_SHAREDPATH", (dir + "\\/").c_str());
    EXPECT_NE(0, LookingForGlobDataPath());
    ASSERT_NE(nullptr, sharedpath);
    EXPECT_EQ(dir, sharedpath);
}

TEST_F(SharedDataPath, FolderWithoutIde0OrMissingIsNotValid) {
    const std::string bare = MakeFolder("bare", false);
    const std::string fileIde0 = MakeFolder("file_ide0", false);
    HANDLE f = CreateFileA((fileIde0 + "\\ide0").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    const std::string cases[] = {bare, fileIde0, SharedDir() + "\\missing"};
    for (const std::string& dir : cases) {
        SCOPED_TRACE(dir);
        SetEnvironmentVariableA("KNT_SHAREDPATH", dir.c_str());
        EXPECT_EQ(0, LookingForGlobDataPath());
        EXPECT_EQ(nullptr, sharedpath);
    }
}

TEST_F(SharedDataPath, EachCallReadsAfresh) {
    const std::string first = MakeFolder("first", true);
    const std::string second = MakeFolder("second", true);
    SetEnvironmentVariableA("KNT_SHAREDPATH", first.c_str());
    ASSERT_NE(0, LookingForGlobDataPath());
    EXPECT_EQ(first, sharedpath);
    SetEnvironmentVariableA("KNT_SHAREDPATH", second.c_str());
    ASSERT_NE(0, LookingForGlobDataPath());
    EXPECT_EQ(second, sharedpath);
    RemoveDirectoryA((second + "\\ide0").c_str());
    EXPECT_EQ(0, LookingForGlobDataPath());
    EXPECT_EQ(nullptr, sharedpath);
}

TEST_F(SharedDataPath, MachineRecordIsUsedWithoutTheEnvironment) {
    const std::string dir = MakeFolder("machine", true);
    RawSetText(HKEY_LOCAL_MACHINE, kGlobDataKey, "GlobDataPath", dir);
    SetEnvironmentVariableA("KNT_SHAREDPATH", nullptr);
    EXPECT_NE(0, LookingForGlobDataPath());
    ASSERT_NE(nullptr, sharedpath);
    EXPECT_EQ(dir, sharedpath);
    RawDelete(HKEY_LOCAL_MACHINE, kGlobDataKey, "GlobDataPath");
    EXPECT_EQ(0, LookingForGlobDataPath());
    EXPECT_EQ(nullptr, sharedpath);
}

TEST_F(SharedDataPath, EnvironmentWinsOverTheMachineRecord) {
    RawSetText(HKEY_LOCAL_MACHINE, kGlobDataKey, "GlobDataPath", MakeFolder("machine", true));
    const std::string dir = MakeFolder("env", true);
    SetEnvironmentVariableA("KNT_SHAREDPATH", dir.c_str());
    EXPECT_NE(0, LookingForGlobDataPath());
    ASSERT_NE(nullptr, sharedpath);
    EXPECT_EQ(dir, sharedpath);
}
