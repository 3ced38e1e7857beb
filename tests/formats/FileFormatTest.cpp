// Save As picks the format from the last four characters of the name (the
// files it then writes are checked with the document's Save As).

#include "formats/FileFormat.h"

#include <gtest/gtest.h>

TEST(FileFormat, NameSelectsTheFormat)
{
    const std::pair<const char*, FileFormat> cases[] = {
        {"a.gif", FileFormat::Gif},        {"/x/B.GIF", FileFormat::Gif},       {"c.Gif", FileFormat::Gif},
        {".gif", FileFormat::Gif},         {"d.bmp", FileFormat::Bmp},          {"E.BMP", FileFormat::Bmp},
        {"f.tvk", FileFormat::Sketch},     {"noextension", FileFormat::Sketch}, {"gif", FileFormat::Sketch},
        {"g.gif.tvk", FileFormat::Sketch}, {"h.jpeg", FileFormat::Sketch},      {"", FileFormat::Sketch},
        {"i.gifx", FileFormat::Sketch},    {"/dir.gif/j", FileFormat::Sketch},  {"k.png", FileFormat::Png},
        {"/x/L.PNG", FileFormat::Png},     {"m.pngx", FileFormat::Sketch},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(FormatForName(name), format) << name;
}
