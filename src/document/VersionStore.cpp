#include "VersionStore.h"

#include "StateFiles.h"
#include "framework/NameReservation.h"
#include "framework/StateFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each drawing has a folder named by a hash of its path, holding this file
// with the path itself and one file a version.
constexpr char kDrawingFile[] = "drawing";
constexpr char kVersionExtension[] = ".tvk";
// A file this large is no drawing (a full 2048 x 2048 sheet packs into a few
// megabytes), and copying it would only fill the user's disk.
constexpr size_t kMaxVersionBytes = 64u << 20;
// Drawings whose paths share a hash get folders numbered after the first.
constexpr int kMaxHashNeighbours = 16;
constexpr int kMaxRestoredNames = 1000;

// One drawing reached by two names (a link, a "..") keeps one set of versions.
std::string DrawingKey(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    if (::realpath(FolderOf(path).c_str(), resolved)) return std::string(resolved) + "/" + NameOf(path);
    return path;
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

// The names of a drawing folder's versions, oldest first: they are named by
// the time they were kept, in digits of one length.
std::vector<std::string> VersionNames(const std::string& folder)
{
    std::vector<std::string> names;
    const size_t extension = sizeof kVersionExtension - 1;
    for (const std::string& name : Entries(folder)) {
        if (name.size() > extension && name.compare(name.size() - extension, extension, kVersionExtension) == 0 &&
            std::isdigit(static_cast<unsigned char>(name[0])))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The folder of the drawing with this key; made when asked and missing.
std::string DrawingFolder(const std::string& key, bool create)
{
    const std::string base = StateFolder("versions");
    if (base.empty()) return std::string();
    const std::string hash = StateFileName(key);
    for (int n = 1; n <= kMaxHashNeighbours; ++n) {
        const std::string folder = base + "/" + hash + (n == 1 ? "" : "-" + std::to_string(n));
        std::string owner;
        if (ReadWholeFile(folder + "/" + kDrawingFile, owner, PATH_MAX)) {
            if (owner == key) return folder;
            continue;
        }
        if (!create) {
            if (IsFolder(folder)) continue;
            return std::string();
        }
        // A folder whose owner file never arrived is free to take.
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
        return WriteStateFile(folder + "/" + kDrawingFile, key) ? folder : std::string();
    }
    return std::string();
}

std::vector<EarlierVersion> VersionsIn(const std::string& folder, const std::string& drawingPath)
{
    std::vector<EarlierVersion> versions;
    const std::vector<std::string> names = VersionNames(folder);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        EarlierVersion v;
        v.file = folder + "/" + *it;
        v.drawingPath = drawingPath;
        struct stat st;
        if (::stat(v.file.c_str(), &st) != 0) continue;
        v.time = st.st_mtime;
        versions.push_back(v);
    }
    return versions;
}

std::string NewVersionName(const std::string& folder)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    for (;; ++ns) {
        char name[40];
        std::snprintf(name, sizeof name, "%020lld%s", ns, kVersionExtension);
        const std::string path = folder + "/" + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) return path;
    }
}

}  // namespace

bool CVersionStore::Keep(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    // Saving over a folder or a device fails on its own; there is no drawing
    // to keep.
    if (!S_ISREG(st.st_mode)) return true;
    if (static_cast<uint64_t>(st.st_size) > kMaxVersionBytes) return false;

    const std::string folder = DrawingFolder(DrawingKey(path), true);
    if (folder.empty()) return false;
    std::vector<std::string> names = VersionNames(folder);
    if (!names.empty() && SameFileContents(folder + "/" + names.back(), path)) return true;

    std::string data;
    if (!ReadWholeFile(path, data, kMaxVersionBytes)) return false;
    const std::string version = NewVersionName(folder);
    if (!WriteStateFile(version, data)) return false;
    // The version is dated as the drawing was, not as the save that replaced it.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, version.c_str(), times, 0);

    names.push_back(NameOf(version));
    for (size_t i = 0; i + kMaxVersions < names.size(); ++i) ::unlink((folder + "/" + names[i]).c_str());
    return true;
}

bool CVersionStore::KeepBeforeFirstSave(const std::string& path)
{
    const std::string key = DrawingKey(path);
    if (m_keptThisRun.count(key)) return true;
    if (!Keep(path)) return false;
    try {
        m_keptThisRun.insert(key);
    } catch (...) {
        // Forgetting only means the next save keeps one more version.
    }
    return true;
}

std::vector<EarlierVersion> CVersionStore::List(const std::string& path) const
{
    const std::string folder = DrawingFolder(DrawingKey(path), false);
    if (folder.empty()) return {};
    return VersionsIn(folder, path);
}

std::vector<EarlierVersion> CVersionStore::ListAll() const
{
    std::vector<EarlierVersion> all;
    const std::string base = StateFolder("versions");
    if (base.empty()) return all;
    for (const std::string& name : Entries(base)) {
        const std::string folder = base + "/" + name;
        std::string drawing;
        if (!ReadWholeFile(folder + "/" + kDrawingFile, drawing, PATH_MAX)) continue;
        for (EarlierVersion& v : VersionsIn(folder, drawing)) all.push_back(std::move(v));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const EarlierVersion& a, const EarlierVersion& b) { return a.time > b.time; });
    return all;
}

bool CVersionStore::RestoreAsNew(const EarlierVersion& version, const std::string& documentsFolder,
                                 std::string& made)
{
    char date[32] = "";
    const time_t time = static_cast<time_t>(version.time);
    struct tm local;
    if (::localtime_r(&time, &local)) std::strftime(date, sizeof date, "%Y-%m-%d %H.%M", &local);
    std::string stem = StemOf(version.drawingPath);
    if (stem.empty()) stem = "Sketch";
    const std::string base = stem + " (version of " + date + ")";

    for (const std::string& folder : {FolderOf(version.drawingPath), documentsFolder}) {
        if (folder.empty() || !IsFolder(folder)) continue;
        // Held until the file is there, so no other copy of the program
        // picks the same name meanwhile.
        CNameReservation name;
        const auto make = [&](int n) {
            return folder + "/" + base + (n == 1 ? "" : " " + std::to_string(n)) + kVersionExtension;
        };
        if (!name.ReserveFirstFree(make, kMaxRestoredNames)) continue;
        if (CopyIntoFile(version.file, name.GetPath())) {
            made = name.GetPath();
            return true;
        }
    }
    return false;
}
