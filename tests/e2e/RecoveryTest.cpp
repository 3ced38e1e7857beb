// A drawing survives the program being killed: a stroke drawn after the last save is in a
// recovery copy within seconds, and the next plain start writes it back into the drawing's
// file and says so.

#include "XSession.h"

using RecoveryTest = XTest;

TEST_F(RecoveryTest, AStrokeDrawnBeforeAKillIsBackInItsFileAfterAPlainStart)
{
    ASSERT_TRUE(StartNewSheet()) << "no New dialog or no sheet";
    const std::string file = Documents() + "/Sketch1.tvk";
    Drag(50, 100, 350, 100);
    // Saved by a rename: whole once it is there.
    Key("ctrl+s");
    ASSERT_TRUE(Within(10000, [&] { return fs::exists(file); })) << "not saved";
    Drag(50, 200, 350, 200);
    Sleep(3000);
    kill(program, SIGKILL), WaitProgramExit();
    ASSERT_EQ(Marked(file, 60, 197, 340, 203), 0) << "the second stroke was never saved";

    ASSERT_TRUE(StartProgram({}, "^Drawings Recovered$")) << "no notice";
    EXPECT_GT(Marked(file, 60, 97, 340, 103), 200);
    EXPECT_GT(Marked(file, 60, 197, 340, 203), 200);
    Key("Return");
    ASSERT_TRUE(WaitWindow("^Graphelle$")) << "no list of sketches";
    EXPECT_TRUE(Quit()) << ProgramLog();
}

