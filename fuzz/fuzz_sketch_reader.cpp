// Arbitrary bytes as a sketch file: reading must end, stay inside the paper
// and the file, and leave the papers in one of the states it promises.

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The input lives in a memory file that the archive opens by path, as it
// would open a file on disk.
int InputFile()
{
    static int fd = ::memfd_create("sketch", 0);
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
    CPaper paper, base;
    bool ok = ReadSketch(paper, base, ar);
    ar.Close();

    if (ok && !paper.HasBits()) std::abort();  // success always leaves a sheet
    if (paper.HasBits()) {
        if (!base.HasBits() || base.GetWidth() != paper.GetWidth() || base.GetHeight() != paper.GetHeight())
            std::abort();
        // The fill bytes of each row are never written.
        const uint8_t* bits = paper.GetBits();
        for (uint32_t y = 0; y < paper.GetHeight(); ++y)
            for (uint32_t x = paper.GetWidth(); x < paper.GetStride(); ++x)
                if (bits[size_t{y} * paper.GetStride() + x] != 255) std::abort();
    }
    return 0;
}
