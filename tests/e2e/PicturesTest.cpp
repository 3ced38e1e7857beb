// The desktop around the program in a real X server: a picture dragged from another window and
// dropped on it opens as a new sheet; the thumbnailer the program registered makes a sketch's
// picture; xdg-open on a sketch starts the program on that file.

#include "XSession.h"

namespace {

using PicturesTest = XTest;

TEST_F(PicturesTest, APictureDroppedAndASketchOpenedByTheDesktop)
{
    ASSERT_TRUE(Installed("xdg-open mimetype update-mime-database update-desktop-database"))
        << "xdg-utils, libfile-mimeinfo-perl, shared-mime-info or desktop-file-utils is missing; "
           "run scripts/install-deps";
    const std::string first = Documents() + "/first.tvk", picture = Documents() + "/../photo.png";
    ASSERT_TRUE(WriteSheet(first, 400, 300) && WriteSheet(picture, 300, 200, true));
    ASSERT_TRUE(StartProgram({first}, "^first - Graphelle$", 400, 300));
    Click(paper.left - 20, paper.top - 20);  // the keys to the window, as a desktop would do

    // A picture pressed on the other window, dragged across and let go over the sheet.
    const pid_t source = Spawn({GRAPHELLE_DRAG_SOURCE, picture, "1000", "100"});
    ASSERT_TRUE(WaitWindow("^Drag Source$"));
    const int x0 = 1100 - paper.left, y0 = 160 - paper.top;
    std::string drag = "mousemove 1100 160 sleep 0.1 mousedown 1 sleep 0.2";
    for (int i = 1; i <= 10; ++i)
        drag += " mousemove " + At(x0 + (150 - x0) * i / 10, y0 + (100 - y0) * i / 10) + " sleep 0.05";
    ASSERT_TRUE(Xdo(drag + " sleep 0.2 mouseup 1"));
    const bool opened = WaitWindow("^photo");
    kill(source, SIGTERM), WaitExit(source);
    ASSERT_TRUE(opened) << ProgramLog();
    EXPECT_TRUE(Sheet(300, 200));

    ASSERT_TRUE(Quit()) << ProgramLog();

    // The start registered the program with the desktop of this home, once its indexes are up.
    const std::string data = home + "/.local/share";
    const std::string caches[] = {data + "/mime/mime.cache", data + "/applications/mimeinfo.cache"};
    Within(10000, [&] { return fs::exists(caches[0]) && fs::exists(caches[1]); }, 100);
    const std::string second = Documents() + "/../second.tvk", thumb = Documents() + "/../second.png";
    ASSERT_TRUE(WriteSheet(second, 320, 240));

    // A file manager's picture of the sketch: the thumbnailer's command, its fields filled in.
    std::ifstream thumbnailer(data + "/thumbnailers/graphelle.thumbnailer");
    std::string line, exec;
    while (std::getline(thumbnailer, line)) {
        if (line.starts_with("Exec=")) exec = line.substr(5);
        EXPECT_TRUE(!line.starts_with("TryExec=") || fs::exists(line.substr(8))) << line;
    }
    for (const auto& [field, value] : {std::pair{"%i", second}, {"%o", thumb}, {"%s", std::string("64")}})
        if (exec.find(field) != std::string::npos) exec.replace(exec.find(field), 2, value);
    ASSERT_EQ(Shell(exec), 0) << exec;
    std::string png = ReadAll(thumb);
    png.resize(24);
    EXPECT_EQ(png.substr(0, 4) + png.substr(16), std::string("\x89PNG\0\0\0\x40\0\0\0\x30", 12));  // 64 x 48
    const pid_t opener = Spawn({"xdg-open", second});
    ASSERT_TRUE(WaitWindow("^second - Graphelle$")) << ProgramLog();
    EXPECT_TRUE(Sheet(320, 240));
    Click(paper.left - 20, paper.top - 20);
    Key("ctrl+q");
    EXPECT_EQ(WaitExit(opener), 0) << ProgramLog();
}

}  // namespace
