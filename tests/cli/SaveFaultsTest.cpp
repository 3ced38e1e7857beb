// Saves as an ordinary user meets their faults: graphelle-cli runs as nobody (root would pass every
// permission check) and writes into folders and files laid out with owners and modes; afterwards
// the file holds its old content or the new one whole, the status and message say what happened,
// owner and mode are kept, and no temporary file is left behind.

#include "document/DocTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

enum class Command { Save, Convert, Thumbnail };  // run's save line, convert, thumbnail
enum class Target { File, Link, Chain, HardLink, Folder };  // what the output name is
enum class Owner { Nobody, Root, NobodyRootGroup };
enum class Fault { None, SizeLimit, FullDisk, Leftovers };

struct Row {
    const char* name;
    Command command;
    Target target;
    bool closedFolder;  // the folder belongs to root, the file to its owner below
    Owner owner;        // of the file, as it must stay
    mode_t mode;        // of the file, as it must stay
    Fault fault;
    int status;
    const char* message;  // part of standard error; empty when nothing may be printed
    bool replaced;        // the new content whole, else the old content untouched
};

// Failures name the row, not its bytes.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

const Row kRows[] = {
    {"ThroughALink", Command::Save, Target::Link, false, Owner::Nobody, 0640, Fault::None, 0, "", true},
    {"ThroughAChainOfLinks", Command::Convert, Target::Chain, false, Owner::Nobody, 0604, Fault::None, 0, "", true},
    {"FileWithASecondName", Command::Save, Target::HardLink, false, Owner::Nobody, 0644, Fault::None, 0, "", true},
    {"WriteProtectedFile", Command::Save, Target::File, false, Owner::Nobody, 0444, Fault::None, 1,
     "Could not save \"out.bmp\": the file is write-protected", false},
    {"SomeoneElsesFile", Command::Convert, Target::File, false, Owner::Root, 0644, Fault::None, 1,
     "out.bmp: the file is write-protected", false},
    {"ClosedFolder", Command::Save, Target::File, true, Owner::Nobody, 0600, Fault::None, 0, "", true},
    {"ClosedFolderAndSizeLimit", Command::Save, Target::File, true, Owner::Nobody, 0600, Fault::SizeLimit, 1,
     "the file would pass the file-size limit; the file was put back as it was", false},
    {"FileOfAGroupNotOurs", Command::Save, Target::File, false, Owner::NobodyRootGroup, 0664, Fault::None, 0, "", true},
    {"SizeLimit", Command::Thumbnail, Target::File, false, Owner::Nobody, 0644, Fault::SizeLimit, 1,
     "out.png: the file would pass the file-size limit", false},
    {"FullDisk", Command::Save, Target::File, false, Owner::Nobody, 0644, Fault::FullDisk, 1, "the disk is full", false},
    {"FolderAsTarget", Command::Convert, Target::Folder, false, Owner::Nobody, 0755, Fault::None, 1,
     "out.bmp: it is a folder, not a file", false},
    {"LeftoverOfAKilledSave", Command::Save, Target::File, false, Owner::Nobody, 0644, Fault::Leftovers, 0, "", true},
};

// Every output is larger than this, and the old file is smaller.
constexpr int kSizeLimit = 4096;
// Too small for the 61 KB picture.
constexpr char kSmallDisk[] = "size=32k";
const std::string kOld = "the older file, which must survive";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class SaveFaults : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0) GTEST_SKIP() << "lays out files for another user, which needs root";
        const passwd* user = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        ASSERT_TRUE(user && nogroup);
        m_nobody = {user->pw_uid, nogroup->gr_gid};
        Own(root.path, Owner::Root, 0755);
        // The build folder may be closed to nobody; a copy beside the files is not.
        fs::copy_file(GRAPHELLE_CLI_PROGRAM, m_cli);
        for (const char* folder : {"home", "state", "ref", "work"}) {
            fs::create_directory(root.File(folder));
            Own(root.File(folder), Owner::Nobody, 0755);
        }
        // Enough graphite that even the compressed thumbnail passes the size limit.
        doctest::WriteFile(root.File("draw.txt"),
                           "new 300 200 5\nstroke 10 10 290 190 150 20\npencil 6B 3 0\nstroke 10 190 290 10 20 100 "
                           "280 120 40 20 260 180 10 60 290 70 30 150 270 140\npencil 2B 3 0\nstroke 150 5 160 195 "
                           "60 10 80 190 230 10 220 190\nsave in.tvk\n");
        doctest::WriteFile(root.File("save.txt"), "open ../in.tvk\nsave out.bmp\n");
        ASSERT_EQ(Run(root.path, {"run", "draw.txt"}, false, false), 0) << m_err;
    }
    void TearDown() override
    {
        if (m_liveFd >= 0) ::close(m_liveFd);
        if (m_bMounted) ::umount2(root.File("work").c_str(), MNT_DETACH);
    }

    std::pair<uid_t, gid_t> Ids(Owner owner) const
    {
        if (owner == Owner::Nobody) return m_nobody;
        return {owner == Owner::Root ? 0 : m_nobody.first, 0};
    }
    void Own(const std::string& path, Owner owner, mode_t mode) const
    {
        const auto [uid, gid] = Ids(owner);
        ASSERT_EQ(::lchown(path.c_str(), uid, gid), 0) << path;
        ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
    }

    // Runs the program in folder, as nobody or as root; its exit status, with standard error kept.
    // Leak checking goes on without the suppressions, which nobody may not be able to read and the
    // command line does not need.
    int Run(const std::string& folder, const std::vector<std::string>& args, bool asNobody, bool sizeLimit)
    {
        std::string line = "cd " + Quote(folder) + " && env -u LSAN_OPTIONS HOME=" + Quote(root.File("home")) +
                           " XDG_STATE_HOME=" + Quote(root.File("state"));
        if (sizeLimit) line += " prlimit --fsize=" + std::to_string(kSizeLimit);
        if (asNobody) line += " setpriv --reuid=nobody --regid=nogroup --clear-groups";
        line += " " + Quote(m_cli);
        for (const std::string& arg : args) line += " " + Quote(arg);
        line += " >/dev/null 2>" + Quote(root.File("stderr"));
        const int status = std::system(line.c_str());
        m_err = doctest::Contents(root.File("stderr"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::vector<std::string> Args(Command command)
    {
        if (command == Command::Save) return {"run", "../save.txt"};
        if (command == Command::Convert) return {"convert", "../in.tvk", "out.bmp"};
        return {"thumbnail", "../in.tvk", "out.png", "1024"};
    }

    // Lays out the row's folder and file; m_file is the file the output name leads to.
    void Prepare(const Row& row)
    {
        const std::string work = root.File("work");
        if (row.fault == Fault::FullDisk) {
            if (::mount("tmpfs", work.c_str(), "tmpfs", 0, kSmallDisk) != 0)
                GTEST_SKIP() << "this machine does not let a small tmpfs be mounted (" << std::strerror(errno)
                             << "), which the full disk needs";
            m_bMounted = true;
        }
        Own(work, row.closedFolder ? Owner::Root : Owner::Nobody, 0755);
        const std::string name = row.command == Command::Thumbnail ? "out.png" : "out.bmp";
        m_file = work + "/" + name;
        if (row.target == Target::Link) {
            fs::create_symlink("real.bmp", m_file);
            m_file = work + "/real.bmp";
        } else if (row.target == Target::Chain) {
            for (const char* folder : {"chain", "store"}) {
                fs::create_directory(root.File(folder));
                Own(root.File(folder), Owner::Nobody, 0755);
            }
            fs::create_symlink("../chain/mid", m_file);
            m_file = root.File("store/real.bmp");
            fs::create_symlink(m_file, root.File("chain/mid"));
        }
        if (row.target == Target::Folder) fs::create_directory(m_file);
        else doctest::WriteFile(m_file, kOld);
        Own(m_file, row.owner, row.mode);
        if (row.target == Target::HardLink) fs::create_hard_link(m_file, work + "/other.bmp");
        if (row.fault == Fault::Leftovers) {
            // One left by a killed save, and one that a save in another process is still writing.
            m_leftover = work + "/.out.bmp.saving-Ab12Cd";
            m_live = work + "/.out.bmp.saving-Live00";
            for (const std::string& temp : {m_leftover, m_live}) {
                doctest::WriteFile(temp, "half a file");
                Own(temp, Owner::Nobody, 0600);
            }
            m_liveFd = ::open(m_live.c_str(), O_RDONLY | O_CLOEXEC);
            EXPECT_EQ(::flock(m_liveFd, LOCK_EX), 0);
        }
    }

    doctest::TempFolder root;
    std::string m_cli = root.File("graphelle-cli");
    std::string m_err, m_file, m_leftover, m_live;
    std::pair<uid_t, gid_t> m_nobody;
    int m_liveFd = -1;
    bool m_bMounted = false;
};

TEST_P(SaveFaults, KeepTheOldFileOrWriteTheNewOneWhole)
{
    const Row& row = GetParam();
    // The new content, as a save with nothing in its way writes it.
    ASSERT_EQ(Run(root.File("ref"), Args(row.command), true, false), 0) << m_err;
    const std::string fresh =
        doctest::Contents(root.File(row.command == Command::Thumbnail ? "ref/out.png" : "ref/out.bmp"));
    ASSERT_GT(fresh.size(), row.command == Command::Thumbnail ? size_t{kSizeLimit} : size_t{32} << 10);

    Prepare(row);
    if (IsSkipped() || HasFatalFailure()) return;
    const std::string& file = m_file;
    EXPECT_EQ(Run(root.File("work"), Args(row.command), true, row.fault == Fault::SizeLimit), row.status) << m_err;
    if (*row.message) EXPECT_NE(m_err.find(row.message), std::string::npos) << m_err;
    else EXPECT_EQ(m_err, "");

    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, row.mode);
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid), Ids(row.owner));
    if (row.target == Target::Folder) EXPECT_TRUE(fs::is_directory(file) && fs::is_empty(file));
    else EXPECT_TRUE(doctest::Contents(file) == (row.replaced ? fresh : kOld)) << doctest::Contents(file).size();
    if (row.target == Target::Link || row.target == Target::Chain) {
        EXPECT_TRUE(fs::is_symlink(root.File("work/out.bmp")));
    }
    if (row.target == Target::HardLink) {
        EXPECT_TRUE(doctest::Contents(root.File("work/other.bmp")) == fresh);
    }
    if (row.fault == Fault::Leftovers) {
        EXPECT_FALSE(fs::exists(m_leftover));
        EXPECT_TRUE(fs::exists(m_live));
        fs::remove(m_live);
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.path))
        EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveFaults, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
