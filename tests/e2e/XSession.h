#pragma once
// The real program in a real X server: a private Xvfb display, the program
// started with a private home, xdotool for the pointer and the keys, and
// screenshots read back as pixels; sketch files to start it on and read back.
// Every process started here is ended here.

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

inline void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The exit status of a process within timeoutMs, else -1 after ending it; -1 for a crash too.
inline int WaitExit(pid_t pid, int timeoutMs = 10000)
{
    for (int waited = 0, status = 0; pid > 0 && waited < timeoutMs; waited += 10, Sleep(10))
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    return -1;
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The whole screen, 3 bytes a pixel, rows top-down.
struct Screenshot {
    static constexpr int width = 1280, height = 900;
    std::vector<uint8_t> rgb;

    // A pixel as 0xRRGGBB.
    uint32_t Pixel(int x, int y) const
    {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
    // The sheet: the largest white area with the view's black frame around
    // it, found by the frame's corner above-left of white.
    bool FindPaper(Rect& paper) const
    {
        int bestArea = 0;
        for (int y = 1; y < height - 1; ++y) {
            for (int x = 1; x < width - 1; ++x) {
                if (Pixel(x - 1, y - 1) != 0 || Pixel(x, y) != 0xFFFFFF) continue;
                int right = x, bottom = y;
                while (right < width && Pixel(right, y - 1) == 0) ++right;
                while (bottom < height && Pixel(x - 1, bottom) == 0) ++bottom;
                // The frame runs one pixel past the sheet on both sides.
                const int w = right - x - 1, h = bottom - y - 1;
                if (w > 0 && h > 0 && w * h > bestArea) {
                    bestArea = w * h;
                    paper = Rect{x, y, x + w, y + h};
                }
            }
        }
        return bestArea > 0;
    }
    // The middle of every pixel of an exact colour within a band of rows.
    bool FindColour(int top, int bottom, uint32_t colour, int& cx, int& cy) const
    {
        long sx = 0, sy = 0, n = 0;
        for (int y = std::max(0, top); y < std::min(bottom, height); ++y)
            for (int x = 0; x < width; ++x)
                if (Pixel(x, y) == colour) sx += x, sy += y, ++n;
        cx = n ? static_cast<int>(sx / n) : 0;
        cy = n ? static_cast<int>(sy / n) : 0;
        return n > 0;
    }
};

class XSession {
public:
    XSession()
    {
        char pattern[] = "/tmp/graphelle-e2e-XXXXXX";
        if (mkdtemp(pattern)) m_home = pattern;
    }
    ~XSession()
    {
        KillProgram();
        if (m_xvfb > 0) kill(m_xvfb, SIGTERM), waitpid(m_xvfb, nullptr, 0);
        std::error_code ec;
        if (!m_home.empty()) fs::remove_all(m_home, ec);
    }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Whether Xvfb, xdotool and ImageMagick's import are installed at all.
    static bool ToolsPresent()
    {
        return std::system("{ command -v Xvfb && command -v xdotool && command -v import; } >/dev/null 2>&1") == 0;
    }
    // The program, built beside this test: it runs from <build>/tests/e2e.
    static std::string ProgramPath()
    {
        std::error_code ec;
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        return (self.parent_path().parent_path().parent_path() / "graphelle").string();
    }
    std::string Documents() const { return m_home + "/Documents"; }

    // The X server, on a display number nobody holds, chosen by our process
    // id to keep parallel runs apart.
    bool Start()
    {
        if (m_home.empty()) return false;
        fs::create_directories(m_home + "/run");
        fs::permissions(m_home + "/run", fs::perms::owner_all);
        for (int tries = 0; tries < 200 && m_xvfb < 0; ++tries) {
            const std::string n = std::to_string(100 + (getpid() + tries * 7) % 800);
            if (fs::exists("/tmp/.X" + n + "-lock") || fs::exists("/tmp/.X11-unix/X" + n)) continue;
            m_display = n;
            m_xvfb = Spawn({"Xvfb", ":" + n, "-screen", "0", "1280x900x24", "-nolisten", "tcp", "-ac"}, false);
            for (int i = 0; i < 100 && m_xvfb > 0; ++i) {
                if (fs::exists("/tmp/.X11-unix/X" + n)) return true;
                if (waitpid(m_xvfb, nullptr, WNOHANG) == m_xvfb) m_xvfb = -1;  // someone took the number first
                Sleep(50);
            }
        }
        return m_xvfb > 0;
    }

    bool StartProgram(const std::vector<std::string>& args = {})
    {
        std::vector<std::string> argv{ProgramPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        return (m_program = Spawn(argv, true)) > 0;
    }
    // Waits for the program to end by itself, and well: a timeout, a crash or
    // a sanitizer's report at the end counts as a failure.
    bool WaitProgramExit(int timeoutMs = 10000)
    {
        const int status = WaitExit(m_program, timeoutMs);
        m_program = -1;
        return status == 0;
    }
    // What the program wrote to its standard output and error.
    std::string ProgramLog() const
    {
        std::ifstream in(m_home + "/program.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    pid_t ProgramPid() const { return m_program; }
    // Another program with the program's display and home (a second copy of it, a window
    // manager, a drag source, xdg-open); its output joins the program's log. The caller
    // waits for it or ends it.
    pid_t StartOther(const std::vector<std::string>& argv) { return Spawn(argv, true); }
    // Asks the program to end, as a logout or kill does.
    void TerminateProgram()
    {
        if (m_program > 0) kill(m_program, SIGTERM);
    }
    // Ends the program at once, as a crash or a power cut does.
    void KillProgram()
    {
        if (m_program > 0) kill(m_program, SIGKILL), waitpid(m_program, nullptr, 0), m_program = -1;
    }

    // The display, ":N", for a test that talks to the X server itself.
    std::string Display() const { return ":" + m_display; }
    // What a command with this display prints.
    std::string Output(const std::string& command)
    {
        std::string out;
        FILE* pipe = popen(("DISPLAY=" + Display() + " " + command + " 2>/dev/null").c_str(), "r");
        for (char buf[256]; pipe && fgets(buf, sizeof buf, pipe);) out += buf;
        if (pipe) pclose(pipe);
        return out;
    }
    // xdotool with arguments; true when it succeeded.
    bool Xdo(const std::string& args) { return Shell("xdotool " + args + " >/dev/null 2>&1") == 0; }
    // xdotool gives up when a window vanishes while it searches, as windows do while a program
    // starts or a dialog closes, so the search goes on until 20 s are up.
    bool WaitWindow(const std::string& nameRegex)
    {
        const auto start = std::chrono::steady_clock::now();
        while (Shell("timeout 20 xdotool search --sync --onlyvisible --name '" + nameRegex + "' >/dev/null 2>&1") != 0)
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) return false;
        Sleep(300);  // the first paint
        return true;
    }
    // The first start: the New dialog, OK, and the empty sheet of the default size on screen.
    bool StartNewSheet(Rect& paper)
    {
        Screenshot shot;
        if (!StartProgram() || !WaitWindow("^New$")) return false;
        // A window manager hands the focus over in its own time.
        Xdo("search --onlyvisible --name '^New$' windowactivate --sync");
        Key("Return");
        return WaitWindow("^Sketch1 - Graphelle$") && CapturePaper(shot, paper, 400, 300);
    }
    void Key(const std::string& keys) { Xdo("key --clearmodifiers " + keys); }
    void Click(int x, int y) { Xdo("mousemove " + Pos({x, y}) + " sleep 0.06 click 1 sleep 0.15"); }
    // A drag with the left button through the points, slow enough that no
    // move is merged away.
    void Drag(const std::vector<std::pair<int, int>>& points)
    {
        std::string args = "mousemove " + Pos(points[0]) + " sleep 0.06 mousedown 1 sleep 0.06";
        for (size_t i = 1; i < points.size(); ++i) args += " mousemove " + Pos(points[i]) + " sleep 0.025";
        Xdo(args + " mouseup 1 sleep 0.15");
    }

    // The program's windows on screen (the main window, a dialog, an open
    // menu), so a test can wait for a popup before typing into it.
    int VisibleWindows()
    {
        const std::string ids = Output("xdotool search --onlyvisible --pid " + std::to_string(m_program));
        return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
    }
    bool WaitVisibleWindows(int count)
    {
        for (int waited = 0; waited < 5000; waited += 50, Sleep(50))
            if (VisibleWindows() == count) return true;
        return false;
    }
    // Saves with Ctrl+S and waits until the file has been replaced (whole, by
    // a rename, so once it changed it is complete).
    bool SaveAndWait(const std::string& file)
    {
        std::error_code ec;
        const auto before = fs::last_write_time(file, ec);
        const bool existed = !ec;
        Key("ctrl+s");
        for (int waited = 0; waited < 10000; waited += 25, Sleep(25)) {
            const auto now = fs::last_write_time(file, ec);
            if (!ec && (!existed || now != before)) return true;
        }
        return false;
    }

    bool Capture(Screenshot& shot)
    {
        const std::string file = m_home + "/shot.rgb";
        if (Shell("import -window root -depth 8 rgb:" + file + " >/dev/null 2>&1") != 0) return false;
        std::ifstream in(file, std::ios::binary);
        shot.rgb.assign(std::istreambuf_iterator<char>(in), {});
        return shot.rgb.size() == size_t{Screenshot::width} * Screenshot::height * 3;
    }
    // Waits for the sheet of the given size to be painted.
    bool CapturePaper(Screenshot& shot, Rect& paper, int width, int height)
    {
        for (int waited = 0; waited < 10000; waited += 200, Sleep(200))
            if (Capture(shot) && shot.FindPaper(paper) && paper.Width() == width && paper.Height() == height)
                return true;
        return false;
    }

private:
    static std::string Pos(std::pair<int, int> p) { return std::to_string(p.first) + " " + std::to_string(p.second); }
    int Shell(const std::string& command) { return std::system(("DISPLAY=:" + m_display + " " + command).c_str()); }

    // The X server, or a program with its own display, home and platform, and none of the
    // desktop's folders; its output in a log.
    pid_t Spawn(const std::vector<std::string>& argv, bool program)
    {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        const int log = open((m_home + (program ? "/program.log" : "/xvfb.log")).c_str(),
                             O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, 1), dup2(log, 2);
        std::vector<std::string> xdg;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "XDG_", 4) == 0) xdg.emplace_back(*e, std::strchr(*e, '='));
        for (const std::string& name : xdg) unsetenv(name.c_str());
        const std::pair<const char*, std::string> env[] = {
            {"DISPLAY", ":" + m_display},          {"HOME", m_home},
            {"XDG_CONFIG_HOME", m_home + "/.config"}, {"XDG_DATA_HOME", m_home + "/.local/share"},
            {"XDG_RUNTIME_DIR", m_home + "/run"},  {"QT_QPA_PLATFORM", "xcb"}};
        for (const auto& [name, value] : env) setenv(name, value.c_str(), 1);
        std::vector<char*> cargv;
        for (const auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
        cargv.push_back(nullptr);
        execvp(cargv[0], cargv.data());
        _exit(127);
    }

    std::string m_display, m_home;
    pid_t m_xvfb = -1, m_program = -1;
};

// A white sheet with a black square at (10, 10) to (30, 30), as a sketch or as a PNG picture.
inline bool WriteSheet(const std::string& path, uint32_t width, uint32_t height, bool png = false)
{
    CPaper paper;
    CArchive ar;
    if (!paper.Create(width, height, 5)) return false;
    for (int i = 0; i < 400; ++i) paper.SetPixel(10 + i % 20, 10 + i / 20, 0);
    return ar.Open(path, CArchive::store) && (png ? WritePng(paper, ar) : WriteSketch(paper, ar)) && ar.Close();
}

inline bool ReadSketchFile(const std::string& path, CPaper& paper)
{
    std::string error;
    return LoadSketchFile(path, paper, error) == SketchLoad::Whole;
}

// Non-white pixels of a sketch file within a rectangle; -1 when it does not read whole.
inline int Marked(const std::string& file, int left, int top, int right, int bottom)
{
    CPaper paper;
    if (!ReadSketchFile(file, paper)) return -1;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += paper.GetPixel(x, y) != 255;
    return n;
}

// A straight drag from (x0, y0) to (x1, y1) on the sheet, a point every 6 pixels.
inline std::vector<std::pair<int, int>> Line(const Rect& paper, int x0, int y0, int x1, int y1)
{
    std::vector<std::pair<int, int>> points;
    const int steps = std::max(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / 6, 1);
    for (int i = 0; i <= steps; ++i)
        points.push_back({paper.left + x0 + (x1 - x0) * i / steps, paper.top + y0 + (y1 - y0) * i / steps});
    return points;
}

// A test with its own X server, skipped where the tools are missing.
class XTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!XSession::ToolsPresent()) GTEST_SKIP() << "Xvfb, xdotool or ImageMagick is not installed";
        ASSERT_TRUE(fs::exists(XSession::ProgramPath())) << XSession::ProgramPath();
        ASSERT_TRUE(x.Start()) << "no X server";
        fs::create_directories(x.Documents());
    }

    XSession x;
};
