#include "StateFolder.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// mkdir -p with the given mode for the folders it makes; true when the
// folder exists at the end.
bool MakePath(const std::string& path, mode_t mode)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string StateFolder(const std::string& kind)
{
    std::string base;
    // The base directory rules ignore a relative path in the variable.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return std::string();
        base = std::string(home) + "/.local/state";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string folder = base + "/graphelle/" + kind;
    return MakePath(folder, 0700) ? folder : std::string();
}

std::string StateFileName(const std::string& path)
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
    char name[20];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}
