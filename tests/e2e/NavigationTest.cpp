// The program in a real X window with a window manager, driven by keys: the
// pointer's picture for each tool, read back from the X server, the zoom and
// fit keys, undo and redo, Select All, Delete and Escape, and F11 in and out
// of full screen.

#include "XSession.h"

// After the test framework, whose names Xlib's macros (None, Bool) would take.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

// The pointer's picture as the X server shows it: size and ARGB pixels.
struct PointerPicture {
    int width = 0, height = 0;
    std::vector<unsigned long> pixels;
    bool operator==(const PointerPicture&) const = default;
    // Fully transparent at (x, y).
    bool Clear(int x, int y) const { return (pixels[static_cast<size_t>(y * width + x)] >> 24) == 0; }
};

// The pointer's picture as the X server shows it now.
PointerPicture Pointer(Display* display)
{
    PointerPicture picture;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        picture.width = image->width;
        picture.height = image->height;
        picture.pixels.assign(image->pixels, image->pixels + image->width * image->height);
        XFree(image);
    }
    return picture;
}

// Gray pixels darker than white within a rectangle: graphite, not the grid's cross.
int Graphite(const Screenshot& shot, const Rect& r)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = shot.Pixel(x, y);
            n += (p & 0xFF) < 0xF0 && p == (p & 0xFF) * 0x010101u;
        }
    return n;
}

class NavigationTest : public XTest {
protected:
    void SetUp() override
    {
        if (std::system("command -v openbox >/dev/null 2>&1") != 0) GTEST_SKIP() << "openbox is not installed";
        ASSERT_NO_FATAL_FAILURE(XTest::SetUp());
        // Full screen is the window manager's to grant.
        wm = x.StartOther({"openbox", "--sm-disable"});
        ASSERT_GT(wm, 0);
        Sleep(500);
    }
    void TearDown() override
    {
        if (wm > 0) kill(wm, SIGTERM), waitpid(wm, nullptr, 0);
        if (display) XCloseDisplay(display);
    }

    // The pointer's picture once it has settled over a point.
    PointerPicture PointerAt(int px, int py)
    {
        x.Xdo("mousemove " + std::to_string(px) + " " + std::to_string(py) + " sleep 0.1 mousemove_relative 1 0");
        PointerPicture last;
        for (int tries = 0; tries < 20; ++tries, Sleep(50)) {
            PointerPicture now = Pointer(display);
            if (now == last) return now;
            last = std::move(now);
        }
        return last;
    }
    // The marks inside the sheet once they have settled.
    int MarksNow(const Rect& paper)
    {
        Sleep(250);
        Screenshot shot;
        return x.Capture(shot) ? Graphite(shot, paper) : -1;
    }

    pid_t wm = -1;
    Display* display = nullptr;
};

TEST_F(NavigationTest, ToolPicturesZoomAndEditingKeysAndFullScreen)
{
    Rect paper;
    ASSERT_TRUE(x.StartNewSheet(paper)) << "no New dialog or no sheet";
    Screenshot shot;
    ASSERT_TRUE(display = XOpenDisplay(x.Display().c_str()));
    const int cx = paper.left + 200, cy = paper.top + 150;

    // The pencil, one pixel wide at actual size: a small crosshair open in the middle.
    const PointerPicture pencil = PointerAt(cx, cy);
    ASSERT_EQ(std::pair(pencil.width, pencil.height), std::pair(15, 15));
    EXPECT_TRUE(pencil.Clear(7, 7));
    EXPECT_FALSE(pencil.Clear(7, 2));

    // The eraser's disc of 7 pixels, then 1.44 times that after two steps in.
    x.Key("e");
    const PointerPicture eraser = PointerAt(cx, cy);
    EXPECT_EQ(std::pair(eraser.width, eraser.height), std::pair(9, 9));
    EXPECT_TRUE(eraser.Clear(4, 4));
    x.Key("ctrl+plus");
    x.Key("ctrl+equal");
    ASSERT_TRUE(x.CapturePaper(shot, paper, 576, 432)) << "Ctrl+plus and Ctrl+equals zoom in";
    EXPECT_EQ(PointerAt(paper.left + 288, paper.top + 216).width, 13);
    x.Key("ctrl+0");
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300)) << "Ctrl+0 is actual size";

    // The hand, open and closed while it drags; the select tool's cross.
    x.Key("h");
    const PointerPicture open = PointerAt(cx, cy);
    x.Xdo("mousedown 1 sleep 0.1 mousemove_relative 2 0 sleep 0.15");
    const PointerPicture closed = Pointer(display);
    x.Xdo("mouseup 1 sleep 0.1");
    x.Key("s");
    const PointerPicture cross = PointerAt(cx, cy);
    for (const PointerPicture* p : {&open, &closed, &cross}) {
        EXPECT_GT(p->width, 0);
        EXPECT_FALSE(*p == pencil || *p == eraser);
    }
    EXPECT_FALSE(open == closed || open == cross || closed == cross);

    // Keys that edit: a stroke, undone, and redone by both keys.
    x.Key("b");
    ASSERT_TRUE(x.CapturePaper(shot, paper, 400, 300));
    const Rect band{paper.left + 40, paper.top + 110, paper.left + 360, paper.top + 130};
    x.Drag(Line(paper, 50, 120, 350, 120));
    const int stroke = MarksNow(band);
    EXPECT_GT(stroke, 250);
    const std::pair<const char*, bool> edits[] = {
        {"ctrl+z", false}, {"ctrl+y", true}, {"ctrl+z", false}, {"ctrl+shift+z", true},
        {"ctrl+a Delete", false}, {"ctrl+z", true}};
    for (const auto& [keys, shown] : edits) {
        x.Key(keys);
        EXPECT_EQ(MarksNow(band), shown ? stroke : 0) << keys;
    }
    // Escape drops the selection: its outline goes, the drawing stays.
    int ox = 0, oy = 0;
    for (const char* keys : {"ctrl+a", "Escape"}) {
        x.Key(keys);
        Sleep(250);
        ASSERT_TRUE(x.Capture(shot));
        EXPECT_EQ(shot.FindColour(0, shot.height, 0x999900, ox, oy), keys[0] == 'c') << keys;
    }
    EXPECT_EQ(Graphite(shot, band), stroke);

    // Fit to Window: the whole sheet as large as the window shows it.
    x.Key("ctrl+9");
    Sleep(300);
    ASSERT_TRUE(x.Capture(shot));
    ASSERT_TRUE(shot.FindPaper(paper));
    EXPECT_GT(paper.Width(), 600);
    EXPECT_NEAR(paper.Height(), paper.Width() * 0.75, 1.0);

    // F11 in and out of full screen, as the window manager lays the window out.
    const auto size = [&] {
        const std::string out = x.Output("xdotool getactivewindow getwindowgeometry --shell");
        const size_t at = std::min(out.find("WIDTH"), out.size());
        return out.substr(at, out.find("SCREEN") - at);
    };
    const auto sizeBecomes = [&](const std::string& wanted) {
        for (int waited = 0; waited < 3000 && size() != wanted; waited += 100) Sleep(100);
        return size();
    };
    const std::string window = size(), full = "WIDTH=1280\nHEIGHT=900\n";
    ASSERT_TRUE(window.starts_with("WIDTH=") && window != full) << window;
    x.Key("F11");
    EXPECT_EQ(sizeBecomes(full), full);
    x.Key("F11");
    EXPECT_EQ(sizeBecomes(window), window);

    x.Key("ctrl+q");
    EXPECT_TRUE(x.WaitProgramExit()) << x.ProgramLog();
}

}  // namespace
