// graphelle-cli: the drawing engine without a screen. Each sub-command is one
// row of the table below; it receives the words after its name.

#include "ConvertCommand.h"
#include "InfoCommand.h"
#include "ScriptRunner.h"
#include "ThumbnailCommand.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

using SubCommandFn = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct SubCommand {
    const char* name;
    SubCommandFn run;
    const char* summary;
};

const SubCommand kSubCommands[] = {
    {"run", CliRun, "run SCRIPT            replay a drawing script (- reads standard input)"},
    {"thumbnail", CliThumbnail, "thumbnail IN OUT SIZE  a sketch as a gray PNG at most SIZE pixels"},
    {"info", CliInfo, "info FILE             header fields of a sketch file and whether it reads whole"},
    {"convert", CliConvert, "convert IN OUT        a sketch or PNG picture as OUT's extension says (.gif, .bmp, .png, else sketch)"},
};

void PrintUsage(std::ostream& out)
{
    out << "usage: graphelle-cli COMMAND ARGS...\n";
    for (const SubCommand& c : kSubCommands) out << "  graphelle-cli " << c.summary << '\n';
    out << "  graphelle-cli COMMAND --help   more about one command\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    for (const SubCommand& c : kSubCommands)
        if (words[0] == c.name) return c.run(std::vector<std::string>(words.begin() + 1, words.end()), std::cout, std::cerr);
    std::cerr << "graphelle-cli: unknown command '" << words[0] << "'\n";
    PrintUsage(std::cerr);
    return 2;
}
