// The File menu in a real window: each of its commands chosen through the menu, and Open
// Recent after the program was started again.

#include "XSession.h"

using FileMenuTest = XTest;

TEST_F(FileMenuTest, EveryCommandThroughTheMenuAndOpenRecentAfterARestart)
{
    fs::remove(Documents());  // the first start makes it
    ASSERT_TRUE(StartNewSheet());
    Drag(50, 100, 250, 100);
    // The nth item of the File menu (New is 1; separators do not count).
    const auto choose = [&](int n) { std::string keys; while (n-- > 0) keys += "Down "; return Menu(keys + "Return"); };
    // The first bytes of a file once it exists, within five seconds.
    const auto head = [](const std::string& path) {
        std::string bytes;
        return Within(5000, [&] { return (bytes = ReadAll(path)).size() >= 8; }) ? bytes.substr(0, 8) : bytes;
    };

    ASSERT_TRUE(choose(4));  // Save
    EXPECT_EQ(head(Documents() + "/Sketch1.tvk").substr(0, 4), "QLXF");
    ASSERT_TRUE(choose(6) && WaitWindow("^Export PNG$"));  // Export PNG...
    Key("Return");
    EXPECT_EQ(head(Documents() + "/Sketch1.png"), "\x89PNG\r\n\x1a\n");
    // The dialogs open, and close again with Escape; New, cancelled, says "Failed to create file!"
    // and the drawing comes back from its file.
    for (auto [item, title] : {std::pair{5, "^Save as$"}, {7, "^Earlier Versions$"}, {2, "^Open$"}, {1, "^New$"}}) {
        ASSERT_TRUE(choose(item));
        ASSERT_TRUE(WaitWindow(title)) << title;
        Key("Escape");
        Sleep(300);
    }
    Sleep(200);
    Key("Return");
    ASSERT_TRUE(WaitWindow("^Sketch1 - Graphelle$"));
    ASSERT_TRUE(choose(8));  // Exit
    ASSERT_TRUE(WaitProgramExit()) << ProgramLog();

    // Started again, the list of sketches shows; Open Recent's first entry is the sketch.
    ASSERT_TRUE(StartProgram({}, "^Graphelle$") && choose(3));
    Sleep(300);
    Key("Return");
    EXPECT_TRUE(WaitWindow("^Sketch1 - Graphelle$"));
    EXPECT_TRUE(Quit()) << ProgramLog();
}

