// FindDrives: the letters of the drives of one type.
#include "app/hostlibs/HostStateLib.h"

// letters must hold kDriveLettersSize (27) characters: up to 26 letters and
// the terminator.
int FindDrives(char* letters, int driveType)
{
    if (!letters)
        return 0;
    DWORD mask = GetLogicalDrives();
    int count = 0;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        char root[4] = { (char)('A' + i), ':', '\\', '\0' };
        if (GetDriveTypeA(root) == (UINT)driveType)
            letters[count++] = root[0];
    }
    letters[count] = '\0';
    return count;
}
