// VCMessageBox: the host's questions as a system message box whose buttons
// carry the words the caller chose.
#include <cstdlib>
#include "app/hostlibs/HostStateLib.h"
#include <cstring>

namespace {

constexpr size_t kQuestionSize = 1024;
constexpr size_t kButtonsSize = 256;
constexpr size_t kWordSize = 64;
constexpr int kWordCount = 3;

struct ButtonWords {
    char word[kWordCount][kWordSize];
};

// The box this thread is showing; a box opened while another is up (from a
// message the first one dispatches) chains to it through outer.
struct OpenBox {
    HHOOK hook;
    const ButtonWords* words;
    bool renamed;
    OpenBox* outer;
};

thread_local OpenBox* t_openBox = nullptr;

char g_lastQuestion[kQuestionSize];
char g_lastButtons[kButtonsSize];
int g_lastType;
volatile LONG g_callCount;
volatile LONG g_presetAnswer;

void CopyBounded(char* dst, size_t size, const char* src)
{
    size_t n = 0;
    if (src)
        while (n + 1 < size && src[n])
            ++n;
    if (n)
        memcpy(dst, src, n);
    dst[n] = '\0';
}

// Splits "Yes|No|Cancel"; an absent or empty word stays empty so that the
// button keeps the system's text. Over-long words are cut, never overrun.
void ParseButtonWords(const char* buttons, ButtonWords* out)
{
    memset(out, 0, sizeof(*out));
    if (!buttons)
        return;
    const char* p = buttons;
    for (int i = 0; i < kWordCount && *p; ++i) {
        size_t len = strcspn(p, "|");
        CopyBounded(out->word[i], len + 1 < kWordSize ? len + 1 : kWordSize, p);
        p += len;
        if (*p == '|')
            ++p;
    }
}

bool IsDialogWindow(HWND wnd)
{
    char cls[16];
    return GetClassNameA(wnd, cls, sizeof(cls)) > 0 && strcmp(cls, "#32770") == 0;
}

void RenameButtons(HWND dlg, const ButtonWords& words)
{
    static const int ids[kWordCount] = { IDYES, IDNO, IDCANCEL };
    for (int i = 0; i < kWordCount; ++i) {
        HWND button = GetDlgItem(dlg, ids[i]);
        if (button && words.word[i][0])
            SetWindowTextA(button, words.word[i]);
    }
}

LRESULT CALLBACK RenameHookProc(int code, WPARAM wp, LPARAM lp)
{
    OpenBox* box = t_openBox;
    if (code == HCBT_ACTIVATE && box && !box->renamed && IsDialogWindow((HWND)wp)) {
        RenameButtons((HWND)wp, *box->words);
        box->renamed = true;
    }
    return CallNextHookEx(box ? box->hook : nullptr, code, wp, lp);
}

void RecordCall(int type, const char* question, const char* buttons)
{
    CopyBounded(g_lastQuestion, sizeof(g_lastQuestion), question);
    CopyBounded(g_lastButtons, sizeof(g_lastButtons), buttons);
    g_lastType = type;
    InterlockedIncrement(&g_callCount);
}

// Escape, closing the box or a box that could not be shown at all count as
// the last button: "No" of two, "Cancel" of three.
int MapAnswer(int id, bool threeButtons)
{
    switch (id) {
    case IDYES: return kVcAnswer1;
    case IDNO: return kVcAnswer2;
    default: return threeButtons ? kVcAnswer3 : kVcAnswer2;
    }
}

int ShowQuestion(bool threeButtons, const char* question, const char* buttons)
{
    ButtonWords words;
    ParseButtonWords(buttons, &words);
    OpenBox box = { nullptr, &words, false, t_openBox };
    box.hook = SetWindowsHookExA(WH_CBT, RenameHookProc, nullptr, GetCurrentThreadId());
    t_openBox = &box;

    // A stale main window handle would make MessageBoxA fail outright.
    HWND owner = IsWindow(hMainWnd) ? hMainWnd : nullptr;
    UINT style = MB_ICONQUESTION | (threeButtons ? MB_YESNOCANCEL : MB_YESNO);
    int id = MessageBoxA(owner, question ? question : "",
                         knt_windows_title ? knt_windows_title : "", style);

    t_openBox = box.outer;
    if (box.hook)
        UnhookWindowsHookEx(box.hook);
    return MapAnswer(id, threeButtons);
}

}  // namespace

// Type 2 asks with three buttons; 1, and any unknown type, with two, so a
// caller never gets an answer for a button it did not offer.
// A program started without a person to answer (the headless start, the
// whole-program tests) names its answer in KNT_VCMESSAGEBOX_ANSWER.
void TakeAnswerFromEnvironment()
{
    static bool taken;
    if (taken)
        return;
    taken = true;
    char value[16] = "";
    if (GetEnvironmentVariableA("KNT_VCMESSAGEBOX_ANSWER", value, sizeof value) > 0 && value[0])
        InterlockedExchange(&g_presetAnswer, atoi(value));
}

int VCMessageBox(int type, int /*reserved*/, const char* question, const char* buttons)
{
    RecordCall(type, question, buttons);
    TakeAnswerFromEnvironment();
    int preset = (int)g_presetAnswer;
    if (preset != 0)
        return preset;
    return ShowQuestion(type == 2, question, buttons);
}

void VCMessageBoxSetAnswer(int answer)
{
    InterlockedExchange(&g_presetAnswer, answer);
}

const char* VCMessageBoxLastQuestion(void)
{
    return g_lastQuestion;
}

const char* VCMessageBoxLastButtons(void)
{
    return g_lastButtons;
}

int VCMessageBoxLastType(void)
{
    return g_lastType;
}

int VCMessageBoxCallCount(void)
{
    return (int)g_callCount;
}
