#include "StateTestSupport.h"

#include "document/RecoveryStore.h"
#include "document/VersionStore.h"
#include "framework/NameReservation.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace statetest;
namespace fs = std::filesystem;
using Into = RestoredDrawing::Into;

namespace {

// How the copy of the program that kept a recovery copy ended.
enum class Ending { Killed, ClosedWithWorkUnsaved };

// A copy of the program that kept a recovery copy of drawing, its square of
// the given gray, and ended.
void LeaveCopy(const std::string& drawing, uint8_t mark, Ending ending)
{
    CPaper paper;
    MarkedSheet(paper, mark);
    if (ending == Ending::ClosedWithWorkUnsaved) {
        CRecoveryStore store;
        ASSERT_TRUE(store.Open());
        ASSERT_TRUE(store.WriteCopy(1, drawing, paper));
        return;
    }
    // A process of its own that dies still holding its session.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CRecoveryStore store;
        _exit(store.Open() && store.WriteCopy(1, drawing, paper) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class RecoveryStoreTest : public ::testing::Test {
protected:
    // A later start of the program: its own session, and the others' copies
    // restored.
    std::vector<RestoredDrawing> StartAgain()
    {
        CRecoveryStore store;
        EXPECT_TRUE(store.Open());
        return store.RestoreOrphans(versions, state.Documents());
    }
    std::string Drawing(const std::string& name) const { return state.Drawings() + "/" + name; }

    PrivateState state;
    CVersionStore versions;
};

}  // namespace

TEST_F(RecoveryStoreTest, ACopyLeftByACopyThatEndedGoesBackIntoItsFileWhatItHeldKept)
{
    const struct {
        Ending ending;
        bool saved;  // the drawing's file was there before
    } cases[] = {{Ending::Killed, true}, {Ending::Killed, false}, {Ending::ClosedWithWorkUnsaved, true},
                 {Ending::ClosedWithWorkUnsaved, false}};
    int n = 0;
    for (const auto& c : cases) {
        const std::string drawing = Drawing("case" + std::to_string(++n) + ".tvk");
        if (c.saved) {
            ASSERT_TRUE(WriteMarkedSketch(drawing, 100));
        }
        ASSERT_NO_FATAL_FAILURE(LeaveCopy(drawing, 50, c.ending));

        const std::vector<RestoredDrawing> restored = StartAgain();
        ASSERT_EQ(restored.size(), 1u) << n;
        EXPECT_EQ(restored[0].into, Into::OwnFile) << n;
        EXPECT_EQ(restored[0].drawingPath, drawing);
        EXPECT_EQ(restored[0].restoredPath, drawing);
        EXPECT_EQ(MarkOf(drawing), 50) << n;
        const std::vector<EarlierVersion> kept = versions.List(drawing);
        ASSERT_EQ(kept.size(), c.saved ? 1u : 0u) << n;
        if (c.saved) {
            EXPECT_EQ(MarkOf(kept[0].file), 100);
        }
        // Nothing is left behind, and nothing comes back twice.
        EXPECT_EQ(FileCount(state.Recovery()), 0u) << n;
        EXPECT_TRUE(StartAgain().empty()) << n;
    }
}

TEST_F(RecoveryStoreTest, TheCopiesOfACopyStillRunningAreLeftAlone)
{
    const std::string drawing = Drawing("busy.tvk");
    ASSERT_TRUE(WriteMarkedSketch(drawing, 100));
    CPaper paper;
    MarkedSheet(paper, 60);
    CRecoveryStore living;
    ASSERT_TRUE(living.Open());
    ASSERT_TRUE(living.WriteCopy(1, drawing, paper));

    EXPECT_TRUE(StartAgain().empty());
    EXPECT_EQ(MarkOf(drawing), 100);
    EXPECT_EQ(MarkOf(living.CopyFile(1)), 60);

    living.Close();
    const std::vector<RestoredDrawing> restored = StartAgain();
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].into, Into::OwnFile);
    EXPECT_EQ(MarkOf(drawing), 60);
}

TEST_F(RecoveryStoreTest, ACopyItsFileCannotTakeBecomesANewSketchInTheDocumentsFolder)
{
    CNameReservation heldByARunningCopy;
    ASSERT_TRUE(heldByARunningCopy.Reserve(Drawing("held.tvk")));
    ASSERT_TRUE(fs::create_directory(Drawing("folder.tvk")));
    ASSERT_TRUE(fs::create_directory(Drawing("closed")));
    ASSERT_TRUE(WriteMarkedSketch(Drawing("closed/shut.tvk"), 100));
    ::chmod(Drawing("closed").c_str(), 0500);
    const struct {
        const char* drawing;
        const char* restoredAs;
    } cases[] = {
        {"gone/away.tvk", "away (recovered).tvk"},    // its folder was removed
        {"gone/away.tvk", "away (recovered 2).tvk"},  // the same once more
        {"held.tvk", "held (recovered).tvk"},         // a new sketch elsewhere has the name
        {"folder.tvk", "folder (recovered).tvk"},     // a folder took the name
        {"closed/shut.tvk", "shut (recovered).tvk"},  // a folder the user cannot write
    };
    for (const auto& c : cases) {
        if (std::string(c.drawing) == "closed/shut.tvk" && geteuid() == 0) continue;  // root writes anywhere
        ASSERT_NO_FATAL_FAILURE(LeaveCopy(Drawing(c.drawing), 70, Ending::Killed));
        const std::vector<RestoredDrawing> restored = StartAgain();
        ASSERT_EQ(restored.size(), 1u) << c.drawing;
        EXPECT_EQ(restored[0].into, Into::NewSketch) << c.drawing;
        EXPECT_EQ(restored[0].restoredPath, state.Documents() + "/" + c.restoredAs);
        EXPECT_EQ(MarkOf(restored[0].restoredPath), 70) << c.drawing;
    }
    ::chmod(Drawing("closed").c_str(), 0700);
    EXPECT_EQ(MarkOf(Drawing("closed/shut.tvk")), 100);
    EXPECT_FALSE(fs::exists(Drawing("held.tvk")));
    EXPECT_EQ(FileCount(state.Recovery()), 0u);
}

TEST_F(RecoveryStoreTest, ACopyIsNeverDeletedBeforeItsContentsAreInAFile)
{
    const std::string drawing = Drawing("gone/lost.tvk");
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(drawing, 80, Ending::Killed));
    fs::remove_all(state.Documents());

    const std::vector<RestoredDrawing> nowhere = StartAgain();
    ASSERT_EQ(nowhere.size(), 1u);
    EXPECT_EQ(nowhere[0].into, Into::Nowhere);
    EXPECT_EQ(MarkOf(nowhere[0].restoredPath), 80);

    // At the next start the documents folder is back, and so is the drawing.
    fs::create_directories(state.Documents());
    const std::vector<RestoredDrawing> later = StartAgain();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].into, Into::NewSketch);
    EXPECT_EQ(MarkOf(state.Documents() + "/lost (recovered).tvk"), 80);
    EXPECT_EQ(FileCount(state.Recovery()), 0u);
}

TEST_F(RecoveryStoreTest, ACopyTheFileAlreadyHoldsGoesWithoutAVersion)
{
    const std::string drawing = Drawing("same.tvk");
    ASSERT_TRUE(WriteMarkedSketch(drawing, 90));
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(drawing, 90, Ending::Killed));
    const std::vector<RestoredDrawing> restored = StartAgain();
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].into, Into::AlreadyThere);
    EXPECT_TRUE(versions.List(drawing).empty());
    EXPECT_EQ(FileCount(state.Recovery()), 0u);
}
