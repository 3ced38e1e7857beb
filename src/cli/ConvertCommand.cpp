#include "ConvertCommand.h"
#include "Usage.h"

#include "engine/Paper.h"
#include "formats/FileFormat.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <ostream>

namespace {

const char kUsage[] =
    "usage: graphelle-cli convert IN OUT (IN a sketch or a PNG picture; OUT ending in .gif, .bmp, .png or anything "
    "else for a sketch)\n";

// A PNG picture is told by its first bytes, whatever its name.
bool IsPngFile(const std::string& path)
{
    CArchive ar;
    uint8_t signature[8];
    return ar.Open(path, CArchive::load) && ar.ReadExact(signature, sizeof signature) &&
           IsPngSignature(signature, sizeof signature);
}

// A PNG picture as a new sheet; 0, or 1 with the reason on err.
int LoadPicture(const std::string& path, CPaper& paper, std::ostream& err)
{
    CArchive ar;
    std::string error;
    if (!ar.Open(path, CArchive::load)) error = ar.GetError();
    else if (ReadPng(ar, paper, kDefaultRoughness, error)) return 0;
    err << path << ": " << error << "\n";
    return 1;
}

// Writes paper as outPath's name says; 0, or 1 with the reason on err.
int WriteCopy(const CPaper& paper, const std::string& outPath, std::ostream& err)
{
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
    return 0;
}

}  // namespace

int CliConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (const int status = CheckArguments(args, 2, kUsage, nullptr, out, err); status >= 0) return status;
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];

    CPaper paper;
    std::string error;
    if (IsPngFile(inPath)) {
        if (LoadPicture(inPath, paper, err) != 0) return 1;
        return WriteCopy(paper, outPath, err);
    }
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
    const int status = WriteCopy(paper, outPath, err);
    return load == SketchLoad::Part ? 1 : status;
}
