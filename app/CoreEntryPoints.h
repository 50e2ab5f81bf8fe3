// The named entry points of the console core libraries, listed once.
// Each row: X(member, "exported name", return type, parameter list).
// The order of each list is the order in which the host looks them up.
// All entry points use the C calling convention and undecorated names.
#pragma once
#include <windows.h>

#define KNT_SERVICE_ENTRY_POINTS(X)                                                        \
    X(CreateConsoleWindow, "CreateConsoleWindow", HWND, (const char* title, HINSTANCE inst, HICON icon, int, int)) \
    X(DestroyConsoleWindow, "DestroyConsoleWindow", int, (void))                           \
    X(HasConsoleWindow, "HasConsoleWindow", HWND, (void))                                  \
    X(ShowConsoleWindow, "ShowConsoleWindow", int, (int showCmd))                          \
    X(SetParentOfConsole, "SetParentOfConsole", int, (HWND parent))                        \
    X(SetConsolePosition, "SetConsolePosition", int, (int x, int y, int w, int h))         \
    X(DelIPAddress, "DelIPAddress", int, (DWORD address))                                  \
    X(DeleteIPAddresses, "DeleteIPAddresses", int, (void))                                 \
    X(Getdp, "Getdp", unsigned char*, (void))                                              \
    X(SetHostDataTyp, "SetHostDataTyp", int, (int type))

#define KNT_CORE_ENTRY_POINTS(X)                                                           \
    X(exp_, "exp$", const char*, (const char* text))                                       \
    X(RestoreCDXDisplay, "RestoreCDXDisplay", int, (int display))                          \
    X(RecreateCDXDisplay, "RecreateCDXDisplay", int, (int display))                        \
    X(Flip, "Flip", int, (int display, int wait))                                          \
    X(VC_SetStatus, "VC_SetStatus", int, (int code, int value))                            \
    X(VC_GetStatus, "VC_GetStatus", int, (int code))                                       \
    X(VC_OnKeyDown, "VC_OnKeyDown", int, (int key, int repeat, int reserved))              \
    X(VC_OnKeyUp, "VC_OnKeyUp", int, (int key, int repeat, int reserved))                  \
    X(VC_OnCharacter, "VC_OnCharacter", int, (int ch))                                     \
    X(GetHardwinData, "GetHardwinData", void*, (void))                                     \
    X(hasInfoTgt, "hasInfoTgt", int, (int display))                                        \
    X(InvokeShortcut, "InvokeShortcut", int, (int vk, int modifiers, int pressed))         \
    X(GetWheelResolution, "GetWheelResolution", int, (void))                               \
    X(GetTrackResolution, "GetTrackResolution", int, (void))                               \
    X(GetCmdlineString, "GetCmdlineString", const char*, (LPARAM selector))                \
    X(SetCmdlineCursorPos, "SetCmdlineCursorPos", int, (int pos, int trimmed))             \
    X(GetAlignButtonText, "GetAlignButtonText", const char*, (void))                       \
    X(NeedHelp, "NeedHelp", int, (void))                                                   \
    X(SliderTooltip, "SliderTooltip", const char*, (int fader))                            \
    X(GetCmdlineParsed, "GetCmdlineParsed", const char*, (void))                           \
    X(DoPultSave, "DoPultSave", int, (void))                                               \
    X(ExecBtn1Tooltip, "ExecBtn1Tooltip", const char*, (int keyId))                        \
    X(ExecBtn2Tooltip, "ExecBtn2Tooltip", const char*, (int keyId))                        \
    X(KntBtnTooltip, "KntBtnTooltip", const char*, (int keyId))                            \
    X(ledrotexec, "ledrotexec", int, (int n))                                              \
    X(ledgelbexec, "ledgelbexec", int, (int n))                                            \
    X(ledgruenexec, "ledgruenexec", int, (int n))                                          \
    X(SetMouseData, "SetMouseData", int, (int x, int y, HWND wnd, int display, UINT msg))  \
    X(IsDesklocked, "IsDesklocked", int, (void))                                           \
    X(SetFaderModeManual, "SetFaderModeManual", int, (int fader))                          \
    X(StartKantrel, "StartKantrel", int, (void))                                           \
    X(EndKantrel, "EndKantrel", int, (void))                                               \
    X(DoPrint, "DoPrint", int, (WPARAM wp, LPARAM lp))                                     \
    X(RestartMidi, "RestartMidi", int, (void))                                             \
    X(IsLed, "IsLed", int, (int led))                                                      \
    X(IsHtpActiv, "IsHtpActiv", int, (void))                                               \
    X(AnzHTPchannels, "AnzHTPchannels", int, (void))                                       \
    X(GetZeroDot, "GetZeroDot", int, (void))                                               \
    X(GetHighliteSolo, "GetHighliteSolo", int, (void))                                     \
    X(CanSwitchTouch, "CanSwitchTouch", int, (void))                                       \
    X(ClearScreen, "ClearScreen", int, (int display))                                      \
    X(DeleteLanguageMap, "DeleteLanguageMap", int, (void))                                 \
    X(LoadCompressedShowPossible, "LoadCompressedShowPossible", int, (int reserved))       \
    X(LoadShowCompressedShow, "LoadShowCompressedShow", int, (const char* path))           \
    X(SaveShowCompressedShow, "SaveShowCompressedShow", int, (void))                       \
    X(CanFillFiletaskJobq, "CanFillFiletaskJobq", int, (void))

// Offsets into the core data block that Getdp returns.
enum CoreDataOffsets {
    kDpFaderValues = 548,   // 8-bit value of fader n at 548 + n, n = 0..22
    kDpFaderChanged = 596,  // changed flag of fader n at 596 + n
    kDpTouchScroll1 = 5922, // 16-bit counters from here on
    kDpTouchScroll0 = 5924,
    kDpTouchScroll2 = 5926,
    kDpEncoder1 = 5928,
    kDpEncoder2 = 5930,
    kDpEncoder3 = 5932,
    kDpEncoder4 = 5934,
    kDpTrackVertical = 5936,
    kDpTrackHorizontal = 5938,
    kDpWheel = 5940,
    kDpMinimumSize = 5942,
};
