// graphelle-cli thumbnail: a sketch as a gray PNG at most SIZE pixels, as libpng reads it back.

#include "CliTestSupport.h"
#include "cli/ThumbnailCommand.h"
#include "formats/FormatsTestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Black on the left half; white with one black row at y 100; on the right a checker of 0 and 255.
uint8_t Shade(uint32_t x, uint32_t y)
{
    if (x < 200) return 0;
    if (x >= 300) return (x + y) % 2 ? 0 : 255;
    return y == 100 ? 0 : 255;
}

class ThumbnailTest : public ::testing::Test {
protected:
    // Runs the thumbnail command and decodes its picture; the picture's size.
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

// Each pixel of a smaller picture is the darkest of the block of the sheet it covers, so a block
// holding 0 and 255 gives 0; at 1:1 the pixels are the sheet's own, compressed.
TEST_F(ThumbnailTest, EachPixelIsTheDarkestOfItsBlock)
{
    const std::string sheet = WriteSheet(folder.File("sheet.tvk"), 400, 200, Shade);
    ASSERT_EQ(Thumbnail(sheet, "100"), std::pair(100u, 50u));
    for (uint32_t y = 0; y < 50; ++y) {
        Bytes row(100, 0);
        std::fill(row.begin() + 50, row.begin() + 75, y == 25 ? 0 : 255);
        EXPECT_EQ(Bytes(pixels.begin() + y * 100, pixels.begin() + y * 100 + 100), row) << "row " << y;
    }
    ASSERT_EQ(Thumbnail(sheet, "400"), std::pair(400u, 200u));
    for (uint32_t i = 0; i < 400 * 200; ++i) ASSERT_EQ(pixels[i], Shade(i % 400, i / 400)) << "pixel " << i;
    EXPECT_LE(std::filesystem::file_size(folder.File("out.png")) * 5, 400u * 200) << "not compressed";
}

// Lying sheets fit by their width, standing ones by their height; small ones are never enlarged.
TEST_F(ThumbnailTest, ASketchShrinksToFitTheSizeKeepingItsShape)
{
    const std::string tall = WriteSheet(folder.File("tall.tvk"), 100, 300, Shade);
    EXPECT_EQ(Thumbnail(tall, "128"), std::pair(42u, 128u));
    EXPECT_EQ(Thumbnail(tall, "1024"), std::pair(100u, 300u));
    const std::string wide = WriteSheet(folder.File("wide.tvk"), 300, 7, Shade);
    EXPECT_EQ(Thumbnail(wide, "16"), std::pair(16u, 1u));
}
