#include "ConvertCommand.h"
#include "Usage.h"

#include "engine/Paper.h"
#include "formats/FileFormat.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <ostream>

namespace {

const char kUsage[] = "usage: graphelle-cli convert IN.tvk OUT (OUT ending in .gif, .bmp or anything else for a sketch)\n";

}  // namespace

int CliConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (const int status = CheckArguments(args, 2, kUsage, nullptr, out, err); status >= 0) return status;
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];

    CPaper paper;
    std::string error;
    const SketchLoad load = LoadSketchFile(inPath, paper, error);
    switch (load) {
    case SketchLoad::NotOpened:
        err << inPath << ": " << error << "\n";
        return 1;
    case SketchLoad::NotSketch:
        err << inPath << ": not a sketch file\n";
        return 1;
    case SketchLoad::Part:
        // The copy is still written, holding what could be read.
        err << inPath << ": read only in part; the rest of the sheet is white\n";
        break;
    case SketchLoad::Whole:
        break;
    }

    CArchive ar;
    if (!ar.Open(outPath, CArchive::store)) {
        err << outPath << ": " << ar.GetError() << "\n";
        return 1;
    }
    if (!WritePaper(paper, ar)) {
        std::string reason = ar.HasFailed() ? ar.GetError() : "cannot write";
        ar.Abort();
        err << outPath << ": " << reason << "\n";
        return 1;
    }
    if (!ar.Close()) {
        err << outPath << ": " << ar.GetError() << "\n";
        return 1;
    }
    return load == SketchLoad::Part ? 1 : 0;
}
