// The program in a real X window with a window manager, driven by keys: the sheet fitted to the
// window the manager gave, and F11 in and out of full screen. (The zoom keys and commands are the
// shell's and the view's tests.)

#include "XSession.h"

using NavigationTest = XTest;

TEST_F(NavigationTest, FitToTheWindowAndFullScreen)
{
    if (!Installed("openbox")) GTEST_SKIP() << "openbox is not installed";
    ASSERT_GT(Spawn({"openbox", "--sm-disable"}), 0);  // full screen is the window manager's to grant
    Sleep(500);
    ASSERT_TRUE(StartNewSheet()) << "no New dialog or no sheet";

    // Fit to Window: the whole sheet as large as the window shows it.
    Key("ctrl+9");
    Sleep(300);
    ASSERT_TRUE(Capture());
    const auto [w, h] = FindPaper();
    EXPECT_GT(w, 600);
    EXPECT_NEAR(h, w * 0.75, 1.0);

    // F11 in and out of full screen, as the window manager lays the window out.
    const std::string geometry = "xdotool getactivewindow getwindowgeometry --shell | grep -E '^(WIDTH|HEIGHT)='";
    const auto size = [&] { return Output(geometry); };
    const std::string window = size(), full = "WIDTH=1280\nHEIGHT=900\n";
    ASSERT_TRUE(window.starts_with("WIDTH=") && window != full) << window;
    for (const std::string& wanted : {full, window}) {
        Key("F11");
        EXPECT_TRUE(Within(3000, [&] { return size() == wanted; }, 100)) << size();
    }
    EXPECT_TRUE(Quit()) << ProgramLog();
}

