// Binding the console core by name, the null rule and translation.
#include <gtest/gtest.h>

#include "app/CoreBinding.h"
#include "app/Translate.h"
#include "app/hostlibs/HostStateLib.h"
#include "standins/StandinControl.h"
#include "tests/harness/Harness.h"

namespace {

class CoreBindingTest : public harness::HostTest {
protected:
    void TearDown() override {
        UnloadCoreLibrary();
        ReleaseConsoleLibraries();
        SetLibraryLoader(nullptr);
        StandinClearTranslations();
        HostTest::TearDown();
    }
};

int gFailedLoads;
const char* gFailName;
HMODULE WINAPI FailingLoader(LPCSTR name) {
    if (lstrcmpiA(name, gFailName) == 0) {
        ++gFailedLoads;
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryA(name);
}

}  // namespace

TEST_F(CoreBindingTest, EveryCoreEntryPointIsBoundAndClearedAtUnload) {
    ASSERT_TRUE(LoadCoreLibrary(nullptr));
    int bound = 0;
#define KNT_COUNT(member, name, ret, params) bound += gCore.member != nullptr;
    KNT_CORE_ENTRY_POINTS(KNT_COUNT)
#undef KNT_COUNT
    EXPECT_EQ(46, bound);
    EXPECT_FALSE(CoreGroupIsClear());
    EXPECT_TRUE(UnloadCoreLibrary());
    EXPECT_TRUE(CoreGroupIsClear());
    EXPECT_FALSE(IsCoreLoaded());
    // A call site after the end reaches nothing and answers as a zero.
    harness::ClearJournal();
    EXPECT_EQ(0, CallEntry(gCore.VC_SetStatus, 5, 1));
    EXPECT_EQ(nullptr, CallEntry(gCore.GetAlignButtonText));
    EXPECT_TRUE(harness::JournalLines().empty());
}

TEST_F(CoreBindingTest, ServiceLibraryWithoutCoreDataIsRefused) {
    HMODULE vx = LoadLibraryA("kntVX.dll");
    ASSERT_NE(nullptr, vx);
    EXPECT_FALSE(BindServiceGroup(vx));
    FreeLibrary(vx);

    HMODULE lib = LoadLibraryA("kntLib.dll");
    EXPECT_TRUE(BindServiceGroup(lib));
    StandinSetResult("Getdp.null", 1);
    EXPECT_FALSE(BindServiceGroup(lib));
    FreeLibrary(lib);
}

TEST_F(CoreBindingTest, RefusedServiceLibraryStopsTheStartWithAMessage) {
    StandinSetResult("Getdp.null", 1);
    harness::MessageBoxCapture boxes;
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(LoadConsoleLibraries(owner));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(owner, boxes.Boxes()[0].owner);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
    DestroyWindow(owner);
}

TEST_F(CoreBindingTest, EachFailedLoadShowsItsOwnMessage) {
    knt_windows_title = "Kantrel Ovrin";
    struct Case { const char* file; const char* text; bool core; };
    const Case cases[] = {
        {"kntVX.dll", "Error loading kntVX.dll! (errno.: 126) Program cannot be executed!", false},
        {"kntLib.dll", "Error loading kntKntLib.dll! (errno.: 126) Program cannot be executed!", false},
        {"knt.dll", "Error loading knt.dll! (errno.: 126) Program cannot be executed!", true},
    };
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const Case& c : cases) {
        harness::MessageBoxCapture boxes;
        gFailName = c.file;
        gFailedLoads = 0;
        SetLibraryLoader(FailingLoader);
        const bool loaded = c.core ? LoadCoreLibrary(owner) : LoadConsoleLibraries(owner);
        EXPECT_FALSE(loaded) << c.file;
        EXPECT_EQ(1, gFailedLoads);
        ASSERT_EQ(1u, boxes.Boxes().size()) << c.file;
        EXPECT_EQ(c.text, boxes.Boxes()[0].text);
        EXPECT_EQ("Kantrel Ovrin", boxes.Boxes()[0].caption);
        EXPECT_EQ(owner, boxes.Boxes()[0].owner);
        EXPECT_EQ(UINT(MB_ICONERROR), boxes.Boxes()[0].icon);
        ReleaseConsoleLibraries();
    }
    DestroyWindow(owner);
}

TEST_F(CoreBindingTest, TranslationFallsBackToEnglish) {
    EXPECT_STREQ("Yes", Tr("Yes"));  // no core loaded
    ASSERT_TRUE(LoadCoreLibrary(nullptr));
    StandinSetTranslation("Yes", "Ja");
    StandinSetTranslation("No", nullptr);
    EXPECT_STREQ("Ja", Tr("Yes"));
    EXPECT_STREQ("No", Tr("No"));
    EXPECT_STREQ("", Tr(nullptr));
}

TEST_F(CoreBindingTest, TranslatedFormatMustKeepTheConversions) {
    ASSERT_TRUE(LoadCoreLibrary(nullptr));
    const char* english = "Error loading knt.dll! (errno.: %d) Program cannot be executed!";
    StandinSetTranslation(english, "Fehler beim Laden (Nr. %d)");
    EXPECT_STREQ("Fehler beim Laden (Nr. %d)", TrFormat(english));
    StandinSetTranslation(english, "Fehler %s%n");
    EXPECT_STREQ(english, TrFormat(english));
    StandinSetTranslation(english, "Fehler %d %d");
    EXPECT_STREQ(english, TrFormat(english));
    StandinSetTranslation(english, nullptr);
    EXPECT_STREQ(english, TrFormat(english));
}
