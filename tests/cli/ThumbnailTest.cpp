#include "CliTestSupport.h"
#include "cli/ThumbnailCommand.h"
#include "formats/PngTestSupport.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The size of the picture the hand-made encoder wrote before: signature, header, one IDAT of
// stored deflate blocks (5 bytes each, at most 65535 bytes of rows), zlib's frame, and the end.
size_t StoredPngSize(uint32_t w, uint32_t h)
{
    const size_t rows = size_t{h} * (w + 1);
    return 8 + 25 + 12 + 2 + 5 * ((rows + 65534) / 65535) + rows + 4 + 12;
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
        const CliResult r = RunCommand(CliThumbnail, {in, folder.File("out.png"), size});
        EXPECT_EQ(r.status, 0) << r.err;
        pngtest::Picture picture;
        EXPECT_TRUE(pngtest::Decode(folder.File("out.png"), picture));
        pixels = picture.gray;
        return {picture.width, picture.height};
    }

    doctest::TempFolder folder;
    Bytes pixels;
};

}  // namespace

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

// Compressed, the picture of a drawing is a fifth or less of what the stored blocks took.
TEST_F(ThumbnailTest, APictureOfADrawingIsCompressed)
{
    const std::string sheet = folder.File("drawing.tvk");
    const CliResult drawn = RunScript("new 640 480 7\npencil 6B 3 1\nstroke 20 20 600 400 300 460 40 300\n"
                                      "pencil HB 2 0\nstroke 600 30 100 200 500 250\npencil 2H 1 0\n"
                                      "stroke 10 470 630 10\nsave " + sheet + "\n");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    ASSERT_EQ(Thumbnail(sheet, "640"), std::pair(640u, 480u));
    EXPECT_LT(std::count(pixels.begin(), pixels.end(), 255), 640 * 480 - 2000) << "hardly drawn on";
    EXPECT_LE(std::filesystem::file_size(folder.File("out.png")) * 5, StoredPngSize(640, 480));
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
