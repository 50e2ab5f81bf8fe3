// The processor-fault guard. This toolchain has no __try, and catch (...) does
// not see a fault, so a vectored handler takes the fault first and sends the
// thread back to the guard: it rewrites the faulting context to resume in a
// small function that long-jumps to the guard's frame. The dispatch itself
// thus ends normally (the system continues the thread), on Windows and Wine.
#include "common/FaultGuard.h"

#include <cstdint>

namespace {

struct Guard {
    void* jump[5];     // __builtin_setjmp buffer
    DWORD thread;
    volatile DWORD code;
    uintptr_t resumeStack;  // committed stack below the guard's own frame
    Guard* outer;
};

Guard* volatile gGuard;
PVOID gHandler;

[[noreturn]] __attribute__((noinline)) void ReturnToGuard() { __builtin_longjmp(gGuard->jump, 1); }

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    Guard* guard = gGuard;
    // Faults on the core's own threads are not ours to recover.
    if (!guard || guard->thread != GetCurrentThreadId()) return EXCEPTION_CONTINUE_SEARCH;
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (!IsProcessorFault(code)) return EXCEPTION_CONTINUE_SEARCH;
    guard->code = code;
    // Resume on stack that the abandoned call chain had already committed, not
    // next to the fault: after a stack overflow there is no room there. The
    // stack pointer is set as a call would leave it (aligned 16, minus the
    // return address).
    CONTEXT* context = info->ContextRecord;
    const uintptr_t stack = (guard->resumeStack & ~uintptr_t(15)) - sizeof(void*);
#ifdef _WIN64
    context->Rsp = stack;
    context->Rip = reinterpret_cast<uintptr_t>(&ReturnToGuard);
#else
    context->Esp = stack;
    context->Eip = reinterpret_cast<uintptr_t>(&ReturnToGuard);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

// A frame of its own below the guard, so that the resume stack lies inside
// what the guarded call chain has used.
__attribute__((noinline)) bool Invoke(Guard* guard, bool (*call)(void*), void* context) {
    volatile char marker = 0;
    guard->resumeStack = reinterpret_cast<uintptr_t>(&marker);
    return call(context);
}

void Arm(Guard* guard) {
    guard->thread = GetCurrentThreadId();
    guard->code = 0;
    guard->outer = gGuard;
    if (!guard->outer) gHandler = AddVectoredExceptionHandler(1, OnException);
    gGuard = guard;
}

void Disarm(Guard* guard) {
    gGuard = guard->outer;
    if (!guard->outer && gHandler) {
        RemoveVectoredExceptionHandler(gHandler);
        gHandler = nullptr;
    }
}

}  // namespace

bool IsProcessorFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
        return true;
    default:
        return false;
    }
}

bool CallWithFaultGuard(bool (*call)(void*), void* context, DWORD* faultCode) {
    Guard guard;
    volatile bool result = false;
    Arm(&guard);
    if (__builtin_setjmp(guard.jump) == 0) result = Invoke(&guard, call, context);
    Disarm(&guard);
    if (faultCode) *faultCode = guard.code;
    return guard.code ? false : result;
}
