#include "RecoveryStore.h"

#include "StateFiles.h"
#include "VersionStore.h"
#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"
#include "framework/NameReservation.h"
#include "framework/StateFolder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A session is named by 16 hex digits; its files are that name followed by
// ".lock" (the lock), "-N.tvk" and "-N.path" (slot N's copy and drawing
// path), or a temporary suffix on one of those.
constexpr size_t kSessionLength = 16;
constexpr char kCopyExtension[] = ".tvk";
constexpr char kPathExtension[] = ".path";
constexpr int kMaxAttempts = 8;
constexpr int kMaxRecoveredNames = 1000;

std::string RandomHex()
{
    uint64_t value = 0;
    if (::getrandom(&value, sizeof value, 0) != sizeof value) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        value = static_cast<uint64_t>(now) ^ (static_cast<uint64_t>(::getpid()) << 40);
    }
    char text[kSessionLength + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool IsSessionName(const std::string& name)
{
    if (name.size() <= kSessionLength) return false;
    for (size_t i = 0; i < kSessionLength; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    return name[kSessionLength] == '.' || name[kSessionLength] == '-';
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The lock we hold is still the file at path: a holder that ended may have
// unlinked it between our open and our lock.
bool HoldsFileAt(int fd, const std::string& path)
{
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
           held.st_dev == named.st_dev;
}

// A new lock file at path that is locked before anyone can see it: made
// under a temporary name and linked into place, which fails when the name is
// taken. The locked descriptor, or -1.
int CreateLockedFile(const std::string& path)
{
    const std::string temp = path + "." + RandomHex();
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    const bool linked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::link(temp.c_str(), path.c_str()) == 0;
    ::unlink(temp.c_str());
    if (linked) return fd;
    ::close(fd);
    return -1;
}

// The drawing's own file takes the copy, what it held kept as an earlier
// version first. A drawing never saved has no file yet: its name is reserved
// so that no running copy's new sketch takes it meanwhile.
bool IntoOwnFile(const std::string& copy, const std::string& drawing, CVersionStore& versions)
{
    CNameReservation name;
    if (Exists(drawing)) {
        if (!versions.Keep(drawing)) return false;
    } else if (!name.Reserve(drawing)) {
        return false;
    }
    return CopyIntoFile(copy, drawing);
}

bool IntoNewSketch(const std::string& copy, const std::string& drawing, const std::string& documentsFolder,
                   std::string& made)
{
    if (documentsFolder.empty() || !IsFolder(documentsFolder)) return false;
    std::string stem = StemOf(drawing);
    if (stem.empty()) stem = "Sketch";
    const auto make = [&](int n) {
        return documentsFolder + "/" + stem + " (recovered" + (n == 1 ? "" : " " + std::to_string(n)) + ")" +
               kCopyExtension;
    };
    CNameReservation name;
    if (!name.ReserveFirstFree(make, kMaxRecoveredNames) || !CopyIntoFile(copy, name.GetPath())) return false;
    made = name.GetPath();
    return true;
}

RestoredDrawing RestoreCopy(const std::string& copy, const std::string& drawing, CVersionStore& versions,
                            const std::string& documentsFolder)
{
    RestoredDrawing result{drawing, copy, RestoredDrawing::Into::Nowhere};
    CPaper paper;
    std::string error;
    const SketchLoad load = LoadSketchFile(copy, paper, error);
    if (load == SketchLoad::NotOpened || load == SketchLoad::NotSketch) return result;
    // A copy that reads only in part never replaces a drawing.
    if (load == SketchLoad::Whole && !drawing.empty()) {
        if (SameFileContents(copy, drawing)) {
            result.into = RestoredDrawing::Into::AlreadyThere;
            result.restoredPath = drawing;
            return result;
        }
        if (IntoOwnFile(copy, drawing, versions)) {
            result.into = RestoredDrawing::Into::OwnFile;
            result.restoredPath = drawing;
            return result;
        }
    }
    if (IntoNewSketch(copy, drawing, documentsFolder, result.restoredPath))
        result.into = RestoredDrawing::Into::NewSketch;
    return result;
}

}  // namespace

CRecoveryStore::~CRecoveryStore()
{
    Close();
}

bool CRecoveryStore::Open()
{
    Close();
    const std::string folder = StateFolder("recovery");
    if (folder.empty()) return false;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::string session = RandomHex();
        const int fd = CreateLockedFile(folder + "/" + session + ".lock");
        if (fd >= 0) {
            m_folder = folder;
            m_session = session;
            m_lockFd = fd;
            return true;
        }
    }
    return false;
}

void CRecoveryStore::Close()
{
    if (m_lockFd < 0) return;
    // Unlinked while still locked, so nobody locks a file about to vanish.
    ::unlink((m_folder + "/" + m_session + ".lock").c_str());
    ::close(m_lockFd);
    m_lockFd = -1;
}

std::string CRecoveryStore::SlotFile(int slot, const char* extension) const
{
    return m_folder + "/" + m_session + "-" + std::to_string(slot) + extension;
}

std::string CRecoveryStore::CopyFile(int slot) const
{
    return SlotFile(slot, kCopyExtension);
}

bool CRecoveryStore::WriteCopy(int slot, const std::string& drawingPath, const CPaper& paper) const
{
    if (m_lockFd < 0) return false;
    const std::string copy = SlotFile(slot, kCopyExtension);
    const std::string pathFile = SlotFile(slot, kPathExtension);
    const bool named = Exists(pathFile);
    if (!named) {
        // The archive keeps the mode of a file that is there; without one it
        // would ask the process's umask, which is no business of this thread.
        const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    CArchive ar;
    if (!ar.Open(copy, CArchive::store)) return false;
    if (!WriteSketch(paper, ar)) {
        ar.Abort();
        return false;
    }
    if (!ar.Close()) return false;
    // The path comes after the first whole copy, so a slot with a path always
    // has a sheet worth restoring.
    return named || WriteStateFile(pathFile, drawingPath);
}

bool CRecoveryStore::RemoveCopy(int slot) const
{
    if (m_lockFd < 0) return false;
    // The sheet first: a path left alone holds nothing to restore.
    const std::string copy = SlotFile(slot, kCopyExtension);
    const std::string pathFile = SlotFile(slot, kPathExtension);
    const bool copyGone = ::unlink(copy.c_str()) == 0 || errno == ENOENT;
    const bool pathGone = ::unlink(pathFile.c_str()) == 0 || errno == ENOENT;
    return copyGone && pathGone;
}

int CRecoveryStore::ClaimSession(const std::string& folder, const std::string& session) const
{
    const std::string lock = folder + "/" + session + ".lock";
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT) return -1;
            // A session that ended cleanly but left copies has no lock file.
            const int created = CreateLockedFile(lock);
            if (created >= 0) return created;
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;  // alive, or being restored by another start
        }
        if (HoldsFileAt(fd, lock)) return fd;
        ::close(fd);
    }
    return -1;
}

std::vector<RestoredDrawing> CRecoveryStore::RestoreOrphans(CVersionStore& versions,
                                                            const std::string& documentsFolder)
{
    std::vector<RestoredDrawing> restored;
    const std::string folder = m_folder.empty() ? StateFolder("recovery") : m_folder;
    if (folder.empty()) return restored;
    std::vector<std::string> sessions;
    for (const std::string& name : Entries(folder)) {
        if (!IsSessionName(name)) continue;
        const std::string session = name.substr(0, kSessionLength);
        if (session != m_session && (sessions.empty() || sessions.back() != session)) sessions.push_back(session);
    }
    for (const std::string& session : sessions) {
        for (RestoredDrawing& r : RestoreSession(folder, session, versions, documentsFolder))
            restored.push_back(std::move(r));
    }
    return restored;
}

std::vector<RestoredDrawing> CRecoveryStore::RestoreSession(const std::string& folder, const std::string& session,
                                                            CVersionStore& versions,
                                                            const std::string& documentsFolder)
{
    std::vector<RestoredDrawing> restored;
    const int fd = ClaimSession(folder, session);
    if (fd < 0) return restored;

    // The session's slots by number, each with its copy and its path file.
    std::map<long, std::string> slots;
    const std::string slotPrefix = session + "-";
    for (const std::string& name : Entries(folder)) {
        const size_t dot = name.find('.');
        if (name.compare(0, slotPrefix.size(), slotPrefix) != 0 || dot == std::string::npos) continue;
        if (name.compare(dot, std::string::npos, kCopyExtension) != 0) continue;
        const std::string number = name.substr(slotPrefix.size(), dot - slotPrefix.size());
        if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
            slots[std::strtol(number.c_str(), nullptr, 10)] = folder + "/" + name.substr(0, dot);
    }

    bool allPlaced = true;
    for (const auto& [slot, base] : slots) {
        const std::string copy = base + kCopyExtension;
        const std::string pathFile = base + kPathExtension;
        std::string drawing;
        if (!ReadWholeFile(pathFile, drawing, PATH_MAX)) {
            // Killed before the first copy was whole: nothing was written
            // that reads, or a sheet whose drawing is unknown.
            CPaper paper;
            std::string error;
            const SketchLoad load = LoadSketchFile(copy, paper, error);
            if (load == SketchLoad::NotOpened || load == SketchLoad::NotSketch) continue;
        }
        RestoredDrawing r = RestoreCopy(copy, drawing, versions, documentsFolder);
        if (r.into == RestoredDrawing::Into::Nowhere) {
            allPlaced = false;
        } else {
            ::unlink(copy.c_str());
            ::unlink(pathFile.c_str());
        }
        restored.push_back(std::move(r));
    }

    if (allPlaced) {
        // What is left are unfinished temporary files; then the lock goes,
        // unlinked while still locked.
        const std::string lockName = session + ".lock";
        for (const std::string& name : Entries(folder))
            if (name != lockName && name.compare(0, session.size(), session) == 0)
                ::unlink((folder + "/" + name).c_str());
        ::unlink((folder + "/" + lockName).c_str());
    }
    ::close(fd);
    return restored;
}
