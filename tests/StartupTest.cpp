// The start-up sequence: instance and sibling checks, switches, settings,
// the affinity step and a core session started and ended in this process.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/Affinity.h"
#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/HostSettings.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "mainwindow/MainWindow.h"
#include "standins/StandinControl.h"
#include "tests/harness/Harness.h"

namespace {

class StartupTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        knt_windows_title = "Kantrel Ovrin";
        appl_loaded = 1;
        DisableCDPlayer = 0;
        gStartMinimized = 0;
    }
    void TearDown() override {
        for (HWND wnd : windows_) DestroyWindow(wnd);
        HostTest::TearDown();
    }
    HWND MakeWindow(const char* cls, const char* title, HWND parent = nullptr, DWORD style = WS_OVERLAPPED) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        HWND wnd = CreateWindowA(cls, title, style | (parent ? WS_CHILD : 0), 0, 0, 100, 100, parent, nullptr,
                                 nullptr, nullptr);
        if (!parent) windows_.push_back(wnd);
        return wnd;
    }
    HWND MakeSibling(const char* title, bool withClient, bool withEcho) {
        HWND top = MakeWindow("SiblingFrame", title);
        if (withClient) {
            CLIENTCREATESTRUCT ccs = {nullptr, 1};
            HWND client = CreateWindowA("MDIClient", nullptr, WS_CHILD, 0, 0, 50, 50, top, nullptr, nullptr, &ccs);
            if (withEcho) MakeWindow("KNT_ECHO_WINDOW", "echo", client);
        }
        return top;
    }

private:
    std::vector<HWND> windows_;
};

}  // namespace

TEST_F(StartupTest, SecondStartFrontsTheFirstWindowSilently) {
    HWND first = MakeWindow("_KNTOVRIN", "Kantrel Ovrin", nullptr, WS_OVERLAPPEDWINDOW);
    ShowWindow(first, SW_MINIMIZE);
    harness::MessageBoxCapture boxes;
    EXPECT_EQ(0, KantrelMain(GetModuleHandleA(nullptr), "", SW_SHOW));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(IsIconic(first));
    EXPECT_TRUE(harness::JournalLines().empty());
}

TEST_F(StartupTest, SiblingWithoutItsEchoWindowDoesNotBlock) {
    harness::MessageBoxCapture boxes;
    MakeSibling("Kantrel Offline", false, false);
    EXPECT_FALSE(SiblingProgramBlocks());
    MakeSibling("Kantrel Offline", true, false);
    EXPECT_FALSE(SiblingProgramBlocks());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(StartupTest, RunningSiblingBlocksWithItsMessage) {
    struct Case { const char* title; const char* text; };
    const Case cases[] = {
        {"Kantrel Offline", "Close Kantrel Offline application before running Kantrel Ovrin!"},
        {"Kantrel Offline light", "Close Kantrel Offline Light application before running Kantrel Ovrin!"},
    };
    for (const Case& c : cases) {
        harness::MessageBoxCapture boxes;
        HWND sibling = MakeSibling(c.title, true, true);
        EXPECT_TRUE(SiblingProgramBlocks()) << c.title;
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(c.text, boxes.Boxes()[0].text);
        EXPECT_EQ("Kantrel Offline light", boxes.Boxes()[0].caption);
        EXPECT_EQ(nullptr, boxes.Boxes()[0].owner);
        EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
        DestroyWindow(sibling);
    }
}

// The shared folder's name may be as long as the shortcut file's path allows
// ("<folder>/ide0/psc.cfg" in 259 characters) and no longer.
TEST_F(StartupTest, SharedFolderTooLongForTheShortcutFileStopsTheStart) {
    const struct { size_t length; bool runs; } cases[] = {{246, true}, {247, false}, {254, false}};
    std::vector<std::string> made;
    for (const auto& c : cases) {
        std::string folder = SharedDir() + "\\";
        folder += std::string(c.length - folder.size(), 'd');
        ASSERT_EQ(c.length, folder.size());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << c.length;
        ASSERT_TRUE(CreateDirectoryA((folder + "\\ide0").c_str(), nullptr)) << c.length;
        made.push_back(folder);
        SetEnvironmentVariableA("KNT_SHAREDPATH", folder.c_str());
        harness::MessageBoxCapture boxes;
        EXPECT_EQ(c.runs, InstallationValid()) << c.length;
        if (c.runs) {
            EXPECT_TRUE(boxes.Boxes().empty()) << c.length;
            continue;
        }
        ASSERT_EQ(1u, boxes.Boxes().size()) << c.length;
        EXPECT_EQ("Global data path too long: Program cannot be executed! Reinstall the application.",
                  boxes.Boxes()[0].text);
        EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
        EXPECT_EQ(nullptr, boxes.Boxes()[0].owner);
        EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    }
    SetEnvironmentVariableA("KNT_SHAREDPATH", SharedDir().c_str());
    LookingForGlobDataPath();
    for (const std::string& folder : made) {
        RemoveDirectoryA((folder + "\\ide0").c_str());
        RemoveDirectoryA(folder.c_str());
    }
}

TEST_F(StartupTest, SwitchesAreFoundAnywhere) {
    ParseCommandLine("show.file/fast");
    EXPECT_EQ(0, appl_loaded);
    EXPECT_EQ(0, DisableCDPlayer);

    appl_loaded = 1;
    ParseCommandLine("/disable_CDplayer /start_minimized");
    EXPECT_EQ(1, DisableCDPlayer);
    EXPECT_EQ(1, gStartMinimized);
    EXPECT_EQ(1, appl_loaded);

    DisableCDPlayer = gStartMinimized = 0;
    ParseCommandLine("/F /Start_Minimized");  // case-sensitive
    EXPECT_EQ(1, appl_loaded);
    EXPECT_EQ(0, gStartMinimized);
}

TEST_F(StartupTest, StartupSettingsTakeOnlyStoredValues) {
    gDsrWheel = 0;
    gDsrEncoder = 1;
    gCdPlayerShown = 0;
    ReadStartupSettings();
    EXPECT_EQ(0, gDsrWheel);
    EXPECT_EQ(1, gDsrEncoder);

    SetInt("dsr_wheel", 1);
    SetInt("dsr_encoder", 0);
    SetInt("cd_player", 1);
    DisableCDPlayer = 1;
    ReadStartupSettings();
    EXPECT_EQ(1, gDsrWheel);
    EXPECT_EQ(0, gDsrEncoder);
    EXPECT_EQ(0, gCdPlayerShown);  // not read with the CD player disabled
    DisableCDPlayer = 0;
    ReadStartupSettings();
    EXPECT_EQ(1, gCdPlayerShown);
}

TEST_F(StartupTest, LowestProcessorIsKept) {
    EXPECT_EQ(DWORD_PTR(0b0100), LowestProcessorBit(0b1100));
    EXPECT_EQ(DWORD_PTR(1), LowestProcessorBit(0b1011));
    EXPECT_EQ(DWORD_PTR(0), LowestProcessorBit(0));
}

TEST_F(StartupTest, AffinityStepLogsThisMachinesMask) {
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
    ASSERT_TRUE(RunAffinityStep(SharedDir().c_str()));
    std::ifstream log(SharedDir() + "\\ide0\\affinity.log", std::ios::binary);
    std::stringstream text;
    text << log.rdbuf();
    char expected[128];
    snprintf(expected, sizeof expected, "old ProcessAffinityMask 0x%llx, new ProcessAffinityMask 0x%llx",
             static_cast<unsigned long long>(process), static_cast<unsigned long long>(LowestProcessorBit(process)));
    EXPECT_EQ(expected, text.str());
    DWORD_PTR now = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &now, &system);
    EXPECT_EQ(LowestProcessorBit(process), now);
}

TEST_F(StartupTest, AffinityStepWithoutSharedFolderStillRuns) {
    EXPECT_TRUE(RunAffinityStep("Q:\\no\\such\\folder"));
    EXPECT_TRUE(RunAffinityStep(nullptr));
}

TEST_F(StartupTest, AffinityOptionZeroSkipsTheStep) {
    const char* key = "Software\\Telmarin\\GlobData";
    int saved = 0;
    const bool had = LookUpRegKeyInt(HKEY_LOCAL_MACHINE, "set_affinity", &saved, key) != -1;
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr));
    RegDeleteValueA(k, "set_affinity");
    EXPECT_TRUE(AffinityStepWanted());
    WriteRegKeyInt(HKEY_LOCAL_MACHINE, "set_affinity", 0, key);
    EXPECT_FALSE(AffinityStepWanted());
    WriteRegKeyInt(HKEY_LOCAL_MACHINE, "set_affinity", 1, key);
    EXPECT_TRUE(AffinityStepWanted());
    if (had) WriteRegKeyInt(HKEY_LOCAL_MACHINE, "set_affinity", saved, key);
    else RegDeleteValueA(k, "set_affinity");
    RegCloseKey(k);
}

TEST_F(StartupTest, SessionEndClearsEveryCoreEntryPoint) {
    RegisterAllClasses(GetModuleHandleA(nullptr));
    HWND main = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(LoadConsoleLibraries(main));
    HKEY temp;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_USERS, ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs", 0,
                                             nullptr, 0, KEY_WRITE, nullptr, &temp, nullptr));
    RegCloseKey(temp);

    ASSERT_TRUE(StartCoreSession());
    EXPECT_EQ(1, VC_KNT_ACTIVE);
    EXPECT_FALSE(CoreGroupIsClear());
    harness::ClearJournal();
    EXPECT_TRUE(EndCoreSession(false, false));
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_EQ(0, VC_KNT_ACTIVE);
    EXPECT_TRUE(harness::SameSequence({"EndKantrel", "DeleteLanguageMap", "DeleteIPAddresses"},
                                      harness::CoreCalls()));
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_USERS, ".DEFAULT\\Software\\Telmarin\\GlobData\\TempIPs", 0,
                                           KEY_READ, &temp));
    DestroyWindow(main);
    ReleaseConsoleLibraries();
}

TEST_F(StartupTest, FailedCoreStartLeavesNothingBound) {
    RegisterAllClasses(GetModuleHandleA(nullptr));
    HWND main = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_TRUE(LoadConsoleLibraries(main));
    StandinSetResult("StartKantrel", 0);
    EXPECT_FALSE(StartCoreSession());
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_FALSE(IsCoreLoaded());
    EXPECT_EQ(0, VC_KNT_ACTIVE);
    DestroyWindow(main);
    ReleaseConsoleLibraries();
}

// A core that faults in its start is left alone afterwards: nothing stays
// bound to it, the session is over, and no later call reaches it.
TEST_F(StartupTest, CoreFaultingInItsStartIsAbandoned) {
    RegisterAllClasses(GetModuleHandleA(nullptr));
    HWND main = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_TRUE(LoadConsoleLibraries(main));
    StandinSetResult("StartKantrel.faultAt", 1);
    EXPECT_EQ(StartOutcome::Faulted, StartCoreSessionGuarded());
    EXPECT_EQ(SessionState::NotLoaded, CoreSessionState());
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_FALSE(IsCoreLoaded());
    EXPECT_EQ(0, VC_KNT_ACTIVE);
    EXPECT_TRUE(harness::SameSequence({"StartKantrel"}, harness::CoreCalls()));

    // A start that merely fails is no fault, and one that works is a start.
    StandinSetResult("StartKantrel.faultAt", 0);
    StandinSetResult("StartKantrel", 0);
    EXPECT_EQ(StartOutcome::Failed, StartCoreSessionGuarded());
    StandinSetResult("StartKantrel", 1);
    EXPECT_EQ(StartOutcome::Started, StartCoreSessionGuarded());
    EXPECT_EQ(SessionState::Running, CoreSessionState());
    EXPECT_TRUE(EndCoreSession(false, false));
    DestroyWindow(main);
    ReleaseConsoleLibraries();
}

namespace {

// Another start of the same program key on a thread of its own: it takes
// the start lock at once and shows its desk (minimised) only a moment later.
struct OtherStart {
    HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND desk = nullptr;
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<OtherStart*>(param);
        HANDLE lock = CreateMutexA(nullptr, TRUE, StartLockName().c_str());
        SetEvent(self->locked);
        Sleep(300);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "_KNTOVRIN";
        RegisterClassA(&wc);
        self->desk = CreateWindowA("_KNTOVRIN", "Kantrel Ovrin", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
        ShowWindow(self->desk, SW_SHOWMINIMIZED);
        while (MsgWaitForMultipleObjects(1, &self->stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        DestroyWindow(self->desk);
        ReleaseMutex(lock);
        CloseHandle(lock);
        return 0;
    }
    void Begin() {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(locked, 10000);
    }
    ~OtherStart() {
        SetEvent(stop);
        if (thread) WaitForSingleObject(thread, 10000), CloseHandle(thread);
        CloseHandle(locked);
        CloseHandle(stop);
    }
};

}  // namespace

// The other start found no desk either when it checked; this one must not
// run beside it but front its desk once it shows, as any second start does.
TEST_F(StartupTest, StartDuringAnotherStartOfTheSameKeyWaitsAndFrontsItsDesk) {
    OtherStart other;
    other.Begin();
    ASSERT_EQ(nullptr, FindWindowA("_KNTOVRIN", nullptr)) << "the other desk showed too early";
    harness::MessageBoxCapture boxes;
    EXPECT_EQ(0, KantrelMain(GetModuleHandleA(nullptr), "", SW_SHOW));
    ASSERT_NE(nullptr, other.desk);
    EXPECT_FALSE(IsIconic(other.desk)) << "the running desk was not fronted";
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(harness::JournalLines().empty()) << "the second start ran";
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, other.desk, "_KNTOVRIN", nullptr)) << "a second desk was made";
}
