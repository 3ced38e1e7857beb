#include "NameReservation.h"

#include "StateFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

CNameReservation::~CNameReservation()
{
    Release();
}

void CNameReservation::Release()
{
    if (m_fd >= 0) {
        // Unlinked while still locked, so nobody takes a lock on a file that
        // is about to vanish; see the inode check in Reserve.
        ::unlink(m_lockPath.c_str());
        ::close(m_fd);
    }
    m_fd = -1;
    m_path.clear();
    m_lockPath.clear();
}

bool CNameReservation::Reserve(const std::string& path)
{
    Release();
    if (path.empty() || Exists(path)) return false;
    const std::string folder = StateFolder("reserved");
    if (folder.empty()) {
        m_path = path;
        return true;
    }
    const std::string lockPath = folder + "/" + StateFileName(path) + ".lock";
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            // An unusable state folder must not stop a new drawing.
            m_path = path;
            return true;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        // The holder before us may have unlinked the file between our open
        // and our lock; a lock on a file no longer at its path holds nothing.
        struct stat held, named;
        if (::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
            held.st_dev == named.st_dev) {
            m_fd = fd;
            m_lockPath = lockPath;
            m_path = path;
            [[maybe_unused]] const ssize_t n = ::write(fd, path.data(), path.size());
            // Another holder may have saved the file just before releasing.
            if (Exists(path)) {
                Release();
                return false;
            }
            return true;
        }
        ::close(fd);
    }
    return false;
}

std::string CNameReservation::SiblingName(const std::string& path, const std::string& label, int n)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    std::string tag = label;
    if (n > 1) tag += (tag.empty() ? "" : " ") + std::to_string(n);
    return tag.empty() ? path : stem + " (" + tag + ")" + extension;
}

bool CNameReservation::ReserveFirstFree(const std::function<std::string(int)>& make, int limit)
{
    for (int n = 1; n <= limit; ++n)
        if (Reserve(make(n))) return true;
    return false;
}
