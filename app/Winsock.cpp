// Winsock start-up and its failure messages.
#include "app/Winsock.h"

#include <winsock2.h>

#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "common/Text.h"

const char* WinsockErrorName(int code) {
    switch (code) {
    case WSAEFAULT: return "WSAEFAULT";
    case WSAEINPROGRESS: return "WSAEINPROGRESS";
    case WSAEPROCLIM: return "WSAEPROCLIM";
    case WSASYSNOTREADY: return "WSASYSNOTREADY";
    case WSAVERNOTSUPPORTED: return "WSAVERNOTSUPPORTED";
    default: return "General error";
    }
}

bool CheckWinsockVersion(unsigned short highVersion) {
    if (highVersion >= 0x0200) return true;
    MessageBoxA(nullptr, Tr("You need Winsock2 support to run this program!"), knt_windows_title, MB_OK);
    return false;
}

bool StartWinsock() {
    WSADATA data;
    const int error = WSAStartup(0x0202, &data);
    if (error != 0) {
        char text[256];
        FormatBounded(text, sizeof text, TrFormat("Error starting winsock2: %s. Ending %s."),
                      WinsockErrorName(error), knt_windows_title);
        MessageBoxA(nullptr, text, knt_windows_title, MB_OK);
        return false;
    }
    if (!CheckWinsockVersion(data.wHighVersion)) {
        WSACleanup();
        return false;
    }
    return true;
}
