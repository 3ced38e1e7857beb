#include "CliTestSupport.h"
#include "cli/PngWriter.h"
#include "cli/ThumbnailCommand.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

// Reads back what EncodeGrayPng writes, checking the signature, every chunk's CRC, the 8-bit gray
// header, the zlib header, the stored blocks, the Adler-32 and the row filters.
bool DecodeStoredPng(const Bytes& png, uint32_t& w, uint32_t& h, Bytes& pixels)
{
    const Bytes sig = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(sig.begin(), sig.end(), png.begin())) return false;
    Bytes idat, raw;
    bool ended = false;
    for (size_t pos = 8, len = 0; pos + 12 <= png.size() && !ended; pos += 12 + len) {
        len = Be32(&png[pos]);
        if (pos + 12 + len > png.size()) return false;
        const std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
        const uint8_t* data = &png[pos + 8];
        if (PngCrc32(&png[pos + 4], 4 + len) != Be32(data + len)) return false;
        if (type == "IHDR" && (len != 13 || data[8] != 8 || data[9] != 0 || data[12] != 0)) return false;
        if (type == "IHDR") w = Be32(data), h = Be32(data + 4);
        if (type == "IDAT") idat.insert(idat.end(), data, data + len);
        ended = type == "IEND";
    }
    if (!ended || idat.size() < 6 || idat[0] != 0x78 || (idat[0] * 256 + idat[1]) % 31 != 0) return false;
    size_t pos = 2;
    for (bool last = false; !last;) {
        if (pos + 5 > idat.size() || (idat[pos] >> 1) != 0) return false;  // stored blocks only
        last = idat[pos] & 1;
        const uint32_t len = idat[pos + 1] | idat[pos + 2] << 8, nlen = idat[pos + 3] | idat[pos + 4] << 8;
        if ((len ^ 0xFFFF) != nlen || pos + 5 + len > idat.size()) return false;
        raw.insert(raw.end(), idat.begin() + pos + 5, idat.begin() + pos + 5 + len);
        pos += 5 + len;
    }
    if (pos + 4 != idat.size() || Be32(&idat[pos]) != PngAdler32(raw.data(), raw.size())) return false;
    if (raw.size() != size_t{h} * (w + 1)) return false;
    pixels.clear();
    for (uint32_t y = 0; y < h; ++y) {
        if (raw[y * (w + 1)] != 0) return false;  // no row filter
        pixels.insert(pixels.end(), raw.begin() + y * (w + 1) + 1, raw.begin() + (y + 1) * (w + 1));
    }
    return true;
}

class ThumbnailTest : public ::testing::Test {
protected:
    // A sheet with a black left half, or with one black pixel at the top left.
    std::string WriteSheet(uint32_t w, uint32_t h, bool halfBlack)
    {
        CPaper paper;
        EXPECT_TRUE(paper.Create(w, h, 5));
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < (halfBlack ? w / 2 : y == 0); ++x) paper.SetPixel(int32_t(x), int32_t(y), 0);
        const std::string path = folder.File("sheet.tvk");
        CArchive ar;
        EXPECT_TRUE(ar.Open(path, CArchive::store) && WriteSketch(paper, ar) && ar.Close());
        return path;
    }
    // Runs the thumbnail command and decodes its picture; the picture's size, or 0 x 0 on a failure.
    std::pair<uint32_t, uint32_t> Thumbnail(const std::string& in, const std::string& size)
    {
        uint32_t w = 0, h = 0;
        const CliResult r = RunCommand(CliThumbnail, {in, folder.File("out.png"), size});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string png = doctest::Contents(folder.File("out.png"));
        EXPECT_TRUE(DecodeStoredPng(Bytes(png.begin(), png.end()), w, h, pixels));
        return {w, h};
    }

    doctest::TempFolder folder;
    Bytes pixels;
};

}  // namespace

TEST(Png, ChecksumsMatchTheirCheckValues)
{
    const auto sum = [](auto f, const std::string& s, uint32_t start) {
        return f(reinterpret_cast<const uint8_t*>(s.data()), s.size(), start);
    };
    EXPECT_EQ(sum(PngCrc32, "123456789", 0), 0xCBF43926u);
    EXPECT_EQ(sum(PngCrc32, "56789", sum(PngCrc32, "1234", 0)), 0xCBF43926u);  // a continued sum is the whole's
    EXPECT_EQ(sum(PngAdler32, "Wikipedia", 1), 0x11E60398u);
    EXPECT_EQ(PngAdler32(nullptr, 0), 1u);
    EXPECT_EQ(sum(PngAdler32, std::string(100000, '\xff'), 1), 0x149A302Cu);  // overflows without reduction
}

TEST(Png, EncodedImagesDecodeToTheSamePixels)
{
    // A tiny picture, and one whose rows need several stored blocks.
    for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{3, 2}, {301, 300}, {1, 1}}) {
        Bytes pixels(size_t{w} * h), png, back;
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / w);
        ASSERT_TRUE(EncodeGrayPng(pixels.data(), w, h, w, png));
        uint32_t dw = 0, dh = 0;
        ASSERT_TRUE(DecodeStoredPng(png, dw, dh, back)) << w << " x " << h;
        EXPECT_EQ(std::tuple(dw, dh, back), std::tuple(w, h, pixels));
    }
    // Rows further apart than their width.
    const uint8_t padded[] = {1, 2, 9, 9, 3, 4, 9, 9};
    Bytes png, back;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(EncodeGrayPng(padded, 2, 2, 4, png));
    ASSERT_TRUE(DecodeStoredPng(png, w, h, back));
    EXPECT_EQ(back, (Bytes{1, 2, 3, 4}));
    EXPECT_FALSE(EncodeGrayPng(padded, 0, 2, 4, png));
    EXPECT_FALSE(EncodeGrayPng(padded, 5, 2, 4, png));
    EXPECT_FALSE(EncodeGrayPng(nullptr, 2, 2, 4, png));
}

TEST_F(ThumbnailTest, ASketchShrinksToFitTheSizeKeepingItsShape)
{
    ASSERT_EQ(Thumbnail(WriteSheet(400, 200, true), "100"), std::pair(100u, 50u));
    // The sheet's top row is the picture's top row, and each pixel is the darkest of those it covers.
    for (uint32_t y = 0; y < 50; ++y)
        EXPECT_EQ(Bytes({pixels[y * 100], pixels[y * 100 + 49], pixels[y * 100 + 50], pixels[y * 100 + 99]}),
                  (Bytes{0, 0, 255, 255})) << y;
    // Standing sheets fit by their height; small ones are never enlarged.
    const std::string tall = WriteSheet(100, 300, false);
    EXPECT_EQ(Thumbnail(tall, "128"), std::pair(42u, 128u));
    EXPECT_EQ(Thumbnail(tall, "1024"), std::pair(100u, 300u));
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 2), (Bytes{0, 255}));
}

// A line of the lightest pencil one pixel wide stays in a picture eight times smaller, as dark as
// it was drawn; at 1:1 the picture is the sheet itself.
TEST_F(ThumbnailTest, AThinLightLineSurvivesTheReduction)
{
    const std::string sheet = folder.File("line.tvk");
    const CliResult drawn = RunScript("new 800 400 1\npencil 4H 1 0\nstroke 0 203 799 203\nsave " + sheet + "\n");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    ASSERT_EQ(Thumbnail(sheet, "800"), std::pair(800u, 400u));
    const Bytes whole = pixels;
    const uint8_t line = *std::min_element(whole.begin(), whole.end());
    EXPECT_LT(line, 255);
    ASSERT_EQ(Thumbnail(sheet, "100"), std::pair(100u, 50u));
    for (uint32_t y = 0; y < 50; ++y)
        EXPECT_EQ(*std::min_element(pixels.begin() + y * 100, pixels.begin() + y * 100 + 100), y == 25 ? line : 255) << y;
}

TEST_F(ThumbnailTest, BadArgumentsAndUnreadableFilesFailWithAReason)
{
    const std::string in = WriteSheet(100, 100, true), png = folder.File("x.png");
    doctest::WriteFile(folder.File("bad.tvk"), "QLXF but nothing sensible");
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 2},
        {{in, png}, 2},
        {{in, png, "0"}, 2},
        {{in, png, "-5"}, 2},
        {{in, png, "12x"}, 2},
        {{in, png, "99999"}, 2},
        {{in, png, "64", "extra"}, 2},
        {{folder.File("missing.tvk"), png, "64"}, 1},
        {{in, folder.File("no/such/folder/x.png"), "64"}, 1},
        {{folder.File("bad.tvk"), png, "64"}, 1},
    };
    for (const auto& [args, code] : cases) {
        const CliResult r = RunCommand(CliThumbnail, args);
        EXPECT_EQ(r.status, code) << args.size();
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(png));
}
