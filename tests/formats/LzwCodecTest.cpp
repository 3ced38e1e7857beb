// The LZW encoder with the decoder, where rows end and tables fill; the decoder against streams that
// lie about themselves.

#include "FormatsTestSupport.h"
#include "formats/LzwCodes.h"
#include "formats/LzwDecoder.h"

#include <map>

using namespace formats_test;

namespace {

// Codes packed from the lowest bit up, then the partial byte, zero or not, at
// the widths a decoder expects: after a clear code it adds an entry from 258 on
// for each code but the first, up to 4096, and reads 9 bits, 10 from 512
// entries, 11 from 1024 and 12 from 2048.
Bytes Pack(const std::vector<uint32_t>& codes)
{
    Bytes out;
    uint64_t bits = 0, count = 0, sinceClear = 0;
    for (uint32_t code : codes) {
        const uint64_t next = std::min<uint64_t>(kLzwFirstFreeCode + std::max<uint64_t>(sinceClear, 1) - 1, 4096);
        bits |= uint64_t{code} << count;
        for (count += 9 + (next >= 512) + (next >= 1024) + (next >= 2048); count >= 8; count -= 8, bits >>= 8)
            out.push_back(static_cast<uint8_t>(bits));
        sinceClear = code == kLzwClearCode ? 0 : sinceClear + 1;
    }
    out.push_back(static_cast<uint8_t>(bits));
    return out;
}

// Where a plain LZW table, started empty, takes its last entry: the index of the pixel that ends that string, or
// SIZE_MAX when it never fills.
size_t FirstFill(const Bytes& pixels)
{
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        if (auto f = table.find({prefix, pixels[i]}); f != table.end()) { prefix = f->second; continue; }
        table[{prefix, pixels[i]}] = uint32_t(kLzwFirstFreeCode + table.size());
        if (table.size() == kLzwMaxCodes - kLzwFirstFreeCode) return i;
        prefix = pixels[i];
    }
    return SIZE_MAX;
}

int DecodeInBlocks(const Bytes& stream, uint8_t* pixels, uint32_t width, uint32_t height, size_t blockSize)
{
    CLzwDecoder decoder;
    int result = decoder.Begin(pixels, 8, width, height, false) ? CLzwDecoder::kMore : -2;
    for (size_t pos = 0; pos < stream.size() && result == CLzwDecoder::kMore; pos += blockSize)
        result = decoder.DecodeBlock(stream.data() + pos, uint32_t(std::min(blockSize, stream.size() - pos)));
    return result;
}

// Encodes the whole rows of pixels at that width, laid out as a sheet's raster in memory of the exact
// size (so that the address sanitizer catches a read past it), and decodes them back in blocks of 255
// and of 1 byte, which splits most codes.
void ExpectRoundTrip(const Bytes& pixels, uint32_t width, const std::string& what)
{
    const uint32_t height = uint32_t(pixels.size() / width), stride = LzwStride(width);
    Bytes raster(size_t{stride} * height, 255);
    for (size_t y = 0; y < height; ++y) std::copy_n(&pixels[y * width], width, &raster[(height - 1 - y) * stride]);
    const Bytes stream = EncodeAll(raster.data(), width, height);
    for (uint32_t blockSize : {255u, 1u}) {
        Bytes decoded(raster.size(), 255);  // the fill bytes are not coded
        EXPECT_EQ(DecodeInBlocks(stream, decoded.data(), width, height, blockSize), CLzwDecoder::kEnd) << what;
        EXPECT_EQ(decoded, raster) << what << ", blocks of " << blockSize;
    }
}

}  // namespace

TEST(LzwCodec, RoundTripsAcrossRowsRunsAndWhereverTheTableFills)
{
    // The first byte of the fuzzer's finding chooses the width (1 + byte % 97), the rest are the pixels.
    const Bytes found = ReadWholeFile(GRAPHELLE_SOURCE_DIR "/tests/formats/data/lzw_table_full_9_wide.bin");
    ASSERT_GT(found.size(), 1u);
    // Noise and the fuzzer's finding fill the table: after 3838 new strings, the pixel alone, a clear code, then
    // 9-bit codes again.
    const struct { const char* what; uint32_t width; Bytes pixels; } cases[] = {
        {"one black pixel", 1, {0}}, {"two pixels", 2, {7, 7}}, {"white row", 100000, Bytes(100000, 255)},
        {"runs row", 70000, Runs(70000, 5, 40)}, {"short runs, 47 wide", 47, Runs(47 * 400, 1, 40)},
        {"long runs, 2048 wide", 2048, Runs(2048 * 300, 2, 6000)}, {"long runs, 1 wide", 1, Runs(20000, 3, 3000)},
        {"white, 3 wide", 3, Bytes(3 * 50000, 255)}, {"noise row", 50000, Noise(50000, 2)},
        {"fuzzer: table full, 9 wide", 1 + found[0] % 97u, Bytes(found.begin() + 1, found.end())}};
    for (const auto& c : cases) ExpectRoundTrip(c.pixels, c.width, c.what);
    // The table filling at the end of a row or on one of the last pixels, at many bit positions and with the rows
    // cut in several ways; when the table fills on the very last pixel, the stream still ends where the raster does.
    for (uint32_t seed = 10; seed < 16; ++seed) {
        SCOPED_TRACE(seed);
        const Bytes noise = Noise(20000, seed);
        const size_t fill = FirstFill(noise);
        ASSERT_NE(fill, SIZE_MAX);
        ExpectRoundTrip(Bytes(noise.data(), noise.data() + 3 * fill + 3), uint32_t(fill + 1), "full at a row's end");
        for (size_t extra = 1; extra <= 8; ++extra)
            for (uint32_t width : {1u, 3u, 7u, uint32_t(fill + extra)})
                ExpectRoundTrip(Bytes(noise.data(), noise.data() + fill + extra), width,
                                std::to_string(extra) + " after the fill, width " + std::to_string(width));
    }
}

TEST(LzwDecoder, StreamsThatCannotBeStopWithThePixelsBeforeThemAndTheTableNeverGrowsPastItsLimit)
{
    const int corrupt = CLzwDecoder::kCorrupt, end = CLzwDecoder::kEnd;
    const struct { const char* what; std::vector<uint32_t> codes; int result; uint64_t pixelsBefore; } cases[] = {
        {"code above the next code", {256, 7, 259}, corrupt, 1}, {"next code is fine", {256, 7, 258, 257}, end, 3},
        {"string code first after a clear", {256, 7, 256, 258}, corrupt, 1},
        {"string code first of all", {260}, corrupt, 0}, {"clear then end", {256, 256, 257}, end, 0},
        {"more pixels than the raster", {256, 1, 2, 3, 4, 5, 6, 7}, corrupt, 6},
        {"a string running past the raster", {256, 1, 1, 258, 260}, corrupt, 4},
        {"raster full, then clear and end", {256, 1, 2, 3, 4, 5, 6, 256, 257}, end, 6}};
    for (const auto& c : cases) {
        const Bytes stream = Pack(c.codes);
        Bytes memory(4 + 8 + 4, 0xAA);  // a 6-pixel raster (3 x 2, stride 4) with guard bytes around it
        CLzwDecoder decoder;
        ASSERT_TRUE(decoder.Begin(memory.data() + 4, 8, 3, 2, false));
        for (int call = 0; call < 2; ++call) {  // after the end or a fault, nothing more is taken
            EXPECT_EQ(decoder.DecodeBlock(stream.data(), uint32_t(stream.size())), c.result) << c.what;
            EXPECT_EQ(decoder.GetPixelCount(), c.pixelsBefore) << c.what;
        }
        // Neither the guard bytes nor the fill bytes of the rows are written.
        for (size_t i : {0, 1, 2, 3, 4 + 3, 4 + 7, 12, 13, 14, 15}) EXPECT_EQ(memory[i], 0xAA) << c.what << " at " << i;
    }
    // Single pixels without a clear code: each adds an entry until the table is full; code 4095 then still
    // means the pair it was given first: entry 258 + k pairs code k and code k + 1 (counted from 0).
    const Bytes roots = Noise(6000, 5);
    std::vector<uint32_t> codes(roots.begin(), roots.end());
    codes.insert(codes.end(), {4095, kLzwEndCode});
    Bytes expected(roots), row(LzwStride(6002), 0);
    expected.insert(expected.end(), {roots[4095 - 258], roots[4095 - 258 + 1]});
    EXPECT_EQ(DecodeInBlocks(Pack(codes), row.data(), 6002, 1, 255), CLzwDecoder::kEnd);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), row.begin()));
}
