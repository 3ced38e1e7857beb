#include "XSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool OnPath(const char* tool)
{
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

bool Screenshot::Load(const std::string& ppmPath)
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

void Screenshot::Pixel(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const
{
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    r = rgb[i];
    g = rgb[i + 1];
    b = rgb[i + 2];
}

bool Screenshot::IsWhite(int x, int y) const
{
    uint8_t r, g, b;
    Pixel(x, y, r, g, b);
    return r == 255 && g == 255 && b == 255;
}

XSession::XSession()
{
    char pattern[] = "/tmp/graphelle-e2e-XXXXXX";
    if (mkdtemp(pattern)) m_home = pattern;
}

XSession::~XSession()
{
    KillProgram();
    if (m_xvfb > 0) {
        kill(m_xvfb, SIGTERM);
        waitpid(m_xvfb, nullptr, 0);
    }
    std::error_code ec;
    if (!m_home.empty()) fs::remove_all(m_home, ec);
}

bool XSession::ToolsPresent()
{
    return OnPath("Xvfb") && OnPath("xdotool") && OnPath("import");
}

std::string XSession::ProgramPath()
{
    // This test runs from <build>/tests/e2e; the program lies at <build>.
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (self.parent_path().parent_path().parent_path() / "graphelle").string();
}

std::string XSession::Env() const
{
    return "env DISPLAY=:" + std::to_string(m_display) + " ";
}

pid_t XSession::Spawn(const std::vector<std::string>& argv, bool program)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("DISPLAY=", 0) == 0 || var.rfind("HOME=", 0) == 0 ||
            var.rfind("XDG_", 0) == 0 || var.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        env.push_back(var);
    }
    if (program) {
        env.push_back("DISPLAY=:" + std::to_string(m_display));
        env.push_back("HOME=" + m_home);
        env.push_back("XDG_CONFIG_HOME=" + m_home + "/.config");
        env.push_back("XDG_DATA_HOME=" + m_home + "/.local/share");
        env.push_back("XDG_RUNTIME_DIR=" + m_home + "/run");
        env.push_back("QT_QPA_PLATFORM=xcb");
    }
    std::vector<char*> cargv, cenv;
    for (const auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    for (const auto& e : env) cenv.push_back(const_cast<char*>(e.c_str()));
    cenv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = m_home + (program ? "/program.log" : "/xvfb.log");
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

bool XSession::Start()
{
    if (m_home.empty()) return false;
    fs::create_directories(m_home + "/run");
    fs::permissions(m_home + "/run", fs::perms::owner_all);
    // A display number nobody holds, chosen by our process id to keep
    // parallel runs apart.
    for (int tries = 0; tries < 200 && m_xvfb < 0; ++tries) {
        const int n = 100 + (getpid() + tries * 7) % 800;
        if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
            fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
            continue;
        m_display = n;
        m_xvfb = Spawn({"Xvfb", ":" + std::to_string(n), "-screen", "0", "1280x900x24",
                        "-nolisten", "tcp", "-ac"},
                       false);
        for (int i = 0; i < 100 && m_xvfb > 0; ++i) {
            if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) return true;
            if (waitpid(m_xvfb, nullptr, WNOHANG) == m_xvfb) {
                m_xvfb = -1;  // someone took the number first
                break;
            }
            Sleep(50);
        }
    }
    return m_xvfb > 0;
}

bool XSession::StartProgram(const std::vector<std::string>& args)
{
    m_exitStatus = -1;
    std::vector<std::string> argv{ProgramPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    m_program = Spawn(argv, true);
    return m_program > 0;
}

bool XSession::ProgramRunning()
{
    if (m_program <= 0) return false;
    int status = 0;
    if (waitpid(m_program, &status, WNOHANG) == m_program) {
        m_exitStatus = status;
        m_program = -1;
        return false;
    }
    return true;
}

bool XSession::WaitProgramExit(int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (!ProgramRunning()) break;
        Sleep(50);
    }
    // Ended by itself, and well: a crash or a sanitizer's report at the end
    // counts as a failure.
    return !ProgramRunning() && WIFEXITED(m_exitStatus) && WEXITSTATUS(m_exitStatus) == 0;
}

std::string XSession::ProgramLog() const
{
    std::ifstream in(m_home + "/program.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void XSession::TerminateProgram()
{
    if (m_program > 0) kill(m_program, SIGTERM);
}

void XSession::KillProgram()
{
    if (m_program > 0) {
        kill(m_program, SIGKILL);
        waitpid(m_program, nullptr, 0);
        m_program = -1;
    }
}

bool XSession::Xdo(const std::string& args)
{
    const std::string cmd = Env() + "xdotool " + args + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

bool XSession::WaitWindow(const std::string& nameRegex, int timeoutSeconds)
{
    const std::string cmd = Env() + "timeout " + std::to_string(timeoutSeconds) +
                            " xdotool search --sync --onlyvisible --name " + Quote(nameRegex) +
                            " >/dev/null 2>&1";
    const bool found = std::system(cmd.c_str()) == 0;
    Sleep(300);  // the first paint
    return found;
}

void XSession::Click(int x, int y)
{
    Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
    Sleep(60);
    Xdo("click 1");
    Sleep(150);
}

void XSession::Drag(const std::vector<std::pair<int, int>>& points)
{
    if (points.empty()) return;
    Xdo("mousemove " + std::to_string(points[0].first) + " " + std::to_string(points[0].second));
    Sleep(60);
    Xdo("mousedown 1");
    Sleep(60);
    for (size_t i = 1; i < points.size(); ++i) {
        Xdo("mousemove " + std::to_string(points[i].first) + " " + std::to_string(points[i].second));
        Sleep(25);
    }
    Xdo("mouseup 1");
    Sleep(150);
}

int XSession::VisibleWindows()
{
    if (m_program <= 0) return 0;
    const std::string cmd = Env() + "xdotool search --onlyvisible --pid " +
                            std::to_string(m_program) + " 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return 0;
    int lines = 0;
    char buf[256];
    while (fgets(buf, sizeof buf, pipe)) ++lines;
    pclose(pipe);
    return lines;
}

bool XSession::WaitVisibleWindows(int count, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (VisibleWindows() == count) return true;
        Sleep(50);
    }
    return false;
}

bool XSession::SaveAndWait(const std::string& file, int timeoutMs)
{
    std::error_code ec;
    const auto before = fs::last_write_time(file, ec);
    const bool existed = !ec;
    Key("ctrl+s");
    for (int waited = 0; waited < timeoutMs; waited += 25) {
        const auto now = fs::last_write_time(file, ec);
        // The file is replaced whole by a rename, so once it changed it is
        // complete.
        if (!ec && (!existed || now != before)) return true;
        Sleep(25);
    }
    return false;
}

bool XSession::CapturePaper(Screenshot& shot, Rect& paper, int width, int height, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 200) {
        if (Capture(shot) && FindPaper(shot, paper) && paper.Width() == width &&
            paper.Height() == height)
            return true;
        Sleep(200);
    }
    return false;
}

bool XSession::Capture(Screenshot& shot)
{
    const std::string file = m_home + "/shot.ppm";
    const std::string cmd = Env() + "import -window root -depth 8 ppm:" + Quote(file) + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0 && shot.Load(file);
}

bool XSession::FindPaper(const Screenshot& shot, Rect& paper)
{
    // The sheet is the largest white area with the view's black frame
    // around it; look for the frame's corner above-left of white.
    int bestArea = 0;
    for (int y = 1; y < shot.height - 1; ++y) {
        for (int x = 1; x < shot.width - 1; ++x) {
            uint8_t r, g, b;
            shot.Pixel(x - 1, y - 1, r, g, b);
            if (r != 0 || g != 0 || b != 0 || !shot.IsWhite(x, y)) continue;
            int right = x;
            while (right < shot.width) {
                shot.Pixel(right, y - 1, r, g, b);
                if (r != 0 || g != 0 || b != 0) break;
                ++right;
            }
            int bottom = y;
            while (bottom < shot.height) {
                shot.Pixel(x - 1, bottom, r, g, b);
                if (r != 0 || g != 0 || b != 0) break;
                ++bottom;
            }
            // The frame runs one pixel past the sheet on both sides.
            const int w = right - x - 1;
            const int h = bottom - y - 1;
            if (w > 0 && h > 0 && w * h > bestArea) {
                bestArea = w * h;
                paper = Rect{x, y, x + w, y + h};
            }
        }
    }
    return bestArea > 0;
}

bool XSession::FindColour(const Screenshot& shot, int top, int bottom, uint8_t r, uint8_t g,
                          uint8_t b, int& cx, int& cy)
{
    long sx = 0, sy = 0, n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, shot.height); ++y)
        for (int x = 0; x < shot.width; ++x) {
            uint8_t pr, pg, pb;
            shot.Pixel(x, y, pr, pg, pb);
            if (pr == r && pg == g && pb == b) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    if (n == 0) return false;
    cx = static_cast<int>(sx / n);
    cy = static_cast<int>(sy / n);
    return true;
}

void XSession::Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
