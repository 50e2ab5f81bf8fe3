// The desk-lock test the desk controls make before they act on a press.
#pragma once

// Whether the core has the desk locked; with tell, a locked desk also says
// "Desk is locked!" (owned by the main window).
bool DeskLocked(bool tell = false);
// The message alone, for callers that must let go of the mouse between the
// test and the message.
void TellDeskLocked();
