// PNG copies decode to exactly the sheet's pixels in libpng and ImageMagick; pictures of every
// kind of PNG read as the gray a person sees; damaged ones are refused with the reason.

#include "FormatsTestSupport.h"
#include "PngTestSupport.h"
#include "formats/PngFile.h"
#include "framework/Archive.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace formats_test;

namespace {

// The sheet's pixels as decoders give them: rows top-down, no padding.
Bytes TopDown(const CPaper& paper)
{
    Bytes out;
    for (uint32_t y = 0; y < paper.GetHeight(); ++y)
        for (uint32_t x = 0; x < paper.GetWidth(); ++x) out.push_back(paper.GetPixel(int32_t(x), int32_t(y)));
    return out;
}

// ImageMagick's own reading of a picture as 8-bit gray, or nothing when it fails.
Bytes MagickGray(const std::string& path, const TempFolder& folder)
{
    const std::string raw = folder.File("magick.gray");
    if (std::system(("convert '" + path + "' -depth 8 gray:'" + raw + "' 2>/dev/null").c_str()) != 0) return {};
    return ReadWholeFile(raw);
}

bool ReadPicture(const std::string& path, CPaper& paper, std::string& error)
{
    CArchive ar;
    return ar.Open(path, CArchive::load) && ReadPng(ar, paper, 7, error);
}

// Where a chunk's type starts in a PNG file.
size_t Chunk(const Bytes& png, const char* type)
{
    return std::search(png.begin(), png.end(), type, type + 4) - png.begin();
}

}  // namespace

TEST(PngFile, ACopyHoldsExactlyTheSheetsPixelsForLibpngAndImageMagick)
{
    ASSERT_EQ(std::system("command -v convert >/dev/null"), 0) << "ImageMagick is missing; run scripts/install-deps";
    TempFolder folder;
    const std::string path = folder.File("copy.png");
    for (const auto& [w, h] : {std::pair{4u, 4u}, {5u, 7u}, {101u, 33u}, {2048u, 2048u}}) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(w, h, 5));
        FillNoise(paper, w);
        ASSERT_TRUE(Save(WritePng, paper, path));
        const Bytes file = ReadWholeFile(path);
        EXPECT_EQ(file[24] * 256 + file[25], 8 * 256 + 0) << "8-bit gray";
        pngtest::Picture decoded;
        ASSERT_TRUE(pngtest::Decode(path, decoded)) << w;
        EXPECT_EQ(std::pair(decoded.width, decoded.height), std::pair(w, h));
        EXPECT_TRUE(decoded.gray == TopDown(paper)) << "libpng, width " << w;
        EXPECT_TRUE(MagickGray(path, folder) == TopDown(paper)) << "ImageMagick, width " << w;
    }
    // A drawing is mostly white paper: the copy is far smaller than its pixels.
    CPaper drawing;
    ASSERT_TRUE(drawing.Create(400, 300, 5));
    DrawStrokes(drawing, 3, 40);
    ASSERT_TRUE(Save(WritePng, drawing, path));
    EXPECT_LT(ReadWholeFile(path).size() * 5, 400u * 300u);

    CPaper empty;
    CArchive ar;
    ASSERT_TRUE(ar.Open(path, CArchive::store));
    EXPECT_FALSE(WritePng(empty, ar));
    EXPECT_FALSE(WriteGrayPng(nullptr, 4, 4, 4, ar));
}

TEST(PngFile, PicturesOfEveryKindReadAsTheGrayAPersonSees)
{
    TempFolder folder;
    const uint8_t palette[] = {255, 0, 0, 255, 10, 20, 30, 0};  // opaque red, clear blue-black
    const struct {
        const char* what;
        uint32_t format;
        Bytes pixel;
        uint8_t gray;
    } cases[] = {
        {"gray", PNG_FORMAT_GRAY, {77}, 77},
        {"gray and alpha", PNG_FORMAT_GA, {100, 255}, 100},
        {"half clear black", PNG_FORMAT_GA, {0, 128}, 127},
        {"red", PNG_FORMAT_RGB, {255, 0, 0}, 76},
        {"green", PNG_FORMAT_RGB, {0, 255, 0}, 150},
        {"blue", PNG_FORMAT_RGB, {0, 0, 255}, 29},
        {"clear blue", PNG_FORMAT_RGBA, {0, 0, 255, 0}, 255},
        {"16-bit gray", PNG_FORMAT_LINEAR_Y, {0x80, 0x80}, 128},
        {"palette red", PNG_FORMAT_RGBA_COLORMAP, {0}, 76},
        {"palette clear", PNG_FORMAT_RGBA_COLORMAP, {1}, 255},
    };
    for (const auto& c : cases) {
        const std::string path = folder.File(std::string(c.what) + ".png");
        Bytes pixels;
        for (int i = 0; i < 6 * 5; ++i) pixels.insert(pixels.end(), c.pixel.begin(), c.pixel.end());
        ASSERT_TRUE(pngtest::Write(path, 6, 5, c.format, pixels.data(), palette, 2)) << c.what;
        CPaper paper;
        std::string error;
        ASSERT_TRUE(ReadPicture(path, paper, error)) << c.what << ": " << error;
        EXPECT_EQ(std::tuple(paper.GetWidth(), paper.GetHeight(), paper.GetRoughness()), std::tuple(6u, 5u, 7u));
        EXPECT_EQ(TopDown(paper), Bytes(30, c.gray)) << c.what;
    }

    // An interlaced picture arrives in seven passes and reads as the plain one does.
    const std::string plain = folder.File("plain.png"), interlaced = folder.File("interlaced.png");
    ASSERT_EQ(std::system(("convert -size 37x23 gradient:black-white -depth 8 '" + plain + "' && convert '" + plain +
                           "' -interlace PNG '" + interlaced + "'").c_str()),
              0);
    CPaper a, b;
    std::string error;
    ASSERT_TRUE(ReadPicture(plain, a, error) && ReadPicture(interlaced, b, error)) << error;
    EXPECT_EQ(TopDown(a), MagickGray(plain, folder));
    EXPECT_EQ(TopDown(b), TopDown(a));
}

TEST(PngFile, ADamagedPictureIsRefusedWithTheReason)
{
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(40, 30, 5));
    FillNoise(paper, 9);
    const std::string good = folder.File("good.png");
    ASSERT_TRUE(Save(WritePng, paper, good));
    const Bytes png = ReadWholeFile(good);
    const auto changed = [&](size_t at, uint8_t flip) {
        Bytes bytes = png;
        bytes[at] ^= flip;
        return bytes;
    };
    // A header that claims 100000 x 100000 pixels, with its checksum made right.
    Bytes huge = png;
    const size_t ihdr = Chunk(png, "IHDR");
    for (size_t i : {ihdr + 4, ihdr + 8}) huge[i + 1] = 0x01, huge[i + 2] = 0x86, huge[i + 3] = 0xA0;
    const uint32_t crc = uint32_t(crc32(0, &huge[ihdr], 17));
    for (int i = 0; i < 4; ++i) huge[ihdr + 17 + i] = uint8_t(crc >> (24 - 8 * i));

    const struct {
        const char* what;
        Bytes file;
        const char* reason;  // how the message starts
    } cases[] = {
        {"cut short", Bytes(png.begin(), png.begin() + png.size() / 2), "the file ends before the picture does"},
        {"pixel data changed", changed(Chunk(png, "IDAT") + 20, 0x40), "the picture is damaged (IDAT: "},
        {"header changed", changed(ihdr + 6, 1), "the picture is damaged (IHDR: CRC error)"},
        {"no PNG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG picture"},
        {"empty", {}, "not a PNG picture"},
        {"too many pixels", huge, "the picture has more than 200 million pixels"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.File("bad.png");
        WriteWholeFile(path, c.file);
        CPaper read;
        std::string error;
        EXPECT_FALSE(ReadPicture(path, read, error)) << c.what;
        EXPECT_EQ(error.substr(0, std::strlen(c.reason)), c.reason) << c.what;
        EXPECT_FALSE(read.HasBits()) << c.what;
    }
}
