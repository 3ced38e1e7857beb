#include "Archive.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/types.h>

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
    if (m_file || m_bStoring) return false;
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
    m_data.clear();
    m_position = 0;
    if (!m_target.Prepare(path)) {
        m_error = m_target.GetError();
        return false;
    }
    m_bStoring = true;
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
    if (!m_bStoring || HasFailed()) return false;
    if (size == 0) return true;
    try {
        if (size > m_data.max_size() - m_position) throw std::bad_alloc();
        if (m_position + size > m_data.size()) m_data.resize(m_position + size);
    } catch (const std::bad_alloc&) {
        m_error = "not enough memory to save";
        return false;
    }
    std::memcpy(m_data.data() + m_position, buffer, size);
    m_position += size;
    return true;
}

bool CArchive::Flush()
{
    if (m_bStoring) return !HasFailed();
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
    if (m_bStoring) {
        // Like a file: writing past the end fills the gap with zeros.
        m_position = static_cast<size_t>(position);
        return true;
    }
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
    if (m_mode == load) {
        if (!m_file) return false;
        std::fclose(m_file);
        m_file = nullptr;
        return !HasFailed();
    }
    if (!m_bStoring) return false;
    m_bStoring = false;
    const bool committed = !HasFailed() && m_target.Commit(m_data.data(), m_data.size());
    if (!committed && m_error.empty()) m_error = m_target.GetError();
    m_target.Discard();
    std::vector<uint8_t>().swap(m_data);
    return committed;
}

void CArchive::Abort()
{
    if (m_mode == load) {
        if (m_file) std::fclose(m_file);
        m_file = nullptr;
        return;
    }
    m_bStoring = false;
    m_target.Discard();
    std::vector<uint8_t>().swap(m_data);
}
