// Test entry point: no crash dialogs, so a fault ends the test process at once.
// Output is unbuffered: a fault must not take what was printed before it along.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
