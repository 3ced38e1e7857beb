#pragma once
// Runs a sub-command with its words, or a script through the runner, keeping what it printed;
// writes sketch files of sheets given pixel by pixel.

#include "cli/ScriptRunner.h"
#include "document/DocTestSupport.h"
#include "formats/FormatsTestSupport.h"

#include <functional>
#include <sstream>

struct CliResult { int status; std::string out, err; };

using CliCommand = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

inline CliResult RunCommand(CliCommand command, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    return {command(args, out, err), out.str(), err.str()};  // a braced list runs left to right
}

inline CliResult RunScript(const std::string& script)
{
    std::ostringstream out, err;
    std::istringstream in(script);
    CScriptRunner runner(out, err);
    return {runner.Run(in), out.str(), err.str()};
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A sketch file at path of a w x h sheet whose pixel x, y (top row 0) is shade(x, y).
inline std::string WriteSheet(const std::string& path, uint32_t w, uint32_t h,
                              const std::function<uint8_t(uint32_t, uint32_t)>& shade)
{
    CPaper paper;
    EXPECT_TRUE(paper.Create(w, h, 4));
    for (uint32_t i = 0; i < w * h; ++i) paper.SetPixel(int32_t(i % w), int32_t(i / w), shade(i % w, i / w));
    EXPECT_TRUE(formats_test::Save(WriteSketch, paper, path));
    return path;
}
