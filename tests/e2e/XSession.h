#pragma once
// The real program in a real X server: a private Xvfb display, the program
// started with a private home, xdotool for the pointer and the keys, and
// screenshots read back as pixels. Every process started here is ended here.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

inline void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top-down

    bool Load(const std::string& ppmPath)
    {
        std::ifstream in(ppmPath, std::ios::binary);
        std::string magic;
        int maxval = 0;
        in >> magic >> width >> height >> maxval;
        if (!in || magic != "P6" || maxval != 255 || width <= 0 || height <= 0) return false;
        in.get();
        rgb.resize(static_cast<size_t>(width) * height * 3);
        in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
        return static_cast<size_t>(in.gcount()) == rgb.size();
    }
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
        if (n == 0) return false;
        cx = static_cast<int>(sx / n);
        cy = static_cast<int>(sy / n);
        return true;
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
        if (m_program > 0) kill(m_program, SIGKILL), waitpid(m_program, nullptr, 0);
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
        m_exitStatus = -1;
        return (m_program = Spawn(argv, true)) > 0;
    }
    // Waits for the program to end by itself, and well: a timeout, a crash or
    // a sanitizer's report at the end counts as a failure.
    bool WaitProgramExit(int timeoutMs = 10000)
    {
        for (int waited = 0, status = 0; waited < timeoutMs && m_program > 0; waited += 50, Sleep(50))
            if (waitpid(m_program, &status, WNOHANG) == m_program) m_program = -1, m_exitStatus = status;
        return m_program < 0 && WIFEXITED(m_exitStatus) && WEXITSTATUS(m_exitStatus) == 0;
    }
    // What the program wrote to its standard output and error.
    std::string ProgramLog() const
    {
        std::ifstream in(m_home + "/program.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    pid_t ProgramPid() const { return m_program; }
    // One more start of the program beside the running one, with the same
    // display and home; the caller waits for it and ends it.
    pid_t StartAnotherCopy(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv{ProgramPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        return Spawn(argv, true);
    }
    // Another program with the same display and home (a drag source,
    // xdg-open); the caller waits for it and ends it.
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
    // Another X client with the program's environment, such as a window
    // manager; its output joins the program's log. The caller ends it.
    pid_t StartClient(const std::vector<std::string>& argv) { return Spawn(argv, true); }

    // xdotool with arguments; true when it succeeded.
    bool Xdo(const std::string& args) { return Shell("xdotool " + args + " >/dev/null 2>&1") == 0; }
    bool WaitWindow(const std::string& nameRegex)
    {
        const std::string search = "xdotool search --sync --onlyvisible --name '" + nameRegex + "'";
        const bool found = Shell("timeout 20 " + search + " >/dev/null 2>&1") == 0;
        Sleep(300);  // the first paint
        return found;
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
        const std::string search = "xdotool search --onlyvisible --pid " + std::to_string(m_program);
        FILE* pipe = popen(("DISPLAY=:" + m_display + " " + search + " 2>/dev/null").c_str(), "r");
        int lines = 0;
        for (char buf[256]; pipe && fgets(buf, sizeof buf, pipe);) ++lines;
        if (pipe) pclose(pipe);
        return lines;
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
        const std::string file = m_home + "/shot.ppm";
        return Shell("import -window root -depth 8 ppm:" + file + " >/dev/null 2>&1") == 0 && shot.Load(file);
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

    // The X server with this environment and its output in a log; the
    // program with its own display, home and platform.
    pid_t Spawn(const std::vector<std::string>& argv, bool program)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("DISPLAY=", 0) != 0 && var.rfind("HOME=", 0) != 0 && var.rfind("XDG_", 0) != 0 &&
                var.rfind("QT_QPA_PLATFORM=", 0) != 0)
                env.push_back(var);
        }
        if (program)
            env.insert(env.end(), {"DISPLAY=:" + m_display, "HOME=" + m_home, "XDG_CONFIG_HOME=" + m_home + "/.config",
                                   "XDG_DATA_HOME=" + m_home + "/.local/share", "XDG_RUNTIME_DIR=" + m_home + "/run",
                                   "QT_QPA_PLATFORM=xcb"});
        std::vector<char*> cargv, cenv;
        for (const auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
        for (const auto& e : env) cenv.push_back(const_cast<char*>(e.c_str()));
        cargv.push_back(nullptr);
        cenv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = m_home + (program ? "/program.log" : "/xvfb.log");
        for (int fd : {1, 2})
            posix_spawn_file_actions_addopen(&actions, fd, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        pid_t pid = -1;
        const int rc = posix_spawnp(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0 ? pid : -1;
    }

    std::string m_display, m_home;
    pid_t m_xvfb = -1, m_program = -1;
    int m_exitStatus = -1;
};
