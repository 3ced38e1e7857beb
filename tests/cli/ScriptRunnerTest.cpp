#include "CliTestSupport.h"

using doctest::Contents;
using doctest::Pixels;

TEST(ScriptRunner, StatusFollowsTheDocument)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool pencil"},
        {"stroke 5 5 20 20 40 10", "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"stroke 30 30   # a tap is a stroke too",
         "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"stroke 5 5 20 20\nstroke 5 30 40 30\nundo\nundo\nredo",
         "history 2 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
        {"tool select\nstroke 10 10 30 20", "history 0 pos 0 selection 10 10 30 20 floating 0 modified 0 tool select"},
        {"tool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25",
         "history 1 pos 1 selection 30 20 50 30 floating 1 modified 1 tool select"},
        {"tool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25\ndrop",
         "history 2 pos 2 selection 0 0 0 0 floating 0 modified 1 tool select"},
        {"selectall\ncopy\npaste", "history 0 pos 0 selection 5 5 69 53 floating 1 modified 1 tool select"},
        {"selectall\ncut\ntool hand", "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool hand"},
        {"tool select\nstroke 10 10 30 20\nclear\ntool eraser",
         "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool eraser"},
        // A press the pencil declines starts no gesture; moves and releases then go nowhere.
        {"down -5 -5\nmove 10 10\nup 20 20", "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool pencil"},
        // A second press inside a gesture is ignored: one stroke results.
        {"down 5 5\nmove 10 10\ndown 30 30\nmove 20 20\nup 20 20\nup 25 25",
         "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 tool pencil"},
    };
    for (const auto& [script, status] : cases) {
        const CliResult r = RunScript(std::string("new 64 48 7\n") + script + "\nstatus\n");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::string("size 64 48 rough 7 ") + status + "\n") << script;
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
        {"pencil 4H 9 7", {11, 3, 1, 1, 1, 0}}, {"pencil 0 -1 0", {0, 1, 0, 1, 1, 0}},
        {"pencil 40 1 0", {11, 1, 0, 1, 1, 0}}, {"eraser 9 0", {11, 1, 0, 3, 1, 0}},
        {"transparent 1", {11, 1, 0, 3, 1, 1}}, {"   # only a comment", {11, 1, 0, 3, 1, 1}},
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

// A pen's stroke: pressed fully it is the mouse's, half pressed never darker, and not pressed
// at all it leaves the sheet as it was, with the pencil and with the eraser.
TEST(ScriptRunner, PenStrokesCarryAPressureAtEveryPoint)
{
    auto sheet = [](const std::string& lines) {
        std::ostringstream out, err;
        CScriptRunner runner(out, err);
        std::istringstream script("new 64 48 7\npencil 1 3 0\nstroke 5 5 20 12 30 30 50 28 50 40\n" + lines);
        EXPECT_EQ(runner.Run(script), 0) << err.str();
        return Pixels(runner.GetDocument().GetPaper());
    };
    const std::string points[] = {"5 5", "20 12", "30 30", "50 28", "50 29", "60 10"};
    auto pen = [&](const char* tool, const std::string& pressure) {
        std::string line = std::string("tool ") + tool + "\npstroke";
        for (const std::string& p : points) line += " " + p + " " + pressure;
        std::string mouse = std::string("tool ") + tool + "\nstroke";
        for (const std::string& p : points) mouse += " " + p;
        return std::pair{sheet(line + "\n"), sheet(mouse + "\n")};
    };
    const auto before = sheet("");
    for (const char* tool : {"pencil", "eraser"}) {
        const auto [full, mouse] = pen(tool, "1");
        EXPECT_EQ(full, mouse) << tool;
        EXPECT_NE(full, before) << tool;
        EXPECT_EQ(pen(tool, "0").first, before) << tool;
        const auto half = pen(tool, "0.5").first;
        EXPECT_NE(half, full) << tool;
        for (size_t i = 0; i < half.size(); ++i) {
            // The eraser's half press rubs less: never lighter than its full press.
            const bool pencil = std::string(tool) == "pencil";
            ASSERT_TRUE(pencil ? half[i] >= full[i] : half[i] <= full[i]) << tool << " byte " << i;
        }
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

// Save writes a copy as Save As does, putting the floating piece down and keeping the modified
// state; open reads it back and starts afresh; a save that fails stops the script.
TEST(ScriptRunner, SaveAndOpenUseTheDocumentsOwnSteps)
{
    doctest::TempFolder folder;
    const std::string tvk = folder.File("drawing.tvk");
    std::ostringstream out, err;
    CScriptRunner runner(out, err);
    std::istringstream script("new 40 30 3\nstroke 5 5 30 20\ntool select\nstroke 2 2 12 12\nstroke 5 5 15 5 25 5\n"
                              "save " + tvk + "\nstatus\n");
    ASSERT_EQ(runner.Run(script), 0) << err.str();
    EXPECT_EQ(out.str(), "size 40 30 rough 3 history 3 pos 3 selection 0 0 0 0 floating 0 modified 1 tool select\n");
    const auto drawn = Pixels(runner.GetDocument().GetPaper());
    std::string error;
    ASSERT_TRUE(runner.RunLine("stroke 5 25 30 25", error));
    ASSERT_TRUE(runner.RunLine("open " + tvk, error)) << error;
    EXPECT_EQ(Pixels(runner.GetDocument().GetPaper()), drawn);
    EXPECT_EQ(runner.StatusLine(),
              "size 40 30 rough 3 history 0 pos 0 selection 0 0 0 0 floating 0 modified 0 tool select");

    const CliResult failed = RunScript("new 40 30 3\nsave /proc/graphelle-cannot-write-here.tvk\nstatus\n");
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(Has(failed.err, "line 2: cannot save /proc/graphelle-cannot-write-here.tvk\n")) << failed.err;
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

// graphelle-cli run replays a script file; the runner's services stand in only while it lives.
TEST(ScriptRunner, TheRunSubCommandReplaysAFile)
{
    doctest::TempFolder folder;
    doctest::WriteFile(folder.File("script.txt"), "new 20 20 2\nstroke 3 3 9 9\nstatus\n");
    const CliResult ran = RunCommand(CliRun, {folder.File("script.txt")});
    EXPECT_EQ(std::pair(ran.status, ran.out),
              std::pair(0, std::string("size 20 20 rough 2 history 1 pos 1 selection 0 0 0 0 floating 0 modified 1 "
                                       "tool pencil\n")));
    std::ostringstream out, err;
    CScriptRunner runner(out, err);
    EXPECT_TRUE(runner.GetDocument().GetServices().pClipboard && !runner.GetDocument().GetServices().pMainWindow);
}
