// The whole program in a real X window, driven like a person would: the New dialog at the first
// start, strokes with the pencil, Ctrl+Q in the middle of a stroke, the file read back, and the
// drawing kept at a termination while a dialog waits.

#include "XSession.h"

using ProgramTest = XTest;

TEST_F(ProgramTest, ADrawingSessionFromTheFirstStartToATermination)
{
    const std::string file = Documents() + "/Sketch1.tvk";
    ASSERT_TRUE(StartNewSheet()) << "no New dialog or no 400 x 300 sheet on screen";
    // Two strokes.
    Drag(40, 60, 360, 60);
    Drag(40, 200, 360, 200);

    // Ctrl+Q with the button still down in the middle of a third stroke.
    Xdo("mousemove " + At(40, 260) + " sleep 0.06 mousedown 1 sleep 0.06 mousemove " + At(200, 260) +
        " sleep 0.05 mousemove " + At(360, 260) + " sleep 0.1 key ctrl+q");
    ASSERT_TRUE(WaitProgramExit()) << ProgramLog();
    Xdo("mouseup 1");

    EXPECT_GT(Marked(file, 60, 57, 280, 63), 150);    // the first stroke
    EXPECT_GT(Marked(file, 60, 197, 340, 203), 200);  // the second
    EXPECT_GT(Marked(file, 60, 257, 340, 263), 200);  // the stroke Ctrl+Q ended
    EXPECT_EQ(Marked(file, 0, 0, 400, 50), 0);        // no stray marks
    EXPECT_EQ(Marked(file, 0, 70, 400, 190), 0);

    // Started again with the file, a stroke left unsaved is in it after a termination while New waits.
    ASSERT_TRUE(StartProgram({file}, "^Sketch1 - Graphelle$", 400, 300));
    Drag(40, 110, 360, 110);
    Key("ctrl+n");
    ASSERT_TRUE(WaitWindow("^New$"));
    // A logout or shutdown ends the program in time, whatever dialog waits.
    kill(program, SIGTERM);
    EXPECT_TRUE(WaitProgramExit(1000)) << ProgramLog();
    EXPECT_GT(Marked(file, 60, 107, 340, 113), 200);
}

