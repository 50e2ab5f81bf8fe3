// The core session: knt.dll loaded and the console core running.
#pragma once

enum class SessionState { NotLoaded, Starting, Running, Ending };

bool StartCoreSession();
// restart: keep the core's data and the windows enabled (no EndKantrel).
bool EndCoreSession(bool restart, bool saveRequested);
SessionState CoreSessionState();

// Host flags that a session start hands to the core.
extern int gCmdLineLock;
extern int gShortcutMode;
extern int gPriorityOption;
