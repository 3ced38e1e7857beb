// Arbitrary bytes as a PNG picture: reading must end, stay inside its buffers
// (libpng's errors jump out through our frames), and leave either a valid
// sheet or none with a reason.

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "FuzzInput.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CArchive ar;
    OpenFuzzInput(data, size, ar);
    CPaper paper;
    std::string error;
    const bool read = ReadPng(ar, paper, kDefaultRoughness, error);
    ar.Close();

    if (read != paper.HasBits()) std::abort();  // a sheet exactly when reading succeeded
    if (!read && error.empty()) std::abort();   // every refusal says why
    if (read && (paper.GetWidth() < kPaperMinSize || paper.GetWidth() > kPaperMaxSize ||
                 paper.GetHeight() < kPaperMinSize || paper.GetHeight() > kPaperMaxSize))
        std::abort();
    return 0;
}
