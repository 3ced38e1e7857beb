#include "FileTestSupport.h"
#include "framework/Document.h"
#include "framework/NameReservation.h"
#include "framework/Services.h"
#include "framework/View.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/wait.h>

using namespace filetest;

namespace {

// A document whose contents are one string, written and read whole.
class TextDoc : public CDocument {
public:
    using CDocument::CDocument;
    bool Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) return ar.Write(text.data(), text.size()) && !failAfterWriting;
        char buffer[256];
        for (size_t got; (got = ar.Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
        return !failLoading;
    }
    void DeleteContents() override { text.clear(); }
    std::string text;
    bool failAfterWriting = false, failLoading = false;  // a writer that gives up halfway, a reader that fails
};

struct QuietView : CView {
    void OnUpdate(CView*, const CRect*) override {}
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
// other behind. So a writer that fails halfway, an unwritable place (even for the superuser), a missing folder:
// the old file stays, the user is told why, the drawing stays modified, and no temporary file is left. The watcher
// hears of each save before the file is replaced and after it is whole. A file that cannot be opened leaves the
// document as it was; a reader that fails leaves nothing half-read behind.
TEST_F(Framework, SaveReplacesTheFileOnlyWhenAllWentWellAFailedOpenChangesNothingAndViewsDetachSafely)
{
    const std::string file = folder.File("doc.txt");
    WriteFile(file, "old");
    for (bool abort : {false, true}) {
        CArchive ar;
        ASSERT_TRUE(ar.Open(file, CArchive::store) && ar.Write("new!", 4));
        EXPECT_EQ(Contents(file), "old");  // not yet
        if (abort) ar.Abort();             // else destroyed without Close: abandoned
    }
    EXPECT_EQ((std::pair{Contents(file), Entries()}), (std::pair{std::string("old"), size_t{1}}));
    auto doc = std::make_unique<TextDoc>(services);
    EXPECT_FALSE(doc->DoFileSave()) << "no path yet";
    doc->text = "first";
    doc->SetPathName(file);
    doc->SetModifiedFlag(true);
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_TRUE(Contents(file) == "first" && !doc->IsModified() && messages.empty());
    doc->failAfterWriting = true;
    const std::pair<std::string, std::string> failures[] = {
        {file, file}, {"/proc/graphelle.txt", "cannot create"}, {folder.File("no/a.txt"), "No such file or directory"}};
    for (const auto& [path, reason] : failures) {
        messages.clear();
        doc->text = "second, longer than the first";
        doc->SetModifiedFlag(true);
        EXPECT_TRUE(!doc->OnSaveDocument(path) && doc->IsModified()) << path;
        ASSERT_EQ(messages.size(), 1u) << path;
        EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];
        doc->failAfterWriting = false;
    }
    EXPECT_EQ((std::pair{Contents(file), Entries()}), (std::pair{std::string("first"), size_t{1}}));
    EXPECT_EQ(saves, (std::vector<std::string>{"before old", "after first", "before first", "before ", "before "}));
    messages.clear();
    doc->text = "kept";
    EXPECT_FALSE(doc->OnOpenDocument(folder.File("missing.txt")));
    EXPECT_EQ(doc->text + "|" + doc->GetPathName(), "kept|" + file);
    doc->failLoading = true;
    EXPECT_FALSE(doc->OnOpenDocument(file));
    EXPECT_TRUE(doc->text.empty() && messages.empty());
    // A view that dies leaves the document, and one that outlives the document no longer points at it.
    QuietView outliving;
    doc->AddView(&outliving);
    {
        QuietView shortLived;
        doc->AddView(&shortLived);
    }
    doc->UpdateAllViews(nullptr);
    EXPECT_EQ(doc->GetViews(), std::vector<CView*>{&outliving});
    doc.reset();
    EXPECT_EQ(outliving.GetDocument(), nullptr);
}

// A name reserved for a new drawing is nobody else's until its holder lets go or dies; a file already there is
// never a free name.
TEST_F(Framework, ANameIsHeldUntilReleasedOrItsHolderDies)
{
    const auto sketch = [&](int n) { return folder.File("Sketch" + std::to_string(n) + ".tvk"); };
    WriteFile(sketch(1), "taken");
    CNameReservation first, second;
    ASSERT_TRUE(first.ReserveFirstFree(sketch, 10) && second.ReserveFirstFree(sketch, 10));
    EXPECT_EQ((std::pair{first.GetPath(), second.GetPath()}), (std::pair{sketch(2), sketch(3)}));
    first.Release();
    EXPECT_TRUE(second.Reserve(sketch(2)));
    // Another process's reservation holds until that process is gone.
    const pid_t child = fork();
    if (child == 0) _exit(CNameReservation().Reserve(sketch(5)) ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(first.Reserve(sketch(5)));
}
