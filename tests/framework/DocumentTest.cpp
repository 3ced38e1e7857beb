#include "framework/Archive.h"
#include "framework/Document.h"
#include "framework/Services.h"
#include "framework/View.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A document whose contents are one string, written and read whole.
class TextDoc : public CDocument {
public:
    bool Serialize(CArchive& ar) override
    {
        ++serializeCalls;
        if (ar.IsStoring()) {
            if (!ar.Write(text.data(), text.size())) return false;
            // A writer that gives up halfway: the archive must not replace the file.
            return !failAfterWriting;
        }
        char buffer[256];
        size_t got;
        text.clear();
        while ((got = ar.Read(buffer, sizeof buffer)) > 0) text.append(buffer, got);
        return !failLoading;
    }
    void DeleteContents() override
    {
        ++deleteCalls;
        text.clear();
    }

    std::string text;
    bool failAfterWriting = false;
    bool failLoading = false;
    int serializeCalls = 0;
    int deleteCalls = 0;
};

struct HintView : CView {
    std::vector<const CRect*> hints;
    std::vector<CView*> senders;
    void OnUpdate(CView* sender, const CRect* hint) override
    {
        senders.push_back(sender);
        hints.push_back(hint);
    }
};

struct Messages : IMessageBox {
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};

struct TempFolder {
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-fw-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = Services();
        Services().pMessageBox = &messages;
    }
    void TearDown() override { Services() = saved; }
    AppServices saved;
    Messages messages;
    TempFolder folder;
};

}  // namespace

TEST_F(DocumentTest, PathNameGivesTheTitle)
{
    TextDoc doc;
    struct Case {
        const char* path;
        const char* title;
    };
    const Case cases[] = {
        {"/home/user/Documents/Sketch1.tvk", "Sketch1.tvk"},
        {"relative/a.gif", "a.gif"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const Case& c : cases) {
        doc.SetPathName(c.path);
        EXPECT_EQ(doc.GetPathName(), c.path);
        EXPECT_EQ(doc.GetTitle(), c.title);
    }
}

TEST_F(DocumentTest, ViewsHearEveryUpdateButTheirOwnAndDetachSafely)
{
    auto doc = std::make_unique<TextDoc>();
    HintView a, b;
    doc->AddView(&a);
    doc->AddView(&b);
    doc->AddView(&b);  // once only
    EXPECT_EQ(doc->GetViews().size(), 2u);
    EXPECT_EQ(a.GetDocument(), doc.get());

    const CRect r{1, 2, 3, 4};
    doc->UpdateAllViews(&a, &r);
    EXPECT_TRUE(a.hints.empty());
    ASSERT_EQ(b.hints.size(), 1u);
    EXPECT_EQ(b.hints[0], &r);
    EXPECT_EQ(b.senders[0], &a);

    doc->UpdateAllViews(nullptr);
    EXPECT_EQ(a.hints.size(), 1u);
    EXPECT_EQ(a.hints[0], nullptr);

    {
        HintView shortLived;
        doc->AddView(&shortLived);
    }
    EXPECT_EQ(doc->GetViews().size(), 2u);
    doc->UpdateAllViews(nullptr);

    doc->RemoveView(&a);
    EXPECT_EQ(a.GetDocument(), nullptr);
    doc.reset();
    EXPECT_EQ(b.GetDocument(), nullptr);
}

TEST_F(DocumentTest, NewEmptiesAndForgetsThePath)
{
    TextDoc doc;
    doc.text = "x";
    doc.SetPathName("/a/b.tvk");
    doc.SetModifiedFlag(true);
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.deleteCalls, 1);
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, OpenLoadsThroughSerializeAndFailsWithoutHarm)
{
    const std::string file = folder.File("doc.txt");
    std::ofstream(file) << "hello";

    TextDoc doc;
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnOpenDocument(file));
    EXPECT_EQ(doc.text, "hello");
    EXPECT_EQ(doc.deleteCalls, 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), file);
    EXPECT_EQ(doc.GetTitle(), "doc.txt");

    // A file that cannot be opened leaves the document as it was.
    doc.text = "kept";
    EXPECT_FALSE(doc.OnOpenDocument(folder.File("missing.txt")));
    EXPECT_EQ(doc.text, "kept");
    EXPECT_EQ(doc.GetPathName(), file);

    // A reader that fails leaves nothing half-read behind.
    doc.failLoading = true;
    EXPECT_FALSE(doc.OnOpenDocument(file));
    EXPECT_TRUE(doc.text.empty());
    EXPECT_TRUE(messages.shown.empty());  // the derived document says what failed
}

TEST_F(DocumentTest, SaveReplacesTheFileOnlyWhenAllWentWell)
{
    const std::string file = folder.File("doc.txt");
    TextDoc doc;
    doc.text = "first";
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnSaveDocument(file));
    EXPECT_EQ(Contents(file), "first");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(messages.shown.empty());

    // A writer that fails halfway: the old file stays, the user is told, the
    // drawing stays modified, and no temporary file is left behind.
    doc.text = "second, longer than the first";
    doc.SetModifiedFlag(true);
    doc.failAfterWriting = true;
    EXPECT_FALSE(doc.OnSaveDocument(file));
    EXPECT_EQ(Contents(file), "first");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(file), std::string::npos) << messages.shown[0];
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);

    // An unwritable folder (even for the superuser): the reason is named.
    messages.shown.clear();
    doc.failAfterWriting = false;
    const std::string nowhere = "/proc/graphelle-test.txt";
    EXPECT_FALSE(doc.OnSaveDocument(nowhere));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(nowhere), std::string::npos);
    EXPECT_NE(messages.shown[0].find("cannot create"), std::string::npos) << messages.shown[0];

    // A folder that does not exist.
    messages.shown.clear();
    EXPECT_FALSE(doc.OnSaveDocument(folder.File("no/such/folder.txt")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("No such file or directory"), std::string::npos) << messages.shown[0];
    EXPECT_EQ(Contents(file), "first");
}

TEST_F(DocumentTest, DoFileSaveWritesToTheDocumentsOwnPath)
{
    TextDoc doc;
    EXPECT_FALSE(doc.DoFileSave());
    EXPECT_EQ(doc.serializeCalls, 0);
    const std::string file = folder.File("own.txt");
    doc.SetPathName(file);
    doc.text = "own";
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_EQ(Contents(file), "own");
}
