// graphelle-cli info and convert, driven as functions with their words.

#include "CliTestSupport.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"
#include "cli/ThumbnailCommand.h"
#include "formats/PngTestSupport.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

using doctest::Contents;
using doctest::WriteFile;

namespace {

// A 47 x 33 sheet with a diagonal of grays: several blocks of code stream.
std::string WriteDrawing(const doctest::TempFolder& folder, const std::string& name)
{
    CPaper paper;
    paper.Create(47, 33, 4);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 47; ++x) paper.SetPixel(x, y, static_cast<uint8_t>((x * 37 + y * 11) % 256));
    CArchive ar;
    const std::string path = folder.File(name);
    EXPECT_TRUE(ar.Open(path, CArchive::store) && WriteSketch(paper, ar) && ar.Close());
    return path;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Changed(std::string bytes, size_t at, char flip)
{
    bytes[at] ^= flip;
    return bytes;
}

}  // namespace

TEST(CliInfo, ReportsHeaderAndBlocks)
{
    doctest::TempFolder folder;
    const std::string good = WriteDrawing(folder, "good.tvk"), bytes = Contents(good);
    ASSERT_GT(bytes.size(), 300u);
    const CliResult r = RunCommand(CliInfo, {good});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const size_t blocks = (bytes.size() - 29 + 257) / 258;
    for (const std::string& line : std::vector<std::string>{
             "magic: QLXF\n", "header size: 28\n", "version: 1\n", "width: 47\n", "height: 33\n",
             "roughness: 4\n", "header: valid\n", "code size: 8\n", "end code: found\n", "pixels: 1551 of 1551\n",
             "blocks read whole: yes\n", "data size: " + std::to_string(bytes.size() - 28) + "\n",
             "checksums: all " + std::to_string(blocks) + " match\n"})
        EXPECT_TRUE(Has(r.out, line)) << line << " in\n" << r.out;

    const struct {
        std::string file;
        int status;
        const char *outLine, *errText;
    } cases[] = {
        {Changed(bytes, 29 + 1 + 255, 1), 1, "checksums: block 1 does not match\n", "block 1 fails its checksum"},
        {Changed(bytes, 29 + 258 + 3, 4), 1, "blocks: 2 ", "block 2 fails its checksum"},
        {bytes.substr(0, 200), 1, "end code: missing\n", "block 1 is cut short"},
        {bytes.substr(0, 24) + std::string(4, '\0') + bytes.substr(28), 0, "blocks: none (a white sheet)\n", ""},
        {Changed(bytes, 0, 'Q' ^ 'X'), 1, "header: invalid\n", "invalid header"},
        {Changed(bytes, 28, 8 ^ 9), 1, "code size: 9\n", "unknown code size"},
        {bytes.substr(0, 20), 1, "", "shorter than a sketch header"},
    };
    for (const auto& c : cases) {
        WriteFile(folder.File("changed.tvk"), c.file);
        const CliResult changed = RunCommand(CliInfo, {folder.File("changed.tvk")});
        EXPECT_EQ(changed.status, c.status) << c.errText;
        EXPECT_TRUE(Has(changed.out, c.outLine)) << c.outLine << " in\n" << changed.out;
        EXPECT_TRUE(Has(changed.err, c.errText)) << c.errText << ": " << changed.err;
    }
    EXPECT_EQ(RunCommand(CliInfo, {folder.File("missing.tvk")}).status, 1);
    EXPECT_EQ(RunCommand(CliInfo, {}).status, 2);
    EXPECT_EQ(RunCommand(CliInfo, {good, good}).status, 2);
    EXPECT_EQ(RunCommand(CliInfo, {"--help"}).status, 0);
}

TEST(CliConvert, WritesTheFormatTheNameSelectsAndFailuresLeaveTheTargetAlone)
{
    doctest::TempFolder folder;
    const std::string in = WriteDrawing(folder, "in.tvk"), sketch = Contents(in);
    const size_t bmpSize = 1078 + 48 * 33;
    const std::pair<const char*, std::string> cases[] = {
        {"copy.GIF", "GIF89a"}, {"copy.bmp", "BM"}, {"copy.png", "\x89PNG"}, {"copy", sketch}, {"copy.tvk", sketch}};
    for (const auto& [name, start] : cases) {
        const CliResult r = RunCommand(CliConvert, {in, folder.File(name)});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(Contents(folder.File(name)).substr(0, start.size()), start) << name;
    }
    EXPECT_EQ(Contents(folder.File("copy.bmp")).size(), bmpSize);
    for (const char* name : {"copy", "copy.tvk"})  // a sketch read and written again is the same file
        EXPECT_EQ(Contents(folder.File(name)), sketch) << name;

    // An input that gives no sheet: the old target stays as it was.
    WriteFile(folder.File("target.gif"), "old");
    WriteFile(folder.File("junk.tvk"), "not a sketch");
    CliResult r = RunCommand(CliConvert, {folder.File("junk.tvk"), folder.File("target.gif")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "not a sketch file"));
    EXPECT_EQ(Contents(folder.File("target.gif")), "old");
    r = RunCommand(CliConvert, {folder.File("missing.tvk"), folder.File("target.gif")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    r = RunCommand(CliConvert, {in, folder.File("no/such/folder/out.bmp")});  // the reason is named
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "out.bmp: ")) << r.err;

    EXPECT_EQ(RunCommand(CliConvert, {in}).status, 2);
    EXPECT_EQ(RunCommand(CliConvert, {}).status, 2);
    EXPECT_EQ(RunCommand(CliConvert, {"--help"}).status, 0);
}

// A picture taken in and given out again keeps every gray pixel; a colour one comes in as gray.
TEST(CliConvert, APngPictureBecomesASketchAndComesBackTheSame)
{
    doctest::TempFolder folder;
    const std::string picture = folder.File("in.png"), sketch = folder.File("sketch.tvk"), out = folder.File("out.png");
    std::vector<uint8_t> gray(61 * 47);
    for (size_t i = 0; i < gray.size(); ++i) gray[i] = static_cast<uint8_t>(i * 13 + i / 61);
    const uint8_t green[] = {0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0};
    pngtest::Picture back;
    ASSERT_TRUE(pngtest::Write(picture, 61, 47, PNG_FORMAT_GRAY, gray.data()));
    ASSERT_EQ(RunCommand(CliConvert, {picture, sketch}).status + RunCommand(CliConvert, {sketch, out}).status, 0);
    ASSERT_TRUE(pngtest::Decode(out, back));
    EXPECT_EQ(std::tuple(back.width, back.height, back.gray), std::tuple(61u, 47u, gray));
    ASSERT_TRUE(pngtest::Write(picture, 2, 2, PNG_FORMAT_RGB, green));
    ASSERT_EQ(RunCommand(CliConvert, {picture, out}).status, 0);
    ASSERT_TRUE(pngtest::Decode(out, back));  // the smallest sheet, white beside the picture
    EXPECT_EQ(std::tuple(back.width, back.height, back.gray[0], back.gray[2]), std::tuple(4u, 4u, 150, 255));

    WriteFile(picture, Contents(picture).substr(0, 40));
    const CliResult r = RunCommand(CliConvert, {picture, folder.File("cut.tvk")});
    EXPECT_EQ(std::pair(r.status, r.err), std::pair(1, picture + ": the file ends before the picture does\n"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("cut.tvk")));
}

// Every command agrees on a sketch that reads only in part: it says so and fails, and the ones
// that write still write what was read.
TEST(Cli, ASketchReadInPartFailsEveryCommandWithAReport)
{
    doctest::TempFolder folder;
    const std::string damaged = folder.File("damaged.tvk");
    WriteFile(damaged, Changed(Contents(WriteDrawing(folder, "in.tvk")), 29 + 1 + 255, 1));
    const std::string bmp = folder.File("out.bmp"), png = folder.File("out.png"), tvk = folder.File("out.tvk");
    const struct {
        CliResult result;
        const char* report;
        std::string written;
    } cases[] = {
        {RunCommand(CliInfo, {damaged}), "the sheet opens in part", ""},
        {RunCommand(CliConvert, {damaged, bmp}), "damaged.tvk: read only in part", bmp},
        {RunCommand(CliThumbnail, {damaged, png, "16"}), "damaged.tvk: read only in part", png},
        {RunScript("open " + damaged + "\nsave " + tvk + "\n"), "\"damaged.tvk\" could be read only in part", tvk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result.status, 1) << c.report;
        EXPECT_TRUE(Has(c.result.err, c.report)) << c.result.err;
        EXPECT_TRUE(c.written.empty() || !Contents(c.written).empty()) << c.written;
    }
}
