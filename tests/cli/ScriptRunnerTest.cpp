#include "CliTestSupport.h"

// Each line reaches the document: its history, selection, floating piece, modified flag and tool.
TEST(ScriptRunner, StatusFollowsTheDocument)
{
    const std::string none = " selection 0 0 0 0 floating 0 modified 1 tool ";  // nothing selected or floating
    const std::pair<const char*, std::string> cases[] = {
        {"stroke 5 5 20 20\nstroke 5 30 40 30\nundo\nundo\nredo", "history 2 pos 1" + none + "pencil"},
        {"tool select\nstroke 10 10 30 20\nstroke 15 15 25 15 35 25\ndrop", "history 2 pos 2" + none + "select"},
        {"selectall\ncopy\npaste", "history 0 pos 0 selection 5 5 69 53 floating 1 modified 1 tool select"},
        {"selectall\ncut\ntool hand", "history 1 pos 1" + none + "hand"},
        {"tool select\nstroke 10 10 30 20\nclear\ntool eraser", "history 1 pos 1" + none + "eraser"}};
    for (const auto& [script, status] : cases) {
        const CliResult r = RunScript(std::string("new 64 48 7\n") + script + "\nstatus\n");
        EXPECT_EQ(std::pair(r.status, r.out), std::pair(0, "size 64 48 rough 7 " + status + "\n")) << r.err;
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
        {"eraser -5 7", {11, 1, 0, 1, 3, 0}},   {"transparent 1", {11, 1, 0, 1, 3, 1}}};
    for (const auto& [line, expected] : cases) {
        ASSERT_TRUE(runner.RunLine(line, error)) << line << ": " << error;
        EXPECT_EQ(doctest::ToolSettings(runner.GetDocument()), expected) << line;
    }
}

TEST(ScriptRunner, BadLinesStopWithTheirNumberAndReason)
{
    // The bad line is the last, its number before its message; n makes a sheet first.
    const std::string n = "new 10 10 1\n", pressure = "' is not a pressure from 0 to 1";
    const std::string far = " is outside -1000000 to 1000000", sheet = " needs a sheet: start with new or open";
    const std::pair<std::string, std::string> cases[] = {
        {"frobnicate", "unknown command 'frobnicate'"}, {"# comment\n\nnew 3 100 5", "width 3 is outside 4 to 2048"},
        {"new 100 100", "new takes W H R"}, {"new 100 x1 5", "'x1' is not a whole number"},
        {n + "stroke 1 2 3", "stroke takes pairs of X Y, at least one"}, {n + "move 1", "move takes X Y"},
        {"tool brush", "tool takes pencil, eraser, hand or select"}, {"pencil 2B 1", "pencil takes GRADE WIDTH SMOOTH"},
        {"pencil 7B 1 0", "'7B' is not a grade (0 to 11, or C, 6B to 1B, HB, 1H to 4H)"},
        {"transparent 2", "transparent takes 0 or 1"}, {"undo now", "undo takes no arguments"},
        {"stroke 1 1", "stroke" + sheet}, {"save a.tvk", "save" + sheet}, {n + "pstroke 1 2 1.5", "'1.5" + pressure},
        {n + "pstroke 1 2 -0.1", "'-0.1" + pressure}, {n + "pstroke 1 2 nan", "'nan" + pressure},
        {n + "down -2147483648 0", "position -2147483648" + far}, {n + "stroke 1000001 5", "position 1000001" + far},
        {n + "pstroke 1 2", "pstroke takes triples of X Y PRESSURE, at least one"},
        {n + "pstroke 1 2 1 3000000 2 1", "position 3000000" + far}};
    for (const auto& [script, error] : cases) {
        const CliResult r = RunScript(script + "\nstatus\n");
        const std::string line = "line " + std::to_string(std::count(script.begin(), script.end(), '\n') + 1) + ": ";
        // Nothing after the bad line runs.
        EXPECT_EQ(std::tuple(r.status, r.err, r.out), std::tuple(1, line + error + "\n", "")) << script;
    }
}
