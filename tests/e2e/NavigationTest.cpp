// The program in a real X window with a window manager, driven by keys: the pointer's picture for
// each tool, read back from the X server, the zoom and fit keys, undo and redo, Select All, Delete
// and Escape, and F11 in and out of full screen.

#include "XSession.h"

#include <memory>

// After the test framework, whose names Xlib's macros (None, Bool) would take.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

// The pointer's picture as the X server shows it: size and ARGB pixels.
struct PointerPicture {
    int width = 0, height = 0;
    std::vector<unsigned long> pixels;
    bool operator==(const PointerPicture&) const = default;
    bool Clear(int x, int y) const { return (pixels[static_cast<size_t>(y * width + x)] >> 24) == 0; }
};

PointerPicture Pointer(Display* display)
{
    const std::unique_ptr<XFixesCursorImage, int (*)(void*)> image(XFixesGetCursorImage(display), XFree);
    if (!image) return {};
    return {image->width, image->height, {image->pixels, image->pixels + image->width * image->height}};
}

using NavigationTest = XTest;

TEST_F(NavigationTest, ToolPicturesZoomAndEditingKeysAndFullScreen)
{
    if (!Installed("openbox")) GTEST_SKIP() << "openbox is not installed";
    ASSERT_GT(Spawn({"openbox", "--sm-disable"}), 0);  // full screen is the window manager's to grant
    Sleep(500);
    ASSERT_TRUE(StartNewSheet()) << "no New dialog or no sheet";
    const std::unique_ptr<Display, int (*)(Display*)> server(XOpenDisplay(display.c_str()), XCloseDisplay);
    ASSERT_TRUE(server);
    // The pointer's picture once it has settled over a point.
    const auto pointerAt = [&](int px, int py) {
        Xdo("mousemove " + Pos(px, py) + " sleep 0.1 mousemove_relative 1 0");
        PointerPicture last;
        Within(1000, [&] { return std::exchange(last, Pointer(server.get())) == last; });
        return last;
    };
    const int cx = paper.left + 200, cy = paper.top + 150;

    // The pencil, one pixel wide at actual size: a small crosshair open in the middle.
    const PointerPicture pencil = pointerAt(cx, cy);
    ASSERT_EQ(std::pair(pencil.width, pencil.height), std::pair(15, 15));
    EXPECT_EQ(std::pair(pencil.Clear(7, 7), pencil.Clear(7, 2)), std::pair(true, false));

    // The eraser's disc of 7 pixels, then 1.44 times that after two steps in.
    Key("e");
    const PointerPicture eraser = pointerAt(cx, cy);
    ASSERT_EQ(std::pair(eraser.width, eraser.height), std::pair(9, 9));
    EXPECT_TRUE(eraser.Clear(4, 4));
    Key("ctrl+plus ctrl+equal");
    ASSERT_TRUE(Sheet(576, 432)) << "Ctrl+plus and Ctrl+equals zoom in";
    EXPECT_EQ(pointerAt(paper.left + 288, paper.top + 216).width, 13);
    Key("ctrl+0");
    ASSERT_TRUE(Sheet(400, 300)) << "Ctrl+0 is actual size";

    // The hand, open and closed while it drags; the select tool's cross.
    Key("h");
    const PointerPicture open = pointerAt(cx, cy);
    Xdo("mousedown 1 sleep 0.1 mousemove_relative 2 0 sleep 0.15");
    const PointerPicture closed = Pointer(server.get());
    Xdo("mouseup 1 sleep 0.1");
    Key("s");
    const PointerPicture cross = pointerAt(cx, cy);
    for (const PointerPicture* p : {&open, &closed, &cross}) EXPECT_TRUE(p->width > 0 && *p != pencil && *p != eraser);
    EXPECT_FALSE(open == closed || open == cross || closed == cross);

    // Keys that edit: a stroke, undone, and redone by both keys; Escape drops the selection: its
    // outline goes, the drawing stays. -1: not looked at.
    Key("b");
    ASSERT_TRUE(Sheet(400, 300));
    const Rect band{paper.left + 40, paper.top + 110, paper.left + 360, paper.top + 130};
    Drag(50, 120, 350, 120);
    // Graphite in the band once settled: gray darker than white, not the grid's cross.
    const auto marks = [&] {
        Sleep(250);
        int n = Capture() ? 0 : -1;
        for (int y = band.top; n >= 0 && y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x) n += Pixel(x, y) % 0x010101 == 0 && Pixel(x, y) < 0xF0F0F0;
        return n;
    };
    const int stroke = marks();
    EXPECT_GT(stroke, 250);
    const struct { const char* keys; int shown, outline; } edits[] = {
        {"ctrl+z", 0, -1}, {"ctrl+y", 1, -1}, {"ctrl+z", 0, -1}, {"ctrl+shift+z", 1, -1}, {"ctrl+a Delete", 0, -1},
        {"ctrl+z", 1, -1}, {"ctrl+a", -1, 1}, {"Escape", 1, 0}};
    for (const auto& [keys, shown, outline] : edits) {
        Key(keys);
        const int now = marks();
        if (shown >= 0) { EXPECT_EQ(now, shown ? stroke : 0) << keys; }
        if (outline >= 0) { EXPECT_EQ(FindColour(0, height, 0x999900).first >= 0, outline == 1) << keys; }
    }

    // Fit to Window: the whole sheet as large as the window shows it.
    Key("ctrl+9");
    Sleep(300);
    ASSERT_TRUE(Capture());
    const auto [w, h] = FindPaper();
    EXPECT_GT(w, 600);
    EXPECT_NEAR(h, w * 0.75, 1.0);

    // F11 in and out of full screen, as the window manager lays the window out.
    const auto size = [&] {
        const std::string out = Output("xdotool getactivewindow getwindowgeometry --shell");
        const size_t at = std::min(out.find("WIDTH"), out.size());
        return out.substr(at, out.find("SCREEN") - at);
    };
    const std::string window = size(), full = "WIDTH=1280\nHEIGHT=900\n";
    ASSERT_TRUE(window.starts_with("WIDTH=") && window != full) << window;
    for (const std::string& wanted : {full, window}) {
        Key("F11");
        EXPECT_TRUE(Within(3000, [&] { return size() == wanted; }, 100)) << size();
    }
    EXPECT_TRUE(Quit()) << ProgramLog();
}

}  // namespace
