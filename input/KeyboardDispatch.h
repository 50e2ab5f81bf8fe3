// The shortcut dispatcher: keys of the desk in shortcut mode, the programmed
// shortcut list and the flags that steer it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "input/ShortcutFile.h"

// The special commands a programmed shortcut can run, after the desk key ids.
constexpr int kFirstSpecialCommand = 258;
constexpr int kLastSpecialCommand = 282;
// The command name table covers 258..307; 283 on are "---" and never offered.
constexpr int kCommandNameCount = 50;

// Creates the empty list, reads "sLock" into shortcut mode, psc.cfg into the
// list, "pscOnly", and "pscActive" only when the file gave an entry.
void LoadShortcutSettings();
// Clears and destroys the list; the dispatcher does nothing afterwards.
void ReleaseShortcutList();

// vk is a virtual-key code 1..254; pressed 1 for a press, 0 for a release.
void DispatchShortcut(int vk, int pressed);

// The programmed shortcut of a key id as the key shows it, "(Shift F1)", in
// one static 32-byte buffer that the next call overwrites; "" when programmed
// shortcuts are off, the list is empty or no entry runs the id.
const char* ShortcutLabel(int keyId);
// The same label copied into buf (cut to fit, always terminated). Returns
// whether programmed shortcuts are in use at all.
bool ProgrammedShortcutText(int keyId, char* buf, size_t size);
// 1 when programmed shortcuts are in use and the list holds code, else 0.
int DefaultShortcutTaken(uint32_t code);

// Use programmed shortcuts ("pscActive") and programmed shortcuts only
// ("pscOnly"), 0 or 1.
int UsesProgrammedShortcuts();
int ProgrammedShortcutsOnly();
// Any non-zero value counts as 1.
void SetProgrammedShortcutFlags(int use, int only);

// The live list, null while it does not exist.
const ShortcutList* ProgrammedShortcuts();
// Replaces the live list's contents with the valid entries of list; false,
// with nothing changed, while the list does not exist.
bool ReplaceProgrammedShortcuts(const ShortcutList& list);

// The name of a command 258..307 ("1. ENCODER UP", "---"); null otherwise.
const char* ShortcutCommandName(int command);
