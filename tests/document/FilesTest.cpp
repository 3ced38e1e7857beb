#include "DocTestSupport.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace doctest;
namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards.
struct TempFolder {
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-doc-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (fs::path(path) / name).string(); }
    fs::path path;
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary) << data;
}

}  // namespace

TEST_F(DocTest, NewGivesTheFirstFreeGeneratedNameAndTwoWhitePapers)
{
    EXPECT_EQ(doc->GetPathName(), "/home/user/Documents/Sketch1.tvk");
    EXPECT_EQ(doc->GetTitle(), "Sketch1.tvk");
    for (int n = 1; n <= 3; ++n)
        services.shell.existing.insert("/home/user/Documents/Sketch" + std::to_string(n) + ".tvk");
    services.newDialog.width = 321;
    services.newDialog.height = 123;
    services.newDialog.roughness = 9;
    Stroke(CPoint{10, 10}, CPoint{50, 10});
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->GetPathName(), "/home/user/Documents/Sketch4.tvk");
    EXPECT_EQ(doc->GetTitle(), "Sketch4.tvk");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_paper.GetWidth(), 321u);
    EXPECT_EQ(doc->m_basePaper.GetHeight(), 123u);
    EXPECT_EQ(doc->GetRoughness(), 9);
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{0, 0, 321, 123}));
    EXPECT_EQ(Pixels(doc->m_paper), Pixels(doc->m_basePaper));
    EXPECT_TRUE(services.messageBox.messages.empty());

    services.shell.folder = "/data/";
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->GetPathName(), "/data/Sketch1.tvk");
}

TEST_F(DocTest, NewFailuresShowFailedToCreateFile)
{
    struct Case {
        const char* what;
        bool dialogOk, folderOk;
        int32_t width;
    };
    const Case cases[] = {
        {"dialog cancelled", false, true, 200},
        {"no documents folder", true, false, 200},
        {"paper too wide", true, true, 4096},
        {"paper of no width", true, true, 0},
    };
    for (const Case& c : cases) {
        services.messageBox.messages.clear();
        services.newDialog.ok = c.dialogOk;
        services.newDialog.width = c.width;
        services.shell.ok = c.folderOk;
        EXPECT_FALSE(doc->OnNewDocument()) << c.what;
        ASSERT_EQ(services.messageBox.messages.size(), 1u) << c.what;
        EXPECT_EQ(services.messageBox.messages[0], "Failed to create file!");
        EXPECT_FALSE(doc->m_paper.HasBits()) << c.what;
        EXPECT_FALSE(doc->m_basePaper.HasBits()) << c.what;
    }
}

TEST_F(DocTest, SaveAsWritesACopyInTheFormatOfItsExtension)
{
    TempFolder folder;
    Stroke(CPoint{10, 10}, CPoint{80, 60});
    const std::string path = doc->GetPathName();
    const std::string title = doc->GetTitle();

    struct Case {
        const char* name;
        const char* magic;
    };
    const Case cases[] = {
        {"copy.GIF", "GIF89a"}, {"copy.gif", "GIF89a"}, {"copy.Bmp", "BM"},
        {"copy", "QLXF"},       {"copy.tvk", "QLXF"},   {"copy.png", "QLXF"},
    };
    for (bool modified : {true, false}) {
        for (const Case& c : cases) {
            doc->SetModifiedFlag(modified);
            services.saveAsDialog.answer = folder.File(c.name);
            doc->OnCommand(ID_FILE_SAVE_AS);
            const std::string data = Contents(folder.File(c.name));
            EXPECT_EQ(data.substr(0, std::strlen(c.magic)), c.magic) << c.name;
            EXPECT_EQ(doc->GetPathName(), path);
            EXPECT_EQ(doc->GetTitle(), title);
            EXPECT_EQ(doc->IsModified(), modified) << c.name;
        }
    }

    EXPECT_EQ(services.saveAsDialog.title, "Save as");
    EXPECT_EQ(services.saveAsDialog.initialName, "Copy of Sketch1.tvk");
    ASSERT_EQ(services.saveAsDialog.filters.size(), 4u);
    const char* const expected[4][2] = {{"Sketch File(*.tvk)", "*.tvk"},
                                        {"GIF File(*.gif)", "*.gif"},
                                        {"Bitmap File(*.bmp)", "*.bmp"},
                                        {"All Files(*.*)", "*.*"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(services.saveAsDialog.filters[i].description, expected[i][0]);
        EXPECT_EQ(services.saveAsDialog.filters[i].pattern, expected[i][1]);
    }

    // Cancelling writes nothing.
    services.saveAsDialog.ok = false;
    services.saveAsDialog.answer = folder.File("cancelled.tvk");
    doc->OnCommand(ID_FILE_SAVE_AS);
    EXPECT_FALSE(fs::exists(folder.File("cancelled.tvk")));
}

TEST_F(DocTest, SavingPutsAFloatingPieceDownFirstAndOpenReadsItBack)
{
    TempFolder folder;
    doc->m_paper.SetPixel(12, 12, 3);
    Band(CRect{10, 10, 20, 20});
    doc->PointerDown(&view, 15, 15, 15, 15);
    doc->PointerMove(25, 15, 25, 15);
    doc->PointerMove(65, 15, 65, 15);
    doc->PointerUp(65, 15, 65, 15);
    ASSERT_TRUE(doc->m_floating.HasBits());
    const int32_t records = doc->GetHistoryCount();

    const std::string file = folder.File("drawing.tvk");
    ASSERT_TRUE(doc->OnSaveDocument(file));
    EXPECT_FALSE(doc->m_floating.HasBits());
    EXPECT_EQ(doc->GetHistoryCount(), records + 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_paper.GetPixel(62, 12), 3);
    const auto saved = Pixels(doc->m_paper);

    doc->OnCommand(ID_TOOL_PENCIL);
    Stroke(CPoint{100, 100}, CPoint{150, 120});
    ASSERT_TRUE(doc->OnOpenDocument(file));
    EXPECT_EQ(Pixels(doc->m_paper), saved);
    EXPECT_EQ(Pixels(doc->m_basePaper), saved);
    EXPECT_EQ(doc->GetHistoryCount(), 0);
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), file);
    EXPECT_EQ(doc->GetTitle(), "drawing.tvk");

    // Save goes to the document's own file.
    Stroke(CPoint{100, 100}, CPoint{150, 120});
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(doc->OnOpenDocument(file));
    EXPECT_TRUE(HasMarks(doc->m_paper, CRect{100, 100, 151, 121}));
}

TEST_F(DocTest, OpeningABadFileShowsFailedToOpenFile)
{
    TempFolder folder;
    std::string header(28, '\0');
    std::memcpy(header.data(), "QLXF", 4);
    header[4] = 28;
    header[8] = 1;
    header[12] = 3;  // width 3: below the paper minimum
    header[16] = 10;
    header[20] = 5;
    WriteFile(folder.File("narrow.tvk"), header);
    WriteFile(folder.File("text.tvk"), "not a sketch at all, just words");
    WriteFile(folder.File("empty.tvk"), "");

    for (const char* name : {"narrow.tvk", "text.tvk", "empty.tvk", "missing.tvk"}) {
        services.messageBox.messages.clear();
        EXPECT_FALSE(doc->OnOpenDocument(folder.File(name))) << name;
        ASSERT_EQ(services.messageBox.messages.size(), 1u) << name;
        EXPECT_EQ(services.messageBox.messages[0], "Failed to open file!");
    }
}

TEST_F(DocTest, ADamagedStreamOpensAndUndoKeepsWhatWasDecoded)
{
    TempFolder folder;
    const std::string file = folder.File("damaged.tvk");
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x) doc->m_paper.SetPixel(x, y, static_cast<uint8_t>((x * 7 + y * 3) & 0x7F));
    ASSERT_TRUE(doc->OnSaveDocument(file));
    std::string data = Contents(file);
    data.resize(data.size() * 2 / 3);  // cut off the end of the stream
    WriteFile(file, data);

    ASSERT_TRUE(doc->OnOpenDocument(file));
    const auto opened = Pixels(doc->m_paper);
    EXPECT_EQ(Pixels(doc->m_basePaper), opened);
    Stroke(CPoint{10, 10}, CPoint{40, 10});
    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc->m_paper), opened);
}
