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
    // The bad line is the last, its number before its message; n makes a sheet first.
    const std::string n = "new 10 10 1\n", pressure = "' is not a pressure from 0 to 1";
    const std::string far = " is outside -1000000 to 1000000";
    const std::pair<std::string, std::string> cases[] = {
        {"frobnicate", "unknown command 'frobnicate'"}, {"# comment\n\nnew 3 100 5", "width 3 is outside 4 to 2048"},
        {"new 100 2049 5", "height 2049 is outside 4 to 2048"}, {"new 100 100 11", "roughness 11 is outside 1 to 10"},
        {"new 100 100", "new takes W H R"}, {"new 100 x1 5", "'x1' is not a whole number"},
        {n + "stroke 1 2 3", "stroke takes pairs of X Y, at least one"}, {n + "move 1", "move takes X Y"},
        {n + "down 1.5 2", "'1.5' is not a whole number"}, {"tool brush", "tool takes pencil, eraser, hand or select"},
        {"pencil 7B 1 0", "'7B' is not a grade (0 to 11, or C, 6B to 1B, HB, 1H to 4H)"},
        {"pencil 2B 1", "pencil takes GRADE WIDTH SMOOTH"}, {"eraser 1 one", "'one' is not a whole number"},
        {"transparent 2", "transparent takes 0 or 1"}, {"undo now", "undo takes no arguments"},
        {"stroke 1 1 5 5", "stroke needs a sheet: start with new or open"}, {n + "pstroke 1 2 1.5", "'1.5" + pressure},
        {n + "status 1", "status takes no arguments"}, {"save a.tvk", "save needs a sheet: start with new or open"},
        {n + "stroke 0 0 1000001 5", "position 1000001" + far}, {n + "pstroke 1 2 -0.1", "'-0.1" + pressure},
        {n + "down -2147483648 0", "position -2147483648" + far}, {n + "pstroke 1 2 half", "'half" + pressure},
        {n + "pstroke 1 2", "pstroke takes triples of X Y PRESSURE, at least one"},
        {n + "pstroke 1 2 nan", "'nan" + pressure}, {n + "pstroke 1 2 1 3000000 2 1", "position 3000000" + far},
    };
    for (const auto& [script, error] : cases) {
        const CliResult r = RunScript(script + "\nstatus\n");
        const std::string line = "line " + std::to_string(std::count(script.begin(), script.end(), '\n') + 1) + ": ";
        EXPECT_EQ(std::pair(r.status, r.err), std::pair(1, line + error + "\n")) << script;
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
