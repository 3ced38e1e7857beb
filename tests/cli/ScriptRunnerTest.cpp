#include "cli/ScriptRunner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result RunScript(const std::string& script)
{
    std::ostringstream out, err;
    std::istringstream in(script);
    CScriptRunner runner(out, err);
    const int status = runner.Run(in);
    return Result{status, out.str(), err.str()};
}

// The last status line a script printed.
std::string LastStatus(const std::string& script)
{
    const Result r = RunScript(script + "\nstatus\n");
    EXPECT_EQ(r.status, 0) << r.err;
    std::string out = r.out;
    if (!out.empty()) out.pop_back();
    return out.substr(out.find_last_of('\n') + 1);
}

struct TempFolder {
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-cli-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(ScriptRunner, StatusFollowsTheDocument)
{
    struct Case {
        const char* script;
        const char* status;
    };
    const Case cases[] = {
        {"new 64 48 7", "size 64 48 rough 7 history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool pencil"},
        {"new 64 48 7\nstroke 5 5 20 20 40 10",
         "size 64 48 rough 7 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"new 64 48 7\nstroke 30 30   # a tap is a stroke too",
         "size 64 48 rough 7 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"new 64 48 7\nstroke 5 5 20 20\nstroke 5 30 40 30\nundo\nundo\nredo",
         "size 64 48 rough 7 history 2 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"new 64 48 7\ntool select\nstroke 10 10 30 20",
         "size 64 48 rough 7 history 0 pos 0 selection 10 10 30 20 floating 0 modified 0 tool select"},
        {"new 64 48 7\ntool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25",
         "size 64 48 rough 7 history 1 pos 1 selection 30 20 50 30 floating 1 modified 1 tool select"},
        {"new 64 48 7\ntool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25\ndrop",
         "size 64 48 rough 7 history 2 pos 2 selection 0 0 0 0 floating 0 modified 1 tool select"},
        {"new 64 48 7\nselectall\ncopy\npaste",
         "size 64 48 rough 7 history 0 pos 0 selection 5 5 69 53 floating 1 modified 1 tool select"},
        {"new 64 48 7\nselectall\ncut\ntool hand",
         "size 64 48 rough 7 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool hand"},
        {"new 64 48 7\ntool select\nstroke 10 10 30 20\nclear\ntool eraser",
         "size 64 48 rough 7 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool eraser"},
        // A press the pencil declines starts no gesture; moves and releases then go nowhere.
        {"new 64 48 7\ndown -5 -5\nmove 10 10\nup 20 20",
         "size 64 48 rough 7 history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool pencil"},
        // A second press inside a gesture is ignored: one stroke results.
        {"new 64 48 7\ndown 5 5\nmove 10 10\ndown 30 30\nmove 20 20\nup 20 20\nup 25 25",
         "size 64 48 rough 7 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
    };
    for (const Case& c : cases) EXPECT_EQ(LastStatus(c.script), c.status) << c.script;
}

TEST(ScriptRunner, OptionsGoThroughTheToolsClampingSetters)
{
    std::ostringstream out, err;
    CScriptRunner runner(out, err);
    std::string error;
    int32_t grade, width, smooth, size, strength;
    struct Case {
        const char* line;
        int32_t grade, width, smooth;
    };
    const Case cases[] = {
        {"pencil 2B 2 0", 5, 2, 0}, {"pencil hb 3 1", 7, 3, 1}, {"pencil 4H 9 7", 11, 3, 1},
        {"pencil 0 -1 0", 0, 1, 0}, {"pencil 40 1 0", 11, 1, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(runner.RunLine(c.line, error)) << c.line << ": " << error;
        runner.GetDocument().m_pencilTool.GetOptions(grade, width, smooth);
        EXPECT_EQ(grade, c.grade) << c.line;
        EXPECT_EQ(width, c.width) << c.line;
        EXPECT_EQ(smooth, c.smooth) << c.line;
    }
    ASSERT_TRUE(runner.RunLine("eraser 9 0", error));
    runner.GetDocument().m_eraserTool.GetOptions(size, strength);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(strength, 1);
    ASSERT_TRUE(runner.RunLine("transparent 1", error));
    EXPECT_EQ(runner.GetDocument().m_bTransparent, 1);
    ASSERT_TRUE(runner.RunLine("   # only a comment", error));
    ASSERT_TRUE(runner.RunLine("", error));
}

TEST(ScriptRunner, BadLinesStopWithTheirNumberAndReason)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"frobnicate", "line 1: unknown command 'frobnicate'\n"},
        {"# comment\n\nnew 3 100 5", "line 3: width 3 is outside 4 to 2048\n"},
        {"new 100 2049 5", "line 1: height 2049 is outside 4 to 2048\n"},
        {"new 100 100 0", "line 1: roughness 0 is outside 1 to 10\n"},
        {"new 100 100 11", "line 1: roughness 11 is outside 1 to 10\n"},
        {"new 100 100", "line 1: new takes W H R\n"},
        {"new 100 x1 5", "line 1: 'x1' is not a whole number\n"},
        {"new 100 100 5\nstroke 1 2 3", "line 2: stroke takes pairs of X Y, at least one\n"},
        {"new 100 100 5\nstroke", "line 2: stroke takes pairs of X Y, at least one\n"},
        {"new 100 100 5\ndown 1.5 2", "line 2: '1.5' is not a whole number\n"},
        {"new 100 100 5\nmove 1", "line 2: move takes X Y\n"},
        {"tool brush", "line 1: tool takes pencil, eraser, hand or select\n"},
        {"pencil 7B 1 0", "line 1: '7B' is not a grade (0 to 11, or C, 6B to 1B, HB, 1H to 4H)\n"},
        {"pencil 2B 1", "line 1: pencil takes GRADE WIDTH SMOOTH\n"},
        {"eraser 1 one", "line 1: 'one' is not a whole number\n"},
        {"transparent 2", "line 1: transparent takes 0 or 1\n"},
        {"undo now", "line 1: undo takes no arguments\n"},
        {"stroke 1 1 5 5", "line 1: stroke needs a sheet: start with new or open\n"},
        {"selectall", "line 1: selectall needs a sheet: start with new or open\n"},
        {"status\nstatus 1", "line 2: status takes no arguments\n"},
        {"open /nonexistent/graphelle/none.tvk", "Failed to open file!\nline 1: cannot open /nonexistent/graphelle/none.tvk\n"},
        {"save a.tvk", "line 1: save needs a sheet: start with new or open\n"},
    };
    for (const Case& c : cases) {
        const Result r = RunScript(std::string(c.script) + "\nstatus\n");
        EXPECT_EQ(r.status, 1) << c.script;
        EXPECT_EQ(r.err, c.error) << c.script;
    }
    // Nothing after the bad line runs.
    const Result r = RunScript("new 10 10 1\nbad\nstatus\n");
    EXPECT_TRUE(r.out.empty());
}

TEST(ScriptRunner, SaveAndOpenUseTheDocumentsOwnSteps)
{
    TempFolder folder;
    const std::string tvk = folder.File("drawing.tvk");
    const std::string gif = folder.File("drawing.GIF");
    const std::string bmp = folder.File("drawing.bmp");
    const Result saved = RunScript("new 40 30 3\nstroke 5 5 30 20\ntool select\nstroke 2 2 12 12\nstroke 5 5 15 5 25 5\n"
                                   "save " + tvk + "\nsave " + gif + "\nsave " + bmp + "\nstatus\n");
    ASSERT_EQ(saved.status, 0) << saved.err;
    // The floating piece was put down by the first save; modified stays as it was.
    EXPECT_EQ(saved.out, "size 40 30 rough 3 history 3 pos 3 selection 0 0 0 0 floating 0 modified 1 tool select\n");
    EXPECT_EQ(Contents(tvk).substr(0, 4), "QLXF");
    EXPECT_EQ(Contents(gif).substr(0, 6), "GIF89a");
    EXPECT_EQ(Contents(bmp).substr(0, 2), "BM");

    std::ostringstream out, err;
    CScriptRunner first(out, err);
    std::istringstream script("new 40 30 3\nstroke 5 5 30 20\nsave " + tvk + "\n");
    ASSERT_EQ(first.Run(script), 0) << err.str();
    const std::vector<uint8_t> drawn(first.GetDocument().m_paper.GetBits(),
                                     first.GetDocument().m_paper.GetBits() + first.GetDocument().m_paper.GetImageSize());
    std::string error;
    ASSERT_TRUE(first.RunLine("open " + tvk, error)) << error;
    EXPECT_EQ(std::vector<uint8_t>(first.GetDocument().m_paper.GetBits(),
                                   first.GetDocument().m_paper.GetBits() + first.GetDocument().m_paper.GetImageSize()),
              drawn);
    EXPECT_EQ(first.StatusLine(), "size 40 30 rough 3 history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool pencil");

    const Result failed = RunScript("new 40 30 3\nsave /proc/graphelle-cannot-write-here.tvk\n");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("line 2: cannot save /proc/graphelle-cannot-write-here.tvk\n"), std::string::npos)
        << failed.err;
}

TEST(ScriptRunner, CommandLineOfTheRunSubCommand)
{
    std::ostringstream out, err;
    EXPECT_EQ(CliRun({}, out, err), 2);
    EXPECT_NE(err.str().find("usage: graphelle-cli run SCRIPT"), std::string::npos);
    EXPECT_EQ(CliRun({"a", "b"}, out, err), 2);

    std::ostringstream help;
    EXPECT_EQ(CliRun({"--help"}, help, err), 0);
    EXPECT_NE(help.str().find("stroke X0 Y0 X1 Y1"), std::string::npos);

    std::ostringstream missingErr;
    EXPECT_EQ(CliRun({"/nonexistent/graphelle/script.txt"}, out, missingErr), 1);
    EXPECT_EQ(missingErr.str(), "cannot open the script /nonexistent/graphelle/script.txt\n");

    TempFolder folder;
    const std::string path = folder.File("script.txt");
    std::ofstream(path) << "new 20 20 2\nstroke 3 3 9 9\nstatus\n";
    std::ostringstream ran;
    EXPECT_EQ(CliRun({path}, ran, err), 0);
    EXPECT_EQ(ran.str(), "size 20 20 rough 2 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil\n");
}

TEST(ScriptRunner, TheRunnersServicesLastAsLongAsTheRunner)
{
    const AppServices before = Services();
    {
        std::ostringstream out, err;
        CScriptRunner runner(out, err);
        EXPECT_NE(Services().pClipboard, nullptr);
        EXPECT_EQ(Services().pMainWindow, nullptr);
    }
    EXPECT_EQ(Services().pClipboard, before.pClipboard);
    EXPECT_EQ(Services().pMessageBox, before.pMessageBox);
}
