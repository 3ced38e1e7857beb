// Save As picks the format from the last four characters of the name.

#include "FormatsTestSupport.h"

#include "formats/FileFormat.h"

using namespace formats_test;

TEST(FileFormat, NameSelectsTheFormat)
{
    const std::pair<const char*, FileFormat> cases[] = {
        {"a.gif", FileFormat::Gif},        {"/x/B.GIF", FileFormat::Gif},       {"c.Gif", FileFormat::Gif},
        {".gif", FileFormat::Gif},         {"d.bmp", FileFormat::Bmp},          {"E.BMP", FileFormat::Bmp},
        {"f.tvk", FileFormat::Sketch},     {"noextension", FileFormat::Sketch}, {"gif", FileFormat::Sketch},
        {"g.gif.tvk", FileFormat::Sketch}, {"h.jpeg", FileFormat::Sketch},      {"", FileFormat::Sketch},
        {"i.gifx", FileFormat::Sketch},    {"/dir.gif/j", FileFormat::Sketch},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(FormatForName(name), format) << name;
}

TEST(FileFormat, WritePaperFollowsTheArchiveName)
{
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(8, 8, 5));
    const std::pair<const char*, std::string> cases[] = {{"a.GIF", "GIF89a"}, {"b.Bmp", "BM"}, {"c.tvk", "QLXF"}, {"d", "QLXF"}};
    for (const auto& [name, start] : cases) {
        ASSERT_TRUE(Save(WritePaper, paper, folder.File(name)));
        Bytes file = ReadWholeFile(folder.File(name));
        EXPECT_EQ(std::string(file.begin(), file.begin() + std::ptrdiff_t(std::min(file.size(), start.size()))), start) << name;
    }
}
