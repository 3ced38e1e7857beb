#include "framework/Archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Folder {
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "graphelle-ar-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~Folder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(path), {})); }
    fs::path path;
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Archive, StoringReplacesTheTargetOnlyOnASuccessfulClose)
{
    Folder folder;
    const std::string target = folder.File("a.tvk");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);

    {
        CArchive ar;
        ASSERT_TRUE(ar.Open(target, CArchive::store));
        EXPECT_EQ(ar.GetFileName(), target);
        ASSERT_TRUE(ar.Write("new!", 4));
        EXPECT_EQ(Contents(target), "old");  // not yet
        // Destroyed without Close: abandoned.
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(folder.Entries(), 1u);

    {
        CArchive ar;
        ASSERT_TRUE(ar.Open(target, CArchive::store));
        ASSERT_TRUE(ar.Write("xxxx", 4));
        ar.Abort();
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(folder.Entries(), 1u);

    CArchive ar;
    ASSERT_TRUE(ar.Open(target, CArchive::store));
    ASSERT_TRUE(ar.Write("0123456789", 10));
    ASSERT_TRUE(ar.Seek(2));  // writers go back to patch their headers
    ASSERT_TRUE(ar.Write("AB", 2));
    ASSERT_TRUE(ar.Close());
    EXPECT_EQ(Contents(target), "01AB456789");
    EXPECT_EQ(folder.Entries(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file's permissions survive
}

TEST(Archive, LoadingReadsWhatIsThereAndReportsFailures)
{
    Folder folder;
    const std::string file = folder.File("b.bin");
    std::ofstream(file) << "abcdef";
    CArchive ar;
    ASSERT_TRUE(ar.Open(file, CArchive::load));
    EXPECT_TRUE(ar.IsLoading());
    char buffer[8] = {};
    EXPECT_TRUE(ar.ReadExact(buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(ar.Read(buffer, 8), 2u);  // only two left
    EXPECT_FALSE(ar.ReadExact(buffer, 1));
    EXPECT_FALSE(ar.Write("x", 1));  // not for storing
    EXPECT_TRUE(ar.Close());

    CArchive missing;
    EXPECT_FALSE(missing.Open(folder.File("none"), CArchive::load));
    EXPECT_TRUE(missing.HasFailed());
    EXPECT_NE(missing.GetError().find("No such file or directory"), std::string::npos) << missing.GetError();

    CArchive nowhere;
    EXPECT_FALSE(nowhere.Open("/proc/graphelle-archive-test", CArchive::store));
    EXPECT_FALSE(nowhere.GetError().empty());
    EXPECT_FALSE(nowhere.Close());
}
