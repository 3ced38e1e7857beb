// Arbitrary bytes through the LZW codec. First as a code stream cut into
// blocks for a small raster held in a buffer of exactly its size: decoding
// must stay inside it. Then as a raster: encoding and decoding it again must
// give it back.

#include "formats/LzwCodes.h"
#include "formats/LzwDecoder.h"
#include "formats/LzwEncoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void DecodeAsStream(const uint8_t* data, size_t size)
{
    if (size < 2) return;
    uint32_t width = 1 + data[0] % 64;
    uint32_t height = 1 + data[1] % 64;
    data += 2;
    size -= 2;
    std::vector<uint8_t> pixels(size_t{LzwStride(width)} * height, 0xA5);
    CLzwDecoder decoder;
    if (!decoder.Begin(pixels.data(), 8, width, height, false)) std::abort();
    // Blocks as in a sketch file: a count byte, then that many bytes.
    while (size > 0) {
        size_t count = std::min<size_t>(data[0], size - 1);
        std::vector<uint8_t> block(data + 1, data + 1 + count);  // exactly sized
        data += 1 + count;
        size -= 1 + count;
        if (decoder.DecodeBlock(block.data(), static_cast<uint32_t>(count)) != CLzwDecoder::kMore) break;
    }
    if (decoder.GetPixelCount() > uint64_t{width} * height) std::abort();
}

void RoundTrip(const uint8_t* data, size_t size)
{
    if (size < 2) return;
    uint32_t width = 1 + data[0] % 97;
    uint32_t height = static_cast<uint32_t>((size - 1) / width);
    if (height == 0) return;
    uint32_t stride = LzwStride(width);
    std::vector<uint8_t> raster(size_t{stride} * height, 0);
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(raster.data() + size_t{height - 1 - y} * stride, data + 1 + size_t{y} * width, width);

    // One encoder for all inputs: its tables are large, and starting a new
    // stream on used tables is part of what is tested.
    static CLzwEncoder encoder;
    CLzwDecoder decoder;
    std::vector<uint8_t> decoded(raster.size(), 0);
    if (!encoder.Begin(raster.data(), width, height, 8)) std::abort();
    if (!decoder.Begin(decoded.data(), 8, width, height, false)) std::abort();
    uint8_t block[255];
    int result = CLzwDecoder::kMore;
    for (;;) {
        uint8_t count = 0;
        encoder.NextBlock(block, &count);
        if (count == 0) break;
        result = decoder.DecodeBlock(block, count);
        if (result == CLzwDecoder::kCorrupt) std::abort();
    }
    if (result != CLzwDecoder::kEnd || decoded != raster) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeAsStream(data, size);
    RoundTrip(data, size);
    return 0;
}
