#pragma once
// Runs a sub-command with its words, or a script through the runner, keeping what it printed.

#include "cli/ScriptRunner.h"
#include "document/DocTestSupport.h"

#include <sstream>

struct CliResult {
    int status;
    std::string out, err;
};

inline CliResult RunCommand(int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
                            const std::vector<std::string>& args)
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
