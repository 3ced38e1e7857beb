// The whole program in a real X window, driven like a person would: a termination while a
// dialog waits, the New dialog at the first start, strokes with the pencil and the eraser, undo
// and redo by keys and menus, keys pressed in the middle of a stroke, a piece selected and moved,
// Ctrl+S, Ctrl+Q in the middle of a stroke, the file read back and shown again, and the drawing
// kept at a termination.

#include "XSession.h"

namespace {

class ProgramTest : public XTest {
protected:
    // A toolbar button by the colour only its picture has.
    bool ToolButton(uint32_t colour, int& cx, int& cy)
    {
        Screenshot shot;
        return x.Capture(shot) && shot.FindColour(600, 900, colour, cx, cy);
    }
    // A logout or shutdown ends the program within a second, whatever dialog waits.
    bool EndsWithinASecond()
    {
        x.TerminateProgram();
        return x.WaitProgramExit(1000);
    }
    // The pixels the eraser crossed on the first stroke, once the drawing is saved.
    long ErasedSum()
    {
        CPaper saved;
        long sum = 0;
        if (x.SaveAndWait(file) && ReadSketchFile(file, saved))
            for (int y = 57; y < 63; ++y)
                for (int xx = 296; xx < 314; ++xx) sum += saved.GetPixel(xx, y);
        return sum;
    }

    const std::string file = x.Documents() + "/Sketch1.tvk";
};

TEST_F(ProgramTest, ADrawingSessionFromTheFirstStartToATermination)
{
    // The first start's New dialog, and "Failed to open file!" for a file that is no sketch,
    // before the window shows: no window is left behind.
    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^New$"));
    EXPECT_TRUE(EndsWithinASecond()) << x.ProgramLog();
    const std::string junk = x.Documents() + "/junk.tvk";
    std::ofstream(junk) << "not a sketch";
    ASSERT_TRUE(x.StartProgram({junk}));
    ASSERT_TRUE(x.WaitWindow("^Graphelle$"));
    EXPECT_TRUE(EndsWithinASecond()) << x.ProgramLog();
    fs::remove(junk);

    Rect paper;
    ASSERT_TRUE(x.StartNewSheet(paper)) << "no New dialog or no 400 x 300 sheet on screen";
    int ex = 0, ey = 0, px = 0, py = 0;
    ASSERT_TRUE(ToolButton(0xF6A7B8, ex, ey)) << "eraser button";
    ASSERT_TRUE(ToolButton(0xF2C14E, px, py)) << "pencil button";
    const auto at = [&](int sx, int sy) {
        return std::to_string(paper.left + sx) + " " + std::to_string(paper.top + sy);
    };

    // A stroke, and a piece of it on the clipboard; then paste and undo half-way through a
    // second stroke, which change nothing (without --clearmodifiers, which would let go of the
    // button too), and the pencil again, which once put a piece down from far past its end.
    x.Drag(Line(paper, 40, 60, 360, 60));
    x.Click(ex + (ex - px), ey);
    x.Drag(Line(paper, 40, 40, 120, 80));
    x.Key("ctrl+c");
    x.Click(px, py);
    x.Xdo("mousemove " + at(40, 200) + " sleep 0.06 mousedown 1 sleep 0.06 mousemove " + at(150, 200) + " sleep 0.1");
    x.Xdo("key ctrl+v sleep 0.1 key ctrl+z sleep 0.1");
    x.Xdo("mousemove " + at(250, 200) + " sleep 0.05 mousemove " + at(360, 200) + " sleep 0.05 mouseup 1 sleep 0.15");
    x.Click(px, py);

    // The eraser across the first stroke, undone by keys and done again through the menus:
    // the File menu, Right to the Edit menu (which opens on its first item), then its second.
    x.Click(ex, ey);
    x.Drag(Line(paper, 300, 20, 300, 100));
    x.Drag(Line(paper, 310, 20, 310, 100));
    const long withEraser = ErasedSum();
    x.Key("ctrl+z");
    x.Key("ctrl+z");
    Sleep(200);
    EXPECT_LT(ErasedSum(), withEraser);
    const int windows = x.VisibleWindows();
    for (int i = 0; i < 2; ++i) {
        x.Click(25, 13);
        ASSERT_TRUE(x.WaitVisibleWindows(windows + 1)) << "the File menu did not open";
        x.Key("Right");
        x.Key("Down");
        x.Key("Return");
        ASSERT_TRUE(x.WaitVisibleWindows(windows)) << "the Edit menu did not close";
    }
    EXPECT_EQ(ErasedSum(), withEraser);

    // A piece of the second stroke selected and moved up and right; the pencil puts it down.
    x.Click(ex + (ex - px), ey);
    x.Drag(Line(paper, 50, 150, 150, 250));
    x.Drag(Line(paper, 100, 200, 200, 140));
    x.Click(px, py);

    // Ctrl+Q with the button still down in the middle of a third stroke.
    x.Xdo("mousemove " + at(40, 260) + " sleep 0.06 mousedown 1 sleep 0.06 mousemove " + at(200, 260) +
          " sleep 0.05 mousemove " + at(360, 260) + " sleep 0.1 key ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    x.Xdo("mouseup 1");

    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(file, saved)) << file;
    EXPECT_EQ(std::pair(saved.GetWidth(), saved.GetHeight()), std::pair(400u, 300u));
    EXPECT_GT(Marked(file, 60, 57, 280, 63), 150);    // the first stroke, not undone
    EXPECT_EQ(Marked(file, 55, 190, 145, 210), 0);    // where the piece was lifted
    EXPECT_GT(Marked(file, 160, 137, 240, 143), 50);  // 100 right and 60 up
    EXPECT_GT(Marked(file, 160, 197, 340, 203), 120); // the rest of the stroke the keys met
    EXPECT_GT(Marked(file, 60, 257, 340, 263), 200);  // the stroke Ctrl+Q ended
    EXPECT_EQ(Marked(file, 0, 0, 400, 50), 0);        // nothing pasted, no stray marks
    EXPECT_EQ(Marked(file, 0, 70, 400, 130), 0);
    // The eraser is on the first stroke: lighter there than beside it.
    long erased = 0, beside = 0;
    for (int y = 57; y < 63; ++y)
        for (int xx = 296; xx < 314; ++xx) erased += saved.GetPixel(xx, y), beside += saved.GetPixel(xx - 46, y);
    EXPECT_GT(erased, beside);

    // Started again with the file, the screen shows the same pixels.
    ASSERT_TRUE(x.StartProgram({file}));
    ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$"));
    Screenshot shot;
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    int differences = 0, compared = 0;
    for (int y = 0; y < 300; ++y) {
        for (int xx = 0; xx < 400; ++xx) {
            const uint32_t shown = shot.Pixel(paper.left + xx, paper.top + y);
            if (shown == 0xFFAAAA) continue;  // the grid's cross
            ++compared;
            differences += shown != saved.GetPixel(xx, y) * 0x010101u;
        }
    }
    EXPECT_GT(compared, 119000);
    EXPECT_EQ(differences, 0);

    // A stroke left unsaved is in the file after a termination; and after one while New waits.
    x.Drag(Line(paper, 40, 285, 360, 285));
    x.TerminateProgram();
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    EXPECT_GT(Marked(file, 60, 282, 340, 288), 200);
    ASSERT_TRUE(x.StartProgram({file}));
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    x.Drag(Line(paper, 40, 110, 360, 110));
    x.Key("ctrl+n");
    ASSERT_TRUE(x.WaitWindow("^New$"));
    EXPECT_TRUE(EndsWithinASecond()) << x.ProgramLog();
    EXPECT_GT(Marked(file, 60, 107, 340, 113), 200);
}

}  // namespace
