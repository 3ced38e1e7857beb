// A copy's format follows the last four characters of its name, whatever their case; the writer
// that name selects is the one whose file comes out.

#include "FormatsTestSupport.h"

#include "formats/FileFormat.h"

using namespace formats_test;

TEST(FileFormat, TheNameSelectsTheFormatAndItsWriter)
{
    const std::tuple<const char*, FileFormat, std::string> cases[] = {
        {"a.gif", FileFormat::Gif, "GIF89a"},     {"/x/B.GIF", FileFormat::Gif, "GIF89a"}, {".gif", FileFormat::Gif, ""},
        {"c.Gif", FileFormat::Gif, ""},           {"d.bmp", FileFormat::Bmp, "BM"},        {"E.BMP", FileFormat::Bmp, ""},
        {"k.png", FileFormat::Png, "\x89PNG"},    {"/x/L.PNG", FileFormat::Png, ""},       {"m.pngx", FileFormat::Sketch, ""},
        {"f.tvk", FileFormat::Sketch, "QLXF"},    {"noextension", FileFormat::Sketch, "QLXF"}, {"gif", FileFormat::Sketch, ""},
        {"g.gif.tvk", FileFormat::Sketch, ""},    {"h.jpeg", FileFormat::Sketch, "QLXF"},  {"", FileFormat::Sketch, ""},
        {"i.gifx", FileFormat::Sketch, ""},       {"/dir.gif/j", FileFormat::Sketch, ""},
    };
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(4, 4, 5));
    for (const auto& [name, format, start] : cases) {
        EXPECT_EQ(FormatForName(name), format) << name;
        if (start.empty()) continue;
        CArchive ar;
        const std::string path = folder.File(std::filesystem::path(name).filename().string());
        ASSERT_TRUE(ar.Open(path, CArchive::store) && WritePaper(paper, ar) && ar.Close()) << name;
        const Bytes file = ReadWholeFile(path);
        EXPECT_EQ(std::string(file.begin(), file.begin() + std::ssize(start)), start) << name;
    }
}
