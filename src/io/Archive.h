#pragma once
// CArchive: a byte stream over one file, for loading or for storing. Storing
// gathers the bytes in memory and hands them to CSaveTarget on Close, which
// replaces the target whole or not at all, so a failed or abandoned save
// never touches the file that was there before. Errors are kept, never
// thrown: the first failure sticks and is reported with its reason.

#include "SaveTarget.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CArchive {
public:
    enum Mode { load, store };

    CArchive() = default;
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    // Opens path for reading, or checks that it may be saved and makes ready
    // to replace it (through symbolic links, to the file they lead to).
    bool Open(const std::string& path, Mode mode);

    bool IsStoring() const { return m_mode == store; }
    // The path as it was given; its extension chooses a writer's format.
    const std::string& GetFileName() const { return m_path; }

    // Reads up to size bytes and returns how many arrived.
    size_t Read(void* buffer, size_t size);
    bool ReadExact(void* buffer, size_t size) { return Read(buffer, size) == size; }
    bool Write(const void* buffer, size_t size);
    bool Flush();
    bool Seek(uint64_t position);

    // Loading: closes the file. Storing: makes the data durable in the
    // target. False when anything failed on the way.
    bool Close();
    // Storing: throws the data away and leaves the target alone.
    void Abort();

    bool HasFailed() const { return !m_error.empty(); }
    // The reason for the first failure in plain words, empty when none.
    const std::string& GetError() const { return m_error; }

private:
    void Fail(const char* what);

    Mode m_mode = load;
    std::string m_path;
    std::FILE* m_file = nullptr;     // loading
    bool m_bStoring = false;         // storing, between Open and Close
    CSaveTarget m_target;
    std::vector<uint8_t> m_data;
    size_t m_position = 0;
    std::string m_error;
};
