#include "StateTestSupport.h"

#include <ctime>
#include <tuple>
#include <fcntl.h>
#include <sys/stat.h>

using namespace statetest;

TEST(VersionStore, TheFirstSaveOfEachRunKeepsWhatTheFileHeldAtMostTenTimesAndEachComesBackAsANewSketch)
{
    PrivateState state;
    const std::string drawing = state.Drawing("a.tvk");
    ASSERT_TRUE(WriteMarkedSketch(drawing, 10));
    // Each run saves some times. The third finds the file as the newest
    // version has it (the second only saved it unchanged), and keeps no
    // second copy of it.
    const std::vector<std::vector<uint8_t>> runs = {{20, 30}, {30}, {40}};
    for (const std::vector<uint8_t>& saves : runs) {
        CVersionStore store;
        for (uint8_t save : saves) {
            EXPECT_TRUE(store.KeepBeforeFirstSave(drawing));
            ASSERT_TRUE(WriteMarkedSketch(drawing, save));
        }
    }
    EXPECT_EQ(Marks(CVersionStore().List(drawing)), (std::vector<int>{30, 10}));

    CVersionStore store;
    for (uint8_t mark = 50; mark < 60; ++mark) {
        ASSERT_TRUE(store.Keep(drawing));
        ASSERT_TRUE(WriteMarkedSketch(drawing, mark));
    }
    EXPECT_EQ(Marks(store.List(drawing)), (std::vector<int>{58, 57, 56, 55, 54, 53, 52, 51, 50, 40}));
    EXPECT_EQ(FileCount(state.Versions()), 11u);  // and the file naming the drawing

    // Restoring makes a new sketch beside the drawing, named for the time of the version.
    const std::string tree = state.Drawing("tree.tvk");
    ASSERT_TRUE(WriteMarkedSketch(tree, 10));
    const time_t saved = 1614834367;  // when the drawing's file was written
    const timespec times[2] = {{saved, 0}, {saved, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tree.c_str(), times, 0), 0);
    ASSERT_TRUE(store.Keep(tree));
    ASSERT_TRUE(WriteMarkedSketch(tree, 20));
    const std::vector<EarlierVersion> versions = store.List(tree);
    ASSERT_EQ(versions.size(), 1u);

    setenv("TZ", "UTC", 1);  // the name gives the local time
    tzset();
    const std::string name = "tree (version of 2021-03-04 05.06)";
    std::string made;
    ASSERT_TRUE(CVersionStore::RestoreAsNew(versions[0], state.Documents(), made));
    EXPECT_EQ(made, state.Drawing(name + ".tvk"));
    ASSERT_TRUE(CVersionStore::RestoreAsNew(versions[0], state.Documents(), made));
    EXPECT_EQ(made, state.Drawing(name + " 2.tvk"));
    EXPECT_EQ(std::tuple(MarkOf(state.Drawing(name + ".tvk")), MarkOf(made), MarkOf(tree)), std::tuple(10, 10, 20));

    // With the drawings' folder gone, the versions are still listed and come
    // back in the documents folder.
    std::filesystem::remove_all(state.Drawings());
    const std::vector<EarlierVersion> all = store.ListAll();
    ASSERT_EQ(all.size(), 11u);
    EXPECT_EQ(all.back().drawingPath, tree);  // the oldest
    ASSERT_TRUE(CVersionStore::RestoreAsNew(all.back(), state.Documents(), made));
    EXPECT_EQ(made, state.Documents() + "/" + name + ".tvk");
    EXPECT_EQ(MarkOf(made), 10);
}
