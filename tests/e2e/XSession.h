#pragma once
// The real program in a real X server: a private Xvfb display, the program
// started with a private home, xdotool for the pointer and the keys, and
// screenshots read back as pixels. Every process started here is ended here.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top-down

    bool Load(const std::string& ppmPath);
    void Pixel(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const;
    bool IsWhite(int x, int y) const;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Whether Xvfb and xdotool are installed at all.
    static bool ToolsPresent();
    bool Start();  // the X server
    const std::string& Home() const { return m_home; }
    std::string Documents() const { return m_home + "/Documents"; }

    // The program, built beside this test.
    static std::string ProgramPath();
    bool StartProgram(const std::vector<std::string>& args = {});
    // Waits for the program to end by itself with status 0; false on a
    // timeout, a crash or a failure status.
    bool WaitProgramExit(int timeoutMs);
    // What the program wrote to its standard output and error.
    std::string ProgramLog() const;
    bool ProgramRunning();
    void KillProgram();
    // Asks the program to end, as a logout or kill does (SIGTERM).
    void TerminateProgram();

    // xdotool with arguments; true when it succeeded.
    bool Xdo(const std::string& args);
    bool WaitWindow(const std::string& nameRegex, int timeoutSeconds = 20);
    void Key(const std::string& keys) { Xdo("key --clearmodifiers " + keys); }
    void Click(int x, int y);
    // A drag with the left button through the points, slow enough that no
    // move is merged away.
    void Drag(const std::vector<std::pair<int, int>>& points);

    // The program's windows on screen (the main window, a dialog, an open
    // menu), so a test can wait for a popup before typing into it.
    int VisibleWindows();
    bool WaitVisibleWindows(int count, int timeoutMs = 5000);
    // Saves with Ctrl+S and waits until the file has been replaced.
    bool SaveAndWait(const std::string& file, int timeoutMs = 10000);

    bool Capture(Screenshot& shot);
    // Waits for the sheet of the given size to be painted.
    bool CapturePaper(Screenshot& shot, Rect& paper, int width, int height, int timeoutMs = 10000);
    // The sheet: the white area inside the view's frame, found on screen.
    static bool FindPaper(const Screenshot& shot, Rect& paper);
    // The middle of every pixel of an exact colour within a band of rows.
    static bool FindColour(const Screenshot& shot, int top, int bottom, uint8_t r, uint8_t g,
                           uint8_t b, int& cx, int& cy);

    static void Sleep(int ms);

private:
    std::string Env() const;
    pid_t Spawn(const std::vector<std::string>& argv, bool program);

    int m_display = -1;
    pid_t m_xvfb = -1;
    pid_t m_program = -1;
    int m_exitStatus = -1;
    std::string m_home;
};
