// A copy's format follows the last four characters of its name, whatever their case; the writer
// that name selects is the one whose file comes out.

#include "FormatsTestSupport.h"

#include "formats/FileFormat.h"

using namespace formats_test;

TEST(FileFormat, TheNameSelectsTheFormatAndItsWriter)
{
    using enum FileFormat;
    const std::tuple<const char*, FileFormat, std::string> cases[] = {
        {"a.gif", Gif, "GIF89a"}, {"/x/B.GIF", Gif, "GIF89a"}, {".gif", Gif, ""}, {"c.Gif", Gif, ""},
        {"d.bmp", Bmp, "BM"}, {"E.BMP", Bmp, ""}, {"k.png", Png, "\x89PNG"}, {"/x/L.PNG", Png, ""},
        {"m.pngx", Sketch, ""}, {"f.tvk", Sketch, "QLXF"}, {"noextension", Sketch, "QLXF"}, {"gif", Sketch, ""},
        {"g.gif.tvk", Sketch, ""}, {"h.jpeg", Sketch, "QLXF"}, {"", Sketch, ""}, {"i.gifx", Sketch, ""},
        {"/dir.gif/j", Sketch, ""},
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
