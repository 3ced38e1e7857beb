#pragma once
// The real program in a real X server: a private Xvfb display, the program started with a private
// home, xdotool for the pointer and the keys, and screenshots read back as pixels; sketch files to
// start it on and read back. Every process started here is ended here.

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

inline void Sleep(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }
// Whether ready() came true within about ms, asked every step ms.
template <class Ready> bool Within(int ms, Ready ready, int step = 50)
{
    for (int waited = 0; waited < ms; waited += step, Sleep(step))
        if (ready()) return true;
    return false;
}
inline int Shell(const std::string& command) { return std::system(command.c_str()); }
inline bool Installed(const std::string& tools) { return Shell("which " + tools + " >/dev/null") == 0; }
inline std::string ReadAll(const fs::path& file) { std::ifstream in(file); return {std::istreambuf_iterator(in), {}}; }
// The exit status of a process within ms, else -1 after ending it; -1 for a crash too.
inline int WaitExit(pid_t pid, int ms = 10000)
{
    int status = -1;
    if (pid > 0 && !Within(ms, [&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10))
        kill(pid, SIGKILL), waitpid(pid, &status, 0);
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A white sheet with a black square at (10, 10) to (30, 30), as a sketch or as a PNG picture.
inline bool WriteSheet(const std::string& path, uint32_t width, uint32_t height, bool png = false)
{
    CPaper paper;
    CArchive ar;
    if (!paper.Create(width, height, 5)) return false;
    for (int i = 0; i < 400; ++i) paper.SetPixel(10 + i % 20, 10 + i / 20, 0);
    return ar.Open(path, CArchive::store) && (png ? WritePng(paper, ar) : WriteSketch(paper, ar)) && ar.Close();
}
// The non-white pixels of a sketch file within a rectangle; -1 when it does not read whole.
inline long Marked(const std::string& file, int left, int top, int right, int bottom)
{
    CPaper paper;
    std::string error;
    long n = LoadSketchFile(file, paper, error) == SketchLoad::Whole ? 0 : -1;
    for (int y = top; n >= 0 && y < bottom; ++y)
        for (int x = left; x < right; ++x) n += paper.GetPixel(x, y) != 255;
    return n;
}

// A test with its own X server, skipped where the tools are missing. The server finds a display number
// that is free and tells it once it listens; everything started here then has that display, the private
// home, the X platform, and none of the desktop's folders.
class XTest : public ::testing::Test {
protected:
    static constexpr int width = 1280, height = 900;
    std::string home, display;  // display as ":N"
    pid_t xvfb = -1, program = -1;
    std::vector<pid_t> children;
    std::vector<uint8_t> rgb;  // the last screenshot, 3 bytes a pixel, rows top-down
    struct { int left = 0, top = 0; } paper;  // the sheet's corner on it

    void SetUp() override
    {
        if (!Installed("Xvfb xdotool import")) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        char pattern[] = "/tmp/graphelle-e2e-XXXXXX";
        int number[2];
        ASSERT_TRUE(mkdtemp(pattern) && mkdir(((home = pattern) + "/run").c_str(), 0700) == 0 && pipe(number) == 0);
        xvfb = Spawn({"Xvfb", "-displayfd", std::to_string(number[1]), "-screen", "0", "1280x900x24", "-ac",
                      "-nolisten", "tcp"}, "/xvfb.log");
        char told[16] = {};
        close(number[1]);
        ASSERT_GT(read(number[0], told, sizeof told - 1), 0) << "no X server";
        close(number[0]);
        display = ":" + std::to_string(std::atoi(told));
        std::vector<std::string> xdg;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "XDG_", 4) == 0) xdg.emplace_back(*e, std::strchr(*e, '='));
        for (const std::string& name : xdg) unsetenv(name.c_str());
        for (const auto& [name, value] : {std::pair<const char*, std::string>{"DISPLAY", display}, {"HOME", home},
                 {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_DATA_HOME", home + "/.local/share"},
                 {"XDG_RUNTIME_DIR", home + "/run"}, {"QT_QPA_PLATFORM", "xcb"}})
            setenv(name, value.c_str(), 1);
        fs::create_directories(Documents());
    }
    // The X server goes last, and by itself, so that it removes its lock.
    ~XTest() override
    {
        for (auto pid = children.rbegin(); pid != children.rend(); ++pid)
            if (waitpid(*pid, nullptr, WNOHANG) == 0)
                kill(*pid, *pid == xvfb ? SIGTERM : SIGKILL), waitpid(*pid, nullptr, 0);
        std::error_code ec;
        if (!home.empty()) fs::remove_all(home, ec);
    }
    std::string Documents() const { return home + "/Documents"; }

    // A program (this one, a second copy of it, a window manager, a drag source, xdg-open), its output in
    // the program's log. The caller waits for it or ends it.
    pid_t Spawn(const std::vector<std::string>& argv, const std::string& log = "/program.log")
    {
        std::string command = "exec >>'" + home + log + "' 2>&1";
        for (const std::string& arg : argv) command += " '" + arg + "'";
        const pid_t pid = fork();
        if (pid == 0) execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), _exit(127);
        if (pid > 0) children.push_back(pid);
        return pid;
    }
    // The program; with a title, once its window shows; with a size too, once that sheet is painted.
    bool StartProgram(std::vector<std::string> args = {}, const std::string& title = "", int w = 0, int h = 0)
    {
        args.insert(args.begin(), GRAPHELLE_PROGRAM);
        return (program = Spawn(args)) > 0 && (title.empty() || WaitWindow(title)) && (!w || Sheet(w, h));
    }
    // The first start: the New dialog, OK (once it has the focus, which a window manager hands over in its
    // own time), and the empty sheet of the default size on screen.
    bool StartNewSheet()
    {
        if (!StartProgram({}, "^New$")) return false;
        Xdo("search --onlyvisible --name '^New$' windowactivate --sync");
        Key("Return");
        return WaitWindow("^Sketch1 - Graphelle$") && Sheet(400, 300);
    }
    // Waits for the program to end by itself, and well: a timeout, a crash or a sanitizer's report at the
    // end counts as a failure.
    bool WaitProgramExit(int ms = 10000) { return WaitExit(std::exchange(program, -1), ms) == 0; }
    bool Quit() { return Key("ctrl+q"), WaitProgramExit(); }
    std::string ProgramLog() const { return ReadAll(home + "/program.log"); }

    std::string Output(const std::string& command)
    {
        Shell(command + " 2>/dev/null >" + home + "/out");
        return ReadAll(home + "/out");
    }
    bool Xdo(const std::string& args) { return Shell("xdotool " + args + " >/dev/null 2>&1") == 0; }
    // xdotool gives up when a window vanishes while it searches, as windows do while a program starts or
    // a dialog closes, so the search goes on for 30 s; then the first paint.
    bool WaitWindow(const std::string& title)
    {
        const std::string until = "until xdotool search --sync --onlyvisible --name \"$0\"; do sleep 0.05; done";
        return Shell("timeout 30 sh -c '" + until + "' '" + title + "' >/dev/null 2>&1 && sleep 0.3") == 0;
    }
    void Key(const std::string& keys) { Xdo("key --clearmodifiers " + keys); }
    // A point on the screen, and one on the sheet, as xdotool writes them.
    static std::string Pos(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    std::string At(int x, int y) const { return Pos(paper.left + x, paper.top + y); }
    void Click(int x, int y) { Xdo("mousemove " + Pos(x, y) + " sleep 0.06 click 1 sleep 0.15"); }
    // A straight drag with the left button across the sheet, a point every 6 pixels, slow enough that no
    // move is merged away.
    void Drag(int x0, int y0, int x1, int y1)
    {
        const int steps = std::max(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / 6, 1);
        std::string args = "mousemove " + At(x0, y0) + " sleep 0.06 mousedown 1 sleep 0.06";
        for (int i = 1; i <= steps; ++i)
            args += " mousemove " + At(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps) + " sleep 0.025";
        Xdo(args + " mouseup 1 sleep 0.15");
    }
    // Opens the File menu and, once it shows as one more window of the program, types keys into it.
    bool Menu(const std::string& keys)
    {
        const std::string windows = "xdotool search --onlyvisible --pid " + std::to_string(program) + " | wc -l";
        const int before = std::stoi(Output(windows));
        Click(25, 13);
        return Within(5000, [&] { return std::stoi(Output(windows)) == before + 1; }) && (Key(keys), true);
    }

    bool Capture()
    {
        const bool taken = Shell("import -window root -depth 8 rgb:" + home + "/shot") == 0;
        const std::string shot = ReadAll(home + "/shot");
        rgb.assign(shot.begin(), shot.end());
        rgb.resize(3 * width * height);  // a failed screenshot reads as black, never out of bounds
        return taken && shot.size() == rgb.size();
    }
    // As 0xRRGGBB.
    uint32_t Pixel(int x, int y) const { auto* p = &rgb[3 * (y * width + x)]; return p[0] << 16 | p[1] << 8 | p[2]; }
    // The sheet's size, and where it is: the largest white area with the view's black frame around it,
    // found by the frame's corner above-left of white. The frame runs one pixel past the sheet on both sides.
    std::pair<int, int> FindPaper()
    {
        std::pair<int, int> best;
        for (int y = 1; y < height - 1; ++y)
            for (int x = 1; x < width - 1; ++x) {
                if (Pixel(x - 1, y - 1) != 0 || Pixel(x, y) != 0xFFFFFF) continue;
                int right = x, bottom = y;
                while (right < width && Pixel(right, y - 1) == 0) ++right;
                while (bottom < height && Pixel(x - 1, bottom) == 0) ++bottom;
                if (const int w = right - x - 1, h = bottom - y - 1; w > 0 && h > 0 && w * h > best.first * best.second)
                    best = {w, h}, paper = {x, y};
            }
        return best;
    }
    // Waits for the sheet of the given size to be painted.
    bool Sheet(int w, int h) { return Within(10000, [&] { return Capture() && FindPaper() == std::pair(w, h); }, 200); }
};
