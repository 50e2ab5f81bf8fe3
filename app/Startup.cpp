// The start-up sequence, the message loop and the clean-up at exit.
#include "app/Startup.h"

#include <winsock2.h>

#include <cstring>

#include "app/Affinity.h"
#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/ErrorBox.h"
#include "app/HostSettings.h"
#include "app/Translate.h"
#include "app/Winsock.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "input/KeyboardDispatch.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Placement.h"
#include "resources/resource.h"

int gDsrWheel = 0;
int gDsrEncoder = 1;
int gCdPlayerShown = 0;
int gStartMinimized = 0;

namespace {

const char kTitle[] = "Kantrel Ovrin";
const char* const kVersion = kHostVersion;
const char kEdition[] = "Ovrin";

void Front(HWND wnd) {
    ShowWindow(wnd, SW_RESTORE);
    SetForegroundWindow(wnd);
}

// A sibling counts only with its MDI client holding an echo window.
bool SiblingIsRunning(HWND top) {
    HWND client = FindWindowExA(top, nullptr, "MDIClient", nullptr);
    return client && FindWindowExA(client, nullptr, "KNT_ECHO_WINDOW", nullptr);
}

bool BlockedBy(HWND top, const char* text) {
    if (!SiblingIsRunning(top)) return false;
    MessageBoxA(nullptr, text, "Kantrel Offline light", MB_ICONERROR);
    Front(top);
    return true;
}

bool WindowsVersionSupported() {
    if (!(GetVersion() & 0x80000000u)) return true;
    MessageBoxA(nullptr,
                "Kantrel Ovrin requires Windows 2000 or later.\nWindows 95,Windows 98 or Windows ME are not supported.",
                knt_windows_title, MB_ICONERROR);
    return false;
}

bool InstallationValid() {
    const char* problem = nullptr;
    if (!LookingForKntPath(kVersion, kEdition))
        problem = "Incorrect program path: Program cannot be executed! Reinstall the application.";
    else if (!LookingForGlobDataPath())
        problem = "Incorrect global data path: Program cannot be executed! Reinstall the application.";
    if (!problem) return true;
    MessageBoxA(nullptr, problem, knt_windows_title, MB_ICONERROR);
    return false;
}

void ReadIntIfPresent(const char* name, int* target) {
    int value = 0;
    if (LookUpRegKeyInt(HKEY_CURRENT_USER, name, &value, nullptr) != -1) *target = value;
}

void SwitchVisualStylesOff(HWND main) {
    os_version_info.dwOSVersionInfoSize = 156;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&os_version_info));
    const DWORD major = os_version_info.dwMajorVersion, minor = os_version_info.dwMinorVersion;
    if (major < 5 || (major == 5 && minor == 0)) return;
    HMODULE theme = LoadLibraryA("Uxtheme.dll");
    if (!theme) return;
    using SetProps = void(WINAPI*)(DWORD);
    auto setProps = reinterpret_cast<SetProps>(reinterpret_cast<void*>(GetProcAddress(theme, "SetThemeAppProperties")));
    if (setProps) {
        setProps(0);
        SendMessageA(main, WM_THEMECHANGED, 0, 0);
    }
    FreeLibrary(theme);
}

void FillDisplayWindows() {
    for (int i = 0; i < 3; ++i) displays[i].wnd = hTouchWnd;
    displays[3].wnd = hExt1Wnd;
    displays[4].wnd = hExt2Wnd;
}

bool StartCoreGuarded(HWND main) {
    try {
        return StartCoreSession();
    } catch (...) {
        ShowSystemError(main, "Error loading Kantrel data! Cannot start the program! (errno. %d)", GetLastError());
        return false;
    }
}

}  // namespace

bool FrontRunningInstance() {
    HWND running = FindWindowA("_KNTOVRIN", nullptr);
    if (!running || !IsWindow(running)) return false;
    Front(running);
    return true;
}

bool SiblingProgramBlocks() {
    if (HWND light = FindWindowA(nullptr, "Kantrel Offline light"))
        return BlockedBy(light, "Close Kantrel Offline Light application before running Kantrel Ovrin!");
    if (HWND offline = FindWindowA(nullptr, "Kantrel Offline"))
        return BlockedBy(offline, "Close Kantrel Offline application before running Kantrel Ovrin!");
    return false;
}

void ParseCommandLine(const char* commandLine) {
    if (!commandLine || !*commandLine) return;
    if (strstr(commandLine, "/f")) appl_loaded = 0;
    if (strstr(commandLine, "/start_minimized")) gStartMinimized = 1;
    if (strstr(commandLine, "/disable_CDplayer")) DisableCDPlayer = 1;
}

void ReadStartupSettings() {
    ReadIntIfPresent("dsr_wheel", &gDsrWheel);
    ReadIntIfPresent("dsr_encoder", &gDsrEncoder);
    if (!DisableCDPlayer) ReadIntIfPresent("cd_player", &gCdPlayerShown);
}

void RegisterAllClasses(HINSTANCE instance) {
    RegisterMainWindowClass(instance);
    RegisterExtMonitorClass(instance);
    RegisterKeyClass(instance);
    RegisterInfoClass(instance);
    RegisterProgressClass(instance);
    RegisterFaderClass(instance);
    RegisterEncoderClass(instance);
    RegisterTouchClass(instance);
    RegisterFrameClass(instance);
    RegisterCmdlineClass(instance);
    RegisterCDButtonClass(instance);
    RegisterBackgroundClass(instance);
}

bool BuildDesk(HWND main) {
    if (!RGBBitCountAndDirectDrawTest(1, 1)) return false;
    if (!StartWinsock()) return false;
    memset(ledHWnd, 0, sizeof ledHWnd);
    CreateTouchWindow(main);
    CreateFaders(main);
    if (!LoadConsoleLibraries(main)) return false;
    LoadWindowSettings(main);
    FillDisplayWindows();
    LoadShortcutSettings();
    CreateDeskKeys(main);
    CreateEncoders(main);
    CreateCmdlineWindow(main);
    CreateCDPanel(main);
    RestoreDeskScrollPositions(main);
    if (AffinityStepWanted()) RunAffinityStep(sharedpath);
    SetActiveWindow(main);
    if (!StartCoreGuarded(main)) return false;
    RECT client;
    GetClientRect(main, &client);
    LayOutDesk(main, client.right, client.bottom);
    CreateTooltips(main);
    if (gStartMinimized) ShowWindow(main, SW_MINIMIZE);
    return true;
}

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG msg;
    // GetMessageA answers -1 on an error; only a positive answer is a message.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void CleanUp() {
    FreeString(&applpath);
    FreeString(&sharedpath);
    DestroyBackgroundWindow();
    ReleaseConsoleLibraries();
    WSACleanup();
    ReleaseShortcutList();
}

int KantrelMain(HINSTANCE instance, const char* commandLine, int) {
    knt_windows_title = kTitle;
    if (FrontRunningInstance()) return 0;
    if (SiblingProgramBlocks()) return 0;
    if (!WindowsVersionSupported() || !InstallationValid()) return 0;
    ReadStartupSettings();
    if (!CreateDrawingResources(instance)) return 0;
    RegisterAllClasses(instance);
    ParseCommandLine(commandLine);
    HWND main = CreateMainWindow(instance);
    if (!main) return 0;
    CreateDeskFrame(main);
    SwitchVisualStylesOff(main);
    InitializeCriticalSection(&mjq_criticalsection);
    InitializeCriticalSection(&cjq_criticalsection);
    if (BuildDesk(main)) RunMessageLoop();
    CleanUp();
    DeleteCriticalSection(&mjq_criticalsection);
    DeleteCriticalSection(&cjq_criticalsection);
    return 0;
}
