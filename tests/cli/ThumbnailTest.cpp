// graphelle-cli thumbnail: a sketch as a gray PNG at most SIZE pixels, as libpng reads it back.

#include "CliTestSupport.h"
#include "cli/ThumbnailCommand.h"

namespace {

using formats_test::Bytes;

// Black on the left half; white with one black row at y 100; on the right a checker of 0 and 255.
uint8_t Shade(uint32_t x, uint32_t y) { return x < 200 ? 0 : x >= 300 ? ((x + y) % 2 ? 0 : 255) : y == 100 ? 0 : 255; }

// Runs the thumbnail command on a w x h sheet of Shade and decodes its picture.
pngtest::Picture Thumbnail(const doctest::TempFolder& folder, uint32_t w, uint32_t h, const std::string& size)
{
    const std::string in = WriteSheet(folder.File("in.tvk"), w, h, Shade);
    const CliResult r = RunCommand(CliThumbnail, {in, folder.File("out.png"), size});
    EXPECT_EQ(r.status, 0) << r.err;
    pngtest::Picture picture;
    EXPECT_TRUE(pngtest::Decode(folder.File("out.png"), picture));
    return picture;
}

}  // namespace

// Each pixel of a smaller picture is the darkest of the block of the sheet it covers, so a block
// holding 0 and 255 gives 0; at 1:1 the pixels are the sheet's own, compressed. Lying sheets fit
// by their width, standing ones by their height; small ones are never enlarged.
TEST(Thumbnail, EachPixelIsTheDarkestOfItsBlockAndTheShapeIsKept)
{
    doctest::TempFolder folder;
    pngtest::Picture p = Thumbnail(folder, 400, 200, "100");
    ASSERT_EQ(std::pair(p.width, p.height), std::pair(100u, 50u));
    for (uint32_t i = 0; i < 100 * 50; ++i) ASSERT_EQ(p.gray[i], i % 100 / 25 == 2 && i / 100 != 25 ? 255 : 0) << i;
    p = Thumbnail(folder, 400, 200, "400");
    ASSERT_EQ(std::pair(p.width, p.height), std::pair(400u, 200u));
    for (uint32_t i = 0; i < 400 * 200; ++i) ASSERT_EQ(p.gray[i], Shade(i % 400, i / 400)) << "pixel " << i;
    EXPECT_LE(std::filesystem::file_size(folder.File("out.png")) * 5, 400u * 200) << "not compressed";
    const struct { uint32_t w, h; const char* size; uint32_t width, height; } sizes[] = {
        {100, 300, "128", 42, 128}, {100, 300, "1024", 100, 300}, {300, 7, "16", 16, 1}};
    for (const auto& s : sizes) {
        p = Thumbnail(folder, s.w, s.h, s.size);
        EXPECT_EQ(std::pair(p.width, p.height), std::pair(s.width, s.height)) << s.w << "x" << s.h << " at " << s.size;
    }
}
