#include "CliTestSupport.h"

using doctest::Contents;
using doctest::Pixels;

// Each line reaches the document: its history, selection, floating piece, modified flag and tool.
TEST(ScriptRunner, StatusFollowsTheDocument)
{
    const struct { const char* script; int history, pos; const char* selection; int floating, modified;
                   const char* tool; } cases[] = {
        {"", 0, 0, "0 0 0 0", 0, 0, "pencil"},
        {"stroke 5 5 20 20 40 10", 1, 1, "0 0 0 0", 0, 1, "pencil"},
        {"stroke 5 5 20 20\nstroke 5 30 40 30\nundo\nundo\nredo", 2, 1, "0 0 0 0", 0, 1, "pencil"},
        {"tool select\nstroke 10 10 30 20", 0, 0, "10 10 30 20", 0, 0, "select"},
        {"tool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25", 1, 1, "30 20 50 30", 1, 1, "select"},
        {"tool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25\ndrop", 2, 2, "0 0 0 0", 0, 1, "select"},
        {"selectall\ncopy\npaste", 0, 0, "5 5 69 53", 1, 1, "select"},
        {"selectall\ncut\ntool hand", 1, 1, "0 0 0 0", 0, 1, "hand"},
        {"tool select\nstroke 10 10 30 20\nclear\ntool eraser", 1, 1, "0 0 0 0", 0, 1, "eraser"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunScript(std::string("new 64 48 7\n") + c.script + "\nstatus\n");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "size 64 48 rough 7 history " + std::to_string(c.history) + " pos " + std::to_string(c.pos) +
                             " selection " + c.selection + " floating " + std::to_string(c.floating) + " modified " +
                             std::to_string(c.modified) + " tool " + c.tool + "\n") << c.script;
    }
}

// Grades by name in any case or by number, and the tools' own limits.
TEST(ScriptRunner, OptionLinesSetTheTools)
{
    std::ostringstream out, err;
    CScriptRunner runner(out, err);
    std::string error;
    // Grade, width, smooth, eraser size, strength, transparent after each line.
    const std::pair<const char*, std::vector<int32_t>> cases[] = {
        {"pencil 2B 2 0", {5, 2, 0, 1, 1, 0}},  {"pencil hb 3 1", {7, 3, 1, 1, 1, 0}},
        {"pencil 4H 9 7", {11, 3, 1, 1, 1, 0}}, {"pencil -3 0 0", {0, 1, 0, 1, 1, 0}},
        {"pencil 40 -1 0", {11, 1, 0, 1, 1, 0}}, {"eraser 9 0", {11, 1, 0, 3, 1, 0}},
        {"eraser -5 7", {11, 1, 0, 1, 3, 0}},   {"transparent 1", {11, 1, 0, 1, 3, 1}},
        {"   # only a comment", {11, 1, 0, 1, 3, 1}},
    };
    for (const auto& [line, expected] : cases) {
        ASSERT_TRUE(runner.RunLine(line, error)) << line << ": " << error;
        EXPECT_EQ(doctest::ToolSettings(runner.GetDocument()), expected) << line;
    }
}

TEST(ScriptRunner, BadLinesStopWithTheirNumberAndReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"frobnicate", "line 1: unknown command 'frobnicate'\n"},
        {"# comment\n\nnew 3 100 5", "line 3: width 3 is outside 4 to 2048\n"},
        {"new 100 2049 5", "line 1: height 2049 is outside 4 to 2048\n"},
        {"new 100 100 11", "line 1: roughness 11 is outside 1 to 10\n"},
        {"new 100 100", "line 1: new takes W H R\n"},
        {"new 100 x1 5", "line 1: 'x1' is not a whole number\n"},
        {"new 100 100 5\nstroke 1 2 3", "line 2: stroke takes pairs of X Y, at least one\n"},
        {"new 100 100 5\ndown 1.5 2", "line 2: '1.5' is not a whole number\n"},
        {"new 100 100 5\nmove 1", "line 2: move takes X Y\n"},
        {"tool brush", "line 1: tool takes pencil, eraser, hand or select\n"},
        {"pencil 7B 1 0", "line 1: '7B' is not a grade (0 to 11, or C, 6B to 1B, HB, 1H to 4H)\n"},
        {"pencil 2B 1", "line 1: pencil takes GRADE WIDTH SMOOTH\n"},
        {"eraser 1 one", "line 1: 'one' is not a whole number\n"},
        {"transparent 2", "line 1: transparent takes 0 or 1\n"},
        {"undo now", "line 1: undo takes no arguments\n"},
        {"stroke 1 1 5 5", "line 1: stroke needs a sheet: start with new or open\n"},
        {"new 10 10 1\nstatus 1", "line 2: status takes no arguments\n"},
        {"open /nonexistent/graphelle/none.tvk",
         "Failed to open file!\nline 1: cannot open /nonexistent/graphelle/none.tvk\n"},
        {"save a.tvk", "line 1: save needs a sheet: start with new or open\n"},
        {"new 10 10 1\nstroke 0 0 1000001 5", "line 2: position 1000001 is outside -1000000 to 1000000\n"},
        {"new 10 10 1\ndown -2147483648 0", "line 2: position -2147483648 is outside -1000000 to 1000000\n"},
        {"new 10 10 1\npstroke 1 2", "line 2: pstroke takes triples of X Y PRESSURE, at least one\n"},
        {"new 10 10 1\npstroke 1 2 1.5", "line 2: '1.5' is not a pressure from 0 to 1\n"},
        {"new 10 10 1\npstroke 1 2 -0.1", "line 2: '-0.1' is not a pressure from 0 to 1\n"},
        {"new 10 10 1\npstroke 1 2 half", "line 2: 'half' is not a pressure from 0 to 1\n"},
        {"new 10 10 1\npstroke 1 2 nan", "line 2: 'nan' is not a pressure from 0 to 1\n"},
        {"new 10 10 1\npstroke 1 2 1 3000000 2 1", "line 2: position 3000000 is outside -1000000 to 1000000\n"},
    };
    for (const auto& [script, error] : cases) {
        const CliResult r = RunScript(std::string(script) + "\nstatus\n");
        EXPECT_EQ(std::pair(r.status, r.err), std::pair(1, std::string(error))) << script;
        EXPECT_EQ(r.out, "") << "nothing after the bad line runs: " << script;
    }
}

// A pen's stroke: pressed fully it is the mouse's, not pressed at all it leaves the sheet as the hand does, and
// half pressed the pencil marks less and the eraser rubs less.
TEST(ScriptRunner, PenStrokesCarryAPressureAtEveryPoint)
{
    const auto sheet = [](const std::string& tool, const std::string& stroke, const std::string& pressure) {
        std::string script = "new 64 48 7\npencil 1 3 0\nstroke 5 5 20 12 30 30 50 28 50 40\ntool " + tool;
        script += "\n" + stroke;
        for (const char* p : {"5 5", "20 12", "30 30", "50 28", "50 29", "60 10"}) script += " " + (p + pressure);
        std::ostringstream out, err;
        CScriptRunner runner(out, err);
        std::istringstream in(script + "\n");
        EXPECT_EQ(runner.Run(in), 0) << err.str();
        return Pixels(runner.GetDocument().GetPaper());
    };
    const auto before = sheet("hand", "stroke", "");
    for (const std::string tool : {"pencil", "eraser"}) {
        const auto full = sheet(tool, "pstroke", " 1"), half = sheet(tool, "pstroke", " 0.5");
        EXPECT_EQ(std::pair(full == sheet(tool, "stroke", ""), full != before), std::pair(true, true)) << tool;
        EXPECT_EQ(std::pair(sheet(tool, "pstroke", " 0") == before, half != full), std::pair(true, true)) << tool;
        for (size_t i = 0; i < half.size(); ++i)
            ASSERT_TRUE(tool == "pencil" ? half[i] >= full[i] : half[i] <= full[i]) << tool << " byte " << i;
    }
}

// The lines that once overflowed the heap: a paste pressed in the middle of a stroke.
TEST(ScriptRunner, DocumentLinesDuringAGestureAreIgnoredWithANote)
{
    const char* alone = "new 60 40 5\nstroke 2 2 30 30\ntool select\nstroke 5 5 20 20\ncopy\ntool pencil\n"
                        "down 10 30\nmove 20 32\nmove 40 35\nup 40 35\ntool pencil\nstatus\n";
    const CliResult plain = RunScript(alone);
    std::string mixed = alone;
    mixed.replace(mixed.find("move 40"), 0, "paste\nundo\ntool eraser\npencil 3 3 1\ndrop\n");
    const CliResult r = RunScript(mixed);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, plain.out);
    EXPECT_NE(r.err.find("line 9: paste ignored: a gesture is in progress\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 12: pencil ignored"), std::string::npos) << r.err;
}

// A path is the rest of its line, blanks around it trimmed, or what stands between quotes.
TEST(ScriptRunner, PathsMayHoldSpacesWithOrWithoutQuotes)
{
    doctest::TempFolder folder;
    std::filesystem::create_directory(folder.path / "My Sketches");
    const std::string dir = folder.File("My Sketches");
    const CliResult r = RunScript("new 20 20 3\nstroke 2 2 15 15\nsave   " + dir + "/a b.tvk  # plain\n"
                                  "save \"" + dir + "/#2 .tvk\"  \nopen \"" + dir + "/a b.tvk\"\nopen " + dir +
                                  "/#2 .tvk\n");
    EXPECT_EQ(r.status, 1);  // the last open stopped at the '#', which starts a comment there
    EXPECT_EQ(r.err, "Failed to open file!\nline 6: cannot open " + dir + "/\n");
    EXPECT_EQ(Contents(dir + "/a b.tvk").substr(0, 4), "QLXF");
    EXPECT_EQ(Contents(dir + "/#2 .tvk"), Contents(dir + "/a b.tvk"));
    for (const char* line : {"save", "save # no path", "save \"unclosed", "save \"a\" b", "save \"\""})
        EXPECT_EQ(RunScript(std::string("new 20 20 3\n") + line + "\n").err, "line 2: save takes PATH\n") << line;
}
