// Every kind of PNG reads as the gray a person sees; damaged ones are refused with the reason.

#include "FormatsTestSupport.h"
#include "formats/PngFile.h"

using namespace formats_test;

namespace {

bool ReadPicture(const std::string& path, CPaper& paper, std::string& error)
{
    CArchive ar;
    return ar.Open(path, CArchive::load) && ReadPng(ar, paper, 7, error);
}

}  // namespace

TEST(PngFile, EveryKindOfPictureReadsAsTheGrayAPersonSeesAndADamagedOneIsRefused)
{
    TempFolder folder;
    const uint8_t palette[] = {255, 0, 0, 255, 10, 20, 30, 0};  // opaque red, clear
    const struct { uint32_t format; Bytes pixel; uint8_t gray; } kinds[] = {
        {PNG_FORMAT_GRAY, {77}, 77}, {PNG_FORMAT_GA, {100, 255}, 100}, {PNG_FORMAT_GA, {0, 128}, 127},
        {PNG_FORMAT_RGB, {255, 0, 0}, 76}, {PNG_FORMAT_RGB, {0, 255, 0}, 150}, {PNG_FORMAT_RGB, {0, 0, 255}, 29},
        {PNG_FORMAT_RGBA, {0, 0, 255, 0}, 255}, {PNG_FORMAT_LINEAR_Y, {0x80, 0x80}, 128},
        {PNG_FORMAT_RGBA_COLORMAP, {0}, 76}, {PNG_FORMAT_RGBA_COLORMAP, {1}, 255},
    };
    const std::string path = folder.File("kind.png");
    std::string error;
    for (const auto& c : kinds) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", first byte " << int(c.pixel[0]));
        Bytes pixels;
        for (int i = 0; i < 6 * 5; ++i) pixels.insert(pixels.end(), c.pixel.begin(), c.pixel.end());
        CPaper paper;
        ASSERT_TRUE(pngtest::Write(path, 6, 5, c.format, pixels.data(), palette, 2));
        ASSERT_TRUE(ReadPicture(path, paper, error)) << error;
        EXPECT_EQ(std::tuple(paper.GetWidth(), paper.GetHeight(), paper.GetRoughness()), std::tuple(6u, 5u, 7u));
        EXPECT_EQ(TopDown(paper), Bytes(30, c.gray));
    }
    CPaper paper;
    ASSERT_TRUE(paper.Create(40, 30, 5));
    Fill(paper, Noise(40 * 30, 9));
    ASSERT_TRUE(Save(WritePng, paper, path));
    const Bytes png = ReadWholeFile(path);
    const auto flipped = [&](const char* chunk, size_t offset) {
        Bytes bytes = png;
        bytes[std::search(png.begin(), png.end(), chunk, chunk + 4) - png.begin() + offset] ^= 0x40;
        return bytes;
    };
    const std::pair<Bytes, std::string> damaged[] = {
        {Bytes(png.begin(), png.begin() + png.size() / 2), "the file ends before the picture does"},
        {flipped("IDAT", 20), "the picture is damaged (IDAT: "},
        {flipped("IHDR", 6), "the picture is damaged (IHDR: CRC error)"},
        {Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG picture"},
    };
    for (const auto& [file, reason] : damaged) {
        WriteWholeFile(path, file);
        CPaper read;
        EXPECT_FALSE(ReadPicture(path, read, error) || read.HasBits()) << reason;
        EXPECT_EQ(error.substr(0, reason.size()), reason);
    }
}
