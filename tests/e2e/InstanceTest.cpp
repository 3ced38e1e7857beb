// One running copy per session, in a real X server: a start on the open file changes nothing;
// a hung copy is reported, not opened beside; a second start hands its file over and ends at
// once, while the first file keeps its strokes.

#include "XSession.h"

#include <functional>

using InstanceTest = XTest;

TEST_F(InstanceTest, AnotherStartHandsItsFileToTheRunningCopyOrSaysThatItDoesNotAnswer)
{
    const std::string a = Documents() + "/A.tvk", b = Documents() + "/B.tvk";
    ASSERT_TRUE(WriteSheet(a, 400, 300) && WriteSheet(b, 300, 200));
    ASSERT_TRUE(StartProgram({a}, "^A - Graphelle$", 400, 300));
    // Another start of the program on a file, after meanwhile ran: its exit status within ms, else -1.
    const auto another = [&](const std::string& file, int ms, const std::function<void()>& meanwhile = [] {}) {
        const pid_t pid = Spawn({GRAPHELLE_PROGRAM, file});
        meanwhile();
        return WaitExit(pid, ms);
    };

    Drag(50, 100, 350, 100);
    EXPECT_EQ(another(a, 2000), 0) << ProgramLog();
    Drag(50, 200, 350, 200);

    // A copy that stops answering: the next start says so and fails, and the running copy does
    // not open the file later either.
    kill(program, SIGSTOP);
    const auto answer = [&] { EXPECT_TRUE(WaitWindow("^Graphelle$")) << "no message"; Key("Return"); };
    EXPECT_EQ(another(b, 5000, answer), 1);
    EXPECT_NE(ProgramLog().find("already running but does not answer"), std::string::npos) << ProgramLog();
    kill(program, SIGCONT);
    Sleep(500);
    EXPECT_FALSE(Xdo("search --onlyvisible --name '^B - Graphelle$'"));

    // Started in another folder, with a name relative to it.
    const fs::path here = fs::current_path();
    fs::current_path(Documents());
    EXPECT_EQ(another("B.tvk", 2000), 0) << ProgramLog();
    fs::current_path(here);
    ASSERT_TRUE(WaitWindow("^B - Graphelle$")) << "the running copy did not open B";
    EXPECT_TRUE(Sheet(300, 200));
    EXPECT_GT(Marked(a, 0, 97, 400, 103), 200);
    EXPECT_GT(Marked(a, 0, 197, 400, 203), 200);
    // With no window manager, a click beside the sheet brings the keys back.
    Click(paper.left - 100, paper.top + 10);
    EXPECT_TRUE(Quit()) << ProgramLog();
}

