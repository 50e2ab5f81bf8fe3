// Calls into foreign code with a guard against processor faults: an access
// violation or an illegal instruction inside the call comes back to the caller
// as a failure instead of ending the process. C++ exceptions pass through to
// the caller's own handlers.
#pragma once
#include <windows.h>

// Runs call(context) and gives its result. When the call faults on this
// thread, the rest of the call is abandoned (nothing below the guard runs
// again, nothing is unwound), *faultCode receives the exception code and the
// result is false. faultCode is 0 after a call that returned. call must not
// let a C++ exception out: the guard has no unwinding of its own.
bool CallWithFaultGuard(bool (*call)(void* context), void* context, DWORD* faultCode);

// Exception codes that count as a processor fault.
bool IsProcessorFault(DWORD exceptionCode);
