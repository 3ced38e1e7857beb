// Sketch files byte for byte, written and read back, and read when damaged in
// every way the reader promises to survive.

#include "FormatsTestSupport.h"

#include "formats/LzwDecoder.h"
#include "formats/SketchFile.h"

#include <cstring>

using namespace formats_test;

namespace {

bool SaveSketch(const CPaper& paper, const std::string& path)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::store)) return false;
    if (!WriteSketch(paper, ar)) {
        ar.Abort();
        return false;
    }
    return ar.Close();
}

bool LoadSketch(CPaper& paper, CPaper& basePaper, const std::string& path)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::load)) return false;
    bool ok = ReadSketch(paper, basePaper, ar);
    ar.Close();
    return ok;
}

bool IsWhite(const CPaper& paper)
{
    for (uint32_t y = 0; y < paper.GetHeight(); ++y)
        for (uint32_t x = 0; x < paper.GetWidth(); ++x)
            if (paper.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)) != 255) return false;
    return true;
}

const Bytes kWhite4x4 = {
    'Q',  'L',  'X',  'F',  28,   0,    0,    0,    1,    0,    0,    0,    4,    0,
    0,    0,    4,    0,    0,    0,    5,    0,    0,    0,    14,   0,    0,    0,
    0x08, 0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00, 0x3B, 0x04,
};

// The blocks of a file, as the file says they are: offset of the count byte.
std::vector<size_t> BlockOffsets(const Bytes& file)
{
    std::vector<size_t> offsets;
    for (size_t pos = 29; pos < file.size(); pos += file[pos] + 3u) offsets.push_back(pos);
    return offsets;
}

}  // namespace

TEST(SketchFile, WhiteFourByFourIsFortyTwoKnownBytes)
{
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(4, 4, 5));
    ASSERT_TRUE(SaveSketch(paper, folder.File("white.tvk")));
    EXPECT_EQ(ReadWholeFile(folder.File("white.tvk")), kWhite4x4);

    const uint8_t block[] = {1, 2, 3};
    EXPECT_EQ(SketchChecksum(block, 3), 6);
    Bytes full(255, 255);
    EXPECT_EQ(SketchChecksum(full.data(), 255), (255 * 255) & 0xFFFF);
}

TEST(SketchFile, WrittenThenReadGivesTheSamePixels)
{
    struct Case {
        uint32_t width, height, roughness;
        int strokes;
        bool noise;
    };
    const Case cases[] = {
        {4, 4, 5, 0, false},   {4, 4, 1, 0, true},      {47, 33, 10, 25, false}, {47, 33, 3, 0, true},
        {101, 7, 2, 5, false}, {2048, 2048, 5, 3000, false},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, c.roughness));
        if (c.noise)
            FillNoise(paper, c.width);
        else
            DrawStrokes(paper, c.width * 7 + c.height, c.strokes);
        std::string path = folder.File("drawing.tvk");
        ASSERT_TRUE(SaveSketch(paper, path));

        Bytes file = ReadWholeFile(path);
        ASSERT_GE(file.size(), 29u);
        // The data size counts everything after the header, every block with it.
        uint32_t dataSize = file[24] | file[25] << 8 | file[26] << 16 | uint32_t{file[27]} << 24;
        EXPECT_EQ(dataSize, file.size() - 28);
        for (size_t pos : BlockOffsets(file)) {
            ASSERT_LE(pos + file[pos] + 3u, file.size());
            EXPECT_NE(file[pos], 0);
        }

        CPaper loaded, base;
        EXPECT_TRUE(LoadSketch(loaded, base, path));
        ASSERT_TRUE(loaded.HasBits());
        EXPECT_EQ(loaded.GetRoughness(), c.roughness);
        EXPECT_TRUE(SamePixels(loaded, paper)) << c.width << "x" << c.height;
        EXPECT_TRUE(SamePixels(base, paper)) << c.width << "x" << c.height;
        // Fill bytes are not stored and come back white.
        for (uint32_t x = c.width; x < loaded.GetStride(); ++x) EXPECT_EQ(loaded.GetBits()[x], 255);
    }
}

TEST(SketchFile, StreamOfWholeBlocksEndsWithAFullBlock)
{
    // Look for a drawing whose code stream is a whole number of blocks.
    TempFolder folder;
    bool found = false;
    for (uint32_t width = 4; width < 400 && !found; ++width) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(width, 8, 5));
        FillNoise(paper, width);
        EncodedStream s = EncodeAll(paper.GetBits(), width, 8);
        if (s.bytes.size() % 255 != 0) continue;
        found = true;
        ASSERT_GE(s.counts.size(), 2u);
        EXPECT_EQ(s.counts[s.counts.size() - 2], 255u);
        EXPECT_EQ(s.counts.back(), 0u);

        ASSERT_TRUE(SaveSketch(paper, folder.File("whole.tvk")));
        Bytes file = ReadWholeFile(folder.File("whole.tvk"));
        size_t blocks = s.bytes.size() / 255;
        EXPECT_EQ(file.size(), 28 + 1 + blocks * 258);
        uint32_t dataSize = file[24] | file[25] << 8 | file[26] << 16 | uint32_t{file[27]} << 24;
        EXPECT_EQ(dataSize, 1 + blocks * 258);
        CPaper loaded, base;
        EXPECT_TRUE(LoadSketch(loaded, base, folder.File("whole.tvk")));
        EXPECT_TRUE(SamePixels(loaded, paper));
    }
    EXPECT_TRUE(found);
}

TEST(SketchFile, NoDataOrAnUnknownCodeSizeOpensWhite)
{
    TempFolder folder;
    CPaper drawn;
    ASSERT_TRUE(drawn.Create(40, 30, 7));
    DrawStrokes(drawn, 8, 10);
    ASSERT_TRUE(SaveSketch(drawn, folder.File("drawn.tvk")));
    const Bytes good = ReadWholeFile(folder.File("drawn.tvk"));

    struct Case {
        const char* what;
        size_t offset;
        uint8_t value;
        bool result;
    };
    const Case cases[] = {
        {"data size 0", 24, 0, true},
        {"code size 9", 28, 9, false},
        {"code size 7", 28, 7, false},
    };
    for (const Case& c : cases) {
        Bytes file = good;
        if (c.offset == 24)
            std::memset(file.data() + 24, 0, 4);
        else
            file[c.offset] = c.value;
        WriteWholeFile(folder.File("changed.tvk"), file);
        CPaper paper, base;
        EXPECT_EQ(LoadSketch(paper, base, folder.File("changed.tvk")), c.result) << c.what;
        ASSERT_TRUE(paper.HasBits()) << c.what;
        EXPECT_EQ(paper.GetWidth(), 40u);
        EXPECT_EQ(paper.GetHeight(), 30u);
        EXPECT_EQ(paper.GetRoughness(), 7u);
        EXPECT_TRUE(IsWhite(paper)) << c.what;
        EXPECT_TRUE(IsWhite(base)) << c.what;
    }

    // A save cut short after the blocks but before the header was rewritten
    // leaves a data size of 0, which opens white as well.
    Bytes unfinished = good;
    std::memset(unfinished.data() + 24, 0, 4);
    WriteWholeFile(folder.File("unfinished.tvk"), unfinished);
    CPaper paper, base;
    LoadSketch(paper, base, folder.File("unfinished.tvk"));
    EXPECT_TRUE(paper.HasBits() && IsWhite(paper));
}

TEST(SketchFile, InvalidHeadersGiveNoSheet)
{
    TempFolder folder;
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Case cases[] = {
        {"magic", 0, 0x46584C51 + 1}, {"header size", 4, 27}, {"version", 8, 2},    {"width 3", 12, 3},
        {"width 2049", 12, 2049},     {"height 3", 16, 3},    {"height 2049", 16, 2049},
        {"roughness 0", 20, 0},       {"roughness 11", 20, 11}, {"huge width", 12, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        Bytes file = kWhite4x4;
        file[c.offset] = static_cast<uint8_t>(c.value);
        file[c.offset + 1] = static_cast<uint8_t>(c.value >> 8);
        file[c.offset + 2] = static_cast<uint8_t>(c.value >> 16);
        file[c.offset + 3] = static_cast<uint8_t>(c.value >> 24);
        WriteWholeFile(folder.File("bad.tvk"), file);
        CPaper paper, base;
        ASSERT_TRUE(paper.Create(10, 10, 5));
        EXPECT_FALSE(LoadSketch(paper, base, folder.File("bad.tvk"))) << c.what;
        EXPECT_FALSE(paper.HasBits()) << c.what;
    }
    // Fewer than 28 bytes is no header at all.
    for (size_t length : {size_t{0}, size_t{1}, size_t{27}}) {
        WriteWholeFile(folder.File("short.tvk"), Bytes(kWhite4x4.begin(), kWhite4x4.begin() + static_cast<std::ptrdiff_t>(length)));
        CPaper paper, base;
        ASSERT_TRUE(paper.Create(10, 10, 5));
        EXPECT_FALSE(LoadSketch(paper, base, folder.File("short.tvk")));
        EXPECT_FALSE(paper.HasBits());
    }
    // Sizes below what the New dialog offers are still read.
    CPaper paper, base;
    WriteWholeFile(folder.File("small.tvk"), kWhite4x4);
    EXPECT_TRUE(LoadSketch(paper, base, folder.File("small.tvk")));
    EXPECT_TRUE(paper.HasBits() && IsWhite(paper));
}

TEST(SketchFile, DamagedBlockKeepsTheRowsDecodedBeforeIt)
{
    TempFolder folder;
    CPaper drawn;
    ASSERT_TRUE(drawn.Create(200, 200, 5));
    FillNoise(drawn, 11);
    ASSERT_TRUE(SaveSketch(drawn, folder.File("noise.tvk")));
    const Bytes good = ReadWholeFile(folder.File("noise.tvk"));
    std::vector<size_t> blocks = BlockOffsets(good);
    ASSERT_GT(blocks.size(), 40u);

    // How far the first 20 blocks decode, and what they give.
    CPaper partial;
    ASSERT_TRUE(partial.Create(200, 200, 5));
    uint64_t pixelsBefore = 0;
    {
        CLzwDecoder decoder;
        ASSERT_TRUE(decoder.Begin(partial.GetBits(), 8, 200, 200, false));
        for (size_t i = 0; i < 20; ++i)
            decoder.DecodeBlock(good.data() + blocks[i] + 1, good[blocks[i]]);
        pixelsBefore = decoder.GetPixelCount();
    }
    uint32_t wholeRows = static_cast<uint32_t>(pixelsBefore / 200);
    ASSERT_GT(wholeRows, 10u);

    struct Case {
        const char* what;
        Bytes file;
    };
    Bytes badSum = good;
    badSum[blocks[20] + 1 + good[blocks[20]]] ^= 1;
    Bytes badData = good;
    badData[blocks[20] + 5] ^= 0x40;
    Bytes zeroCount = good;
    zeroCount[blocks[20]] = 0;
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(blocks[20] + 100));
    Bytes noSum(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(blocks[20] + 256));
    Bytes noBlock(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(blocks[20]));
    const Case cases[] = {
        {"checksum", badSum},     {"data", badData},  {"count 0", zeroCount},
        {"truncated", truncated}, {"no checksum", noSum}, {"missing block", noBlock},
    };
    for (const Case& c : cases) {
        WriteWholeFile(folder.File("damaged.tvk"), c.file);
        CPaper paper, base;
        EXPECT_FALSE(LoadSketch(paper, base, folder.File("damaged.tvk"))) << c.what;
        ASSERT_TRUE(paper.HasBits()) << c.what;
        for (uint32_t y = 0; y < 200; ++y)
            for (uint32_t x = 0; x < 200; ++x) {
                int32_t px = static_cast<int32_t>(x), py = static_cast<int32_t>(y);
                if (y < wholeRows) {
                    ASSERT_EQ(paper.GetPixel(px, py), drawn.GetPixel(px, py)) << c.what << " at " << x << "," << y;
                } else if (uint64_t{y} * 200 + x >= pixelsBefore) {
                    ASSERT_EQ(paper.GetPixel(px, py), 255) << c.what << " at " << x << "," << y;
                }
            }
        EXPECT_TRUE(IsWhite(base)) << c.what;
    }
}

TEST(SketchFile, DataSizeThatLiesNeitherHangsNorOverreads)
{
    TempFolder folder;
    CPaper drawn;
    ASSERT_TRUE(drawn.Create(64, 64, 5));
    DrawStrokes(drawn, 12, 20);
    ASSERT_TRUE(SaveSketch(drawn, folder.File("d.tvk")));
    const Bytes good = ReadWholeFile(folder.File("d.tvk"));

    for (uint32_t dataSize : {1u, 2u, 5u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes file = good;
        file[24] = static_cast<uint8_t>(dataSize);
        file[25] = static_cast<uint8_t>(dataSize >> 8);
        file[26] = static_cast<uint8_t>(dataSize >> 16);
        file[27] = static_cast<uint8_t>(dataSize >> 24);
        WriteWholeFile(folder.File("lies.tvk"), file);
        CPaper paper, base;
        LoadSketch(paper, base, folder.File("lies.tvk"));
        EXPECT_TRUE(paper.HasBits()) << dataSize;
    }
    // A file that goes on after the end code is read up to the end code.
    Bytes longer = good;
    longer.insert(longer.end(), {5, 1, 2, 3, 4, 5, 15, 0});
    WriteWholeFile(folder.File("longer.tvk"), longer);
    CPaper paper, base;
    EXPECT_TRUE(LoadSketch(paper, base, folder.File("longer.tvk")));
    EXPECT_TRUE(SamePixels(paper, drawn));
}
