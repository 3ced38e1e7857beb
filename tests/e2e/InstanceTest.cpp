// One running copy per session, in a real X server: a second start hands its
// file over and ends at once while the first file keeps its strokes; a start
// on the open file changes nothing; a hung copy is reported, not opened beside.

#include "XSession.h"

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

bool WriteWhiteSketch(const std::string& path, uint32_t width, uint32_t height)
{
    CPaper paper;
    CArchive ar;
    return paper.Create(width, height, 5) && ar.Open(path, CArchive::store) && WriteSketch(paper, ar) && ar.Close();
}

// Non-white pixels of a sketch file in a band of rows.
int MarkedRows(const std::string& path, int top, int bottom)
{
    CPaper paper, base;
    CArchive ar;
    if (ar.Open(path, CArchive::load)) ReadSketch(paper, base, ar), ar.Close();
    int n = 0;
    for (int y = top; y < bottom && paper.HasBits(); ++y)
        for (int x = 0; x < static_cast<int>(paper.GetWidth()); ++x) n += paper.GetPixel(x, y) != 255;
    return n;
}

// The exit status of a start, -1 for a crash or none within 5 s; elapsedMs
// from start.
int WaitExit(pid_t pid, Clock::time_point start, int& elapsedMs)
{
    for (int status = 0; pid > 0 && Clock::now() - start < std::chrono::seconds(5); Sleep(10)) {
        if (waitpid(pid, &status, WNOHANG) != pid) continue;
        elapsedMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    return -1;
}

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(x.Start()) << "no X server";
        fs::create_directories(x.Documents());
        ASSERT_TRUE(WriteWhiteSketch(a, 400, 300) && WriteWhiteSketch(b, 300, 200));
        ASSERT_TRUE(x.StartProgram({a}));
        ASSERT_TRUE(x.WaitWindow("^A - Graphelle$"));
        Screenshot shot;
        ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    }
    void Stroke(int y)
    {
        std::vector<std::pair<int, int>> points;
        for (int px = 50; px <= 350; px += 6) points.push_back({paper.left + px, paper.top + y});
        x.Drag(points);
    }
    int RunAnotherCopy(const std::vector<std::string>& args, int& elapsedMs)
    {
        const auto start = Clock::now();
        return WaitExit(x.StartAnotherCopy(args), start, elapsedMs);
    }

    XSession x;
    const std::string a = x.Documents() + "/A.tvk", b = x.Documents() + "/B.tvk";
    Rect paper;
    int ms = 0;
};

TEST_F(InstanceTest, ASecondStartOnAnotherFileHandsItOverAndTheFirstFileKeepsItsStroke)
{
    Stroke(100);
    // Started in another folder, with a name relative to it.
    const fs::path here = fs::current_path();
    fs::current_path(x.Documents());
    EXPECT_EQ(RunAnotherCopy({"B.tvk"}, ms), 0) << x.ProgramLog();
    fs::current_path(here);
    EXPECT_LT(ms, 2000);
    ASSERT_TRUE(x.WaitWindow("^B - Graphelle$")) << "the running copy did not open B";
    Screenshot shot;
    EXPECT_TRUE(x.CapturePaper(shot, paper, 300, 200));
    EXPECT_GT(MarkedRows(a, 97, 103), 200);
    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}

TEST_F(InstanceTest, AStartOnTheOpenFileChangesNothingAndAHungCopyIsReportedNotOpenedBeside)
{
    Stroke(100);
    EXPECT_EQ(RunAnotherCopy({a}, ms), 0) << x.ProgramLog();
    EXPECT_LT(ms, 2000);
    Stroke(200);

    // A copy that stops answering: the next start says so and fails, and
    // the running copy does not open the file later either.
    kill(x.ProgramPid(), SIGSTOP);
    const auto start = Clock::now();
    const pid_t other = x.StartAnotherCopy({b});
    EXPECT_TRUE(x.WaitWindow("^Graphelle$")) << "no message";
    x.Key("Return");
    EXPECT_EQ(WaitExit(other, start, ms), 1);
    EXPECT_NE(x.ProgramLog().find("already running but does not answer"), std::string::npos) << x.ProgramLog();
    kill(x.ProgramPid(), SIGCONT);
    Sleep(500);
    EXPECT_FALSE(x.Xdo("search --onlyvisible --name '^B - Graphelle$'"));

    // With no window manager, a click beside the sheet brings the keys back.
    x.Click(paper.left - 100, paper.top + 10);
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    EXPECT_GT(MarkedRows(a, 97, 103), 200);
    EXPECT_GT(MarkedRows(a, 197, 203), 200);
}

}  // namespace
