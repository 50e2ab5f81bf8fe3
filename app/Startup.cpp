// The start-up sequence, the message loop and the clean-up at exit.
#include "app/Startup.h"

#include <winsock2.h>

#include <cstring>

#include "app/Affinity.h"
#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/ErrorBox.h"
#include "app/HostSettings.h"
#include "app/StartupTrace.h"
#include "app/Translate.h"
#include "app/Winsock.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "cdplayer/CdFileSource.h"
#include "cdplayer/CdPanel.h"
#include "desk/DeskChildren.h"
#include "desk/DrawingResources.h"
#include "input/KeyboardDispatch.h"
#include "input/ShortcutFile.h"
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
    const StartOutcome outcome = StartCoreSessionGuarded();
    if (outcome == StartOutcome::Faulted)
        ShowSystemError(main, "Error loading Kantrel data! Cannot start the program! (errno. %d)", GetLastError());
    return outcome == StartOutcome::Started;
}

// Held from before the single-instance check to the end of the program: two
// starts at the same instant would otherwise both find no desk window yet.
// Named after the program key, which is what two desks would share.
class StartLock {
public:
    StartLock() : mutex_(CreateMutexA(nullptr, FALSE, StartLockName().c_str())) {
        // Without a lock object the start goes on as it always did.
        const DWORD taken = mutex_ ? WaitForSingleObject(mutex_, 0) : WAIT_OBJECT_0;
        owned_ = taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
    }
    ~StartLock() {
        if (!mutex_) return;
        if (owned_) ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;
    bool Owned() const { return owned_; }
    // Waits while the other start holds the lock; true when it let go.
    bool WaitForRelease(DWORD ms) {
        const DWORD taken = WaitForSingleObject(mutex_, ms);
        owned_ = taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED;
        return owned_;
    }

private:
    HANDLE mutex_;
    bool owned_ = false;
};

constexpr int kFirstDeskWaitMs = 10000, kFirstDeskPollMs = 50;

// The other start is under way: its desk is fronted as soon as it exists.
// Should it end without one, this start ends too, as a second start does.
void FrontTheOtherStart(StartLock* lock) {
    for (int waited = 0; waited < kFirstDeskWaitMs; waited += kFirstDeskPollMs) {
        if (FrontRunningInstance()) return;
        if (lock->WaitForRelease(kFirstDeskPollMs)) return;
    }
}

}  // namespace

std::string StartLockName() {
    std::string name = "KantrelOvrin.Start:";
    for (const char* c = TlmRegKey; *c; ++c) name += *c == '\\' ? '/' : *c;
    return name;
}

bool InstallationValid() {
    const char* problem = nullptr;
    char shortcutFile[kShortcutPathSize];
    if (!LookingForKntPath(kVersion, kEdition))
        problem = "Incorrect program path: Program cannot be executed! Reinstall the application.";
    else if (!LookingForGlobDataPath())
        problem = "Incorrect global data path: Program cannot be executed! Reinstall the application.";
    // A folder name that leaves no room for the host's own file in it would
    // lose the programmed shortcuts without a word.
    else if (!ShortcutFilePath(shortcutFile, sizeof shortcutFile))
        problem = "Global data path too long: Program cannot be executed! Reinstall the application.";
    if (!problem) return true;
    MessageBoxA(nullptr, problem, knt_windows_title, MB_ICONERROR);
    return false;
}

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

namespace {

void LayOutClientArea(HWND main) {
    RECT client;
    GetClientRect(main, &client);
    LayOutDesk(main, client.right, client.bottom);
}

}  // namespace

bool BuildDesk(HWND main) {
    if (!RGBBitCountAndDirectDrawTest(1, 1)) return false;
    TraceStartupStep("display test");
    if (!StartWinsock()) return false;
    memset(ledHWnd, 0, sizeof ledHWnd);
    CreateTouchWindow(main);
    CreateFaders(main);
    TraceStartupStep("winsock, touch window, faders");
    if (!LoadConsoleLibraries(main)) return false;
    TraceStartupStep("console libraries");
    LoadWindowSettings(main);
    FillDisplayWindows();
    TraceStartupStep("window settings");
    LoadShortcutSettings();
    CreateDeskKeys(main);
    TraceStartupStep("shortcuts, desk keys");
    CreateEncoders(main);
    CreateCmdlineWindow(main);
    CreateCDPanel(main);
    RestoreCdFileSource();
    RestoreDeskScrollPositions(main);
    // Laid out while the desk is hidden, the frame pieces stand in place when
    // the show's size message lays it out again: moving them over the desk's
    // 250 windows costs a tenth as much with the desk hidden.
    LayOutClientArea(main);
    TraceStartupStep("encoders, command line, CD panel");
    if (AffinityStepWanted()) RunAffinityStep(sharedpath);
    SetActiveWindow(main);
    TraceStartupStep("affinity");
    if (!StartCoreGuarded(main)) return false;
    TraceStartupStep("core session started");
    LayOutClientArea(main);
    CreateTooltips(main);
    if (gStartMinimized) ShowWindow(main, SW_MINIMIZE);
    TraceStartupStep("layout, tooltips");
    TraceWindowTree(main);
    return true;
}

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG msg;
    // GetMessageA answers -1 on an error; only a positive answer is a message.
    // A nested loop (the system's move and size loop) may take the quit
    // message for itself: the desk window being gone ends the loop as well.
    while (IsWindow(hMainWnd) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
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
    TraceStartupStep("entry");
    StartLock lock;
    if (!lock.Owned()) {
        FrontTheOtherStart(&lock);
        return 0;
    }
    if (FrontRunningInstance()) return 0;
    if (SiblingProgramBlocks()) return 0;
    if (!WindowsVersionSupported() || !InstallationValid()) return 0;
    ReadStartupSettings();
    TraceStartupStep("checks, settings");
    if (!CreateDrawingResources(instance)) return 0;
    TraceStartupStep("drawing resources");
    RegisterAllClasses(instance);
    ParseCommandLine(commandLine);
    HWND main = CreateMainWindow(instance);
    if (!main) return 0;
    CreateDeskFrame(main);
    SwitchVisualStylesOff(main);
    TraceStartupStep("main window, frame");
    InitializeCriticalSection(&mjq_criticalsection);
    InitializeCriticalSection(&cjq_criticalsection);
    if (BuildDesk(main)) RunMessageLoop();
    CleanUp();
    DeleteCriticalSection(&mjq_criticalsection);
    DeleteCriticalSection(&cjq_criticalsection);
    return 0;
}
