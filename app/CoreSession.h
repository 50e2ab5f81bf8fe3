// The core session: knt.dll loaded and the console core running.
#pragma once

enum class SessionState { NotLoaded, Starting, Running, Ending };

bool StartCoreSession();
// StartCoreSession, guarded: a processor fault or an exception inside the
// core fails the start. Such a core is abandoned: no entry point stays bound
// and its library stays mapped, since its unload code could fault again.
enum class StartOutcome { Started, Failed, Faulted };
StartOutcome StartCoreSessionGuarded();
// restart: keep the core's data and the windows enabled (no EndKantrel).
bool EndCoreSession(bool restart, bool saveRequested);
SessionState CoreSessionState();

// One synthesised Scroll Lock stroke: the keyboard's light shows the command
// line lock, and the stroke's key messages make the main window toggle it.
// True when the press went out (a lone press still toggles light and lock).
bool SendScrollLockStroke();

// Host flags that a session start hands to the core.
extern int gCmdLineLock;
extern int gShortcutMode;
extern int gPriorityOption;
