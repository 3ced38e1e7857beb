#pragma once
// CNameReservation: the right to a file name that no file has yet, held so
// that no other copy of the program (on another display, or restoring a
// recovery copy) picks the same name for a new drawing before this one is
// saved. A reservation is a lock file in the state folder, locked for as long
// as its holder keeps it; a holder that dies releases it with its locks.

#include <functional>
#include <string>

class CNameReservation {
public:
    CNameReservation() = default;
    ~CNameReservation();
    CNameReservation(const CNameReservation&) = delete;
    CNameReservation& operator=(const CNameReservation&) = delete;

    // Reserves path when no file is there and nobody else holds it; gives up
    // any name held before. Without a state folder only the file counts.
    bool Reserve(const std::string& path);
    void Release();
    const std::string& GetPath() const { return m_path; }

    // Reserves the first free name of make(1), make(2), ... up to limit;
    // false when none was free.
    bool ReserveFirstFree(const std::function<std::string(int)>& make, int limit);

    // A name beside path for another drawing of the same stem: n 1 gives
    // "a (label).tvk" (or path itself when label is empty), n 2 gives
    // "a (label 2).tvk" (or "a (2).tvk").
    static std::string SiblingName(const std::string& path, const std::string& label, int n);

private:
    int m_fd = -1;
    std::string m_path;
    std::string m_lockPath;
};
