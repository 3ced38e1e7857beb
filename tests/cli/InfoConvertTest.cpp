// graphelle-cli's words and exit statuses, info, convert and thumbnail, and every command side by side
// on a damaged sketch, driven as functions with their words.

#include "CliTestSupport.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"
#include "cli/ThumbnailCommand.h"

using doctest::Contents;
using doctest::WriteFile;

namespace {

std::string Changed(std::string bytes, size_t at, int flip) { bytes[at] = char(bytes[at] ^ flip); return bytes; }

// Black on the left half; white with one black row at y 100; on the right a checker of 0 and 255.
uint8_t Shade(uint32_t x, uint32_t y) { return x < 200 ? 0 : x >= 300 ? ((x + y) % 2 ? 0 : 255) : y == 100 ? 0 : 255; }

}  // namespace

// Help goes to standard output with success; any other number of words, or a thumbnail size
// outside 1 to 4096, is the usage as an error with status 2; a file that cannot be opened is
// named with the reason and status 1. No copy is written.
TEST(Cli, EverySubCommandChecksItsWords)
{
    doctest::TempFolder folder;
    const std::string none = "/nonexistent/graphelle/none", opened = none + ": cannot open: ", b = folder.File("b");
    const std::string info = "usage: graphelle-cli info FILE\n", convert = "usage: graphelle-cli convert IN OUT",
                      run = "usage: graphelle-cli run SCRIPT\n", thumbnail = "usage: graphelle-cli thumbnail ";
    const struct { CliCommand command; std::vector<std::string> args; int status; std::string text; } cases[] = {
        {CliInfo, {}, 2, info}, {CliInfo, {"--help"}, 0, info}, {CliInfo, {none}, 1, opened}, {CliRun, {}, 2, run},
        {CliConvert, {"a"}, 2, convert}, {CliConvert, {"-h"}, 0, convert}, {CliConvert, {none, b}, 1, opened},
        {CliRun, {"--help"}, 0, run + "Replays a drawing script"}, {CliThumbnail, {}, 2, thumbnail},
        {CliRun, {none}, 1, "cannot open the script " + none}, {CliThumbnail, {"--help"}, 0, thumbnail},
        {CliThumbnail, {"a", b}, 2, thumbnail}, {CliThumbnail, {"a", b, "0"}, 2, thumbnail},
        {CliThumbnail, {"a", b, "12x"}, 2, thumbnail}, {CliThumbnail, {"a", b, "4097"}, 2, thumbnail},
        {CliThumbnail, {"a", b, "64", "extra"}, 2, thumbnail}, {CliThumbnail, {none, b, "64"}, 1, opened}};
    for (const auto& c : cases) {
        const CliResult r = RunCommand(c.command, c.args);
        EXPECT_EQ(std::tuple(r.status, Has(c.status == 0 ? r.out : r.err, c.text), c.status == 0 ? r.err : r.out),
                  std::tuple(c.status, true, "")) << c.text << " in " << r.out << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(b));
}

// info reports how far the blocks read. On a damaged sketch, or a file that is no sketch, every
// command fails with its report; the ones that write still write what was read, and leave the target as it was
// when there was no sheet.
TEST(Cli, InfoReportsHowFarTheBlocksReadAndEveryCommandADamagedSketch)
{
    doctest::TempFolder folder;
    // A 47 x 33 sheet with a diagonal of grays: several blocks of code stream.
    const auto diagonal = [](uint32_t x, uint32_t y) { return uint8_t((x * 37 + y * 11) % 256); };
    const std::string bytes = Contents(WriteSheet(folder.File("good.tvk"), 47, 33, diagonal));
    // sheet: whether a sheet comes of it, whole for the good file, else in part.
    const struct { std::string file; int status; const char *outLine, *errText; bool sheet; } cases[] = {
        {bytes, 0, " match\nend code: found\npixels: 1551 of 1551\nblocks read whole: yes\n", "", true},
        {Changed(bytes, 29 + 1 + 255, 1), 1, "checksums: block 1 does not match\n",
         "changed.tvk: block 1 fails its checksum; the sheet opens in part", true},

        {bytes.substr(0, 200), 1, "end code: missing\n", "block 1 is cut short", true},
        {Changed(bytes, 16, 33 ^ 34), 1, "pixels: 1551 of 1598\n",
         "changed.tvk: the code stream ends before the last pixel; the sheet opens in part", true},
        {Changed(bytes, 0, 'Q' ^ 'X'), 1, "header: invalid\n", "changed.tvk: not a sketch file (invalid header)",
         false},
        {bytes.substr(0, 20), 1, "", "shorter than a sketch header", false}};
    const std::string in = folder.File("changed.tvk"), bmp = folder.File("out.bmp"), png = folder.File("out.png"),
                      tvk = folder.File("out.tvk");
    const std::string part = in + ": read only in part; the rest of the sheet is white", no = in + ": not a sketch";
    // The reports of convert, thumbnail and a script's open, without a sheet and with one.
    const std::string reports[2][3] = {{no + " file", no + " file", "line 1: cannot open " + in},
                                       {part, part, "\"changed.tvk\" could be read only in part"}};
    for (const auto& c : cases) {
        WriteFile(in, c.file);
        for (const std::string& target : {bmp, png, tvk}) WriteFile(target, "old");
        const CliResult info = RunCommand(CliInfo, {in});
        EXPECT_EQ(std::tuple(info.status, Has(info.out, c.outLine), Has(info.err, c.errText)),
                  std::tuple(c.status, true, true)) << c.outLine << c.errText << ":\n" << info.out << info.err;
        const CliResult results[] = {RunCommand(CliConvert, {in, bmp}), RunCommand(CliThumbnail, {in, png, "16"}),
                                     RunScript("open " + in + "\nsave " + tvk + "\n")};
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(std::pair(results[i].status, Has(results[i].err, c.status ? reports[c.sheet][i] : "")),
                      std::pair(c.status, true)) << reports[c.sheet][i] << " in " << results[i].err;
        for (const std::string& target : {bmp, png, tvk}) EXPECT_EQ(Contents(target) != "old", c.sheet) << target;
    }
}

// The copy's name selects its format. A picture taken in and given out again keeps every gray pixel. A thumbnail
// keeps the sheet's shape. Each pixel of a smaller picture is the darkest of the block of the sheet it covers, so a
// block holding 0 and 255 gives 0.
TEST(Cli, ConvertWritesTheFormatTheNameSelectsAndThumbnailsKeepTheDarkestOfEachBlock)
{
    doctest::TempFolder folder;
    const std::string picture = folder.File("in.png"), sketch = folder.File("sketch.tvk"), out = folder.File("out.png");
    std::vector<uint8_t> gray(61 * 47);
    for (size_t i = 0; i < gray.size(); ++i) gray[i] = static_cast<uint8_t>(i * 13 + i / 61);
    pngtest::Picture back;
    ASSERT_TRUE(pngtest::Write(picture, 61, 47, PNG_FORMAT_GRAY, gray.data()));
    ASSERT_EQ(RunCommand(CliConvert, {picture, sketch}).status + RunCommand(CliConvert, {sketch, out}).status, 0);
    EXPECT_EQ(Contents(sketch)[20], 5) << "a new sheet's roughness";
    ASSERT_TRUE(pngtest::Decode(out, back));
    EXPECT_EQ(std::tuple(back.width, back.height, back.gray), std::tuple(61u, 47u, gray));

    WriteSheet(sketch, 400, 200, Shade);
    ASSERT_EQ(RunCommand(CliThumbnail, {sketch, out, "100"}).status, 0);
    ASSERT_TRUE(pngtest::Decode(out, back));
    ASSERT_EQ(std::pair(back.width, back.height), std::pair(100u, 50u));
    for (uint32_t i = 0; i < 100 * 50; ++i) ASSERT_EQ(back.gray[i], i % 100 / 25 == 2 && i / 100 != 25 ? 255 : 0) << i;
}
