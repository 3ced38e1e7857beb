// A drawing survives the program being killed: a stroke drawn after the last
// save is in a recovery copy within seconds, and the next plain start writes
// it back into the drawing's file, keeps what the file held as an earlier
// version, and says so.

#include "XSession.h"

#include "engine/Paper.h"
#include "formats/SketchFile.h"

#include <gtest/gtest.h>

namespace {

// Non-white pixels of a sketch file within a rectangle; -1 when it does not
// read whole.
int Marked(const std::string& file, int left, int top, int right, int bottom)
{
    CPaper paper;
    std::string error;
    if (LoadSketchFile(file, paper, error) != SketchLoad::Whole) return -1;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += paper.GetPixel(x, y) != 255;
    return n;
}

// The sketch files below a folder.
std::vector<std::string> SketchesIn(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->path().extension() == ".tvk") found.push_back(it->path().string());
    return found;
}

// A horizontal drag across the sheet at row y, a point every 6 pixels.
std::vector<std::pair<int, int>> Across(const Rect& paper, int y)
{
    std::vector<std::pair<int, int>> points;
    for (int x = 50; x <= 350; x += 6) points.push_back({paper.left + x, paper.top + y});
    return points;
}

}  // namespace

TEST(RecoveryTest, AStrokeDrawnBeforeAKillIsBackInItsFileAfterAPlainStart)
{
    if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
    XSession x;
    ASSERT_TRUE(x.Start()) << "no X server";
    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^New$")) << "no New dialog";
    x.Key("Return");
    ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$")) << "no sheet";
    Screenshot shot;
    Rect paper;
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));

    const std::string file = x.Documents() + "/Sketch1.tvk";
    const std::string state = x.Documents() + "/../.local/state/graphelle";
    x.Drag(Across(paper, 100));
    ASSERT_TRUE(x.SaveAndWait(file));
    x.Drag(Across(paper, 200));
    Sleep(3000);
    x.KillProgram();
    ASSERT_EQ(Marked(file, 60, 197, 340, 203), 0) << "the second stroke was never saved";
    const std::vector<std::string> copies = SketchesIn(state + "/recovery");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_GT(Marked(copies[0], 60, 197, 340, 203), 200);

    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^Drawings Recovered$")) << "no notice";
    EXPECT_GT(Marked(file, 60, 97, 340, 103), 200);
    EXPECT_GT(Marked(file, 60, 197, 340, 203), 200);
    // What the file held before is an earlier version.
    const std::vector<std::string> versions = SketchesIn(state + "/versions");
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_GT(Marked(versions[0], 60, 97, 340, 103), 200);
    EXPECT_EQ(Marked(versions[0], 60, 197, 340, 203), 0);
    EXPECT_TRUE(SketchesIn(state + "/recovery").empty());

    x.Key("Return");
    ASSERT_TRUE(x.WaitWindow("^Graphelle$")) << "no list of sketches";
    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}
