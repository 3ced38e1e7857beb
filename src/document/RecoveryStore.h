#pragma once
// CRecoveryStore: the recovery folder. Each running copy of the program holds
// a session there, a lock file it keeps locked while it lives, and keeps its
// recovery copies under that session: the sheet as a sketch file and the
// drawing's own path beside it. At start, copies of sessions that nobody
// holds any more are written back into their drawings' files. A copy is
// deleted only once its contents are in a file.

#include <string>
#include <vector>

class CPaper;
class CVersionStore;

// Where one recovery copy went at start.
struct RestoredDrawing {
    enum class Into {
        OwnFile,       // the drawing's file holds it now; what it held is an earlier version
        NewSketch,     // its own file could not take it: a new sketch in the documents folder
        AlreadyThere,  // the drawing's file held the same already
        Nowhere,       // nothing could take it; the copy stays for the next start
    };
    std::string drawingPath;   // where the drawing was; empty when its copy lost that
    std::string restoredPath;  // the file that holds it now (for Nowhere, the copy)
    Into into = Into::Nowhere;
};

class CRecoveryStore {
public:
    CRecoveryStore() = default;
    ~CRecoveryStore();
    CRecoveryStore(const CRecoveryStore&) = delete;
    CRecoveryStore& operator=(const CRecoveryStore&) = delete;

    // Takes a session of its own; false when there is no recovery folder.
    bool Open();
    // Gives the session up. Copies still here are left for a later start.
    void Close();
    bool IsOpen() const { return m_lockFd >= 0; }

    // The copy of a slot (one per drawing path in a session): written whole
    // or not at all, the path beside it written with the first copy. Safe
    // on a worker thread.
    bool WriteCopy(int slot, const std::string& drawingPath, const CPaper& paper) const;
    bool RemoveCopy(int slot) const;
    std::string CopyFile(int slot) const;

    // Every copy left by a session that no running copy holds, written back.
    std::vector<RestoredDrawing> RestoreOrphans(CVersionStore& versions, const std::string& documentsFolder);

private:
    std::string SlotFile(int slot, const char* extension) const;
    // Locks a session that nobody holds; -1 when it is alive or taken.
    int ClaimSession(const std::string& folder, const std::string& session) const;
    std::vector<RestoredDrawing> RestoreSession(const std::string& folder, const std::string& session,
                                                CVersionStore& versions, const std::string& documentsFolder);

    std::string m_folder;
    std::string m_session;
    int m_lockFd = -1;
};
