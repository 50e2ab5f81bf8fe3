// Installation and shared data paths of the registry library.
//
// Installation record: the program folder is the folder of the running
// executable. An installation is valid when that folder holds the three core
// libraries (kntVX.dll, kntLib.dll, knt.dll) and HKEY_LOCAL_MACHINE
// "Software\Telmarin\Kantrel Ovrin" carries the REG_SZ values "Version" and
// "Edition" equal, exactly and case-sensitively, to what the host asks for.
//
// Shared path lookup: the shared data folder is named by HKEY_LOCAL_MACHINE
// "Software\Telmarin\GlobData", REG_SZ value "GlobDataPath". It is valid when
// the folder exists and has a sub-folder "ide0", where the host keeps its
// files. Every lookup reads afresh; sharedpath stays null while no valid
// folder is known.
//
// Environment overrides, so that tests run against their own state: a set
// KNT_SHAREDPATH replaces the registry value for the shared path, and
// KNT_REGKEY (read once at load, see Registry.cpp) replaces the program key.
//
// Both records are read through the default registry view: a 32-bit build on
// 64-bit Windows therefore reads the WOW64 view that a 32-bit installer writes.
// Paths are kept without a trailing separator.
#include "app/hostlibs/RegistryLib.h"
#include <cstdlib>
#include <cstring>
#include <string>

char* applpath = nullptr;
char* sharedpath = nullptr;

namespace {

const char kInstallKey[] = "Software\\Telmarin\\Kantrel Ovrin";
const char kGlobDataKey[] = "Software\\Telmarin\\GlobData";
const char* const kCoreLibraries[] = { "kntVX.dll", "kntLib.dll", "knt.dll" };
// The longest path Windows can hand out, with its terminator.
enum { kMaxModulePath = 32768 };

char* CopyText(const std::string& text)
{
    char* copy = (char*)malloc(text.size() + 1);
    if (copy)
        memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void StripTrailingSeparators(std::string* path)
{
    while (!path->empty() && (path->back() == '\\' || path->back() == '/'))
        path->pop_back();
}

// GetModuleFileNameA cuts a long path to the buffer silently (and on older
// systems leaves it unterminated), so a full buffer means "grow and retry".
bool ExecutablePath(std::string* path)
{
    for (DWORD size = MAX_PATH; size <= kMaxModulePath; size *= 2) {
        std::string buf(size, '\0');
        DWORD n = GetModuleFileNameA(nullptr, &buf[0], size);
        if (n == 0)
            return false;
        if (n < size) {
            buf.resize(n);
            *path = buf;
            return true;
        }
    }
    return false;
}

bool ExecutableFolder(std::string* folder)
{
    std::string path;
    if (!ExecutablePath(&path))
        return false;
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return false;
    path.resize(slash);
    StripTrailingSeparators(&path);
    *folder = path;
    return !folder->empty();
}

bool EnvironmentText(const char* name, std::string* value)
{
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    while (size > 0) {
        std::string buf(size, '\0');
        DWORD n = GetEnvironmentVariableA(name, &buf[0], size);
        if (n == 0)
            return false;
        if (n < size) {
            buf.resize(n);
            *value = buf;
            return true;
        }
        size = n;  // it grew meanwhile
    }
    return false;
}

bool MachineText(const char* key, const char* name, std::string* value)
{
    char* text = nullptr;
    if (LookUpRegKeyString(HKEY_LOCAL_MACHINE, name, &text, key) != 1)
        return false;
    *value = text;
    FreeString(&text);
    return true;
}

bool IsFolder(const std::string& path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool HoldsCoreLibraries(const std::string& folder)
{
    for (const char* name : kCoreLibraries)
        if (!IsFile(folder + "\\" + name))
            return false;
    return true;
}

bool MachineTextEquals(const char* key, const char* name, const char* expected)
{
    std::string value;
    return MachineText(key, name, &value) && value == expected;
}

bool InstallationRecordMatches(const char* version, const char* edition)
{
    return MachineTextEquals(kInstallKey, "Version", version)
        && MachineTextEquals(kInstallKey, "Edition", edition);
}

bool SharedFolderSetting(std::string* folder)
{
    if (!EnvironmentText("KNT_SHAREDPATH", folder)
        && !MachineText(kGlobDataKey, "GlobDataPath", folder))
        return false;
    StripTrailingSeparators(folder);
    return !folder->empty();
}

void ReplacePath(char** slot, const std::string* path)
{
    FreeString(slot);
    if (path)
        *slot = CopyText(*path);
}

}  // namespace

int LookingForKntPath(const char* version, const char* edition)
{
    std::string folder;
    bool found = ExecutableFolder(&folder);
    ReplacePath(&applpath, found ? &folder : nullptr);
    if (!applpath || !version || !edition)
        return 0;
    return HoldsCoreLibraries(folder) && InstallationRecordMatches(version, edition);
}

int LookingForGlobDataPath(void)
{
    std::string folder;
    bool valid = SharedFolderSetting(&folder) && IsFolder(folder)
              && IsFolder(folder + "\\ide0");
    ReplacePath(&sharedpath, valid ? &folder : nullptr);
    return sharedpath != nullptr;
}
