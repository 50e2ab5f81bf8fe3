// Entry point of the desk host executable.
#include <windows.h>
#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
    return KantrelMain(instance, commandLine, showCmd);
}
