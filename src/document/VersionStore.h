#pragma once
// CVersionStore: earlier versions of drawings, kept in the state folder before
// a save replaces a drawing's file, at most kMaxVersions a drawing with the
// oldest dropped. It only ever reads a drawing's file; restoring a version
// makes a new sketch and never writes over anything.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct EarlierVersion {
    std::string file;         // the kept copy in the state folder
    std::string drawingPath;  // the drawing it was taken from
    int64_t time = 0;         // when the drawing's file was written with it, seconds since the epoch
};

class CVersionStore {
public:
    static constexpr size_t kMaxVersions = 10;

    // Keeps what the file at path holds now. True when it is kept, or when
    // there is nothing to keep (no file there, or the newest version already
    // holds the same bytes).
    bool Keep(const std::string& path);
    // Keep for the first save of each drawing in this run; later saves of the
    // same drawing only replace what this run wrote.
    bool KeepBeforeFirstSave(const std::string& path);

    // The versions of one drawing, or of every drawing, newest first.
    std::vector<EarlierVersion> List(const std::string& path) const;
    std::vector<EarlierVersion> ListAll() const;

    // Writes the version into a new sketch beside its drawing, or in
    // documentsFolder when that folder cannot take one; made is its path.
    static bool RestoreAsNew(const EarlierVersion& version, const std::string& documentsFolder,
                             std::string& made);

private:
    std::set<std::string> m_keptThisRun;
};
