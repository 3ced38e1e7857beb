// Saves as an ordinary user meets their faults: graphelle-cli runs as nobody (root would pass every
// permission check) and writes into folders and files laid out with owners and modes; afterwards
// the file holds its old content or the new one whole, the status and message say what happened,
// owner and mode are kept, and no temporary file is left behind.

#include "CliTestSupport.h"

#include <grp.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using doctest::Contents;

enum Command { Save, Convert, Thumbnail };  // run's save line, convert, thumbnail
enum Target { File, Link, HardLink, BesideTemporaries };  // what the output name is
enum Owner { Nobody, Root, NobodyRootGroup };

// closedFolder: the folder belongs to root, the file to its owner; owner and mode: of the file, as they must
// stay; sizeLimit: the program runs under a file-size limit; message: part of standard error, empty when
// nothing may be printed. A status of 0 means the new content whole, any other the old content untouched.
struct Row { const char* name; Command command; Target target; bool closedFolder; Owner owner; mode_t mode;
             bool sizeLimit; int status; const char* message; };
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }  // failures name the row, not its bytes

const Row kRows[] = {
    {"ThroughALink", Save, Link, false, Nobody, 0640, false, 0, ""},
    {"FileWithASecondName", Save, HardLink, false, Nobody, 0644, false, 0, ""},
    {"WriteProtectedFile", Save, File, false, Nobody, 0444, false, 1,
     "Could not save \"out.bmp\": the file is write-protected"},
    {"SomeoneElsesFile", Convert, File, false, Root, 0644, false, 1, "out.bmp: the file is write-protected"},
    {"ClosedFolder", Save, File, true, Nobody, 0600, false, 0, ""},
    {"ClosedFolderAndSizeLimit", Save, File, true, Nobody, 0600, true, 1,
     "the file would pass the file-size limit; the file was put back as it was"},
    {"FileOfAGroupNotOurs", Save, File, false, NobodyRootGroup, 0664, false, 0, ""},
    {"SizeLimit", Thumbnail, File, false, Nobody, 0644, true, 1, "out.png: the file would pass the file-size limit"},
    {"LeftoverOfAKilledSave", Save, BesideTemporaries, false, Nobody, 0644, false, 0, ""}};

// Every output is larger than this, and the old file is smaller.
constexpr int kSizeLimit = 4096;
const std::string kOld = "the older file, which must survive";
const std::vector<std::string> kArgs[] = {  // of each Command
    {"run", "../save.txt"}, {"convert", "../in.tvk", "out.bmp"}, {"thumbnail", "../in.tvk", "out.png", "1024"}};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class SaveFaults : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0) GTEST_SKIP() << "lays out files for another user, which needs root";
        ASSERT_TRUE(::getpwnam("nobody") && ::getgrnam("nogroup"));
        Own(root.path, Root, 0755);
        fs::copy_file(GRAPHELLE_CLI_PROGRAM, m_cli);  // the build folder may be closed to nobody; this copy is not
        for (const char* folder : {"home", "state", "ref", "work"}) MakeFolder(folder);
        // Grays busy enough that even the compressed thumbnail passes the size limit.
        WriteSheet(root.File("in.tvk"), 300, 200,
                   [](uint32_t x, uint32_t y) { return uint8_t(x * x * 31 + y * y * 17 + x * y); });
        doctest::WriteFile(root.File("save.txt"), "open ../in.tvk\nsave out.bmp\n");
    }

    // nobody's and nogroup's ids, which SetUp has seen to exist, or root's.
    std::pair<uid_t, gid_t> Ids(Owner o) const
    {
        return {o == Root ? 0 : ::getpwnam("nobody")->pw_uid, o == Nobody ? ::getgrnam("nogroup")->gr_gid : 0};
    }
    void Own(const std::string& path, Owner owner, mode_t mode) const
    {
        ASSERT_EQ(::lchown(path.c_str(), Ids(owner).first, Ids(owner).second) | ::chmod(path.c_str(), mode), 0) << path;
    }
    void MakeFolder(const char* f) const { fs::create_directory(root.File(f)), Own(root.File(f), Nobody, 0755); }

    // Runs the program in folder as nobody; its exit status, with standard error kept.
    // Leak checking goes on without the suppressions, which nobody may not be able to read and the
    // command line does not need.
    int Run(const std::string& folder, const std::vector<std::string>& args, bool sizeLimit)
    {
        std::string line = "cd " + Quote(folder) + " && env -u LSAN_OPTIONS HOME=" + Quote(root.File("home")) +
                           " XDG_STATE_HOME=" + Quote(root.File("state"));
        if (sizeLimit) line += " prlimit --fsize=" + std::to_string(kSizeLimit);
        line += " setpriv --reuid=nobody --regid=nogroup --clear-groups " + Quote(m_cli);
        for (const std::string& arg : args) line += " " + Quote(arg);
        const int status = std::system((line + " >/dev/null 2>" + Quote(root.File("stderr"))).c_str());
        m_err = Contents(root.File("stderr"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    doctest::TempFolder root;
    std::string m_cli = root.File("graphelle-cli"), m_err, m_file;
};

TEST_P(SaveFaults, KeepTheOldFileOrWriteTheNewOneWhole)
{
    const Row& row = GetParam();
    // The new content, as a save with nothing in its way writes it.
    ASSERT_EQ(Run(root.File("ref"), kArgs[row.command], false), 0) << m_err;
    const std::string fresh = Contents(root.File(row.command == Thumbnail ? "ref/out.png" : "ref/out.bmp"));
    ASSERT_GT(fresh.size(), size_t{kSizeLimit});
    // Lays out the row's folder and file; m_file is the file the output name leads to.
    const std::string work = root.File("work");
    Own(work, row.closedFolder ? Root : Nobody, 0755);
    m_file = work + (row.command == Thumbnail ? "/out.png" : "/out.bmp");
    if (row.target == Link) fs::create_symlink("real.bmp", m_file), m_file = work + "/real.bmp";
    doctest::WriteFile(m_file, kOld);
    Own(m_file, row.owner, row.mode);
    if (row.target == HardLink) fs::create_hard_link(m_file, work + "/other.bmp");
    // One left by a killed save, and one that a save in another process is still writing under its lock.
    const std::string leftover = work + "/.out.bmp.saving-Ab12Cd", live = work + "/.out.bmp.saving-Live00";
    int liveFd = -1;
    if (row.target == BesideTemporaries) {
        for (const std::string& temp : {leftover, live}) doctest::WriteFile(temp, "half"), Own(temp, Nobody, 0600);
        liveFd = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_EQ(::flock(liveFd, LOCK_EX), 0);
    }
    if (HasFatalFailure()) return;
    EXPECT_EQ(Run(root.File("work"), kArgs[row.command], row.sizeLimit), row.status) << m_err;
    EXPECT_TRUE(*row.message ? m_err.find(row.message) != std::string::npos : m_err.empty()) << m_err;
    struct stat st {};
    ASSERT_EQ(::lstat(m_file.c_str(), &st), 0);
    EXPECT_EQ(std::pair(st.st_mode & 07777, std::pair(st.st_uid, st.st_gid)), std::pair(row.mode, Ids(row.owner)));
    EXPECT_TRUE(Contents(m_file) == (row.status == 0 ? fresh : kOld)) << Contents(m_file).size();
    if (row.target == Link) { EXPECT_TRUE(fs::is_symlink(root.File("work/out.bmp"))); }
    if (row.target == HardLink) { EXPECT_TRUE(Contents(root.File("work/other.bmp")) == fresh); }
    if (row.target == BesideTemporaries) {
        EXPECT_TRUE(!fs::exists(leftover) && fs::exists(live));
        ::close(liveFd), fs::remove(live);
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.path))
        EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveFaults, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
