#include "SaveTarget.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

namespace {

// More links than this in a row is a loop, as the kernel counts them.
constexpr int kMaxLinks = 40;
// The longest file name most file systems take, in bytes.
constexpr size_t kMaxName = 255;
// A temporary file is named "." + the file's name + this + random characters:
// hidden, so folder listings and the document list pass over it, and
// distinct enough that nothing else is ever taken for a leftover.
constexpr char kTempMark[] = ".saving-";
constexpr size_t kRandomChars = 6;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A file rewritten in place keeps its old content in memory to put back; a
// file larger than this is none of ours and is not rewritten that way.
constexpr off_t kMaxHeldContent = off_t{64} << 20;

constexpr char kProtected[] = "the file is write-protected";

// A write past the file-size limit (ulimit -f) raises SIGXFSZ, which by
// default ends the process with the drawing unsaved. Ignored, the write fails
// with EFBIG like one on a full disk, and the save says why. Every file the
// program writes comes through here, so this one place covers every program
// and thread before its first write; a disposition someone chose is kept.
void IgnoreFileSizeSignal()
{
    static const bool ignored = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return false;
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigemptyset(&ignore.sa_mask);
        return ::sigaction(SIGXFSZ, &ignore, nullptr) == 0;
    }();
    (void)ignored;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows a chain of symbolic links to the path at its end, which need not
// exist yet (a new file, or a link whose file was removed). A relative link
// counts from the folder the link lies in.
bool FollowLinks(std::string path, std::string& end)
{
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            end = path;
            return true;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n < 0) return false;
        if (n == 0 || n >= static_cast<ssize_t>(sizeof target)) {
            errno = ENAMETOOLONG;
            return false;
        }
        if (target[0] == '/') path.clear();
        else path.resize(path.find_last_of('/') + 1);  // npos + 1 leaves nothing: the same folder
        path.append(target, static_cast<size_t>(n));
    }
    errno = ELOOP;
    return false;
}

bool SameFile(int fd, const std::string& path)
{
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string RandomChars()
{
    unsigned char bytes[kRandomChars] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the kernel's randomness the clock and the process id do;
        // creating with O_EXCL settles any clash.
        timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        uint64_t x = static_cast<uint64_t>(now.tv_nsec) ^ static_cast<uint64_t>(now.tv_sec) << 30 ^
                     static_cast<uint64_t>(::getpid()) << 40;
        for (unsigned char& b : bytes) {
            x = x * 6364136223846793005u + 1442695040888963407u;
            b = static_cast<unsigned char>(x >> 56);
        }
    }
    std::string chars(kRandomChars, 'x');
    for (size_t i = 0; i < kRandomChars; ++i) chars[i] = kAlphabet[bytes[i] % (sizeof kAlphabet - 1)];
    return chars;
}

bool IsTemporaryName(const std::string& name, const std::string& start)
{
    if (name.size() != start.size() + kRandomChars || name.compare(0, start.size(), start) != 0) return false;
    return name.find_first_not_of(kAlphabet, start.size()) == std::string::npos;
}

// The start of the names of a file's temporary files, folder included.
std::string TemporaryPrefix(const std::string& filePath)
{
    const size_t nameAt = filePath.find_last_of('/') + 1;  // 0 without a folder
    std::string name = filePath.substr(nameAt);
    const size_t room = kMaxName - 1 - (sizeof kTempMark - 1) - kRandomChars;
    if (name.size() > room) name.resize(room);
    return filePath.substr(0, nameAt) + "." + name + kTempMark;
}

// Removes temporary files that saves of this file left when they were killed.
// A save in progress holds a lock on its own, so only unlocked ones go.
void RemoveLeftovers(const std::string& prefix)
{
    const std::string folder = FolderOf(prefix);
    const std::string start = prefix.substr(prefix.find_last_of('/') + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name, start)) continue;
        const std::string path = folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            SameFile(fd, path))
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The reason in the words a person reads in the message; the system's own
// words where there are none better.
std::string Reason(const char* what, int error)
{
    switch (error) {
    case ENOSPC:
        return "the disk is full";
    case EDQUOT:
        return "the disk quota is used up";
    case EFBIG:
        return "the file would pass the file-size limit";
    case EROFS:
        return "the disk is read-only";
    default:
        return std::string(what) + ": " + std::strerror(error ? error : EIO);
    }
}

}  // namespace

bool CSaveTarget::Refuse(const std::string& reason)
{
    m_error = reason;
    return false;
}

bool CSaveTarget::Fail(const char* what, int error)
{
    m_error = Reason(what, error);
    return false;
}

bool CSaveTarget::Prepare(const std::string& path)
{
    Discard();
    m_error.clear();
    m_bExists = false;
    m_bInPlace = false;
    m_old = {};
    IgnoreFileSizeSignal();
    if (path.empty()) return Refuse("no file name");
    if (!FollowLinks(path, m_filePath)) return Fail("cannot follow the link", errno);
    if (!CheckExisting()) return false;
    // A file with more names (hard links) keeps them all only when the file
    // itself is rewritten.
    if (m_bExists && m_old.st_nlink > 1) return OpenInPlace();
    RemoveLeftovers(TemporaryPrefix(m_filePath));
    if (!CreateTemporary()) {
        const int error = errno;
        if (error != EACCES && error != EPERM) return Fail("cannot create", error);
        // A closed folder still lets a writable file be rewritten where it is.
        return m_bExists ? OpenInPlace() : Refuse("the folder is write-protected");
    }
    if (m_bExists && !KeepOwner()) {
        // Replacing would hand the file to whoever saves it.
        Discard();
        return OpenInPlace();
    }
    return true;
}

bool CSaveTarget::CheckExisting()
{
    if (::stat(m_filePath.c_str(), &m_old) != 0) return errno == ENOENT || Fail("cannot create", errno);
    m_bExists = true;
    if (S_ISDIR(m_old.st_mode)) return Refuse("it is a folder, not a file");
    if (!S_ISREG(m_old.st_mode)) return Refuse("it is not an ordinary file");
    // A file without any write bit is protected even from the superuser,
    // whom the permission check would let through.
    if ((m_old.st_mode & 0222) == 0) return Refuse(kProtected);
    if (::faccessat(AT_FDCWD, m_filePath.c_str(), W_OK, AT_EACCESS) != 0)
        return errno == EACCES || errno == EPERM ? Refuse(kProtected) : Fail("cannot write", errno);
    return true;
}

bool CSaveTarget::CreateTemporary()
{
    const std::string prefix = TemporaryPrefix(m_filePath);
    // A replacement stays private until it takes the old file's mode; a new
    // file takes the usual mode that the umask leaves.
    const mode_t createMode = m_bExists ? 0600 : 0666;
    for (int tries = 0; tries < 100; ++tries) {
        const std::string path = prefix + RandomChars();
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return false;
        // The lock marks the file as in use for as long as this save lasts.
        // Another save of the same file that looked in the instant before it
        // may have taken the file for a leftover and removed it: then the
        // name is no longer ours, and another one is taken.
        ::flock(fd, LOCK_EX);
        struct stat st {};
        if (!SameFile(fd, path) || ::fstat(fd, &st) != 0) {
            ::close(fd);
            continue;
        }
        m_mode = m_bExists ? m_old.st_mode & 07777 : st.st_mode & 07777;
        m_fd = fd;
        m_tempPath = path;
        return true;
    }
    errno = EEXIST;
    return false;
}

bool CSaveTarget::KeepOwner()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return false;
    if (st.st_uid == m_old.st_uid && st.st_gid == m_old.st_gid) return true;
    return ::fchown(m_fd, m_old.st_uid, m_old.st_gid) == 0;
}

bool CSaveTarget::OpenInPlace()
{
    m_bInPlace = true;
    m_fd = ::open(m_filePath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0) return Fail("cannot write", errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return Fail("cannot read", errno);
    // The old content is what goes back if rewriting fails, so it must be
    // held whole before the first byte is written.
    if (st.st_size > kMaxHeldContent) return Refuse("the file is too large to rewrite where it is");
    try {
        m_oldContent.resize(static_cast<size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        return Refuse("not enough memory to keep the old content while the file is rewritten");
    }
    size_t got = 0;
    while (got < m_oldContent.size()) {
        const ssize_t n = ::pread(m_fd, m_oldContent.data() + got, m_oldContent.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("cannot read", errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    m_oldContent.resize(got);
    return true;
}

bool CSaveTarget::Commit(const uint8_t* data, size_t size)
{
    if (m_fd < 0) return m_error.empty() ? Fail("cannot write", EBADF) : false;
    const bool committed = m_bInPlace ? CommitInPlace(data, size) : CommitReplace(data, size);
    Discard();
    return committed;
}

bool CSaveTarget::CommitReplace(const uint8_t* data, size_t size)
{
    if (!WriteAll(m_fd, data, size) || ::fchmod(m_fd, m_mode) != 0 || ::fsync(m_fd) != 0)
        return Fail("cannot write", errno);
    if (::rename(m_tempPath.c_str(), m_filePath.c_str()) != 0) return Fail("cannot replace the file", errno);
    m_tempPath.clear();
    // The new name must last as the content does.
    SyncFolder(FolderOf(m_filePath));
    return true;
}

bool CSaveTarget::CommitInPlace(const uint8_t* data, size_t size)
{
    // Writing over the old bytes before cutting the length keeps their disk
    // blocks, so a full disk still takes the old content back.
    if (WriteAll(m_fd, data, size) && ::ftruncate(m_fd, static_cast<off_t>(size)) == 0 && ::fsync(m_fd) == 0)
        return true;
    Fail("cannot write", errno);
    const bool restored = WriteAll(m_fd, m_oldContent.data(), m_oldContent.size()) &&
                          ::ftruncate(m_fd, static_cast<off_t>(m_oldContent.size())) == 0 && ::fsync(m_fd) == 0;
    m_error += restored ? "; the file was put back as it was"
                        : "; putting the old content back failed too, so the file may be damaged";
    return false;
}

void CSaveTarget::CloseFile()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void CSaveTarget::Discard()
{
    // Removed before the lock goes with the descriptor, so no other save
    // ever sees it unlocked and takes it for a leftover.
    if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    CloseFile();
    std::vector<uint8_t>().swap(m_oldContent);
}
