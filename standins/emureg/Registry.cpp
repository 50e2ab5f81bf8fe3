// Settings values of the registry library: integers and texts under the
// program key or any key the caller names.
#include "app/hostlibs/RegistryLib.h"
#include <cstdlib>
#include <cstring>

char TlmRegKey[kRegKeyPathSize] = "Software\\Telmarin\\Kantrel Ovrin";

namespace {

// Larger texts are refused both ways, so nothing is stored that cannot be read.
enum { kMaxStringBytes = 64 * 1024, kReadAttempts = 4 };

// Whole-program tests point the library at a fresh program key through the
// environment; a value that does not fit is ignored rather than cut.
void ApplyProgramKeyOverride()
{
    char key[kRegKeyPathSize];
    DWORD n = GetEnvironmentVariableA("KNT_REGKEY", key, sizeof(key));
    if (n > 0 && n < sizeof(key))
        memcpy(TlmRegKey, key, n + 1);
}

const char* KeyPath(const char* subKey)
{
    if (subKey)
        return subKey;
    TlmRegKey[kRegKeyPathSize - 1] = '\0';
    return TlmRegKey;
}

bool OpenForReading(HKEY root, const char* subKey, HKEY* key)
{
    return RegOpenKeyExA(root, KeyPath(subKey), 0, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

bool WriteValue(HKEY root, const char* subKey, const char* name, DWORD type,
                const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(root, KeyPath(subKey), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The value may grow between the size query and the read (another process
// writes it); ERROR_MORE_DATA then starts over with the new size. The buffer
// has one byte beyond what the registry may fill, for the terminator that a
// stored text need not have.
char* ReadText(HKEY key, const char* name)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return nullptr;
        if (!IsTextType(type) || size > kMaxStringBytes)
            return nullptr;
        char* text = (char*)malloc(size + 1);
        if (!text)
            return nullptr;
        DWORD got = size;
        LONG rc = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)text, &got);
        if (rc == ERROR_SUCCESS && IsTextType(type) && got <= size) {
            text[got] = '\0';
            return text;
        }
        free(text);
        if (rc != ERROR_MORE_DATA)
            return nullptr;
    }
    return nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        ApplyProgramKeyOverride();
    return TRUE;
}

int LookUpRegKeyInt(HKEY root, const char* name, int* value, const char* subKey)
{
    if (!name || !value)
        return -1;
    HKEY key;
    if (!OpenForReading(root, subKey, &key))
        return -1;
    DWORD type = 0, data = 0, size = sizeof(data);
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)&data, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data))
        return -1;
    *value = (int)data;
    return 1;
}

int WriteRegKeyInt(HKEY root, const char* name, int value, const char* subKey)
{
    if (!name)
        return 0;
    DWORD data = (DWORD)value;
    return WriteValue(root, subKey, name, REG_DWORD, &data, sizeof(data)) ? 1 : 0;
}

int LookUpRegKeyString(HKEY root, const char* name, char** text, const char* subKey)
{
    if (!name || !text)
        return -1;
    HKEY key;
    if (!OpenForReading(root, subKey, &key))
        return -1;
    char* read = ReadText(key, name);
    RegCloseKey(key);
    if (!read)
        return -1;
    *text = read;
    return 1;
}

void FreeString(char** text)
{
    if (!text)
        return;
    free(*text);
    *text = nullptr;
}

int WriteRegKeyString(HKEY root, const char* name, const char* text, const char* subKey)
{
    if (!name || !text)
        return 0;
    size_t size = strlen(text) + 1;
    if (size > kMaxStringBytes)
        return 0;
    return WriteValue(root, subKey, name, REG_SZ, text, (DWORD)size) ? 1 : 0;
}
