// The desktop around the program in a real X server: a picture dragged from another window and
// dropped on it opens as a new sheet; Help on a machine without a browser shows the program's own
// help window; the thumbnailer the program registered makes a sketch's picture; xdg-open on a
// sketch starts the program on that file.

#include "XSession.h"

namespace {

bool Installed(const std::string& tools)
{
    return std::system(("for t in " + tools + "; do command -v $t || exit 1; done >/dev/null").c_str()) == 0;
}

using PicturesTest = XTest;

TEST_F(PicturesTest, APictureDroppedHelpAndASketchOpenedByTheDesktop)
{
    ASSERT_TRUE(Installed("xdg-open mimetype update-mime-database update-desktop-database"))
        << "xdg-utils, libfile-mimeinfo-perl, shared-mime-info or desktop-file-utils is missing; "
           "run scripts/install-deps";
    ASSERT_TRUE(WriteSheet(x.Documents() + "/first.tvk", 400, 300));
    ASSERT_TRUE(x.StartProgram({x.Documents() + "/first.tvk"}));
    ASSERT_TRUE(x.WaitWindow("^first - Graphelle$"));
    Screenshot shot;
    Rect paper;
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    x.Click(paper.left - 20, paper.top - 20);  // the keys to the window, as a desktop would do

    // A picture pressed on the other window, dragged across and let go over the sheet.
    const std::string picture = x.Documents() + "/../photo.png";
    ASSERT_TRUE(WriteSheet(picture, 300, 200, true));
    const pid_t source = x.StartOther({GRAPHELLE_DRAG_SOURCE, picture, "1000", "100"});
    ASSERT_TRUE(x.WaitWindow("^Drag Source$"));
    std::string drag = "mousemove 1100 160 sleep 0.1 mousedown 1 sleep 0.2";
    for (int i = 1; i <= 10; ++i)
        drag += " mousemove " + std::to_string(1100 + (paper.left + 150 - 1100) * i / 10) + " " +
                std::to_string(160 + (paper.top + 100 - 160) * i / 10) + " sleep 0.05";
    ASSERT_TRUE(x.Xdo(drag + " sleep 0.2 mouseup 1"));
    const bool opened = x.WaitWindow("^photo");
    kill(source, SIGTERM), WaitExit(source);
    ASSERT_TRUE(opened) << x.ProgramLog();
    EXPECT_TRUE(x.CapturePaper(shot, paper, 300, 200));

    // Help: File, then Edit, then View, whose last item is Help.
    if (!Installed("x-www-browser") && !Installed("firefox") && !Installed("chromium")) {
        x.Click(25, 13);
        x.Key("Right");
        x.Key("Right");
        x.Key("Up");
        x.Key("Return");
        EXPECT_TRUE(x.WaitWindow("^Graphelle Help$")) << x.ProgramLog();
        x.Click(paper.right + 120, paper.bottom + 100);  // the main window, beside the help window
    }
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(x.Documents() + "/photo.tvk", saved));
    EXPECT_EQ(std::tuple(saved.GetWidth(), saved.GetPixel(20, 20), saved.GetPixel(40, 40)), std::tuple(300u, 0, 255));

    // The start registered the program with the desktop of this home, once its indexes are up.
    const std::string data = x.Documents() + "/../.local/share";
    for (int waited = 0; waited < 10000 && !(fs::exists(data + "/mime/mime.cache") &&
                                             fs::exists(data + "/applications/mimeinfo.cache"));
         waited += 100)
        Sleep(100);
    const std::string second = x.Documents() + "/../second.tvk", thumb = x.Documents() + "/../second.png";
    ASSERT_TRUE(WriteSheet(second, 320, 240));

    // A file manager's picture of the sketch: the thumbnailer's command, its fields filled in.
    std::ifstream thumbnailer(data + "/thumbnailers/graphelle.thumbnailer");
    std::string line, exec;
    while (std::getline(thumbnailer, line)) {
        if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
        EXPECT_TRUE(line.rfind("TryExec=", 0) != 0 || fs::exists(line.substr(8))) << line;
    }
    for (const auto& [field, value] : {std::pair{"%i", second}, {"%o", thumb}, {"%s", std::string("64")}})
        if (exec.find(field) != std::string::npos) exec.replace(exec.find(field), 2, value);
    ASSERT_EQ(std::system(exec.c_str()), 0) << exec;
    std::ifstream png(thumb, std::ios::binary);
    std::string header(24, '\0');
    png.read(header.data(), 24);
    EXPECT_EQ(header.substr(0, 4) + header.substr(16), std::string("\x89PNG\0\0\0\x40\0\0\0\x30", 12));  // 64 x 48
    const pid_t opener = x.StartOther({"xdg-open", second});
    ASSERT_TRUE(x.WaitWindow("^second - Graphelle$")) << x.ProgramLog();
    EXPECT_TRUE(x.CapturePaper(shot, paper, 320, 240));
    x.Click(paper.left - 20, paper.top - 20);
    x.Key("ctrl+q");
    EXPECT_EQ(WaitExit(opener), 0) << x.ProgramLog();
}

}  // namespace
