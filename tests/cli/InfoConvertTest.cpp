// graphelle-cli info and convert, driven as functions with their words.

#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"
#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "framework/Archive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

struct Result {
    int status;
    std::string out, err;
};

Result RunCommand(int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
           const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    int status = command(args, out, err);
    return Result{status, out.str(), err.str()};
}

class Folder {
public:
    Folder()
    {
        std::string pattern = testing::TempDir() + "graphelle_cli_files_XXXXXX";
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~Folder()
    {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A 47 x 33 sheet with a diagonal of grays: several blocks of code stream.
std::string WriteDrawing(const Folder& folder, const std::string& name)
{
    CPaper paper;
    paper.Create(47, 33, 4);
    for (int i = 0; i < 33; ++i)
        for (int x = 0; x < 47; ++x) paper.SetPixel(x, i, static_cast<uint8_t>((x * 37 + i * 11) % 256));
    CArchive ar;
    std::string path = folder.File(name);
    EXPECT_TRUE(ar.Open(path, CArchive::store));
    EXPECT_TRUE(WriteSketch(paper, ar));
    EXPECT_TRUE(ar.Close());
    return path;
}

bool Has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

}  // namespace

TEST(CliInfo, ReportsHeaderAndBlocks)
{
    Folder folder;
    const std::string good = WriteDrawing(folder, "good.tvk");
    const Bytes bytes = ReadBytes(good);
    ASSERT_GT(bytes.size(), 300u);

    Result r = RunCommand(CliInfo, {good});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* line : {"magic: QLXF\n", "header size: 28\n", "version: 1\n", "width: 47\n", "height: 33\n",
                             "roughness: 4\n", "header: valid\n", "code size: 8\n",
                             "end code: found\n", "pixels: 1551 of 1551\n", "blocks read whole: yes\n"})
        EXPECT_TRUE(Has(r.out, line)) << line << " in\n" << r.out;
    EXPECT_TRUE(Has(r.out, "data size: " + std::to_string(bytes.size() - 28) + "\n")) << r.out;
    const size_t blocks = (bytes.size() - 29 + 257) / 258;
    EXPECT_TRUE(Has(r.out, "checksums: all " + std::to_string(blocks) + " match\n")) << r.out;
    EXPECT_TRUE(r.err.empty());

    struct Case {
        const char* what;
        Bytes file;
        int status;
        const char* outLine;
        const char* errText;
    };
    Bytes badSum = bytes;
    badSum[29 + 1 + 255] ^= 1;  // first block's checksum
    Bytes secondBadSum = bytes;
    secondBadSum[29 + 258 + 3] ^= 4;  // second block's data
    Bytes noData = bytes;
    noData[24] = noData[25] = noData[26] = noData[27] = 0;
    Bytes badMagic = bytes;
    badMagic[0] = 'X';
    Bytes codeSize = bytes;
    codeSize[28] = 9;
    const Case cases[] = {
        {"checksum", badSum, 1, "checksums: block 1 does not match\n", "block 1 fails its checksum"},
        {"second block", secondBadSum, 1, "blocks: 2 ", "block 2 fails its checksum"},
        {"cut short", Bytes(bytes.begin(), bytes.begin() + 200), 1, "end code: missing\n", "block 1 is cut short"},
        {"no data", noData, 0, "blocks: none (a white sheet)\n", ""},
        {"bad magic", badMagic, 1, "header: invalid\n", "invalid header"},
        {"code size", codeSize, 1, "code size: 9\n", "unknown code size"},
        {"short header", Bytes(bytes.begin(), bytes.begin() + 20), 1, "", "shorter than a sketch header"},
    };
    for (const Case& c : cases) {
        WriteBytes(folder.File("changed.tvk"), c.file);
        Result changed = RunCommand(CliInfo, {folder.File("changed.tvk")});
        EXPECT_EQ(changed.status, c.status) << c.what;
        EXPECT_TRUE(Has(changed.out, c.outLine)) << c.what << ":\n" << changed.out;
        EXPECT_TRUE(Has(changed.err, c.errText)) << c.what << ": " << changed.err;
    }

    EXPECT_EQ(RunCommand(CliInfo, {folder.File("missing.tvk")}).status, 1);
    EXPECT_EQ(RunCommand(CliInfo, {}).status, 2);
    EXPECT_EQ(RunCommand(CliInfo, {good, good}).status, 2);
    EXPECT_EQ(RunCommand(CliInfo, {"--help"}).status, 0);
}

TEST(CliConvert, WritesTheFormatTheNameSelects)
{
    Folder folder;
    const std::string in = WriteDrawing(folder, "in.tvk");
    const Bytes sketch = ReadBytes(in);

    struct Case {
        const char* name;
        Bytes start;
        size_t size;  // 0: not checked
    };
    const Case cases[] = {
        {"copy.GIF", {'G', 'I', 'F', '8', '9', 'a'}, 0},
        {"copy.bmp", {'B', 'M'}, 1078 + 48 * 33},
        {"copy", {'Q', 'L', 'X', 'F'}, sketch.size()},
        {"copy.tvk", {'Q', 'L', 'X', 'F'}, sketch.size()},
    };
    for (const Case& c : cases) {
        Result r = RunCommand(CliConvert, {in, folder.File(c.name)});
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        Bytes out = ReadBytes(folder.File(c.name));
        ASSERT_GE(out.size(), c.start.size()) << c.name;
        EXPECT_TRUE(std::equal(c.start.begin(), c.start.end(), out.begin())) << c.name;
        if (c.size) {
            EXPECT_EQ(out.size(), c.size) << c.name;
        }
    }
    // A sketch read and written again is the same file.
    EXPECT_EQ(ReadBytes(folder.File("copy.tvk")), sketch);
}

TEST(CliConvert, FailuresLeaveTheTargetAlone)
{
    Folder folder;
    const std::string in = WriteDrawing(folder, "in.tvk");
    Bytes bytes = ReadBytes(in);

    // An input that gives no sheet: the old target stays as it was.
    WriteBytes(folder.File("target.gif"), {1, 2, 3});
    WriteBytes(folder.File("junk.tvk"), {'n', 'o', 't', ' ', 'a', ' ', 's', 'k', 'e', 't', 'c', 'h'});
    Result r = RunCommand(CliConvert, {folder.File("junk.tvk"), folder.File("target.gif")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "not a sketch file"));
    EXPECT_EQ(ReadBytes(folder.File("target.gif")), (Bytes{1, 2, 3}));

    r = RunCommand(CliConvert, {folder.File("missing.tvk"), folder.File("target.gif")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());

    // A folder that does not exist: the reason is named.
    r = RunCommand(CliConvert, {in, folder.File("no/such/folder/out.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "out.bmp: ")) << r.err;

    // A damaged sketch converts as the program shows it, with a warning.
    bytes[29 + 1 + 255] ^= 1;
    WriteBytes(folder.File("damaged.tvk"), bytes);
    r = RunCommand(CliConvert, {folder.File("damaged.tvk"), folder.File("damaged.bmp")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.err, "warning"));
    EXPECT_EQ(ReadBytes(folder.File("damaged.bmp")).size(), 1078u + 48 * 33);

    EXPECT_EQ(RunCommand(CliConvert, {in}).status, 2);
    EXPECT_EQ(RunCommand(CliConvert, {}).status, 2);
    EXPECT_EQ(RunCommand(CliConvert, {"--help"}).status, 0);
}
