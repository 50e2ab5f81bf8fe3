// Shared test helpers: message pumping, message box capture, the journal of
// the stand-in core and the per-test registry key and shared folder.
#include "tests/harness/Harness.h"

#include <set>
#include <sstream>

#include "app/hostlibs/HostStateLib.h"
#include "app/hostlibs/RegistryLib.h"
#include "standins/StandinControl.h"

namespace harness {

void PumpFor(int ms) {
    const DWORD end = GetTickCount() + DWORD(ms);
    MSG msg;
    while (int(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpUntilIdle(int quietMs, int maxMs) {
    const DWORD start = GetTickCount();
    DWORD lastMessage = start;
    MSG msg;
    while (GetTickCount() - start < DWORD(maxMs)) {
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            any = true;
        }
        if (any) lastMessage = GetTickCount();
        else if (GetTickCount() - lastMessage >= DWORD(quietMs)) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

namespace {

struct CaptureState {
    HHOOK hook = nullptr;
    int answer = IDOK;
    std::vector<CapturedBox> boxes;
    std::set<HWND> seen;
};
CaptureState* gCapture = nullptr;

std::string WindowText(HWND wnd) {
    char buf[2048] = "";
    if (wnd) GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

UINT IconOf(HWND dlg) {
    // Windows numbers the icon 0x14, Wine 0x440.
    HWND iconCtl = GetDlgItem(dlg, 0x14);
    if (!iconCtl) iconCtl = GetDlgItem(dlg, 0x440);
    if (!iconCtl) return 0;
    const HICON shown = reinterpret_cast<HICON>(SendMessageA(iconCtl, STM_GETICON, 0, 0));
    if (!shown) return 0;
    const struct { LPCSTR id; UINT flag; } icons[] = {
        {IDI_HAND, MB_ICONERROR}, {IDI_QUESTION, MB_ICONQUESTION},
        {IDI_EXCLAMATION, MB_ICONWARNING}, {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (const auto& i : icons)
        if (LoadIconA(nullptr, i.id) == shown) return i.flag;
    return 0;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM lp) {
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    // At activation the dialog is not shown yet: read the style bit, not visibility.
    if (lstrcmpiA(cls, "Button") == 0 && (GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE))
        reinterpret_cast<std::vector<std::string>*>(lp)->push_back(WindowText(child));
    return TRUE;
}

LRESULT CALLBACK CaptureHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE && gCapture) {
        HWND dlg = reinterpret_cast<HWND>(wp);
        char cls[32] = "";
        GetClassNameA(dlg, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && gCapture->seen.insert(dlg).second) {
            CapturedBox box;
            box.caption = WindowText(dlg);
            box.text = WindowText(GetDlgItem(dlg, 0xFFFF));
            box.owner = GetWindow(dlg, GW_OWNER);
            box.icon = IconOf(dlg);
            EnumChildWindows(dlg, CollectButton, reinterpret_cast<LPARAM>(&box.buttons));
            gCapture->boxes.push_back(box);
            const int id = gCapture->answer;
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

MessageBoxCapture::MessageBoxCapture() {
    gCapture = new CaptureState;
    gCapture->hook = SetWindowsHookExA(WH_CBT, CaptureHook, nullptr, GetCurrentThreadId());
}

MessageBoxCapture::~MessageBoxCapture() {
    if (gCapture->hook) UnhookWindowsHookEx(gCapture->hook);
    delete gCapture;
    gCapture = nullptr;
}

void MessageBoxCapture::AnswerWith(int buttonId) { gCapture->answer = buttonId; }

void MessageBoxCapture::Ignore(HWND dialog) { gCapture->seen.insert(dialog); }

const std::vector<CapturedBox>& MessageBoxCapture::Boxes() const { return gCapture->boxes; }

std::vector<std::string> JournalLines() {
    const int size = StandinJournalRead(nullptr, 0);
    std::string text(size_t(size) + 1, '\0');
    StandinJournalRead(&text[0], size + 1);
    text.resize(size_t(size));
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) lines.push_back(line);
    return lines;
}

bool IsPaintingOrTranslation(const std::string& line) {
    static const std::set<std::string> noise = {
        "exp$", "Flip", "RestoreCDXDisplay", "hasInfoTgt", "NeedHelp", "IsLed",
        "GetCmdlineString", "SliderTooltip", "ExecBtn1Tooltip", "ExecBtn2Tooltip",
        "KntBtnTooltip"};
    return noise.count(line.substr(0, line.find(' '))) != 0;
}

std::vector<std::string> CoreCalls() {
    std::vector<std::string> calls;
    for (const std::string& line : JournalLines())
        if (!IsPaintingOrTranslation(line)) calls.push_back(line);
    return calls;
}

void ClearJournal() { StandinJournalClear(); }

::testing::AssertionResult SameSequence(const std::vector<std::string>& expected,
                                        const std::vector<std::string>& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "\nexpected (" << expected.size() << "):\n";
    for (const auto& e : expected) out << "  " << e << "\n";
    out << "actual (" << actual.size() << "):\n";
    for (const auto& a : actual) out << "  " << a << "\n";
    return ::testing::AssertionFailure() << out.str();
}

std::string ProgramDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string KeyPath(const std::string& programKey, const char* subKey) {
    return subKey ? programKey + "\\" + subKey : programKey;
}

}  // namespace

std::string Status(int code, int value) {
    return "VC_SetStatus " + std::to_string(code) + " " + std::to_string(value);
}

void HostTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    programKey_ = std::string("Software\\Telmarin\\KantrelTest\\") + info->test_suite_name() +
                  "." + info->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, programKey_.c_str());
    lstrcpynA(TlmRegKey, programKey_.c_str(), kRegKeyPathSize);

    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::ostringstream dir;
    dir << temp << "knt_" << GetCurrentProcessId() << "_" << GetTickCount();
    sharedDir_ = dir.str();
    CreateDirectoryA(sharedDir_.c_str(), nullptr);
    CreateDirectoryA((sharedDir_ + "\\ide0").c_str(), nullptr);
    SetEnvironmentVariableA("KNT_SHAREDPATH", sharedDir_.c_str());
    LookingForGlobDataPath();

    StandinJournalClear();
    StandinClearResults();
    VCMessageBoxSetAnswer(0);
}

void HostTest::TearDown() {
    RegDeleteTreeA(HKEY_CURRENT_USER, programKey_.c_str());
    RemoveTree(sharedDir_);
    VCMessageBoxSetAnswer(0);
}

void HostTest::SetInt(const char* name, DWORD value, const char* subKey) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(programKey_, subKey).c_str(),
                                             0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void HostTest::SetString(const char* name, const char* value, const char* subKey) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(programKey_, subKey).c_str(),
                                             0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), DWORD(lstrlenA(value) + 1));
    RegCloseKey(key);
}

bool HostTest::GetInt(const char* name, DWORD* value, const char* subKey) const {
    DWORD type = 0, size = sizeof *value;
    return RegGetValueA(HKEY_CURRENT_USER, KeyPath(programKey_, subKey).c_str(), name,
                        RRF_RT_REG_DWORD, &type, value, &size) == ERROR_SUCCESS;
}

LPARAM ForeignAddress() {
    // A page given back at once: nothing else of this thread takes its place.
    void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    VirtualFree(page, 0, MEM_RELEASE);
    return reinterpret_cast<LPARAM>(page);
}

}  // namespace harness
