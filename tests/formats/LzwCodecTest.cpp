// The LZW encoder against the byte streams the format fixes, against a plain
// map-based encoder, and with the decoder; the decoder against streams that
// lie about themselves.

#include "FormatsTestSupport.h"

#include "formats/LzwCodes.h"
#include "formats/LzwDecoder.h"
#include "formats/LzwEncoder.h"

#include <map>

using namespace formats_test;

namespace {

// Codes packed from the lowest bit up, at the widths the decoder expects.
class CodeWriter {
public:
    void Put(uint32_t code)
    {
        m_bits |= uint64_t{code} << m_count;
        m_count += m_width;
        while (m_count >= 8) {
            bytes.push_back(static_cast<uint8_t>(m_bits));
            m_bits >>= 8;
            m_count -= 8;
        }
        if (code == kLzwClearCode) {
            m_next = kLzwFirstFreeCode;
            m_width = 9;
            m_havePrev = false;
            return;
        }
        if (m_havePrev && m_next < kLzwMaxCodes) {
            ++m_next;
            if (m_next == (1u << m_width) && m_width < 12) ++m_width;
        }
        m_havePrev = true;
    }
    Bytes Finish()
    {
        if (m_count > 0) bytes.push_back(static_cast<uint8_t>(m_bits));
        return bytes;
    }
    Bytes bytes;

private:
    uint64_t m_bits = 0;
    uint32_t m_count = 0;
    uint32_t m_width = 9;
    uint32_t m_next = kLzwFirstFreeCode;
    bool m_havePrev = false;
};

// Reads codes back at the encoder's widths, one entry per code after the
// first since a clear, as the decoder counts them.
class CodeReader {
public:
    explicit CodeReader(const Bytes& bytes) : m_bytes(bytes) {}
    bool Next(uint32_t& code, uint32_t& width)
    {
        while (m_count < m_width) {
            if (m_pos == m_bytes.size()) return false;
            m_bits |= uint64_t{m_bytes[m_pos++]} << m_count;
            m_count += 8;
        }
        width = m_width;
        code = static_cast<uint32_t>(m_bits & ((1u << m_width) - 1));
        m_bits >>= m_width;
        m_count -= m_width;
        if (code == kLzwClearCode) {
            m_next = kLzwFirstFreeCode;
            m_width = 9;
            m_havePrev = false;
        } else if (code != kLzwEndCode) {
            if (m_havePrev && m_next < kLzwMaxCodes) {
                ++m_next;
                if (m_next == (1u << m_width) && m_width < 12) ++m_width;
            }
            m_havePrev = true;
        }
        return true;
    }
    uint32_t NextCode() const { return m_next; }

private:
    const Bytes& m_bytes;
    size_t m_pos = 0;
    uint64_t m_bits = 0;
    uint32_t m_count = 0;
    uint32_t m_width = 9;
    uint32_t m_next = kLzwFirstFreeCode;
    bool m_havePrev = false;
};

// The encoding as the format describes it, with a map for the table; tells
// where the table first filled up (index of the pixel, or SIZE_MAX).
Bytes ReferenceEncode(const Bytes& pixels, size_t* firstFill = nullptr)
{
    Bytes out;
    uint64_t bits = 0;
    uint32_t count = 0, width = 9, next = kLzwFirstFreeCode;
    auto put = [&](uint32_t code) {
        bits |= uint64_t{code} << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    std::map<uint32_t, uint32_t> table;
    if (firstFill) *firstFill = SIZE_MAX;
    put(kLzwClearCode);
    size_t i = 0;
    uint32_t prefix = pixels[i++];
    bool havePrefix = true;
    while (i < pixels.size()) {
        uint32_t p = pixels[i++];
        auto found = table.find(prefix * 256 + p);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        put(prefix);
        table[prefix * 256 + p] = next++;
        if (next == 513 || next == 1025 || next == 2049) ++width;
        prefix = p;
        if (next == 4096) {
            if (firstFill && *firstFill == SIZE_MAX) *firstFill = i - 1;
            put(p);
            put(kLzwClearCode);
            table.clear();
            next = kLzwFirstFreeCode;
            width = 9;
            if (i < pixels.size())
                prefix = pixels[i++];
            else
                havePrefix = false;
        }
    }
    if (havePrefix) put(prefix);
    put(kLzwEndCode);
    out.push_back(static_cast<uint8_t>(bits));  // the partial byte, zero or not
    return out;
}

// One image row of the given pixels in the paper's layout, allocated to the
// exact size so that a read past it is caught by the address sanitizer.
Bytes OneRow(const Bytes& pixels)
{
    Bytes row(LzwStride(static_cast<uint32_t>(pixels.size())), 255);
    std::copy(pixels.begin(), pixels.end(), row.begin());
    return row;
}

// Linear pixels, top row first, laid out as a paper raster of that width.
Bytes ToRaster(const Bytes& linear, uint32_t width)
{
    uint32_t height = static_cast<uint32_t>(linear.size() / width);
    uint32_t stride = LzwStride(width);
    Bytes raster(size_t{stride} * height, 255);
    for (uint32_t y = 0; y < height; ++y)
        std::copy_n(linear.begin() + static_cast<std::ptrdiff_t>(size_t{y} * width), width,
                    raster.begin() + static_cast<std::ptrdiff_t>(size_t{height - 1 - y} * stride));
    return raster;
}

// Runs of random length of a few values, as white paper with strokes gives.
Bytes Runs(size_t n, uint32_t seed, uint32_t longest)
{
    TestRandom rnd(seed);
    const uint8_t values[] = {255, 255, 255, 0, 128, 254};
    Bytes pixels;
    while (pixels.size() < n) {
        uint8_t value = rnd.Below(4) == 0 ? static_cast<uint8_t>(rnd.Next()) : values[rnd.Below(6)];
        pixels.insert(pixels.end(), 1 + rnd.Below(longest), value);
    }
    pixels.resize(n);
    return pixels;
}

Bytes Noise(size_t n, uint32_t seed)
{
    TestRandom rnd(seed);
    Bytes pixels(n);
    for (auto& p : pixels) p = static_cast<uint8_t>(rnd.Next());
    return pixels;
}

int DecodeInBlocks(const Bytes& stream, uint8_t* pixels, uint32_t width, uint32_t height, size_t blockSize)
{
    CLzwDecoder decoder;
    if (!decoder.Begin(pixels, 8, width, height, false)) return -2;
    int result = CLzwDecoder::kMore;
    for (size_t pos = 0; pos < stream.size() && result == CLzwDecoder::kMore; pos += blockSize) {
        size_t n = std::min(blockSize, stream.size() - pos);
        result = decoder.DecodeBlock(stream.data() + pos, static_cast<uint32_t>(n));
    }
    return result;
}

}  // namespace

TEST(LzwEncoder, SmallRastersGiveTheKnownStreams)
{
    struct Case {
        uint32_t width, height;
        uint8_t value;
        Bytes stream;
    };
    const Case cases[] = {
        {1, 1, 255, {0x00, 0xFF, 0x05, 0x04}},
        {1, 1, 0, {0x00, 0x01, 0x04, 0x04}},
        {4, 4, 255, {0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00}},
    };
    for (const Case& c : cases) {
        Bytes pixels(LzwStride(c.width) * c.height, c.value);
        EncodedStream s = EncodeAll(pixels.data(), c.width, c.height);
        EXPECT_EQ(s.bytes, c.stream) << c.width << "x" << c.height << " of " << int(c.value);
        EXPECT_EQ(s.counts, (std::vector<uint32_t>{static_cast<uint32_t>(c.stream.size()), 0}));
        // Later calls keep saying the stream is complete.
        CLzwEncoder encoder;
        ASSERT_TRUE(encoder.Begin(pixels.data(), c.width, c.height, 8));
        uint8_t block[255], count = 99;
        encoder.NextBlock(block, &count);
        encoder.NextBlock(block, &count);
        encoder.NextBlock(block, &count);
        EXPECT_EQ(count, 0);
    }
}

TEST(LzwEncoder, RefusesWhatItCannotEncode)
{
    uint8_t pixels[16] = {};
    CLzwEncoder encoder;
    EXPECT_FALSE(encoder.Begin(nullptr, 4, 4, 8));
    EXPECT_FALSE(encoder.Begin(pixels, 0, 4, 8));
    EXPECT_FALSE(encoder.Begin(pixels, 4, 0, 8));
    EXPECT_FALSE(encoder.Begin(pixels, 4, 4, 4));
    uint8_t block[255], count = 99;
    encoder.NextBlock(block, &count);
    EXPECT_EQ(count, 0);
}

TEST(LzwEncoder, AgreesWithAPlainEncoderAcrossRowsAndRuns)
{
    struct Case {
        const char* what;
        uint32_t width;
        Bytes pixels;
    };
    size_t fill = SIZE_MAX;
    Bytes noise = Noise(30000, 9);
    ReferenceEncode(noise, &fill);
    ASSERT_NE(fill, SIZE_MAX);
    const uint32_t fillRow = static_cast<uint32_t>(fill + 1);
    Bytes stripes(70000);
    for (size_t i = 0; i < stripes.size(); ++i) stripes[i] = static_cast<uint8_t>((i / 37) % 5 * 50);
    const Case cases[] = {
        {"white row", 100000, Bytes(100000, 255)},
        {"noise row", 50000, Noise(50000, 1)},
        {"stripes row", 70000, stripes},
        {"two pixels", 2, {7, 7}},
        {"short runs, 47 wide", 47, Runs(47 * 400, 1, 40)},
        {"long runs, 2048 wide", 2048, Runs(2048 * 300, 2, 6000)},
        {"long runs, 1 wide", 1, Runs(20000, 3, 3000)},
        {"medium runs, 5 wide", 5, Runs(5 * 9000, 4, 300)},
        {"white, 3 wide", 3, Bytes(3 * 50000, 255)},
        {"table full at the end of the first row", fillRow, Bytes(noise.begin(), noise.begin() + 3 * fillRow)},
    };
    for (const Case& c : cases) {
        Bytes raster = ToRaster(c.pixels, c.width);
        uint32_t height = static_cast<uint32_t>(c.pixels.size() / c.width);
        EncodedStream s = EncodeAll(raster.data(), c.width, height);
        EXPECT_EQ(s.bytes, ReferenceEncode(c.pixels)) << c.what;
        // Every block is full but the last, and a count of 0 follows.
        ASSERT_GE(s.counts.size(), 2u) << c.what;
        for (size_t i = 0; i + 2 < s.counts.size(); ++i) ASSERT_EQ(s.counts[i], 255u) << c.what;
        EXPECT_EQ(s.counts.back(), 0u) << c.what;

        Bytes decoded(raster.size(), 255);  // the fill bytes are not coded
        EXPECT_EQ(DecodeInBlocks(s.bytes, decoded.data(), c.width, height, 255), CLzwDecoder::kEnd) << c.what;
        EXPECT_EQ(decoded, raster) << c.what;
    }
}

// Inputs on which the fuzzer once found the encoder and the decoder at odds:
// the first byte chooses the width (1 + byte % 97), the rest are the pixels.
TEST(LzwEncoder, FuzzerFindingsRoundTrip)
{
    for (const char* name : {"lzw_table_full_9_wide.bin"}) {
        Bytes input = ReadWholeFile(std::string(GRAPHELLE_SOURCE_DIR) + "/tests/formats/data/" + name);
        ASSERT_GT(input.size(), 1u) << name;
        uint32_t width = 1 + input[0] % 97;
        uint32_t height = static_cast<uint32_t>((input.size() - 1) / width);
        Bytes pixels(input.begin() + 1, input.begin() + 1 + static_cast<std::ptrdiff_t>(size_t{width} * height));
        Bytes raster = ToRaster(pixels, width);
        EncodedStream s = EncodeAll(raster.data(), width, height);
        Bytes reference = ReferenceEncode(pixels);
        ASSERT_EQ(s.bytes.size(), reference.size()) << name;
        auto mismatch = std::mismatch(s.bytes.begin(), s.bytes.end(), reference.begin());
        EXPECT_EQ(mismatch.first, s.bytes.end()) << name << ": first difference at byte " << (mismatch.first - s.bytes.begin());

        Bytes decoded(raster.size(), 255);
        EXPECT_EQ(DecodeInBlocks(s.bytes, decoded.data(), width, height, 255), CLzwDecoder::kEnd) << name;
        EXPECT_EQ(decoded, raster) << name;
    }
}

TEST(LzwEncoder, FullTableSendsThePixelAndAClearCodeThenNineBitCodes)
{
    Bytes pixels = Noise(30000, 2);
    Bytes row = OneRow(pixels);
    EncodedStream s = EncodeAll(row.data(), static_cast<uint32_t>(pixels.size()), 1);

    CodeReader reader(s.bytes);
    uint32_t code = 0, width = 0, codesSinceClear = 0, clears = 0;
    uint32_t previous = 0, previousWidth = 0;
    while (reader.Next(code, width)) {
        ASSERT_LE(reader.NextCode(), kLzwMaxCodes);
        if (code == kLzwClearCode) {
            ++clears;
            if (clears > 1) {
                // 3838 strings fill the table, then the pixel alone follows.
                EXPECT_EQ(codesSinceClear, 4096u - 258u + 1u);
                EXPECT_LT(previous, 256u);
                EXPECT_EQ(previousWidth, 12u);
                EXPECT_EQ(width, 12u);
            }
            codesSinceClear = 0;
        } else {
            if (clears > 1 && codesSinceClear == 0) {
                EXPECT_EQ(width, 9u);
            }
            ++codesSinceClear;
        }
        previous = code;
        previousWidth = width;
        if (code == kLzwEndCode) break;
    }
    EXPECT_GE(clears, 3u);

    Bytes decoded(row.size(), 0);
    EXPECT_EQ(DecodeInBlocks(s.bytes, decoded.data(), static_cast<uint32_t>(pixels.size()), 1, 255),
              CLzwDecoder::kEnd);
    EXPECT_EQ(decoded, row);
}

TEST(LzwEncoder, TableFillingOnTheLastPixelStaysInsideTheRaster)
{
    size_t fill = SIZE_MAX;
    Bytes noise = Noise(20000, 3);
    ReferenceEncode(noise, &fill);
    ASSERT_NE(fill, SIZE_MAX);

    // A raster that ends on the pixel that fills the table, in a buffer
    // without a byte to spare before or after.
    Bytes pixels(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(fill + 1));
    Bytes row = OneRow(pixels);
    uint32_t width = static_cast<uint32_t>(pixels.size());
    EncodedStream s = EncodeAll(row.data(), width, 1);
    EXPECT_EQ(s.bytes, ReferenceEncode(pixels));

    // The stream ends: the pixel, a clear code, the end code.
    CodeReader reader(s.bytes);
    std::vector<uint32_t> codes;
    uint32_t code = 0, w = 0;
    while (reader.Next(code, w) && code != kLzwEndCode) codes.push_back(code);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes.back(), kLzwClearCode);
    EXPECT_EQ(codes[codes.size() - 2], pixels.back());

    Bytes decoded(row.size(), 0);
    EXPECT_EQ(DecodeInBlocks(s.bytes, decoded.data(), width, 1, 255), CLzwDecoder::kEnd);
    EXPECT_EQ(decoded, row);
}

TEST(LzwEncoder, TableFillingNearTheEndAgreesWithAPlainEncoder)
{
    // The table fills on one of the last few pixels, at every bit position
    // and with the rows cut in several ways.
    int cases = 0;
    for (uint32_t seed = 10; seed < 16; ++seed) {
        Bytes noise = Noise(20000, seed);
        size_t fill = SIZE_MAX;
        ReferenceEncode(noise, &fill);
        ASSERT_NE(fill, SIZE_MAX);
        for (size_t extra = 1; extra <= 8; ++extra) {
            Bytes pixels(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(fill + extra));
            const Bytes reference = ReferenceEncode(pixels);
            for (uint32_t width : {1u, 3u, 7u, static_cast<uint32_t>(pixels.size())}) {
                uint32_t height = static_cast<uint32_t>(pixels.size() / width);
                Bytes used(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(size_t{width} * height));
                Bytes raster = ToRaster(used, width);
                EncodedStream s = EncodeAll(raster.data(), width, height);
                EXPECT_EQ(s.bytes, used.size() == pixels.size() ? reference : ReferenceEncode(used))
                    << "seed " << seed << ", " << extra << " pixels after the fill, width " << width;
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 6 * 8 * 4);
}

TEST(LzwDecoder, CodesStraddlingBlocksDecodeAtEveryBlockSize)
{
    // The white 4 x 4 stream split after three bytes cuts its third code.
    const Bytes white4 = {0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00};
    for (size_t blockSize : {size_t{1}, size_t{2}, size_t{3}, size_t{10}}) {
        Bytes pixels(16, 0);
        EXPECT_EQ(DecodeInBlocks(white4, pixels.data(), 4, 4, blockSize), CLzwDecoder::kEnd);
        EXPECT_EQ(pixels, Bytes(16, 255)) << "blocks of " << blockSize;
    }

    CPaper paper;
    ASSERT_TRUE(paper.Create(47, 33, 5));
    DrawStrokes(paper, 4, 30);
    EncodedStream s = EncodeAll(paper.GetBits(), 47, 33);
    for (size_t blockSize : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{254}, size_t{255}}) {
        Bytes pixels(paper.GetImageSize(), 255);
        EXPECT_EQ(DecodeInBlocks(s.bytes, pixels.data(), 47, 33, blockSize), CLzwDecoder::kEnd);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), paper.GetBits())) << "blocks of " << blockSize;
    }
}

TEST(LzwDecoder, StreamsThatCannotBeStopWithThePixelsBeforeThem)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> codes;
        int result;
        uint64_t pixels;  // written before the decoder stopped
    };
    const Case cases[] = {
        {"code above the next code", {256, 7, 300}, CLzwDecoder::kCorrupt, 1},
        {"next code is fine", {256, 7, 258, 257}, CLzwDecoder::kEnd, 3},
        {"string code first after a clear", {256, 7, 256, 258}, CLzwDecoder::kCorrupt, 1},
        {"string code first of all", {260}, CLzwDecoder::kCorrupt, 0},
        {"more pixels than the raster", {256, 1, 2, 3, 4, 5, 6, 7}, CLzwDecoder::kCorrupt, 6},
        {"a string running past the raster", {256, 1, 1, 258, 260}, CLzwDecoder::kCorrupt, 4},
        {"clear then end", {256, 256, 257}, CLzwDecoder::kEnd, 0},
        {"raster full, then clear and end", {256, 1, 2, 3, 4, 5, 6, 256, 257}, CLzwDecoder::kEnd, 6},
    };
    for (const Case& c : cases) {
        CodeWriter writer;
        for (uint32_t code : c.codes) writer.Put(code);
        Bytes stream = writer.Finish();
        // A 6-pixel raster (3 x 2, stride 4) with guard bytes around it.
        Bytes memory(4 + 8 + 4, 0xAA);
        CLzwDecoder decoder;
        ASSERT_TRUE(decoder.Begin(memory.data() + 4, 8, 3, 2, false));
        EXPECT_EQ(decoder.DecodeBlock(stream.data(), static_cast<uint32_t>(stream.size())), c.result) << c.what;
        EXPECT_EQ(decoder.GetPixelCount(), c.pixels) << c.what;
        for (int i : {0, 1, 2, 3, 12, 13, 14, 15}) EXPECT_EQ(memory[static_cast<size_t>(i)], 0xAA) << c.what;
        // Fill bytes of the rows are never written either.
        EXPECT_EQ(memory[4 + 3], 0xAA) << c.what;
        EXPECT_EQ(memory[4 + 7], 0xAA) << c.what;
        // After the end or a fault, nothing more is taken.
        EXPECT_EQ(decoder.DecodeBlock(stream.data(), static_cast<uint32_t>(stream.size())), c.result) << c.what;
        EXPECT_EQ(decoder.GetPixelCount(), c.pixels) << c.what;
    }
}

TEST(LzwDecoder, TableNeverGrowsPastItsLimit)
{
    // Single pixels without a clear code: each adds an entry until the table
    // is full; code 4095 then still means the pair it was given first.
    const uint32_t n = 6000;
    Bytes roots = Noise(n, 5);
    CodeWriter writer;
    for (uint8_t p : roots) writer.Put(p);
    writer.Put(4095);
    writer.Put(kLzwEndCode);
    Bytes stream = writer.Finish();

    Bytes expected(roots);
    // Entry 258 + k pairs code k and code k + 1 (counted from 0).
    expected.push_back(roots[4095 - 258]);
    expected.push_back(roots[4095 - 258 + 1]);
    uint32_t width = n + 2;
    Bytes row(LzwStride(width), 0);
    EXPECT_EQ(DecodeInBlocks(stream, row.data(), width, 1, 255), CLzwDecoder::kEnd);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), row.begin()));
}

TEST(LzwDecoder, RefusesWhatItCannotDecode)
{
    uint8_t pixels[16] = {};
    CLzwDecoder decoder;
    EXPECT_FALSE(decoder.Begin(nullptr, 8, 4, 4, false));
    EXPECT_FALSE(decoder.Begin(pixels, 8, 0, 4, false));
    EXPECT_FALSE(decoder.Begin(pixels, 8, 4, 4, true));
    EXPECT_FALSE(decoder.Begin(pixels, 9, 4, 4, false));
    const uint8_t data[] = {0x00, 0xFF};
    EXPECT_EQ(decoder.DecodeBlock(data, 2), CLzwDecoder::kCorrupt);
}
