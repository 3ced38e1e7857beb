// The desktop around the program in a real X server: a picture dragged from another window and
// dropped on it opens as a new sheet; xdg-open on a sketch starts the program on that file.

#include "XSession.h"

using PicturesTest = XTest;

TEST_F(PicturesTest, APictureDroppedAndASketchOpenedByTheDesktop)
{
    // scripts/install-deps installs them.
    ASSERT_TRUE(Installed("xdg-open mimetype update-mime-database update-desktop-database"));
    const std::string first = Documents() + "/first.tvk", picture = Documents() + "/../photo.png";
    ASSERT_TRUE(WriteSheet(first, 400, 300) && WriteSheet(picture, 300, 200, true));
    ASSERT_TRUE(StartProgram({first}, "^first - Graphelle$", 400, 300));
    Click(paper.left - 20, paper.top - 20);  // the keys to the window, as a desktop would do

    // A picture pressed on the other window, dragged across and let go over the sheet.
    ASSERT_GT(Spawn({GRAPHELLE_DRAG_SOURCE, picture, "1000", "100"}), 0);  // it stays, as a file manager does
    ASSERT_TRUE(WaitWindow("^Drag Source$"));
    const int x0 = 1100 - paper.left, y0 = 160 - paper.top;
    std::string drag = "mousemove 1100 160 sleep 0.1 mousedown 1 sleep 0.2";
    for (int i = 1; i <= 10; ++i)
        drag += " mousemove " + At(x0 + (150 - x0) * i / 10, y0 + (100 - y0) * i / 10) + " sleep 0.05";
    ASSERT_TRUE(Xdo(drag + " sleep 0.2 mouseup 1"));
    ASSERT_TRUE(WaitWindow("^photo")) << ProgramLog();
    EXPECT_TRUE(Sheet(300, 200));

    ASSERT_TRUE(Quit()) << ProgramLog();

    // The start registered the program with the desktop of this home, once its indexes are up.
    for (const char* index : {"mime/mime.cache", "applications/mimeinfo.cache"})
        Within(10000, [&] { return fs::exists(home + "/.local/share/" + index); });
    const std::string second = Documents() + "/../second.tvk";
    ASSERT_TRUE(WriteSheet(second, 320, 240));

    const pid_t opener = Spawn({"xdg-open", second});
    ASSERT_TRUE(WaitWindow("^second - Graphelle$")) << ProgramLog();
    EXPECT_TRUE(Sheet(320, 240));
    Click(paper.left - 20, paper.top - 20);
    Key("ctrl+q");
    EXPECT_EQ(WaitExit(opener), 0) << ProgramLog();
}

