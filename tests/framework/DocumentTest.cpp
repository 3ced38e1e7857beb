#include "io/Archive.h"
#include "framework/Document.h"
#include "framework/Services.h"
#include "framework/View.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
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
        if (ar.IsStoring()) return ar.Write(text.data(), text.size()) && !failAfterWriting;
        char buffer[256];
        text.clear();
        for (size_t got; (got = ar.Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
        return !failLoading;
    }
    void DeleteContents() override
    {
        ++deleteCalls;
        text.clear();
    }
    std::string text;
    bool failAfterWriting = false;  // a writer that gives up halfway
    bool failLoading = false;
    int serializeCalls = 0, deleteCalls = 0;
};

struct HintView : CView {
    std::vector<std::pair<CView*, const CRect*>> updates;
    void OnUpdate(CView* sender, const CRect* hint) override { updates.emplace_back(sender, hint); }
};

struct Messages : IMessageBox {
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A temporary folder with the message box faked.
class Framework : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-fw-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        saved = Services();
        Services().pMessageBox = &messages;
    }
    void TearDown() override
    {
        Services() = saved;
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string File(const std::string& name) const { return (folder / name).string(); }
    size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {})); }
    fs::path folder;
    AppServices saved;
    Messages messages;
};

}  // namespace

TEST_F(Framework, StoringReplacesTheTargetOnlyOnASuccessfulClose)
{
    const std::string target = File("a.tvk");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    for (bool abort : {false, true}) {
        CArchive ar;
        ASSERT_TRUE(ar.Open(target, CArchive::store));
        ASSERT_TRUE(ar.Write("new!", 4));
        EXPECT_EQ(Contents(target), "old");  // not yet
        if (abort) ar.Abort();               // else destroyed without Close: abandoned
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(Entries(), 1u);

    CArchive ar;
    ASSERT_TRUE(ar.Open(target, CArchive::store));
    EXPECT_EQ(ar.GetFileName(), target);
    ASSERT_TRUE(ar.Write("0123456789", 10));
    ASSERT_TRUE(ar.Seek(2));  // writers go back to patch their headers
    ASSERT_TRUE(ar.Write("AB", 2));
    ASSERT_TRUE(ar.Close());
    EXPECT_EQ(Contents(target), "01AB456789");
    EXPECT_EQ(Entries(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file's permissions survive
}

TEST_F(Framework, LoadingReadsWhatIsThereAndReportsFailures)
{
    std::ofstream(File("b.bin")) << "abcdef";
    CArchive ar;
    ASSERT_TRUE(ar.Open(File("b.bin"), CArchive::load));
    char buffer[8] = {};
    EXPECT_TRUE(ar.ReadExact(buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(ar.Read(buffer, 8), 2u);  // only two left
    EXPECT_FALSE(ar.ReadExact(buffer, 1));
    EXPECT_FALSE(ar.Write("x", 1));  // not for storing
    EXPECT_TRUE(ar.Close());

    CArchive missing;
    EXPECT_FALSE(missing.Open(File("none"), CArchive::load));
    EXPECT_TRUE(missing.HasFailed());
    EXPECT_NE(missing.GetError().find("No such file or directory"), std::string::npos) << missing.GetError();
    CArchive nowhere;
    EXPECT_FALSE(nowhere.Open("/proc/graphelle-archive-test", CArchive::store));
    EXPECT_FALSE(nowhere.GetError().empty());
    EXPECT_FALSE(nowhere.Close());
}

TEST_F(Framework, PathTitleAndNewDocument)
{
    TextDoc doc;
    for (auto [path, title] :
         {std::pair{"/home/u/Sketch1.tvk", "Sketch1.tvk"}, {"relative/a.gif", "a.gif"}, {"plain", "plain"}, {"", ""}}) {
        doc.SetPathName(path);
        EXPECT_EQ(doc.GetPathName(), path);
        EXPECT_EQ(doc.GetTitle(), title);
    }
    doc.text = "x";
    doc.SetPathName("/a/b.tvk");
    doc.SetModifiedFlag(true);
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.deleteCalls, 1);
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(Framework, ViewsHearEveryUpdateButTheirOwnAndDetachSafely)
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
    doc->UpdateAllViews(nullptr);
    using Updates = std::vector<std::pair<CView*, const CRect*>>;
    EXPECT_EQ(a.updates, (Updates{{nullptr, nullptr}}));
    EXPECT_EQ(b.updates, (Updates{{&a, &r}, {nullptr, nullptr}}));

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

TEST_F(Framework, OpenLoadsThroughSerializeAndFailsWithoutHarm)
{
    const std::string file = File("doc.txt");
    std::ofstream(file) << "hello";
    TextDoc doc;
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnOpenDocument(file));
    EXPECT_EQ(doc.text, "hello");
    EXPECT_EQ(doc.deleteCalls, 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "doc.txt");

    // A file that cannot be opened leaves the document as it was.
    doc.text = "kept";
    EXPECT_FALSE(doc.OnOpenDocument(File("missing.txt")));
    EXPECT_EQ(doc.text, "kept");
    EXPECT_EQ(doc.GetPathName(), file);
    // A reader that fails leaves nothing half-read behind.
    doc.failLoading = true;
    EXPECT_FALSE(doc.OnOpenDocument(file));
    EXPECT_TRUE(doc.text.empty());
    EXPECT_TRUE(messages.shown.empty());  // the derived document says what failed
}

TEST_F(Framework, SaveReplacesTheFileOnlyWhenAllWentWell)
{
    const std::string file = File("doc.txt");
    TextDoc doc;
    EXPECT_FALSE(doc.DoFileSave()) << "no path yet";
    EXPECT_EQ(doc.serializeCalls, 0);
    doc.text = "first";
    doc.SetPathName(file);
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(Contents(file), "first");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(messages.shown.empty());

    // A writer that fails halfway, an unwritable place (even for the
    // superuser), a missing folder: the old file stays, the user is told
    // why, the drawing stays modified, and no temporary file is left.
    doc.failAfterWriting = true;
    const std::pair<std::string, std::string> failures[] = {
        {file, file},
        {"/proc/graphelle-test.txt", "cannot create"},
        {File("no/such/folder.txt"), "No such file or directory"},
    };
    for (const auto& [path, reason] : failures) {
        messages.shown.clear();
        doc.text = "second, longer than the first";
        doc.SetModifiedFlag(true);
        EXPECT_FALSE(doc.OnSaveDocument(path)) << path;
        EXPECT_TRUE(doc.IsModified());
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        EXPECT_NE(messages.shown[0].find(path), std::string::npos) << messages.shown[0];
        EXPECT_NE(messages.shown[0].find(reason), std::string::npos) << messages.shown[0];
        doc.failAfterWriting = false;
    }
    EXPECT_EQ(Contents(file), "first");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(Framework, TheSaveWatcherHearsBeforeTheFileIsReplacedAndAfterItIsWhole)
{
    // What the file held when each call came.
    struct Watcher : ISaveWatcher {
        void BeforeSave(const std::string& path) override { calls.push_back("before " + Contents(path)); }
        void AfterSave(const std::string& path) override { calls.push_back("after " + Contents(path)); }
        std::vector<std::string> calls;
    } watcher;
    Services().pSaveWatcher = &watcher;
    const std::string file = File("doc.txt");
    std::ofstream(file) << "old";
    TextDoc doc;
    doc.text = "new";
    ASSERT_TRUE(doc.OnSaveDocument(file));
    doc.failAfterWriting = true;
    EXPECT_FALSE(doc.OnSaveDocument(file));
    EXPECT_EQ(watcher.calls, (std::vector<std::string>{"before old", "after new", "before new"}));
}
