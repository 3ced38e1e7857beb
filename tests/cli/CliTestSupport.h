#pragma once
// Runs a sub-command with its words, or a script through the runner, keeping what it printed;
// writes sketch files of sheets given pixel by pixel.

#include "cli/ScriptRunner.h"
#include "document/DocTestSupport.h"
#include "formats/SketchFile.h"

#include <functional>
#include <sstream>

struct CliResult {
    int status;
    std::string out, err;
};

using CliCommand = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

inline CliResult RunCommand(CliCommand command, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return CliResult{status, out.str(), err.str()};
}

inline CliResult RunScript(const std::string& script)
{
    std::ostringstream out, err;
    std::istringstream in(script);
    CScriptRunner runner(out, err);
    const int status = runner.Run(in);
    return CliResult{status, out.str(), err.str()};
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A sketch file at path of a w x h sheet whose pixel x, y (top row 0) is shade(x, y).
inline std::string WriteSheet(const std::string& path, uint32_t w, uint32_t h,
                              const std::function<uint8_t(uint32_t, uint32_t)>& shade)
{
    CPaper paper;
    EXPECT_TRUE(paper.Create(w, h, 4));
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) paper.SetPixel(int32_t(x), int32_t(y), shade(x, y));
    CArchive ar;
    EXPECT_TRUE(ar.Open(path, CArchive::store) && WriteSketch(paper, ar) && ar.Close());
    return path;
}
