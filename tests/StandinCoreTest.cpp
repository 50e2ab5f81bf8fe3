// The stand-in console core as later tests rely on it: journal format, chosen
// results, lamps, command line, displays, the service group and the minimal core.
#include "tests/harness/Harness.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/CoreEntryPoints.h"
#include "app/hostlibs/HostStateLib.h"
#include "standins/StandinControl.h"

namespace {

const UINT kLampMessage = WM_APP + 1;
const UINT kCmdlineRedraw = WM_APP + 13;

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
    // Through void(*)(void), the one function type every other converts to quietly.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

struct CoreTable {
#define CORE_MEMBER(member, name, ret, params) ret(*member) params = nullptr;
    KNT_CORE_ENTRY_POINTS(CORE_MEMBER)
#undef CORE_MEMBER
    StandinSendToMainFn sendToMain = nullptr;
    StandinSetLampFn setLamp = nullptr;
};

struct ServiceTable {
#define SERVICE_MEMBER(member, name, ret, params) ret(*member) params = nullptr;
    KNT_SERVICE_ENTRY_POINTS(SERVICE_MEMBER)
#undef SERVICE_MEMBER
};

void Bind(CoreTable& t, HMODULE module) {
#define CORE_LOOKUP(member, name, ret, params) t.member = Lookup<ret(*) params>(module, name);
    KNT_CORE_ENTRY_POINTS(CORE_LOOKUP)
#undef CORE_LOOKUP
    t.sendToMain = Lookup<StandinSendToMainFn>(module, "StandinSendToMain");
    t.setLamp = Lookup<StandinSetLampFn>(module, "StandinSetLamp");
}

ServiceTable BindServices() {
    ServiceTable t;
    HMODULE module = GetModuleHandleA("kntLib.dll");
#define SERVICE_LOOKUP(member, name, ret, params) t.member = Lookup<ret(*) params>(module, name);
    KNT_SERVICE_ENTRY_POINTS(SERVICE_LOOKUP)
#undef SERVICE_LOOKUP
    return t;
}

std::string Decimal(const void* handle) { return std::to_string(reinterpret_cast<UINT_PTR>(handle)); }

std::string Text(const char* s) { return s ? s : "(null)"; }

// Names in the export directory of a loaded module.
std::vector<std::string> ExportNames(HMODULE module) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (!dir.VirtualAddress) return names;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

// A plain window that records the messages the core sends it.
struct Received {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    int ledAtArrival;
};
std::vector<Received> gReceived;
CoreTable* gProbeCore = nullptr;

LRESULT CALLBACK ProbeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kLampMessage) {
        // As a key window does: ask the lamp while the message is being handled.
        int led = gProbeCore && gProbeCore->IsLed ? gProbeCore->IsLed(static_cast<int>(wp)) : -1;
        gReceived.push_back({msg, wp, lp, led});
        return 0;
    }
    if (msg == kCmdlineRedraw) {
        gReceived.push_back({msg, wp, lp, -1});
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND CreateProbe(int width, int height, bool visible) {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "StandinCoreProbe";
        atom = RegisterClassA(&wc);
    }
    HWND wnd = CreateWindowExA(0, "StandinCoreProbe", "probe", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (wnd && visible) {
        ShowWindow(wnd, SW_SHOWNOACTIVATE);
        UpdateWindow(wnd);
        harness::PumpUntilIdle();
    }
    return wnd;
}

// Loads bin/knt.dll the way the host does and unloads it again.
class CoreLoaded : public harness::HostTest {
protected:
    void SetUp() override {
        harness::HostTest::SetUp();
        StandinClearTranslations();
        StandinClearCoreData();
        Load();
        harness::ClearJournal();
    }
    void TearDown() override {
        Unload();
        StandinClearResults();
        StandinClearTranslations();
        harness::HostTest::TearDown();
    }
    void Load() {
        module_ = LoadLibraryA((harness::ProgramDir() + "\\knt.dll").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        Bind(core_, module_);
    }
    void Unload() {
        core_ = CoreTable{};
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    std::string LastLine() {
        std::vector<std::string> lines = harness::JournalLines();
        return lines.empty() ? std::string() : lines.back();
    }

    HMODULE module_ = nullptr;
    CoreTable core_;
};

// --- journal line format -----------------------------------------------------

class StandinCoreJournal : public CoreLoaded {};

TEST_F(StandinCoreJournal, IntegersAreDecimalWithSign) {
    core_.VC_SetStatus(177, 1);
    core_.InvokeShortcut(0x31, 0x10, 1);
    core_.SetCmdlineCursorPos(-3, 0);
    core_.DoPrint(~WPARAM(0), -1);
    const std::string print = "DoPrint " + std::to_string(~WPARAM(0)) + " -1";
    EXPECT_TRUE(harness::SameSequence(
        {"VC_SetStatus 177 1", "InvokeShortcut 49 16 1", "SetCmdlineCursorPos -3 0", print}, harness::JournalLines()));
}

TEST_F(StandinCoreJournal, TextsAreQuotedAndNullTextsSayNull) {
    core_.exp_("Save actual Show ?");
    core_.exp_(nullptr);
    core_.LoadShowCompressedShow(nullptr);
    core_.LoadShowCompressedShow("C:\\shows\\demo.ksz");
    EXPECT_TRUE(harness::SameSequence({"exp$ \"Save actual Show ?\"", "exp$ null", "LoadShowCompressedShow null",
                                       "LoadShowCompressedShow \"C:\\shows\\demo.ksz\""},
                                      harness::JournalLines()));
}

TEST_F(StandinCoreJournal, LineBreaksInsideATextKeepOneLinePerCall) {
    core_.exp_("Display settings changed!\nEnding program now!\r\n");
    EXPECT_TRUE(harness::SameSequence({"exp$ \"Display settings changed!\\nEnding program now!\\r\\n\""},
                                      harness::JournalLines()));
}

TEST_F(StandinCoreJournal, HandlesAreDecimalNumbers) {
    HWND wnd = CreateProbe(50, 50, false);
    ASSERT_NE(nullptr, wnd);
    core_.SetMouseData(10, 20, wnd, 3, WM_LBUTTONDOWN);
    DestroyWindow(wnd);
    EXPECT_EQ("SetMouseData 10 20 " + Decimal(wnd) + " 3 513", LastLine());
}

TEST_F(StandinCoreJournal, ReadCopiesAtMostSizeMinusOneAndReportsFullLength) {
    core_.VC_SetStatus(5, 1);
    const std::string full = "VC_SetStatus 5 1\n";
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(static_cast<int>(full.size()), StandinJournalRead(buf, sizeof buf));
    EXPECT_STREQ("VC_SetS", buf);
    EXPECT_EQ(static_cast<int>(full.size()), StandinJournalRead(nullptr, 0));
    StandinJournalClear();
    EXPECT_EQ(0, StandinJournalRead(buf, sizeof buf));
    EXPECT_STREQ("", buf);
}

TEST_F(StandinCoreJournal, OutlastsTheUnloadingOfTheCore) {
    core_.EndKantrel();
    Unload();
    Load();
    core_.StartKantrel();
    EXPECT_TRUE(harness::SameSequence({"EndKantrel", "StartKantrel"}, harness::JournalLines()));
}

// --- chosen results ----------------------------------------------------------

class StandinCoreResults : public CoreLoaded {};

struct QueryCase {
    const char* name;
    int (*CoreTable::*entry)(void);
    int demo;
};

const QueryCase kQueries[] = {
    {"StartKantrel", &CoreTable::StartKantrel, 1},
    {"EndKantrel", &CoreTable::EndKantrel, 1},
    {"AnzHTPchannels", &CoreTable::AnzHTPchannels, 24},
    {"CanSwitchTouch", &CoreTable::CanSwitchTouch, 1},
    {"NeedHelp", &CoreTable::NeedHelp, 1},
    {"CanFillFiletaskJobq", &CoreTable::CanFillFiletaskJobq, 1},
    {"GetWheelResolution", &CoreTable::GetWheelResolution, 1},
    {"GetTrackResolution", &CoreTable::GetTrackResolution, 1},
    {"IsDesklocked", &CoreTable::IsDesklocked, 0},
    {"GetZeroDot", &CoreTable::GetZeroDot, 0},
    {"GetHighliteSolo", &CoreTable::GetHighliteSolo, 0},
    {"IsHtpActiv", &CoreTable::IsHtpActiv, 0},
    {"DoPultSave", &CoreTable::DoPultSave, 1},
    {"DeleteLanguageMap", &CoreTable::DeleteLanguageMap, 1},
};

TEST_F(StandinCoreResults, QueriesGiveTheDemoAnswerUntilOneIsChosen) {
    for (const QueryCase& q : kQueries) EXPECT_EQ(q.demo, (core_.*q.entry)()) << q.name;
    // Each entry point must answer to its own name and to no other.
    for (const QueryCase& q : kQueries) {
        StandinClearResults();
        StandinSetResult(q.name, 7);
        for (const QueryCase& other : kQueries)
            EXPECT_EQ(&other == &q ? 7 : other.demo, (core_.*other.entry)()) << q.name << " chosen, " << other.name;
    }
}

TEST_F(StandinCoreResults, QueriesWithArgumentsAnswerTheChosenResult) {
    EXPECT_EQ(1, core_.LoadCompressedShowPossible(0));
    StandinSetResult("LoadCompressedShowPossible", 0);
    StandinSetResult("hasInfoTgt", 1);
    StandinSetResult("RestoreCDXDisplay", 0);
    EXPECT_EQ(0, core_.LoadCompressedShowPossible(0));
    EXPECT_EQ(1, core_.hasInfoTgt(2));
    EXPECT_EQ(0, core_.RestoreCDXDisplay(2));
}

TEST_F(StandinCoreResults, ChosenBeforeLoadingSurviveUnloadAndReload) {
    Unload();
    StandinSetResult("AnzHTPchannels", 0);
    StandinSetResult("IsDesklocked", 1);
    Load();
    EXPECT_EQ(0, core_.AnzHTPchannels());
    EXPECT_EQ(1, core_.IsDesklocked());
    Unload();
    Load();
    EXPECT_EQ(0, core_.AnzHTPchannels());
    EXPECT_EQ(1, core_.IsDesklocked());
    StandinClearResults();
    EXPECT_EQ(24, core_.AnzHTPchannels());
    EXPECT_EQ(0, core_.IsDesklocked());
}

TEST_F(StandinCoreResults, RestoreDisplayIsReadyOnlyWithAWindow) {
    HWND saved = displays[4].wnd;
    displays[4].wnd = nullptr;
    EXPECT_EQ(0, core_.RestoreCDXDisplay(4));
    HWND wnd = CreateProbe(40, 40, false);
    displays[4].wnd = wnd;
    EXPECT_EQ(1, core_.RestoreCDXDisplay(4));
    EXPECT_EQ(0, core_.RestoreCDXDisplay(5));
    EXPECT_EQ(0, core_.RestoreCDXDisplay(-1));
    displays[4].wnd = saved;
    DestroyWindow(wnd);
}

TEST_F(StandinCoreResults, TranslationsChooseTheTextOrNull) {
    const char* yes = "Yes";
    EXPECT_EQ(yes, core_.exp_(yes));
    StandinSetTranslation("Yes", "Ja");
    StandinSetTranslation("Cancel", "%s%n");
    StandinSetTranslation("No", nullptr);
    EXPECT_EQ("Ja", Text(core_.exp_("Yes")));
    EXPECT_EQ("%s%n", Text(core_.exp_("Cancel")));
    EXPECT_EQ(nullptr, core_.exp_("No"));
    EXPECT_EQ(nullptr, core_.exp_(nullptr));
    StandinClearTranslations();
    EXPECT_EQ(yes, core_.exp_(yes));
}

TEST_F(StandinCoreResults, TextAnswersHaveDefaultsAndCanBeChosen) {
    EXPECT_EQ("Align", Text(core_.GetAlignButtonText()));
    EXPECT_EQ("Fader 3", Text(core_.SliderTooltip(2)));
    EXPECT_EQ("Exec 61", Text(core_.ExecBtn1Tooltip(61)));
    EXPECT_EQ("Exec key 12", Text(core_.ExecBtn2Tooltip(12)));
    EXPECT_EQ("Key 12", Text(core_.KntBtnTooltip(12)));
    EXPECT_EQ(nullptr, core_.KntBtnTooltip(0));
    EXPECT_EQ(nullptr, core_.KntBtnTooltip(256));
    StandinSetTextResult("GetAlignButtonText", "%s%s%s");
    StandinSetTextResult("KntBtnTooltip", nullptr);
    EXPECT_EQ("%s%s%s", Text(core_.GetAlignButtonText()));
    EXPECT_EQ(nullptr, core_.KntBtnTooltip(12));
    StandinClearResults();
    EXPECT_EQ("Key 12", Text(core_.KntBtnTooltip(12)));
}

// --- lamps -------------------------------------------------------------------

class StandinCoreLamps : public CoreLoaded {
protected:
    void SetUp() override {
        CoreLoaded::SetUp();
        memcpy(savedLeds_, ledHWnd, sizeof savedLeds_);
        memset(ledHWnd, 0, sizeof ledHWnd);
        gReceived.clear();
        gProbeCore = &core_;
    }
    void TearDown() override {
        gProbeCore = nullptr;
        memcpy(ledHWnd, savedLeds_, sizeof savedLeds_);
        for (HWND wnd : probes_) DestroyWindow(wnd);
        CoreLoaded::TearDown();
    }
    HWND Probe() {
        HWND wnd = CreateProbe(20, 20, false);
        probes_.push_back(wnd);
        return wnd;
    }
    HWND savedLeds_[kLedCount];
    std::vector<HWND> probes_;
};

TEST_F(StandinCoreLamps, PressTogglesTheLampAndTellsItsWindow) {
    ledHWnd[42] = Probe();
    core_.VC_SetStatus(42, 1);
    ASSERT_EQ(1u, gReceived.size());
    EXPECT_EQ(kLampMessage, gReceived[0].msg);
    EXPECT_EQ(42u, gReceived[0].wp);
    EXPECT_EQ(0, gReceived[0].lp);
    EXPECT_EQ(1, gReceived[0].ledAtArrival);

    core_.VC_SetStatus(42, 0);
    EXPECT_EQ(1u, gReceived.size()) << "a release changes no lamp";
    EXPECT_EQ(1, core_.IsLed(42));

    core_.VC_SetStatus(42, 1);
    ASSERT_EQ(2u, gReceived.size());
    EXPECT_EQ(0, gReceived[1].ledAtArrival);
    EXPECT_EQ(0, core_.IsLed(42));
}

TEST_F(StandinCoreLamps, OnlyTheLampsWindowIsTold) {
    ledHWnd[7] = Probe();
    core_.VC_SetStatus(8, 1);
    EXPECT_TRUE(gReceived.empty());
    EXPECT_EQ(1, core_.IsLed(8));
    EXPECT_EQ(0, core_.IsLed(7));
}

TEST_F(StandinCoreLamps, CodesOutsideTheLampsLightNothing) {
    for (int code : {0, 256, 257, -1, 1000}) core_.VC_SetStatus(code, 1);
    for (int lamp = 0; lamp < kLedCount; ++lamp) EXPECT_EQ(0, core_.IsLed(lamp)) << lamp;
    EXPECT_EQ(0, core_.IsLed(256));
    EXPECT_EQ(0, core_.IsLed(-1));
}

TEST_F(StandinCoreLamps, SetLampTellsOnlyOnChange) {
    ASSERT_NE(nullptr, core_.setLamp);
    ledHWnd[200] = Probe();
    core_.setLamp(200, 1);
    core_.setLamp(200, 1);
    core_.setLamp(200, 0);
    ASSERT_EQ(2u, gReceived.size());
    EXPECT_EQ(1, gReceived[0].ledAtArrival);
    EXPECT_EQ(0, gReceived[1].ledAtArrival);
}

TEST_F(StandinCoreLamps, ChosenResultOverridesTheLampState) {
    core_.VC_SetStatus(3, 1);
    StandinSetResult("IsLed", 0);
    EXPECT_EQ(0, core_.IsLed(3));
    StandinSetResult("IsLed", 1);
    EXPECT_EQ(1, core_.IsLed(99));
}

TEST_F(StandinCoreLamps, StartClearsLampsAndCommandLine) {
    core_.VC_SetStatus(10, 1);
    core_.VC_OnCharacter('G');
    core_.StartKantrel();
    EXPECT_EQ(0, core_.IsLed(10));
    EXPECT_EQ("", Text(core_.GetCmdlineString(0)));
}

// --- command line ------------------------------------------------------------

class StandinCoreCmdline : public CoreLoaded {
protected:
    void Type(const char* text) {
        for (const char* p = text; *p; ++p) core_.VC_OnCharacter(static_cast<unsigned char>(*p));
    }
};

TEST_F(StandinCoreCmdline, TypingEditsTheText) {
    Type("GO 12");
    EXPECT_EQ("GO 12", Text(core_.GetCmdlineString(0)));
    core_.VC_OnCharacter(8);
    core_.VC_OnCharacter(1);
    core_.VC_OnCharacter(200);
    EXPECT_EQ("GO 1", Text(core_.GetCmdlineString(0)));
    core_.VC_OnCharacter(13);
    EXPECT_EQ("", Text(core_.GetCmdlineString(0)));
    core_.VC_OnCharacter(8);
    EXPECT_EQ("", Text(core_.GetCmdlineString(0)));
}

TEST_F(StandinCoreCmdline, TextStopsAt255Characters) {
    for (int i = 0; i < 300; ++i) core_.VC_OnCharacter('a' + i % 26);
    std::string text = Text(core_.GetCmdlineString(0));
    EXPECT_EQ(255u, text.size());
    EXPECT_EQ('a' + 254 % 26, text.back());
}

TEST_F(StandinCoreCmdline, TypingAsksTheCommandLineWindowToRedraw) {
    HWND saved = hCmdlineWnd;
    HWND wnd = CreateProbe(100, 20, true);
    hCmdlineWnd = wnd;
    gReceived.clear();
    core_.VC_OnCharacter(1);
    EXPECT_TRUE(gReceived.empty()) << "an ignored character changes nothing";
    core_.VC_OnCharacter('A');
    core_.VC_OnCharacter('B');
    core_.VC_OnKeyDown(VK_LEFT, 1, 0);
    ASSERT_EQ(3u, gReceived.size());
    for (const Received& r : gReceived) EXPECT_EQ(kCmdlineRedraw, r.msg);
    EXPECT_EQ(0u, gReceived[2].wp) << "text selector";
    EXPECT_EQ(1, gReceived[2].lp) << "the cursor after Left";
    hCmdlineWnd = saved;
    DestroyWindow(wnd);
}

// --- displays ----------------------------------------------------------------

class StandinCoreDisplays : public CoreLoaded {
protected:
    void SetUp() override {
        CoreLoaded::SetUp();
        memcpy(saved_, displays, sizeof saved_);
    }
    void TearDown() override {
        memcpy(displays, saved_, sizeof saved_);
        if (wnd_) DestroyWindow(wnd_);
        CoreLoaded::TearDown();
    }
    int BrightPixels(int width, int height) {
        HDC dc = GetDC(wnd_);
        int bright = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) > 128 && GetGValue(c) > 128) ++bright;
            }
        ReleaseDC(wnd_, dc);
        return bright;
    }
    COLORREF PixelAt(int x, int y) {
        HDC dc = GetDC(wnd_);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(wnd_, dc);
        return c;
    }
    DisplayRecord saved_[kDisplayCount];
    HWND wnd_ = nullptr;
};

TEST_F(StandinCoreDisplays, FlipDrawsTheMonitorScreenAndAClearedDisplayStaysBlack) {
    wnd_ = CreateProbe(240, 100, true);
    displays[3].wnd = wnd_;
    EXPECT_EQ(1, core_.Flip(3, 1));
    EXPECT_EQ(RGB(0, 120, 130), PixelAt(2, 2));
    EXPECT_GT(BrightPixels(120, 30), 10) << "the heading is drawn in a light colour";
    EXPECT_EQ(1, core_.ClearScreen(3));
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(2, 2));
    EXPECT_EQ(0, BrightPixels(120, 30));
    EXPECT_EQ("ClearScreen 3", LastLine());
    EXPECT_EQ(1, core_.Flip(3, 1));
    EXPECT_EQ(0, BrightPixels(120, 30)) << "cleared until the next press on the display";
    core_.SetMouseData(5, 5, wnd_, 3, WM_LBUTTONDOWN);
    EXPECT_EQ(1, core_.Flip(3, 1));
    EXPECT_EQ(RGB(0, 120, 130), PixelAt(2, 2));
}

TEST_F(StandinCoreDisplays, NoWindowOrBadIndexDrawsNothing) {
    for (DisplayRecord& d : displays) d.wnd = nullptr;
    EXPECT_EQ(0, core_.Flip(0, 1));
    EXPECT_EQ(0, core_.Flip(5, 1));
    EXPECT_EQ(0, core_.Flip(-1, 1));
    EXPECT_EQ(0, core_.ClearScreen(7));
    EXPECT_TRUE(harness::SameSequence({"Flip 0 1", "Flip 5 1", "Flip -1 1", "ClearScreen 7"},
                                      harness::JournalLines()));
}

// --- requests to the main window ---------------------------------------------

class StandinCoreRequests : public CoreLoaded {};

TEST_F(StandinCoreRequests, SendToMainReachesTheWindowInHMainWnd) {
    ASSERT_NE(nullptr, core_.sendToMain);
    auto post = Lookup<StandinPostToMainFn>(module_, "StandinPostToMain");
    ASSERT_NE(nullptr, post);
    HWND saved = hMainWnd;
    HWND wnd = CreateProbe(20, 20, false);
    hMainWnd = wnd;
    gReceived.clear();
    core_.sendToMain(kLampMessage, 9, 33);
    ASSERT_EQ(1u, gReceived.size());
    EXPECT_EQ(9u, gReceived[0].wp);
    EXPECT_EQ(33, gReceived[0].lp);
    EXPECT_TRUE(post(kLampMessage, 10, 0));
    EXPECT_EQ(1u, gReceived.size()) << "posted, not yet delivered";
    harness::PumpUntilIdle();
    ASSERT_EQ(2u, gReceived.size());
    EXPECT_EQ(10u, gReceived[1].wp);
    hMainWnd = nullptr;
    EXPECT_EQ(0, core_.sendToMain(kLampMessage, 11, 0));
    EXPECT_FALSE(post(kLampMessage, 11, 0));
    hMainWnd = saved;
    DestroyWindow(wnd);
    EXPECT_TRUE(harness::JournalLines().empty()) << "test controls are not core calls";
}

// --- journal file ------------------------------------------------------------

class StandinCoreJournalFile : public CoreLoaded {
protected:
    void SetUp() override {
        CoreLoaded::SetUp();
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "knt_journal_" + std::to_string(GetCurrentProcessId()) + ".txt";
        DeleteFileA(path_.c_str());
        SetEnvironmentVariableA("KNT_JOURNAL", path_.c_str());
        StandinJournalReopenFile();
    }
    void TearDown() override {
        SetEnvironmentVariableA("KNT_JOURNAL", nullptr);
        StandinJournalReopenFile();
        DeleteFileA(path_.c_str());
        CoreLoaded::TearDown();
    }
    std::string FileText() {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string path_;
};

TEST_F(StandinCoreJournalFile, EachLineIsInTheFileWhenTheCallReturns) {
    core_.VC_SetStatus(5, 1);
    EXPECT_EQ("VC_SetStatus 5 1\n", FileText());
    core_.exp_("Quit");
    EXPECT_EQ("VC_SetStatus 5 1\nexp$ \"Quit\"\n", FileText());
}

TEST_F(StandinCoreJournalFile, ClearingTheJournalKeepsTheFileAndReopeningAppends) {
    core_.StartKantrel();
    StandinJournalClear();
    StandinJournalReopenFile();
    core_.EndKantrel();
    EXPECT_EQ("StartKantrel\nEndKantrel\n", FileText());
    EXPECT_TRUE(harness::SameSequence({"EndKantrel"}, harness::JournalLines()));
}

// --- service group -----------------------------------------------------------

class StandinCoreServices : public harness::HostTest {
protected:
    void SetUp() override {
        harness::HostTest::SetUp();
        services_ = BindServices();
    }
    void TearDown() override {
        if (services_.DestroyConsoleWindow) services_.DestroyConsoleWindow();
        services_.DeleteIPAddresses();
        StandinClearResults();
        harness::HostTest::TearDown();
    }
    ServiceTable services_;
};

TEST_F(StandinCoreServices, EveryServiceIsExported) {
    HMODULE module = GetModuleHandleA("kntLib.dll");
#define SERVICE_PRESENT(member, name, ret, params) EXPECT_NE(nullptr, GetProcAddress(module, name)) << name;
    KNT_SERVICE_ENTRY_POINTS(SERVICE_PRESENT)
#undef SERVICE_PRESENT
}

TEST_F(StandinCoreServices, EchoConsoleIsARealTopLevelWindow) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    EXPECT_EQ(nullptr, services_.HasConsoleWindow());
    HWND wnd = services_.CreateConsoleWindow("Kantrel Ovrin Echo", inst, icon, 0, 0);
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(wnd, services_.HasConsoleWindow());
    EXPECT_EQ(wnd, services_.CreateConsoleWindow("Kantrel Ovrin Echo", inst, icon, 0, 0)) << "only one echo window";

    char text[64] = "";
    GetWindowTextA(wnd, text, sizeof text);
    EXPECT_STREQ("Kantrel Ovrin Echo", text);
    GetClassNameA(wnd, text, sizeof text);
    EXPECT_STREQ("kntEchoConsole", text);
    EXPECT_EQ(nullptr, GetParent(wnd));
    EXPECT_FALSE(IsWindowVisible(wnd)) << "the host shows it with the stored state";
    RECT rc;
    GetWindowRect(wnd, &rc);
    EXPECT_EQ(400, rc.right - rc.left);
    EXPECT_EQ(250, rc.bottom - rc.top);

    const std::string created =
        "CreateConsoleWindow \"Kantrel Ovrin Echo\" " + Decimal(inst) + " " + Decimal(icon) + " 0 0";
    EXPECT_TRUE(harness::SameSequence({"HasConsoleWindow", created, "HasConsoleWindow", created},
                                      harness::JournalLines()));
}

TEST_F(StandinCoreServices, ShowPositionAndDestroyFollowTheHost) {
    HWND wnd = services_.CreateConsoleWindow("Echo", nullptr, nullptr, 0, 0);
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(1, services_.SetConsolePosition(10, 50, 300, 200));
    EXPECT_EQ(1, services_.ShowConsoleWindow(9));
    harness::PumpUntilIdle();
    EXPECT_TRUE(IsWindowVisible(wnd));
    RECT rc;
    GetWindowRect(wnd, &rc);
    EXPECT_EQ(10, rc.left);
    EXPECT_EQ(50, rc.top);
    EXPECT_EQ(310, rc.right);
    EXPECT_EQ(250, rc.bottom);
    services_.ShowConsoleWindow(6);
    harness::PumpUntilIdle();
    EXPECT_TRUE(IsIconic(wnd));
    services_.ShowConsoleWindow(9);
    harness::PumpUntilIdle();
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_TRUE(IsWindowVisible(wnd));

    SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(wnd)) << "closing by the user only hides it";
    EXPECT_EQ(wnd, services_.HasConsoleWindow());
    services_.ShowConsoleWindow(0);

    EXPECT_EQ(1, services_.DestroyConsoleWindow());
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(nullptr, services_.HasConsoleWindow());
    EXPECT_EQ(0, services_.ShowConsoleWindow(9));
    EXPECT_EQ(0, services_.SetConsolePosition(0, 0, 10, 10));

    EXPECT_TRUE(harness::SameSequence(
        {"CreateConsoleWindow \"Echo\" 0 0 0 0", "SetConsolePosition 10 50 300 200", "ShowConsoleWindow 9",
         "ShowConsoleWindow 6", "ShowConsoleWindow 9", "HasConsoleWindow", "ShowConsoleWindow 0",
         "DestroyConsoleWindow", "HasConsoleWindow", "ShowConsoleWindow 9", "SetConsolePosition 0 0 10 10"},
        harness::JournalLines()));
}

// Light pixels in the window's client area as it paints itself for PrintWindow.
int LightPixelsPrinted(HWND wnd) {
    RECT rc;
    GetClientRect(wnd, &rc);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    PrintWindow(wnd, mem, PW_CLIENTONLY);
    int light = 0;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) {
            COLORREF c = GetPixel(mem, x, y);
            if (c != CLR_INVALID && GetRValue(c) > 128) ++light;
        }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return light;
}

TEST_F(StandinCoreServices, EchoWindowPaintsTheLoggedLines) {
    HWND wnd = services_.CreateConsoleWindow("Echo", nullptr, nullptr, 0, 0);
    ASSERT_NE(nullptr, wnd);
    services_.ShowConsoleWindow(9);
    harness::PumpUntilIdle();
    // Enough empty lines to push anything logged before out of sight.
    for (int i = 0; i < 40; ++i) StandinEcho("");
    harness::PumpUntilIdle();
    EXPECT_EQ(0, LightPixelsPrinted(wnd));
    StandinEcho("VC_SetStatus 177 1 WWWWWWWWWWWWWWWW");
    harness::PumpUntilIdle();
    EXPECT_GT(LightPixelsPrinted(wnd), 50);
}

TEST_F(StandinCoreServices, TemporaryAddressesAreRemovedOneByOneOrAll) {
    const DWORD first = 0xC0A80001u, second = 0x0A000002u;
    StandinAddIPAddress(first);
    StandinAddIPAddress(second);
    StandinAddIPAddress(first);
    EXPECT_EQ(2, StandinIPAddressCount());
    EXPECT_EQ(1, services_.DelIPAddress(first));
    EXPECT_EQ(0, services_.DelIPAddress(first));
    EXPECT_EQ(0, StandinHasIPAddress(first));
    EXPECT_EQ(1, StandinHasIPAddress(second));
    services_.DeleteIPAddresses();
    EXPECT_EQ(0, StandinIPAddressCount());
    EXPECT_TRUE(harness::SameSequence({"DelIPAddress 3232235521", "DelIPAddress 3232235521", "DeleteIPAddresses"},
                                      harness::JournalLines()));
}

TEST_F(StandinCoreServices, CoreDataBlockIsStableZeroedAndRefusable) {
    StandinClearCoreData();
    unsigned char* dp = services_.Getdp();
    ASSERT_NE(nullptr, dp);
    EXPECT_EQ(dp, services_.Getdp());
    for (int i = 0; i < kDpMinimumSize; ++i) ASSERT_EQ(0, dp[i]) << i;
    dp[kDpWheel] = 5;
    dp[kDpWheel + 1] = 1;
    EXPECT_EQ(5, services_.Getdp()[kDpWheel]);
    StandinSetResult("Getdp.null", 1);
    EXPECT_EQ(nullptr, services_.Getdp());
    StandinSetResult("Getdp.null", 0);
    EXPECT_EQ(dp, services_.Getdp());
    StandinClearCoreData();
    EXPECT_EQ(0, dp[kDpWheel]);
    services_.SetHostDataTyp(2);
    EXPECT_TRUE(harness::SameSequence({"SetHostDataTyp 2"}, harness::JournalLines())) << "Getdp is not journaled";
}

TEST_F(StandinCoreServices, EchoKeepsTheLast200Lines) {
    char line[32];
    for (int i = 0; i < 250; ++i) {
        snprintf(line, sizeof line, "line %d", i);
        StandinEcho(line);
    }
    std::string text(static_cast<size_t>(StandinEchoRead(nullptr, 0)) + 1, '\0');
    StandinEchoRead(&text[0], static_cast<int>(text.size()));
    text.resize(text.size() - 1);
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_EQ(200u, lines.size());
    EXPECT_EQ("line 50", lines.front());
    EXPECT_EQ("line 249", lines.back());
}

// --- exports -----------------------------------------------------------------

class StandinCoreExports : public harness::HostTest {};

TEST_F(StandinCoreExports, DemoCoreHasEveryCoreEntryPoint) {
    HMODULE module = LoadLibraryA((harness::ProgramDir() + "\\knt.dll").c_str());
    ASSERT_NE(nullptr, module);
#define CORE_PRESENT(member, name, ret, params) EXPECT_NE(nullptr, GetProcAddress(module, name)) << name;
    KNT_CORE_ENTRY_POINTS(CORE_PRESENT)
#undef CORE_PRESENT
    EXPECT_EQ(nullptr, GetProcAddress(module, "exp_")) << "exported as exp$ only";
    FreeLibrary(module);
}

TEST_F(StandinCoreExports, MinimalCoreHasOnlyStartAndEnd) {
    HMODULE module = LoadLibraryA((harness::ProgramDir() + "\\minimal\\knt.dll").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    EXPECT_TRUE(harness::SameSequence({"EndKantrel", "StartKantrel"}, ExportNames(module)));
    EXPECT_EQ(nullptr, GetProcAddress(module, "VC_SetStatus"));
    EXPECT_EQ(nullptr, GetProcAddress(module, "exp$"));

    auto start = Lookup<int (*)(void)>(module, "StartKantrel");
    auto end = Lookup<int (*)(void)>(module, "EndKantrel");
    ASSERT_NE(nullptr, start);
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(1, start());
    StandinSetResult("EndKantrel", 0);
    EXPECT_EQ(0, end());
    EXPECT_TRUE(harness::SameSequence({"StartKantrel", "EndKantrel"}, harness::JournalLines()));
    FreeLibrary(module);
    StandinClearResults();
}

}  // namespace
