#include "StateTestSupport.h"

#include "framework/NameReservation.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace statetest;
namespace fs = std::filesystem;

namespace {

// How the copy of the program that kept a recovery copy ended.
enum class Ending { Killed, ClosedWithWorkUnsaved };

// A copy of the program that kept a recovery copy of drawing, its square of
// the given gray, and ended.
void LeaveCopy(const std::string& drawing, uint8_t mark, Ending ending)
{
    CPaper paper;
    MarkedSheet(paper, mark);
    // One killed is a process of its own that dies still holding its session.
    const pid_t child = ending == Ending::Killed ? fork() : 0;
    ASSERT_GE(child, 0);
    if (child == 0) {
        CRecoveryStore store;
        const bool kept = store.Open() && store.WriteCopy(1, drawing, paper);
        if (ending == Ending::Killed) _exit(kept ? 0 : 1);
        ASSERT_TRUE(kept);
        return;
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class RecoveryStoreTest : public ::testing::Test {
protected:
    // A later start of the program: its own session, and the others' copies restored, each as
    // where it went, the file that holds it now, the drawing it was of when that differs, and
    // the mark it holds; paths below the test's folder.
    std::string StartAgain()
    {
        CRecoveryStore store;
        EXPECT_TRUE(store.Open());
        const auto inRoot = [&](const std::string& path) { return path.substr(state.root.path.string().size() + 1); };
        std::string s;
        for (const RestoredDrawing& r : store.RestoreOrphans(versions, state.Documents())) {
            const char* const into[] = {"own file", "new sketch", "already there", "nowhere"};
            s += (s.empty() ? "" : "; ") + std::string(into[static_cast<int>(r.into)]);
            if (r.into != RestoredDrawing::Into::Nowhere) s += " " + inRoot(r.restoredPath);  // else still the copy
            if (r.drawingPath != r.restoredPath) s += " from " + inRoot(r.drawingPath);
            s += " " + std::to_string(MarkOf(r.restoredPath));
        }
        return s;
    }

    PrivateState state;
    CVersionStore versions;
};

}  // namespace

// What the drawing's file held is kept as an earlier version, unless it held the copy already;
// nothing is left behind, and nothing comes back twice.
TEST_F(RecoveryStoreTest, ACopyLeftByACopyThatEndedGoesBackIntoItsFileWhatItHeldKept)
{
    // How it ended, the mark of the drawing's file before (0: there was none) and of the copy, what came back.
    const struct { Ending ending; uint8_t fileMark, copyMark; const char* restored; } cases[] = {
        {Ending::Killed, 100, 50, "own file drawings/1.tvk 50"}, {Ending::Killed, 0, 50, "own file drawings/2.tvk 50"},
        {Ending::ClosedWithWorkUnsaved, 100, 50, "own file drawings/3.tvk 50"},
        {Ending::Killed, 90, 90, "already there drawings/4.tvk 90"}};
    int n = 0;
    for (const auto& c : cases) {
        const std::string drawing = state.Drawing(std::to_string(++n) + ".tvk");
        if (c.fileMark) { ASSERT_TRUE(WriteMarkedSketch(drawing, c.fileMark)); }
        ASSERT_NO_FATAL_FAILURE(LeaveCopy(drawing, c.copyMark, c.ending));
        EXPECT_EQ(StartAgain(), c.restored);
        const bool kept = c.fileMark && c.fileMark != c.copyMark;
        EXPECT_EQ(Marks(versions.List(drawing)), kept ? std::vector<int>{c.fileMark} : std::vector<int>{});
        EXPECT_EQ(FileCount(state.Recovery()), 0u) << n;
        EXPECT_EQ(StartAgain(), "") << n;
    }
}

// The copies of a copy still running are left alone; one its file cannot take becomes a new
// sketch in the documents folder, once there is one.
TEST_F(RecoveryStoreTest, ACopyOfARunningCopyIsLeftAloneAndOneItsFileCannotTakeBecomesANewSketch)
{
    ASSERT_TRUE(WriteMarkedSketch(state.Drawing("busy.tvk"), 100));
    CPaper paper;
    MarkedSheet(paper, 60);
    CRecoveryStore living;
    ASSERT_TRUE(living.Open() && living.WriteCopy(1, state.Drawing("busy.tvk"), paper));
    EXPECT_EQ(StartAgain(), "");
    EXPECT_EQ(MarkOf(state.Drawing("busy.tvk")), 100);
    EXPECT_EQ(MarkOf(living.CopyFile(1)), 60);
    living.Close();
    EXPECT_EQ(StartAgain(), "own file drawings/busy.tvk 60");

    CNameReservation heldByARunningCopy;
    ASSERT_TRUE(heldByARunningCopy.Reserve(state.Drawing("held.tvk")));
    ASSERT_TRUE(fs::create_directory(state.Drawing("folder.tvk")));
    const struct { const char *drawing, *restoredAs; } cases[] = {
        {"gone/away.tvk", "away (recovered).tvk"},    // its folder was removed
        {"gone/away.tvk", "away (recovered 2).tvk"},  // the same once more
        {"held.tvk", "held (recovered).tvk"},         // a new sketch elsewhere has the name
        {"folder.tvk", "folder (recovered).tvk"},     // a folder took the name
    };
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(LeaveCopy(state.Drawing(c.drawing), 70, Ending::Killed));
        EXPECT_EQ(StartAgain(),
                  "new sketch documents/" + std::string(c.restoredAs) + " from drawings/" + c.drawing + " 70");
    }
    EXPECT_FALSE(fs::exists(state.Drawing("held.tvk")));
    // Nor can the documents folder: the copy is kept until a start has the folder back.
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(state.Drawing("gone/lost.tvk"), 80, Ending::Killed));
    fs::remove_all(state.Documents());
    EXPECT_EQ(StartAgain(), "nowhere from drawings/gone/lost.tvk 80");
    fs::create_directories(state.Documents());
    EXPECT_EQ(StartAgain(), "new sketch documents/lost (recovered).tvk from drawings/gone/lost.tvk 80");
    EXPECT_EQ(FileCount(state.Recovery()), 0u);
}
