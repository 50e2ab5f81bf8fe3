// Fixture for tests that need the desk window itself: host flags reset, the
// drawing resources, every window class, the main window and the service
// libraries; all taken down again, the session ended first if one runs.
#pragma once
#include "tests/harness/Harness.h"

namespace harness {

class DeskTest : public HostTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts a core session and leaves the journal empty behind it.
    void StartSession();
    HWND main_ = nullptr;
};

}  // namespace harness
