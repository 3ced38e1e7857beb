#include "StateFiles.h"

#include "io/Archive.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunk = 64 * 1024;

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& data, size_t limit)
{
    data.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = true;
    try {
        char buffer[kChunk];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
            if (data.size() + got > limit) {
                ok = false;
                break;
            }
            data.append(buffer, got);
        }
    } catch (...) {
        ok = false;
    }
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    if (!ok) data.clear();
    return ok;
}

bool WriteStateFile(const std::string& path, const std::string& data)
{
    std::string temp;
    try {
        temp = path + ".XXXXXX";
    } catch (...) {
        return false;
    }
    // mkstemp makes the file 0600 itself.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool CopyIntoFile(const std::string& from, const std::string& to)
{
    CArchive in, out;
    if (!in.Open(from, CArchive::load) || !out.Open(to, CArchive::store)) return false;
    char buffer[kChunk];
    for (size_t got; (got = in.Read(buffer, sizeof buffer)) > 0;) {
        if (!out.Write(buffer, got)) return false;
    }
    // A read that failed half way must not replace the target.
    if (in.HasFailed()) return false;
    return in.Close() && out.Close();
}

bool SameFileContents(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0 || sa.st_size != sb.st_size) return false;
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    std::FILE* fb = std::fopen(b.c_str(), "rb");
    bool same = fa && fb;
    char bufferA[4096], bufferB[4096];
    while (same) {
        const size_t na = std::fread(bufferA, 1, sizeof bufferA, fa);
        const size_t nb = std::fread(bufferB, 1, sizeof bufferB, fb);
        if (na != nb || std::ferror(fa) || std::ferror(fb)) same = false;
        else if (na == 0) break;
        else same = std::char_traits<char>::compare(bufferA, bufferB, na) == 0;
    }
    if (fa) std::fclose(fa);
    if (fb) std::fclose(fb);
    return same;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StemOf(const std::string& path)
{
    const std::string name = NameOf(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}
