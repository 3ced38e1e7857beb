#include "cli/PngWriter.h"
#include "cli/ThumbnailCommand.h"
#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "framework/Archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

uint32_t Be32(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Reads back what EncodeGrayPng writes: checks every chunk's CRC, the zlib
// header, the stored blocks and the Adler-32, and returns the gray rows.
bool DecodeStoredPng(const std::vector<uint8_t>& png, uint32_t& w, uint32_t& h,
                     std::vector<uint8_t>& pixels)
{
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(sig, sig + 8, png.begin())) return false;
    std::vector<uint8_t> idat;
    bool ended = false;
    for (size_t pos = 8; pos + 12 <= png.size() && !ended;) {
        const uint32_t len = Be32(&png[pos]);
        if (pos + 12 + len > png.size()) return false;
        const std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
        if (PngCrc32(&png[pos + 4], 4 + len) != Be32(&png[pos + 8 + len])) return false;
        const uint8_t* data = &png[pos + 8];
        if (type == "IHDR") {
            w = Be32(data);
            h = Be32(data + 4);
            if (len != 13 || data[8] != 8 || data[9] != 0 || data[12] != 0) return false;
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + len);
        } else if (type == "IEND") {
            ended = true;
        }
        pos += 12 + len;
    }
    if (!ended || idat.size() < 6 || idat[0] != 0x78 || (idat[0] * 256 + idat[1]) % 31 != 0)
        return false;
    std::vector<uint8_t> raw;
    size_t pos = 2;
    for (bool last = false; !last;) {
        if (pos + 5 > idat.size()) return false;
        last = idat[pos] & 1;
        if ((idat[pos] >> 1) != 0) return false;  // stored blocks only
        const uint32_t len = idat[pos + 1] | (idat[pos + 2] << 8);
        const uint32_t nlen = idat[pos + 3] | (idat[pos + 4] << 8);
        if ((len ^ 0xFFFF) != nlen || pos + 5 + len > idat.size()) return false;
        raw.insert(raw.end(), idat.begin() + pos + 5, idat.begin() + pos + 5 + len);
        pos += 5 + len;
    }
    if (pos + 4 != idat.size() || Be32(&idat[pos]) != PngAdler32(raw.data(), raw.size()))
        return false;
    if (raw.size() != size_t{h} * (w + 1)) return false;
    pixels.clear();
    for (uint32_t y = 0; y < h; ++y) {
        if (raw[y * (w + 1)] != 0) return false;
        pixels.insert(pixels.end(), raw.begin() + y * (w + 1) + 1, raw.begin() + (y + 1) * (w + 1));
    }
    return true;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class ThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-thumb-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A sheet whose left half is black and right half white.
    std::string WriteHalfBlack(uint32_t w, uint32_t h)
    {
        CPaper paper;
        EXPECT_TRUE(paper.Create(w, h, 5));
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w / 2; ++x) paper.SetPixel(int32_t(x), int32_t(y), 0);
        const std::string path = m_dir + "/half.tvk";
        CArchive ar;
        EXPECT_TRUE(ar.Open(path, CArchive::store));
        EXPECT_TRUE(WriteSketch(paper, ar));
        EXPECT_TRUE(ar.Close());
        return path;
    }

    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return CliThumbnail(args, out, err);
    }

    std::string m_dir;
    std::ostringstream out, err;
};

}  // namespace

TEST_F(ThumbnailTest, ChecksumsMatchTheirPublishedCheckValues)
{
    const std::string nine = "123456789";
    EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(nine.data()), nine.size()), 0xCBF43926u);
    const std::string wiki = "Wikipedia";
    EXPECT_EQ(PngAdler32(reinterpret_cast<const uint8_t*>(wiki.data()), wiki.size()), 0x11E60398u);
    EXPECT_EQ(PngAdler32(nullptr, 0), 1u);
    // Continuing a sum gives the sum of the whole.
    const uint32_t first = PngCrc32(reinterpret_cast<const uint8_t*>(nine.data()), 4);
    EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(nine.data()) + 4, 5, first), 0xCBF43926u);
    // A long run of 0xFF, where the sums would overflow without reduction.
    const std::vector<uint8_t> ff(100000, 0xFF);
    uint32_t a = 1, b = 0;
    for (uint8_t v : ff) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(PngAdler32(ff.data(), ff.size()), (b << 16) | a);
}

TEST_F(ThumbnailTest, EncodedImagesDecodeToTheSamePixels)
{
    // A tiny picture, and one whose rows need several stored blocks.
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{3, 2}, {301, 300}, {1, 1}}) {
        std::vector<uint8_t> pixels(size_t{w} * h);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / w);
        std::vector<uint8_t> png;
        ASSERT_TRUE(EncodeGrayPng(pixels.data(), w, h, w, png));
        uint32_t dw = 0, dh = 0;
        std::vector<uint8_t> back;
        ASSERT_TRUE(DecodeStoredPng(png, dw, dh, back)) << w << " x " << h;
        EXPECT_EQ(dw, w);
        EXPECT_EQ(dh, h);
        EXPECT_EQ(back, pixels);
    }
    // Rows further apart than their width.
    const uint8_t padded[] = {1, 2, 9, 9, 3, 4, 9, 9};
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodeGrayPng(padded, 2, 2, 4, png));
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(DecodeStoredPng(png, w, h, back));
    EXPECT_EQ(back, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_FALSE(EncodeGrayPng(padded, 0, 2, 4, png));
    EXPECT_FALSE(EncodeGrayPng(padded, 5, 2, 4, png));
    EXPECT_FALSE(EncodeGrayPng(nullptr, 2, 2, 4, png));
}

TEST_F(ThumbnailTest, ASketchShrinksToFitTheSizeKeepingItsShape)
{
    const std::string in = WriteHalfBlack(400, 200);
    const std::string outPng = m_dir + "/half.png";
    ASSERT_EQ(Run({in, outPng, "100"}), 0) << err.str();
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> px;
    ASSERT_TRUE(DecodeStoredPng(ReadFile(outPng), w, h, px));
    EXPECT_EQ(w, 100u);
    EXPECT_EQ(h, 50u);
    // The sheet's top row is the picture's top row, and each pixel is the
    // average of the pixels it covers.
    for (uint32_t y = 0; y < h; ++y) {
        EXPECT_EQ(px[y * w + 0], 0);
        EXPECT_EQ(px[y * w + 49], 0);
        EXPECT_EQ(px[y * w + 50], 255);
        EXPECT_EQ(px[y * w + 99], 255);
    }

    // Standing sheets fit by their height; small ones are never enlarged.
    CPaper tall;
    ASSERT_TRUE(tall.Create(100, 300, 5));
    tall.SetPixel(0, 0, 0);
    const std::string tallPath = m_dir + "/tall.tvk";
    {
        CArchive ar;
        ASSERT_TRUE(ar.Open(tallPath, CArchive::store));
        ASSERT_TRUE(WriteSketch(tall, ar));
        ASSERT_TRUE(ar.Close());
    }
    ASSERT_EQ(Run({tallPath, outPng, "128"}), 0);
    ASSERT_TRUE(DecodeStoredPng(ReadFile(outPng), w, h, px));
    EXPECT_EQ(w, 42u);
    EXPECT_EQ(h, 128u);
    ASSERT_EQ(Run({tallPath, outPng, "1024"}), 0);
    ASSERT_TRUE(DecodeStoredPng(ReadFile(outPng), w, h, px));
    EXPECT_EQ(w, 100u);
    EXPECT_EQ(h, 300u);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 255);
}

TEST_F(ThumbnailTest, BadArgumentsAndUnreadableFilesFailWithAReason)
{
    const std::string in = WriteHalfBlack(100, 100);
    const std::string outPng = m_dir + "/x.png";
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{}, 2},
        {{in, outPng}, 2},
        {{in, outPng, "0"}, 2},
        {{in, outPng, "-5"}, 2},
        {{in, outPng, "12x"}, 2},
        {{in, outPng, "99999"}, 2},
        {{in, outPng, "64", "extra"}, 2},
        {{m_dir + "/missing.tvk", outPng, "64"}, 1},
        {{in, m_dir + "/no/such/folder/x.png", "64"}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << c.args.size();
        EXPECT_FALSE(err.str().empty());
    }
    std::ofstream(m_dir + "/bad.tvk") << "QLXF but nothing sensible";
    EXPECT_EQ(Run({m_dir + "/bad.tvk", outPng, "64"}), 1);
    EXPECT_FALSE(fs::exists(outPng));
}
