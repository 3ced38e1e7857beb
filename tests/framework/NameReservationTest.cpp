// A name reserved for a new drawing is nobody else's until its holder lets go or dies; a
// file already there is never a free name.

#include "FileTestSupport.h"
#include "framework/NameReservation.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

TEST(NameReservation, ANameIsHeldUntilReleasedOrItsHolderDies)
{
    const filetest::TempFolder dir;
    const auto sketch = [&](int n) { return dir.File("Sketch" + std::to_string(n) + ".tvk"); };
    filetest::WriteFile(sketch(1), "taken");
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
    EXPECT_EQ(CNameReservation::SiblingName("/d/a.b.tvk", "rescued", 2), "/d/a.b (rescued 2).tvk");
    EXPECT_EQ(CNameReservation::SiblingName("/d.x/photo", "", 3), "/d.x/photo (3)");
}
