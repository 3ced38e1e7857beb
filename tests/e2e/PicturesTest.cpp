// The desktop around the program in a real X server: a picture dragged from another window and
// dropped on it opens as a new sheet; xdg-open on a sketch starts the program on that file; Help
// on a machine without a browser shows the program's own help window.

#include "XSession.h"

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "framework/Archive.h"

#include <gtest/gtest.h>

namespace {

// A white sheet with a black square at (10, 10), 20 pixels on a side, written by its name's format.
bool WriteSheet(const std::string& path, uint32_t width, uint32_t height)
{
    CPaper paper;
    if (!paper.Create(width, height, 5)) return false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) paper.SetPixel(x, y, 0);
    CArchive ar;
    const bool png = path.size() > 4 && path.substr(path.size() - 4) == ".png";
    return ar.Open(path, CArchive::store) && (png ? WritePng(paper, ar) : WriteSketch(paper, ar)) && ar.Close();
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The exit status of a process within timeoutMs, else -1 after ending it.
int WaitFor(pid_t pid, int timeoutMs)
{
    for (int waited = 0, status = 0; pid > 0 && waited < timeoutMs; waited += 50, Sleep(50))
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
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
    return std::system(("for t in " + tools + "; do command -v $t || exit 1; done >/dev/null 2>&1").c_str()) == 0;
}

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(x.Start()) << "no X server";
        fs::create_directories(x.Documents());
        ASSERT_TRUE(WriteSheet(first, 400, 300));
    }
    // The program on the first sketch, its sheet on screen.
    void StartOnFirst()
    {
        ASSERT_TRUE(x.StartProgram({first}));
        ASSERT_TRUE(WaitTitle(x, "^first - Graphelle$"));
        Screenshot shot;
        ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
        // A click on the surround gives the window the keys, as a desktop would.
        x.Click(paper.left - 20, paper.top - 20);
    }

    XSession x;
    const std::string first = x.Documents() + "/first.tvk";
    Rect paper;
};

}  // namespace

TEST_F(PicturesTest, APictureDroppedOnTheWindowOpensAsANewSheet)
{
    const std::string picture = x.Documents() + "/../photo.png";
    ASSERT_TRUE(WriteSheet(picture, 300, 200));
    const std::string bytes = Contents(picture);
    ASSERT_NO_FATAL_FAILURE(StartOnFirst());

    // Dragged from a window beside the program's and let go over the sheet.
    const pid_t source = x.StartOther({GRAPHELLE_DRAG_SOURCE, picture, "1000", "100"});
    ASSERT_TRUE(WaitTitle(x, "^Drag Source$"));
    std::string path = "mousemove 1100 160 sleep 0.1 mousedown 1 sleep 0.2";
    for (int i = 1; i <= 10; ++i)
        path += " mousemove " + std::to_string(1100 - (1100 - paper.left - 150) * i / 10) + " " +
                std::to_string(160 + (paper.top + 100 - 160) * i / 10) + " sleep 0.05";
    ASSERT_TRUE(x.Xdo(path + " sleep 0.2 mouseup 1"));
    const bool opened = WaitTitle(x, "^photo");
    kill(source, SIGTERM);
    WaitFor(source, 5000);
    ASSERT_TRUE(opened) << x.ProgramLog();
    Screenshot shot;
    Rect sheet;
    EXPECT_TRUE(x.CapturePaper(shot, sheet, 300, 200)) << "no 300 x 200 sheet on screen";
    x.Key("ctrl+q");
    ASSERT_TRUE(x.WaitProgramExit()) << x.ProgramLog();

    CPaper saved;
    std::string error;
    ASSERT_EQ(LoadSketchFile(x.Documents() + "/photo.tvk", saved, error), SketchLoad::Whole) << error;
    EXPECT_EQ(std::tuple(saved.GetWidth(), saved.GetHeight(), saved.GetPixel(20, 20), saved.GetPixel(40, 40)),
              std::tuple(300u, 200u, 0, 255));
    EXPECT_EQ(Contents(picture), bytes) << "the picture was written";
}

TEST_F(PicturesTest, XdgOpenOnASketchStartsTheProgramOnIt)
{
    ASSERT_TRUE(Installed("xdg-open mimetype update-mime-database update-desktop-database"))
        << "xdg-utils, libfile-mimeinfo-perl, shared-mime-info or desktop-file-utils is missing; run scripts/install-deps";
    // A first start registers the program with the desktop of this home.
    ASSERT_NO_FATAL_FAILURE(StartOnFirst());
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
    EXPECT_EQ(WaitFor(opener, 10000), 0) << x.ProgramLog();
}

TEST_F(PicturesTest, HelpWithoutABrowserShowsTheHelpWindow)
{
    if (Installed("x-www-browser") || Installed("firefox") || Installed("chromium"))
        GTEST_SKIP() << "a browser is installed; the help window is for a machine without one";
    ASSERT_NO_FATAL_FAILURE(StartOnFirst());
    // View is the menu right of Edit, and Help its last item.
    x.Click(25, 13);
    x.Key("Right");
    x.Key("Up");
    x.Key("Return");
    ASSERT_TRUE(WaitTitle(x, "^Graphelle Help$")) << x.ProgramLog();
    x.Click(paper.right + 120, paper.bottom + 100);  // the main window, beside the help window
    x.Key("ctrl+q");  // the help window goes with the program
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}
