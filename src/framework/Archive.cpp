#include "Archive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CArchive::~CArchive()
{
    if (m_mode == store)
        Abort();
    else if (m_file)
        std::fclose(m_file);
}

void CArchive::Fail(const char* what)
{
    if (m_error.empty()) m_error = std::string(what) + ": " + std::strerror(errno ? errno : EIO);
}

bool CArchive::Open(const std::string& path, Mode mode)
{
    if (m_file) return false;
    m_mode = mode;
    m_path = path;
    m_error.clear();
    errno = 0;
    if (mode == load) {
        m_file = std::fopen(path.c_str(), "rb");
        if (!m_file) {
            Fail("cannot open");
            return false;
        }
        return true;
    }

    // The temporary file lives in the target's folder so that the final
    // rename stays on one file system and is atomic.
    m_tempPath = path + ".XXXXXX";
    int fd = ::mkstemp(m_tempPath.data());
    if (fd < 0) {
        Fail("cannot create");
        m_tempPath.clear();
        return false;
    }
    // Keep the permissions of the file being replaced, or the usual ones.
    struct stat st;
    mode_t perms;
    if (::stat(path.c_str(), &st) == 0) {
        perms = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        perms = 0666 & ~mask;
    }
    ::fchmod(fd, perms);
    m_file = ::fdopen(fd, "w+b");
    if (!m_file) {
        Fail("cannot create");
        ::close(fd);
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        return false;
    }
    return true;
}

size_t CArchive::Read(void* buffer, size_t size)
{
    if (!m_file || m_mode != load || size == 0) return 0;
    size_t got = std::fread(buffer, 1, size, m_file);
    if (got < size && std::ferror(m_file)) Fail("cannot read");
    return got;
}

bool CArchive::Write(const void* buffer, size_t size)
{
    if (!m_file || m_mode != store) return false;
    if (HasFailed()) return false;
    errno = 0;
    if (size && std::fwrite(buffer, 1, size, m_file) != size) {
        Fail("cannot write");
        return false;
    }
    return true;
}

bool CArchive::Flush()
{
    if (!m_file) return false;
    errno = 0;
    if (std::fflush(m_file) != 0) {
        Fail("cannot write");
        return false;
    }
    return !HasFailed();
}

bool CArchive::Seek(uint64_t position)
{
    if (!m_file) return false;
    errno = 0;
    if (::fseeko(m_file, static_cast<off_t>(position), SEEK_SET) != 0) {
        Fail("cannot seek");
        return false;
    }
    return true;
}

bool CArchive::Close()
{
    if (!m_file) return false;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (m_mode == load) {
        std::fclose(file);
        return !HasFailed();
    }
    errno = 0;
    if (std::fflush(file) != 0) Fail("cannot write");
    if (!HasFailed() && ::fsync(::fileno(file)) != 0) Fail("cannot write");
    errno = 0;
    if (std::fclose(file) != 0) Fail("cannot write");
    if (!HasFailed()) {
        errno = 0;
        if (std::rename(m_tempPath.c_str(), m_path.c_str()) != 0) Fail("cannot replace");
    }
    if (HasFailed()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        return false;
    }
    m_tempPath.clear();
    return true;
}

void CArchive::Abort()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}
