// The File menu in a real window: Save, Export PNG and Exit chosen through the menu, and Open
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

    ASSERT_TRUE(choose(4));  // Save
    EXPECT_TRUE(Within(5000, [&] { return ReadAll(Documents() + "/Sketch1.tvk").starts_with("QLXF"); }));
    ASSERT_TRUE(choose(6) && WaitWindow("^Export PNG$"));  // Export PNG...
    Key("Return");
    EXPECT_TRUE(Within(5000, [&] { return ReadAll(Documents() + "/Sketch1.png").starts_with("\x89PNG\r\n\x1a\n"); }));
    ASSERT_TRUE(choose(8));  // Exit
    ASSERT_TRUE(WaitProgramExit()) << ProgramLog();

    // Started again, the list of sketches shows; Open Recent's first entry is the sketch.
    ASSERT_TRUE(StartProgram({}, "^Graphelle$") && choose(3));
    Sleep(300);
    Key("Return");
    EXPECT_TRUE(WaitWindow("^Sketch1 - Graphelle$"));
    EXPECT_TRUE(Quit()) << ProgramLog();
}

