// The processor-fault guard: a fault inside a guarded call comes back as a
// failure with its code, the caller's state survives it, and the guard can be
// taken again (its handler is gone between calls, which the last case shows
// by faulting under a second guard after many uses).
#include <gtest/gtest.h>

#include <windows.h>

#include "common/FaultGuard.h"

namespace {

bool WriteToReservedPage(void*) {
    // Not address 0: Wine running as root may have the lowest page mapped.
    static void* const reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    int* volatile target = static_cast<int*>(reserved);
    *target = 1;
    return true;
}

bool DivideByZero(void* context) {
    volatile int divisor = 0;
    *static_cast<int*>(context) = 10 / divisor;
    return true;
}

// Faults a few frames down, with live locals in each frame.
__attribute__((noinline)) bool FaultDeep(void* context) {
    volatile char frame[256];
    frame[0] = 1;
    int& depth = *static_cast<int*>(context);
    if (--depth > 0) return FaultDeep(context) && frame[0];
    return WriteToReservedPage(nullptr);
}

bool Answer(void* context) { return *static_cast<bool*>(context); }

TEST(FaultGuard, CallsThatReturnKeepTheirResultAndReportNoFault) {
    for (bool answer : {true, false}) {
        DWORD code = 0xFFFFFFFF;
        EXPECT_EQ(answer, CallWithFaultGuard(Answer, &answer, &code));
        EXPECT_EQ(0u, code);
    }
}

TEST(FaultGuard, FaultsComeBackAsFailuresWithTheirCode) {
    volatile int before = 1234;
    DWORD code = 0;
    EXPECT_FALSE(CallWithFaultGuard(WriteToReservedPage, nullptr, &code));
    EXPECT_EQ(DWORD(EXCEPTION_ACCESS_VIOLATION), code);
    EXPECT_EQ(1234, before);

    int quotient = -1;
    EXPECT_FALSE(CallWithFaultGuard(DivideByZero, &quotient, &code));
    EXPECT_EQ(DWORD(EXCEPTION_INT_DIVIDE_BY_ZERO), code);
    EXPECT_EQ(-1, quotient);

    int depth = 20;
    EXPECT_FALSE(CallWithFaultGuard(FaultDeep, &depth, &code));
    EXPECT_EQ(DWORD(EXCEPTION_ACCESS_VIOLATION), code);
    EXPECT_EQ(0, depth);
}

TEST(FaultGuard, RepeatedFaultsAndCallsLeaveTheGuardWorking) {
    bool yes = true;
    for (int i = 0; i < 200; ++i) {
        DWORD code = 0;
        ASSERT_FALSE(CallWithFaultGuard(WriteToReservedPage, nullptr, &code)) << "round " << i;
        ASSERT_EQ(DWORD(EXCEPTION_ACCESS_VIOLATION), code) << "round " << i;
        ASSERT_TRUE(CallWithFaultGuard(Answer, &yes, &code));
        ASSERT_EQ(0u, code);
    }
}

TEST(FaultGuard, OnlyProcessorFaultsCount) {
    EXPECT_TRUE(IsProcessorFault(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_TRUE(IsProcessorFault(EXCEPTION_STACK_OVERFLOW));
    EXPECT_TRUE(IsProcessorFault(EXCEPTION_ILLEGAL_INSTRUCTION));
    // Breakpoints, C++ throws and the system's own notices are someone else's.
    EXPECT_FALSE(IsProcessorFault(EXCEPTION_BREAKPOINT));
    EXPECT_FALSE(IsProcessorFault(0x20474343));  // a C++ throw of this toolchain
    EXPECT_FALSE(IsProcessorFault(DBG_PRINTEXCEPTION_C));
}

}  // namespace
