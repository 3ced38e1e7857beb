#pragma once
// CSaveTarget: the file one save replaces, and how. It follows symbolic links
// to the file at their end, refuses folders, special and write-protected
// files, and then either fills a hidden, locked temporary file beside the
// target and renames it over the target (owner, group and mode kept), or,
// where that cannot keep the file as it was (a closed folder, an owner that
// cannot be given back, a file with more names), rewrites the target in place
// with its old content held to put back. CArchive owns one while it stores.
// Never throws; every refusal and failure comes with a reason in plain words.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

class CSaveTarget {
public:
    CSaveTarget() = default;
    ~CSaveTarget() { Discard(); }
    CSaveTarget(const CSaveTarget&) = delete;
    CSaveTarget& operator=(const CSaveTarget&) = delete;

    // Checks that path may be saved and makes ready to write it; false with
    // a reason when the save cannot go there. Leftover temporary files of
    // earlier saves of the same file that were killed go on the way.
    bool Prepare(const std::string& path);
    // Makes data the file's whole content, durably. The file is afterwards
    // the new content whole or what it was; only when a rewrite in place
    // fails and the old content cannot go back either does the reason say
    // the file may be damaged.
    bool Commit(const uint8_t* data, size_t size);
    // Gives up: no temporary file stays, the target is left alone.
    void Discard();

    const std::string& GetError() const { return m_error; }

private:
    bool Refuse(const std::string& reason);
    bool Fail(const char* what, int error);
    bool CheckExisting();
    bool CreateTemporary();
    bool KeepOwner();
    bool OpenInPlace();
    bool CommitReplace(const uint8_t* data, size_t size);
    bool CommitInPlace(const uint8_t* data, size_t size);
    void CloseFile();

    std::string m_filePath;  // the end of the link chain the path named
    std::string m_tempPath;
    std::string m_error;
    int m_fd = -1;
    bool m_bExists = false;
    bool m_bInPlace = false;
    struct stat m_old {};  // the file being replaced, when it exists
    mode_t m_mode = 0;     // what the new file gets
    std::vector<uint8_t> m_oldContent;
};
