// Arbitrary bytes as a sketch file: reading must end, stay inside the paper
// and the file, and leave the papers in one of the states it promises.

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "FuzzInput.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CArchive ar;
    OpenFuzzInput(data, size, ar);
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
