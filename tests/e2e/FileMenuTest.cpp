// The File menu in a real window: each of its commands chosen through the menu, and Open
// Recent after the program was started again.

#include "XSession.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

class FileMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(x.Start()) << "no X server";
    }
    // Opens the File menu and chooses its nth item (New is 1; separators do not count).
    void Choose(int n)
    {
        const int windows = x.VisibleWindows();
        x.Click(25, 13);
        ASSERT_TRUE(x.WaitVisibleWindows(windows + 1)) << "the File menu did not open";
        for (int i = 0; i < n; ++i) x.Key("Down");
        x.Key("Return");
    }
    // The first bytes of a file once it exists, within five seconds.
    std::string WaitFile(const std::string& path)
    {
        for (int waited = 0; waited < 5000; waited += 50, Sleep(50)) {
            std::ifstream in(path, std::ios::binary);
            std::string head(8, '\0');
            if (in.read(head.data(), 8)) return head;
        }
        return {};
    }

    XSession x;
};

TEST_F(FileMenuTest, EveryCommandThroughTheMenuAndOpenRecentAfterARestart)
{
    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^New$"));
    x.Key("Return");
    ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$"));
    Screenshot shot;
    Rect paper;
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    x.Drag({{paper.left + 50, paper.top + 100}, {paper.left + 150, paper.top + 120}, {paper.left + 250, paper.top + 100}});

    const std::string sketch = x.Documents() + "/Sketch1.tvk";
    ASSERT_NO_FATAL_FAILURE(Choose(4));  // Save
    EXPECT_EQ(WaitFile(sketch).substr(0, 4), "QLXF");
    ASSERT_NO_FATAL_FAILURE(Choose(6));  // Export PNG...
    ASSERT_TRUE(x.WaitWindow("^Export PNG$"));
    x.Key("Return");
    EXPECT_EQ(WaitFile(x.Documents() + "/Sketch1.png"), "\x89PNG\r\n\x1a\n");
    // The dialogs open, and close again with Escape.
    const std::pair<int, const char*> dialogs[] = {
        {5, "^Save as$"}, {7, "^Earlier Versions$"}, {2, "^Open$"}};
    for (const auto& [item, title] : dialogs) {
        ASSERT_NO_FATAL_FAILURE(Choose(item));
        EXPECT_TRUE(x.WaitWindow(title)) << title;
        x.Key("Escape");
        Sleep(300);
    }
    // New, cancelled: the drawing comes back from its file.
    ASSERT_NO_FATAL_FAILURE(Choose(1));
    ASSERT_TRUE(x.WaitWindow("^New$"));
    x.Key("Escape");
    Sleep(500);
    x.Key("Return");  // "Failed to create file!"
    ASSERT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$"));
    ASSERT_NO_FATAL_FAILURE(Choose(8));  // Exit
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();

    // Started again, the list of sketches shows; Open Recent's first entry is the sketch.
    ASSERT_TRUE(x.StartProgram());
    ASSERT_TRUE(x.WaitWindow("^Graphelle$"));
    ASSERT_NO_FATAL_FAILURE(Choose(3));
    Sleep(300);
    x.Key("Return");
    EXPECT_TRUE(x.WaitWindow("^Sketch1 - Graphelle$"));
    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}

}  // namespace
