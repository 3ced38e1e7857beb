#include "StateTestSupport.h"

#include "document/RecoveryKeeper.h"

using namespace statetest;

namespace {

// A drawing with a file of its own, its keeper, and saves reported to the
// keeper as the program reports them.
class RecoveryKeeperTest : public doctest::DocTest, public ISaveWatcher {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        services.folder = state.Drawings();
        ASSERT_TRUE(doc->OnNewDocument());
        ASSERT_TRUE(store.Open());
        keeper = std::make_unique<CRecoveryKeeper>(*doc, store);
        services.pSaveWatcher = this;
    }
    void BeforeSave(const std::string&) override {}
    void AfterSave(const std::string& path) override { keeper->OnSaved(path); }

    void TickAndWait()
    {
        keeper->Tick();
        keeper->Drain();
    }
    bool CopyExists() const { return std::filesystem::exists(store.CopyFile(1)); }
    // The copy holds the sheet as it is now.
    bool CopyIsCurrent() const { return doctest::SheetOf(store.CopyFile(1)) == doctest::Pixels(doc->GetPaper()); }

    PrivateState state;
    CRecoveryStore store;
    std::unique_ptr<CRecoveryKeeper> keeper;  // ends before the drawing it watches
};

}  // namespace

// The copy is the user's alone to read.
TEST_F(RecoveryKeeperTest, UnsavedWorkHasACopyUntilItIsSavedOrGivenUp)
{
    TickAndWait();
    EXPECT_FALSE(CopyExists());

    // A stroke under way is unsaved work before its release marks a change.
    ASSERT_TRUE(Drag({{10, 10}, {80, 50}, {150, 90}}, [&] {
        EXPECT_EQ(keeper->NextTickDelay(), CRecoveryKeeper::kDelayMs);
        TickAndWait();
        EXPECT_TRUE(CopyIsCurrent());
    }));
    TickAndWait();
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(store.CopyFile(1)).permissions(), perms::owner_read | perms::owner_write);
    Stroke(CPoint{10, 100}, CPoint{150, 20});
    TickAndWait();
    EXPECT_TRUE(CopyIsCurrent());

    ASSERT_TRUE(doc->DoFileSave());
    keeper->Drain();
    EXPECT_FALSE(CopyExists());
    EXPECT_EQ(FileCount(state.Recovery()), 1u);  // this session's lock alone

    // Changes given up take their copy with them; a copy saved elsewhere does not.
    Stroke(CPoint{10, 10}, CPoint{150, 90});
    TickAndWait();
    services.answer = state.Documents() + "/elsewhere.tvk";
    doc->OnCommand(ID_FILE_SAVE_AS);
    keeper->Drain();
    EXPECT_TRUE(CopyIsCurrent());

    doc->SetModifiedFlag(false);  // "Discard"
    EXPECT_EQ(keeper->NextTickDelay(), CRecoveryKeeper::kDelayMs);
    TickAndWait();
    EXPECT_FALSE(CopyExists());
    keeper->Finish();
    EXPECT_FALSE(CopyExists());
}

TEST_F(RecoveryKeeperTest, WorkUnsavedAtTheEndIsWrittenBackAtTheNextStart)
{
    Stroke(CPoint{10, 10}, CPoint{150, 90});
    ASSERT_TRUE(doc->DoFileSave());
    Stroke(CPoint{10, 100}, CPoint{150, 20});
    TickAndWait();
    Stroke(CPoint{100, 10}, CPoint{100, 140});  // after the last tick
    keeper->Finish();
    EXPECT_TRUE(CopyIsCurrent());
    store.Close();

    CRecoveryStore next;
    CVersionStore versions;
    const std::vector<RestoredDrawing> restored = next.RestoreOrphans(versions, state.Documents());
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].into, RestoredDrawing::Into::OwnFile);
    EXPECT_EQ(doctest::SheetOf(doc->GetPathName()), doctest::Pixels(doc->GetPaper()));
    EXPECT_EQ(versions.List(doc->GetPathName()).size(), 1u);
}

// A copy still being written when the drawing is saved must not outlive the save: after a crash it
// would put an older drawing over the saved one.
TEST_F(RecoveryKeeperTest, AWriteStillUnderWayDoesNotBringBackTheCopyOfASavedDrawing)
{
    services.width = services.height = 2048;  // large, so that the save comes while its copy is written
    ASSERT_TRUE(doc->OnNewDocument());
    for (int i = 0; i < 5; ++i) {
        Stroke(CPoint{10, 10 + i}, CPoint{2000, 1500 - i});
        keeper->Tick();
        ASSERT_TRUE(doc->DoFileSave());
        keeper->Drain();
        EXPECT_FALSE(CopyExists()) << i;
    }
}
