// Winsock start-up: the host opens no sockets, the core needs version 2.2.
#pragma once

// The name the start-up message gives a WSAStartup error code.
const char* WinsockErrorName(int code);
// WSAStartup(2.2) with the failure messages; false when the desk cannot run.
bool StartWinsock();
// The check of a successful start: false (with its message) below version 2.
bool CheckWinsockVersion(unsigned short highVersion);
