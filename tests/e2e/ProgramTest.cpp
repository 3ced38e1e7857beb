// The whole program in a real X window, driven like a person would: the New
// dialog at the first start, strokes with the pencil and the eraser, undo and
// redo, a piece selected and moved, Ctrl+S, Ctrl+Q, and the file read back.

#include "XSession.h"

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool ReadSketchFile(const std::string& path, CPaper& paper)
{
    CPaper base;
    CArchive ar;
    if (!ar.Open(path, CArchive::load)) return false;
    ReadSketch(paper, base, ar);
    ar.Close();
    return paper.HasBits();
}

// Non-white pixels of a paper within a rectangle.
int Marked(const CPaper& paper, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (paper.GetPixel(x, y) != 255) ++n;
    return n;
}

// A horizontal or vertical line of points, every 6 pixels.
std::vector<std::pair<int, int>> Line(int x0, int y0, int x1, int y1)
{
    std::vector<std::pair<int, int>> pts;
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / 6;
    for (int i = 0; i <= steps; ++i)
        pts.push_back({x0 + (x1 - x0) * i / std::max(steps, 1), y0 + (y1 - y0) * i / std::max(steps, 1)});
    return pts;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(std::filesystem::exists(XSession::ProgramPath())) << XSession::ProgramPath();
        ASSERT_TRUE(x.Start()) << "no X server";
    }

    // The first start: New dialog, OK, and the empty sheet on screen.
    void StartWithNewSheet(Rect& paper)
    {
        ASSERT_TRUE(x.StartProgram());
        ASSERT_TRUE(x.WaitWindow("^New$")) << "no New dialog";
        x.Key("Return");
        ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$")) << "no sheet";
        Screenshot shot;
        // The default size of a first start.
        ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300)) << "no 400 x 300 sheet on screen";
    }

    // A toolbar button by the colour only its picture has.
    bool ToolButton(uint32_t colour, int& cx, int& cy)
    {
        Screenshot shot;
        return x.Capture(shot) && shot.FindColour(600, 900, colour, cx, cy);
    }

    XSession x;
};

TEST_F(ProgramTest, APencilStrokeDrawnOnScreenIsInTheSavedFile)
{
    Rect paper;
    ASSERT_NO_FATAL_FAILURE(StartWithNewSheet(paper));
    x.Drag(Line(paper.left + 50, paper.top + 100, paper.left + 250, paper.top + 100));
    const std::string file = x.Documents() + "/Sketch1.tvk";
    ASSERT_TRUE(x.SaveAndWait(file));
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(file, saved)) << file;
    EXPECT_EQ(saved.GetWidth(), 400u);
    EXPECT_EQ(saved.GetHeight(), 300u);
    // Along the stroke most pixels took graphite; away from it none did.
    EXPECT_GT(Marked(saved, 60, 98, 240, 103), 120);
    EXPECT_EQ(Marked(saved, 0, 0, 400, 90), 0);
    EXPECT_EQ(Marked(saved, 0, 110, 400, 300), 0);

    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}

TEST_F(ProgramTest, AStrokeLeftUnsavedIsKeptWhenTheProgramIsTerminated)
{
    Rect paper;
    ASSERT_NO_FATAL_FAILURE(StartWithNewSheet(paper));
    x.Drag(Line(paper.left + 50, paper.top + 150, paper.left + 350, paper.top + 150));
    x.TerminateProgram();
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(x.Documents() + "/Sketch1.tvk", saved));
    EXPECT_GT(Marked(saved, 60, 147, 340, 153), 200);
}

TEST_F(ProgramTest, ASessionOfDrawingSurvivesSavingQuittingAndStartingAgain)
{
    Rect paper;
    ASSERT_NO_FATAL_FAILURE(StartWithNewSheet(paper));
    const int L = paper.left, T = paper.top;

    // Two pencil strokes.
    x.Drag(Line(L + 40, T + 60, L + 360, T + 60));
    x.Drag(Line(L + 40, T + 200, L + 360, T + 200));

    // The eraser across the first stroke, undone and done again.
    int ex = 0, ey = 0, px = 0, py = 0;
    ASSERT_TRUE(ToolButton(0xF6A7B8, ex, ey)) << "eraser button";
    ASSERT_TRUE(ToolButton(0xF2C14E, px, py)) << "pencil button";
    x.Click(ex, ey);
    x.Drag(Line(L + 300, T + 20, L + 300, T + 100));
    x.Drag(Line(L + 310, T + 20, L + 310, T + 100));
    const std::string file = x.Documents() + "/Sketch1.tvk";
    const auto erasedSum = [&] {
        EXPECT_TRUE(x.SaveAndWait(file));
        CPaper p;
        long sum = 0;
        if (ReadSketchFile(file, p))
            for (int y = 57; y < 63; ++y)
                for (int xx = 296; xx < 314; ++xx) sum += p.GetPixel(xx, y);
        return sum;
    };
    const long withEraser = erasedSum();
    x.Key("ctrl+z");
    x.Key("ctrl+z");
    Sleep(200);
    const long undone = erasedSum();
    // Redo through the menus: the File menu, Right to the Edit menu (which
    // opens on its first item), then its second item, twice.
    const int windows = x.VisibleWindows();
    for (int i = 0; i < 2; ++i) {
        x.Click(25, 13);
        ASSERT_TRUE(x.WaitVisibleWindows(windows + 1)) << "the File menu did not open";
        x.Key("Right");
        x.Key("Down");
        x.Key("Return");
        ASSERT_TRUE(x.WaitVisibleWindows(windows)) << "the Edit menu did not close";
    }
    const long redone = erasedSum();
    EXPECT_LT(undone, withEraser);
    EXPECT_EQ(redone, withEraser);

    // Select a piece of the second stroke and move it up and right.
    x.Click(ex + (ex - px), ey);
    x.Drag(Line(L + 50, T + 150, L + 150, T + 250));
    x.Drag(Line(L + 100, T + 200, L + 200, T + 140));
    x.Click(px, py);  // the pencil again puts the piece down

    ASSERT_TRUE(x.SaveAndWait(file));
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(file, saved)) << file;
    // The first stroke is there; the second is gone from where the piece was
    // lifted and appears 100 right and 60 up.
    EXPECT_GT(Marked(saved, 60, 57, 280, 63), 150);
    EXPECT_EQ(Marked(saved, 55, 190, 145, 210), 0);
    EXPECT_GT(Marked(saved, 160, 137, 240, 143), 50);
    EXPECT_GT(Marked(saved, 160, 197, 340, 203), 120);
    // The eraser is on the first stroke: lighter there than beside it.
    long erased = 0, beside = 0;
    for (int y = 57; y < 63; ++y) {
        for (int xx = 296; xx < 314; ++xx) erased += saved.GetPixel(xx, y);
        for (int xx = 250; xx < 268; ++xx) beside += saved.GetPixel(xx, y);
    }
    EXPECT_GT(erased, beside);

    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();

    // Started again with the file, the screen shows the same pixels.
    ASSERT_TRUE(x.StartProgram({file}));
    ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$"));
    Screenshot shot;
    Rect again;
    ASSERT_TRUE(x.CapturePaper(shot, again, 400, 300));
    int differences = 0, compared = 0;
    for (int y = 0; y < 300; ++y) {
        for (int xx = 0; xx < 400; ++xx) {
            const uint32_t shown = shot.Pixel(again.left + xx, again.top + y);
            if (shown == 0xFFAAAA) continue;  // the grid's cross
            ++compared;
            differences += shown != saved.GetPixel(xx, y) * 0x010101u;
        }
    }
    EXPECT_GT(compared, 119000);
    EXPECT_EQ(differences, 0);

    // A stroke left unsaved is kept when the program ends.
    x.Drag(Line(again.left + 40, again.top + 270, again.left + 360, again.top + 270));
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    CPaper kept;
    ASSERT_TRUE(ReadSketchFile(file, kept));
    EXPECT_GT(Marked(kept, 60, 267, 340, 273), 200);
    EXPECT_EQ(Marked(saved, 60, 267, 340, 273), 0);
}

// Keys pressed while the pointer is held change nothing; Ctrl+Q then still keeps the stroke.
TEST_F(ProgramTest, KeysPressedInTheMiddleOfADragChangeNothingAndQuitKeepsTheStroke)
{
    Rect paper;
    ASSERT_NO_FATAL_FAILURE(StartWithNewSheet(paper));
    const int L = paper.left, T = paper.top;
    const auto at = [](int px, int py) { return std::to_string(px) + " " + std::to_string(py); };
    int ex = 0, ey = 0, px = 0, py = 0;
    ASSERT_TRUE(ToolButton(0xF6A7B8, ex, ey)) << "eraser button";
    ASSERT_TRUE(ToolButton(0xF2C14E, px, py)) << "pencil button";

    // A stroke, and a piece of it on the clipboard.
    x.Drag(Line(L + 40, T + 60, L + 360, T + 60));
    x.Click(ex + (ex - px), ey);
    x.Drag(Line(L + 40, T + 40, L + 120, T + 80));
    x.Key("ctrl+c");
    x.Click(px, py);

    // Paste and undo half-way through a second stroke, then the pencil again, which once put
    // a piece down from far past its end.
    x.Xdo("mousemove " + at(L + 40, T + 200) + " sleep 0.06 mousedown 1 sleep 0.06 mousemove " +
          at(L + 150, T + 200) + " sleep 0.1");
    // Without --clearmodifiers, which would let go of the button too.
    x.Xdo("key ctrl+v sleep 0.1 key ctrl+z sleep 0.1");
    x.Xdo("mousemove " + at(L + 250, T + 200) + " sleep 0.05 mousemove " + at(L + 360, T + 200) +
          " sleep 0.05 mouseup 1 sleep 0.15");
    x.Click(px, py);

    // Quit with the button still down in the middle of a third stroke.
    x.Xdo("mousemove " + at(L + 40, T + 260) + " sleep 0.06 mousedown 1 sleep 0.06 mousemove " +
          at(L + 200, T + 260) + " sleep 0.05 mousemove " + at(L + 360, T + 260) + " sleep 0.1 key ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    x.Xdo("mouseup 1");

    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(x.Documents() + "/Sketch1.tvk", saved));
    EXPECT_GT(Marked(saved, 60, 57, 340, 63), 200);    // not undone
    EXPECT_GT(Marked(saved, 60, 197, 340, 203), 200);  // the stroke the keys met
    EXPECT_GT(Marked(saved, 60, 257, 340, 263), 200);  // the stroke Ctrl+Q ended
    EXPECT_EQ(Marked(saved, 0, 0, 400, 50), 0);        // nothing pasted
    EXPECT_EQ(Marked(saved, 0, 70, 400, 190), 0);
}

// A logout or shutdown while a dialog waits ends the program within a second and leaves no window
// behind; a drawing that exists is in its file.
TEST_F(ProgramTest, ATerminationDuringADialogEndsTheProgramAtOnce)
{
    const auto endsWithinASecond = [&] {
        x.TerminateProgram();
        return x.WaitProgramExit(1000);
    };
    // The first start's New dialog.
    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^New$"));
    EXPECT_TRUE(endsWithinASecond()) << x.ProgramLog();

    // "Failed to open file!" for a file that is no sketch, before the window shows.
    const std::string junk = x.Documents() + "/junk.tvk";
    std::filesystem::create_directories(x.Documents());
    std::ofstream(junk) << "not a sketch";
    ASSERT_TRUE(x.StartProgram({junk}));
    ASSERT_TRUE(x.WaitWindow("^Graphelle$"));
    EXPECT_TRUE(endsWithinASecond()) << x.ProgramLog();

    // New over a drawing: the drawing was saved on the way.
    std::filesystem::remove(junk);
    Rect paper;
    ASSERT_NO_FATAL_FAILURE(StartWithNewSheet(paper));
    x.Drag(Line(paper.left + 50, paper.top + 150, paper.left + 350, paper.top + 150));
    x.Key("ctrl+n");
    ASSERT_TRUE(x.WaitWindow("^New$"));
    EXPECT_TRUE(endsWithinASecond()) << x.ProgramLog();
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(x.Documents() + "/Sketch1.tvk", saved));
    EXPECT_GT(Marked(saved, 60, 147, 340, 153), 200);
}

}  // namespace
