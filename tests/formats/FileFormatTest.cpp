// Save As picks the format from the last four characters of the name.

#include "FormatsTestSupport.h"

#include "formats/FileFormat.h"

using namespace formats_test;

TEST(FileFormat, NameSelectsTheFormat)
{
    struct Case {
        const char* name;
        FileFormat format;
    };
    const Case cases[] = {
        {"a.gif", FileFormat::Gif},       {"/x/B.GIF", FileFormat::Gif},     {"c.Gif", FileFormat::Gif},
        {".gif", FileFormat::Gif},        {"d.bmp", FileFormat::Bmp},        {"E.BMP", FileFormat::Bmp},
        {"f.tvk", FileFormat::Sketch},    {"noextension", FileFormat::Sketch}, {"gif", FileFormat::Sketch},
        {"g.gif.tvk", FileFormat::Sketch}, {"h.jpeg", FileFormat::Sketch},   {"", FileFormat::Sketch},
        {"i.gifx", FileFormat::Sketch},   {"/dir.gif/j", FileFormat::Sketch},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatForName(c.name), c.format) << c.name;
}

TEST(FileFormat, WritePaperFollowsTheArchiveName)
{
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(8, 8, 5));
    struct Case {
        const char* name;
        Bytes start;
    };
    const Case cases[] = {
        {"a.GIF", {'G', 'I', 'F', '8', '9', 'a'}},
        {"b.Bmp", {'B', 'M'}},
        {"c.tvk", {'Q', 'L', 'X', 'F'}},
        {"d", {'Q', 'L', 'X', 'F'}},
    };
    for (const Case& c : cases) {
        CArchive ar;
        ASSERT_TRUE(ar.Open(folder.File(c.name), CArchive::store));
        ASSERT_TRUE(WritePaper(paper, ar));
        ASSERT_TRUE(ar.Close());
        Bytes file = ReadWholeFile(folder.File(c.name));
        ASSERT_GE(file.size(), c.start.size());
        EXPECT_TRUE(std::equal(c.start.begin(), c.start.end(), file.begin())) << c.name;
    }
}
