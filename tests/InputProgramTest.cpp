// The installed program under real pointer and keyboard input through the X
// server: a fader drag, a wheel turn on the dimmer wheel, a shortcut typed in
// shortcut mode and a command typed into the command line, each checked in the
// journal of the stand-in core; a screenshot keeps what the desk showed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/harness/ProgramFixture.h"

namespace {

class InputProgramTest : public harness::ProgramTest {
protected:
    // Runs xdotool against the desk window (focused first) with these steps.
    void Drive(const std::string& steps) {
        RunXdotool("search --sync --onlyvisible --name '^Kantrel Ovrin$' windowfocus --sync sleep 0.2 " + steps);
        WaitForQuietJournal();
    }
};

TEST_F(InputProgramTest, RealPointerAndKeysReachTheCoreInOrder) {
    ASSERT_TRUE(StartDesk());
    HWND desk = WaitForDesk();
    ASSERT_NE(nullptr, desk) << "no desk window appeared";
    WaitForQuietJournal();

    // Fader 1 of bar 3 (x 11..58, y 576..684): its knob sits at the bottom
    // at 0; dragged up, every move is taken over by the core first.
    size_t from = Journal().size();
    Drive("mousemove 35 676 mousedown 1 mousemove 35 660 mousemove 35 640 mousemove 35 620 mouseup 1");
    std::vector<std::string> fader = CallsNamed(from, {"SetFaderModeManual"});
    ASSERT_FALSE(fader.empty()) << "the drag wrote nothing";
    for (const std::string& line : fader) EXPECT_EQ("SetFaderModeManual 0", line);

    // The dimmer wheel (855, 443, 70 x 70) under the pointer takes the turn.
    from = Journal().size();
    Drive("mousemove 890 478 click 4 click 5");
    EXPECT_TRUE(harness::SameSequence({"GetWheelResolution", "GetWheelResolution"},
                                      CallsNamed(from, {"GetWheelResolution"})));

    // Insert switches shortcut mode on, Shift+1 goes to the core's own
    // shortcut with the Shift flag, Insert switches the mode off again.
    from = Journal().size();
    Drive("key Insert sleep 0.1 keydown shift sleep 0.1 keydown 1 sleep 0.1 keyup 1 sleep 0.1 keyup shift sleep 0.1 key Insert");
    EXPECT_TRUE(harness::SameSequence({"InvokeShortcut 16 16 1", "InvokeShortcut 49 16 1", "InvokeShortcut 49 16 0",
                                       "InvokeShortcut 16 0 0"},
                                      CallsNamed(from, {"InvokeShortcut"})));
    const std::vector<std::string> plain = CallsNamed(from, {"VC_OnKeyDown", "VC_OnCharacter"});
    EXPECT_TRUE(std::none_of(plain.begin(), plain.end(),
                             [](const std::string& l) { return l.rfind("VC_OnKeyDown 49", 0) == 0; }))
        << "in shortcut mode the key went to the core as a plain key too";

    // A click into the command line (657, 209, 354 x 28) gives it the keys,
    // which go straight to the core; Enter hands them back to the desk.
    from = Journal().size();
    Drive("mousemove 700 222 click 1 sleep 0.3 key --delay 80 1 2");
    EXPECT_TRUE(harness::SameSequence({"VC_OnKeyDown 49 1 0", "VC_OnCharacter 49", "VC_OnKeyUp 49 1 0",
                                       "VC_OnKeyDown 50 1 0", "VC_OnCharacter 50", "VC_OnKeyUp 50 1 0"},
                                      CallsNamed(from, {"VC_OnKeyDown 49", "VC_OnKeyDown 50", "VC_OnCharacter",
                                                        "VC_OnKeyUp 49", "VC_OnKeyUp 50"})));

    std::string shot;
    EXPECT_TRUE(SaveScreenshot("input_program", &shot)) << "no screenshot";
    std::printf("screenshot: %s\n", shot.c_str());

    EXPECT_EQ(0, CloseDesk(desk));
}

}  // namespace
