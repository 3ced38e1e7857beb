// One running copy per session, in a real X server: a start on the open file changes nothing;
// a hung copy is reported, not opened beside; a second start hands its file over and ends at
// once, while the first file keeps its strokes.

#include "XSession.h"

#include <chrono>
#include <functional>

namespace {

using InstanceTest = XTest;

TEST_F(InstanceTest, AnotherStartHandsItsFileToTheRunningCopyOrSaysThatItDoesNotAnswer)
{
    const std::string a = x.Documents() + "/A.tvk", b = x.Documents() + "/B.tvk";
    ASSERT_TRUE(WriteSheet(a, 400, 300) && WriteSheet(b, 300, 200));
    ASSERT_TRUE(x.StartProgram({a}, "^A - Graphelle$", 400, 300));
    // Another start of the program on a file, after meanwhile ran: its exit status, and whether it took
    // less than two seconds.
    const auto another = [&](const std::string& file, const std::function<void()>& meanwhile = [] {}) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = x.Spawn({GRAPHELLE_PROGRAM, file});
        meanwhile();
        const int status = WaitExit(pid, 5000);
        return std::pair(status, std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
    };

    x.Drag(50, 100, 350, 100);
    EXPECT_EQ(another(a), std::pair(0, true)) << x.ProgramLog();
    x.Drag(50, 200, 350, 200);

    // A copy that stops answering: the next start says so and fails, and the running copy does
    // not open the file later either.
    kill(x.program, SIGSTOP);
    const auto answer = [&] {
        EXPECT_TRUE(x.WaitWindow("^Graphelle$")) << "no message";
        x.Key("Return");
    };
    EXPECT_EQ(another(b, answer).first, 1);
    EXPECT_NE(x.ProgramLog().find("already running but does not answer"), std::string::npos) << x.ProgramLog();
    kill(x.program, SIGCONT);
    Sleep(500);
    EXPECT_FALSE(x.Xdo("search --onlyvisible --name '^B - Graphelle$'"));

    // Started in another folder, with a name relative to it.
    const fs::path here = fs::current_path();
    fs::current_path(x.Documents());
    EXPECT_EQ(another("B.tvk"), std::pair(0, true)) << x.ProgramLog();
    fs::current_path(here);
    ASSERT_TRUE(x.WaitWindow("^B - Graphelle$")) << "the running copy did not open B";
    EXPECT_TRUE(x.Sheet(300, 200));
    EXPECT_GT(Marked(a, 0, 97, 400, 103), 200);
    EXPECT_GT(Marked(a, 0, 197, 400, 203), 200);
    // With no window manager, a click beside the sheet brings the keys back.
    x.Click(x.paper.left - 100, x.paper.top + 10);
    EXPECT_TRUE(x.Quit()) << x.ProgramLog();
}

}  // namespace
