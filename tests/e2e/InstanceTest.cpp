// One running copy per session, in a real X server: a start on the open file changes nothing;
// a hung copy is reported, not opened beside; a second start hands its file over and ends at
// once, while the first file keeps its strokes.

#include "XSession.h"

#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

class InstanceTest : public XTest {
protected:
    // The exit status of another start of the program, after meanwhile ran; ms: how long it ran.
    int RunAnotherCopy(const std::vector<std::string>& args, int& ms, const std::function<void()>& meanwhile = {})
    {
        std::vector<std::string> argv{XSession::ProgramPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        const auto start = Clock::now();
        const pid_t pid = x.StartOther(argv);
        if (meanwhile) meanwhile();
        const int status = WaitExit(pid, 5000);
        ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        return status;
    }
};

TEST_F(InstanceTest, AnotherStartHandsItsFileToTheRunningCopyOrSaysThatItDoesNotAnswer)
{
    const std::string a = x.Documents() + "/A.tvk", b = x.Documents() + "/B.tvk";
    ASSERT_TRUE(WriteSheet(a, 400, 300) && WriteSheet(b, 300, 200));
    ASSERT_TRUE(x.StartProgram({a}));
    ASSERT_TRUE(x.WaitWindow("^A - Graphelle$"));
    Screenshot shot;
    Rect paper;
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    int ms = 0;

    x.Drag(Line(paper, 50, 100, 350, 100));
    EXPECT_EQ(RunAnotherCopy({a}, ms), 0) << x.ProgramLog();
    EXPECT_LT(ms, 2000);
    x.Drag(Line(paper, 50, 200, 350, 200));

    // A copy that stops answering: the next start says so and fails, and the running copy does
    // not open the file later either.
    kill(x.ProgramPid(), SIGSTOP);
    const auto answer = [&] {
        EXPECT_TRUE(x.WaitWindow("^Graphelle$")) << "no message";
        x.Key("Return");
    };
    EXPECT_EQ(RunAnotherCopy({b}, ms, answer), 1);
    EXPECT_NE(x.ProgramLog().find("already running but does not answer"), std::string::npos) << x.ProgramLog();
    kill(x.ProgramPid(), SIGCONT);
    Sleep(500);
    EXPECT_FALSE(x.Xdo("search --onlyvisible --name '^B - Graphelle$'"));

    // Started in another folder, with a name relative to it.
    const fs::path here = fs::current_path();
    fs::current_path(x.Documents());
    EXPECT_EQ(RunAnotherCopy({"B.tvk"}, ms), 0) << x.ProgramLog();
    fs::current_path(here);
    EXPECT_LT(ms, 2000);
    ASSERT_TRUE(x.WaitWindow("^B - Graphelle$")) << "the running copy did not open B";
    EXPECT_TRUE(x.CapturePaper(shot, paper, 300, 200));
    EXPECT_GT(Marked(a, 0, 97, 400, 103), 200);
    EXPECT_GT(Marked(a, 0, 197, 400, 203), 200);
    // With no window manager, a click beside the sheet brings the keys back.
    x.Click(paper.left - 100, paper.top + 10);
    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}

}  // namespace
