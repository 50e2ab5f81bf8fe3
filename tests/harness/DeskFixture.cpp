// The desk window fixture.
#include "tests/harness/DeskFixture.h"

#include "app/CoreBinding.h"
#include "app/CoreSession.h"
#include "app/Startup.h"
#include "app/hostlibs/HostStateLib.h"
#include "desk/DrawingResources.h"
#include "mainwindow/MainWindow.h"

namespace harness {

void DeskTest::SetUp() {
    HostTest::SetUp();
    knt_windows_title = "Kantrel Ovrin";
    appl_loaded = 1;
    DisableCDPlayer = 1;
    VC_KNT_ACTIVE = 0;
    VC_OPEN_STOREWND_DELAYED = 0;
    gCmdLineLock = gShortcutMode = gPriorityOption = 0;
    gShowHKeys = 0;
    SetSimulatedBitCount(0);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(CreateDrawingResources(instance));
    RegisterAllClasses(instance);
    main_ = CreateMainWindow(instance);
    ASSERT_NE(nullptr, main_);
    ASSERT_TRUE(LoadConsoleLibraries(main_));
}

void DeskTest::TearDown() {
    SetModalPhase(0);
    if (IsWindow(main_)) {
        if (CoreSessionState() == SessionState::Running) EndCoreSession(false, false);
        // Hidden first: see the close flow for the window system's quirk.
        ShowWindow(main_, SW_HIDE);
        PumpUntilIdle();
        DestroyWindow(main_);
    }
    PumpUntilIdle();
    SetLibraryLoader(nullptr);
    ReleaseConsoleLibraries();
    ReleaseDrawingResources();
    SetSimulatedBitCount(0);
    VCMessageBoxSetAnswer(0);
    VC_KNT_ACTIVE = 0;
    HostTest::TearDown();
}

void DeskTest::StartSession() {
    ASSERT_TRUE(StartCoreSession());
    PumpUntilIdle();
    ClearJournal();
}

}  // namespace harness
