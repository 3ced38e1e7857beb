#include "FileTestSupport.h"
#include "framework/Document.h"
#include "framework/Services.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

using namespace filetest;

namespace {

// A document whose contents are one string, written whole.
class TextDoc : public CDocument {
public:
    using CDocument::CDocument;
    bool Serialize(CArchive& ar) override { return ar.Write(text.data(), text.size()) && !failAfterWriting; }
    void DeleteContents() override { text.clear(); }
    std::string text;
    bool failAfterWriting = false;  // a writer that gives up halfway
};

// A temporary folder, the message box faked and the saves watched: what the file held when
// each call came.
class Framework : public ::testing::Test, IMessageBox, ISaveWatcher {
protected:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void BeforeSave(const std::string& path) override { saves.push_back("before " + Contents(path)); }
    void AfterSave(const std::string& path) override { saves.push_back("after " + Contents(path)); }
    size_t Entries() const { return size_t(std::distance(std::filesystem::directory_iterator(folder.path), {})); }

    AppServices services{.pMessageBox = this, .pSaveWatcher = this};
    TempFolder folder;
    std::vector<std::string> messages, saves;
};

}  // namespace

// An archive stored to replaces its target only when closed: one aborted or abandoned leaves the old file and no
// other behind.
TEST_F(Framework, ArchivesReplaceTheTargetOnlyWhenClosed)
{
    const std::string target = folder.File("a.tvk");
    WriteFile(target, "old");
    for (bool abort : {false, true}) {
        CArchive ar;
        ASSERT_TRUE(ar.Open(target, CArchive::store) && ar.Write("new!", 4));
        EXPECT_EQ(Contents(target), "old");  // not yet
        if (abort) ar.Abort();               // else destroyed without Close: abandoned
    }
    EXPECT_EQ((std::pair{Contents(target), Entries()}), (std::pair{std::string("old"), size_t{1}}));
}

// A writer that fails halfway, an unwritable place (even for the superuser), a missing folder:
// the old file stays, the user is told why, the drawing stays modified, and no temporary file
// is left. The watcher hears of each save before the file is replaced and after it is whole.
TEST_F(Framework, SaveReplacesTheFileOnlyWhenAllWentWell)
{
    const std::string file = folder.File("doc.txt");
    TextDoc doc(services);
    EXPECT_FALSE(doc.DoFileSave()) << "no path yet";
    WriteFile(file, "old");
    doc.text = "first";
    doc.SetPathName(file);
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.DoFileSave());
    EXPECT_EQ(Contents(file), "first");
    EXPECT_TRUE(!doc.IsModified() && messages.empty());
    doc.failAfterWriting = true;
    const std::pair<std::string, std::string> failures[] = {
        {file, file},
        {"/proc/graphelle-test.txt", "cannot create"},
        {folder.File("no/such/folder.txt"), "No such file or directory"}};
    for (const auto& [path, reason] : failures) {
        messages.clear();
        doc.text = "second, longer than the first";
        doc.SetModifiedFlag(true);
        EXPECT_TRUE(!doc.OnSaveDocument(path) && doc.IsModified()) << path;
        ASSERT_EQ(messages.size(), 1u) << path;
        EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];
        doc.failAfterWriting = false;
    }
    EXPECT_EQ((std::pair{Contents(file), Entries()}), (std::pair{std::string("first"), size_t{1}}));
    EXPECT_EQ(saves, (std::vector<std::string>{"before old", "after first", "before first", "before ", "before "}));
}
