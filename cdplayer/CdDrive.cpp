// Which drive the CD device plays: the stored choice while it is still a CD
// drive, else the first CD drive there is.
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/CdDevice.h"
#include "cdplayer/CdWinmm.h"
#include "common/Text.h"

char gCdDrive[4];

const char* ConfiguredCdDrive() { return gCdDrive[0] ? gCdDrive : nullptr; }

bool ChooseCdDrive() {
    gCdDrive[0] = 0;
    int stored = 0;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, "cd_drive", &stored, nullptr) != -1 && stored > ' ' && stored < 127) {
        char root[4];
        FormatBounded(root, sizeof root, "%c:\\", stored);
        if (CdDrive().driveType(root) == DRIVE_CDROM) FormatBounded(gCdDrive, sizeof gCdDrive, "%c:", stored);
    }
    if (!gCdDrive[0]) {
        char letters[kDriveLettersSize] = "";
        if (CdDrive().cdDriveLetters(letters) > 0 && letters[0])
            FormatBounded(gCdDrive, sizeof gCdDrive, "%c:", letters[0]);
    }
    return gCdDrive[0] != 0;
}

char DriveLetterOfUnitMask(DWORD mask) {
    for (int bit = 0; bit < 26; ++bit)
        if (mask & (1u << bit)) return char('A' + bit);
    return 0;
}
