// Arbitrary bytes as a PNG picture: reading must end, stay inside its buffers
// (libpng's errors jump out through our frames), and leave either a valid
// sheet or none with a reason.

#include "engine/Paper.h"
#include "formats/PngFile.h"
#include "io/Archive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The input lives in a memory file that the archive opens by path, as it
// would open a picture on disk.
int InputFile()
{
    static int fd = ::memfd_create("picture", 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fd = InputFile();
    if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

    CArchive ar;
    if (!ar.Open("/proc/self/fd/" + std::to_string(fd), CArchive::load)) std::abort();
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
