// The desktop around the program in a real X server: a picture dragged from another window and
// dropped on it opens as a new sheet; xdg-open on a sketch starts the program on that file; Help
// on a machine without a browser shows the program's own help window.

#include "XSession.h"

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

namespace {

// A white sheet with a black square at (10, 10) to (30, 30), as a sketch or as a PNG picture.
bool WriteSheet(const std::string& path, uint32_t width, uint32_t height, bool png = false)
{
    CPaper paper;
    CArchive ar;
    if (!paper.Create(width, height, 5)) return false;
    for (int i = 0; i < 400; ++i) paper.SetPixel(10 + i % 20, 10 + i / 20, 0);
    return ar.Open(path, CArchive::store) && (png ? WritePng(paper, ar) : WriteSketch(paper, ar)) && ar.Close();
}

// The exit status of a process within 10 s, else -1 after ending it.
int WaitFor(pid_t pid)
{
    for (int waited = 0, status = 0; waited < 10000; waited += 50, Sleep(50))
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    return -1;
}

// xdotool gives up when a window vanishes while it searches, as windows do while a program
// starts, so the search goes on until the time is up.
bool WaitTitle(XSession& x, const std::string& regex)
{
    const auto start = std::chrono::steady_clock::now();
    while (!x.WaitWindow(regex))
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) return false;
    return true;
}

bool Installed(const std::string& tools)
{
    return std::system(("for t in " + tools + "; do command -v $t || exit 1; done >/dev/null").c_str()) == 0;
}

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(x.Start()) << "no X server";
        fs::create_directories(x.Documents());
        ASSERT_TRUE(WriteSheet(x.Documents() + "/first.tvk", 400, 300));
        ASSERT_TRUE(x.StartProgram({x.Documents() + "/first.tvk"}));
        ASSERT_TRUE(WaitTitle(x, "^first - Graphelle$"));
        Screenshot shot;
        ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
        x.Click(paper.left - 20, paper.top - 20);  // the keys to the window, as a desktop would do
    }

    XSession x;
    Rect paper;
};

}  // namespace

TEST_F(PicturesTest, APictureDroppedOnTheWindowOpensAsANewSheet)
{
    const std::string picture = x.Documents() + "/../photo.png";
    ASSERT_TRUE(WriteSheet(picture, 300, 200, true));
    const pid_t source = x.StartOther({GRAPHELLE_DRAG_SOURCE, picture, "1000", "100"});
    ASSERT_TRUE(WaitTitle(x, "^Drag Source$"));
    // Pressed on the other window, dragged across and let go over the sheet.
    std::string drag = "mousemove 1100 160 sleep 0.1 mousedown 1 sleep 0.2";
    for (int i = 1; i <= 10; ++i)
        drag += " mousemove " + std::to_string(1100 + (paper.left + 150 - 1100) * i / 10) + " " +
                std::to_string(160 + (paper.top + 100 - 160) * i / 10) + " sleep 0.05";
    ASSERT_TRUE(x.Xdo(drag + " sleep 0.2 mouseup 1"));
    const bool opened = WaitTitle(x, "^photo");
    kill(source, SIGTERM), WaitFor(source);
    ASSERT_TRUE(opened) << x.ProgramLog();
    Screenshot shot;
    EXPECT_TRUE(x.CapturePaper(shot, paper, 300, 200));
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    CPaper saved;
    std::string error;
    ASSERT_EQ(LoadSketchFile(x.Documents() + "/photo.tvk", saved, error), SketchLoad::Whole) << error;
    EXPECT_EQ(std::tuple(saved.GetWidth(), saved.GetPixel(20, 20), saved.GetPixel(40, 40)), std::tuple(300u, 0, 255));
}

TEST_F(PicturesTest, XdgOpenOnASketchStartsTheProgramOnIt)
{
    ASSERT_TRUE(Installed("xdg-open mimetype update-mime-database update-desktop-database"))
        << "xdg-utils, libfile-mimeinfo-perl, shared-mime-info or desktop-file-utils is missing; run scripts/install-deps";
    // The start in SetUp registered the program with the desktop of this home.
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
    const std::string data = x.Documents() + "/../.local/share";
    for (int waited = 0; waited < 10000 && !(fs::exists(data + "/mime/mime.cache") &&
                                             fs::exists(data + "/applications/mimeinfo.cache"));
         waited += 100)
        Sleep(100);

    const std::string second = x.Documents() + "/../second.tvk";
    ASSERT_TRUE(WriteSheet(second, 320, 240));
    const pid_t opener = x.StartOther({"xdg-open", second});
    ASSERT_TRUE(WaitTitle(x, "^second - Graphelle$")) << x.ProgramLog();
    Screenshot shot;
    EXPECT_TRUE(x.CapturePaper(shot, paper, 320, 240));
    x.Click(paper.left - 20, paper.top - 20);
    x.Key("ctrl+q");
    EXPECT_EQ(WaitFor(opener), 0) << x.ProgramLog();
}

TEST_F(PicturesTest, HelpWithoutABrowserShowsTheHelpWindow)
{
    if (Installed("x-www-browser") || Installed("firefox") || Installed("chromium"))
        GTEST_SKIP() << "a browser is installed; the help window is for a machine without one";
    x.Click(25, 13);  // File, then Edit, then View, whose last item is Help
    x.Key("Right");
    x.Key("Right");
    x.Key("Up");
    x.Key("Return");
    ASSERT_TRUE(WaitTitle(x, "^Graphelle Help$")) << x.ProgramLog();
    x.Click(paper.right + 120, paper.bottom + 100);  // the main window, beside the help window
    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}
