#pragma once
// The opening every sub-command shares: "--help" or "-h" alone prints the
// help on standard output and ends well; any other number of arguments than
// the command takes prints the usage as an error.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// Exit status to end with, or -1 when the arguments are fit to go on.
inline int CheckArguments(const std::vector<std::string>& args, size_t count, const char* usage,
                          const char* help, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << (help ? help : usage);
        return 0;
    }
    if (args.size() != count) {
        err << usage;
        return 2;
    }
    return -1;
}
