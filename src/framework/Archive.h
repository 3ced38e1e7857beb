#pragma once
// CArchive: a byte stream over one file, for loading or for storing. Storing
// writes into a temporary file beside the target and replaces the target only
// when Close succeeds, so a failed or abandoned save never touches the file
// that was there before. Errors are kept, never thrown: the first failure
// sticks and is reported by Close with the system's reason.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class CArchive {
public:
    enum Mode { load, store };

    CArchive() = default;
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    // Opens path for reading, or creates the temporary file for storing.
    bool Open(const std::string& path, Mode mode);

    bool IsStoring() const { return m_mode == store; }
    const std::string& GetFileName() const { return m_path; }

    // Reads up to size bytes and returns how many arrived.
    size_t Read(void* buffer, size_t size);
    bool ReadExact(void* buffer, size_t size) { return Read(buffer, size) == size; }
    bool Write(const void* buffer, size_t size);
    bool Flush();
    bool Seek(uint64_t position);

    // Loading: closes the file. Storing: makes the data durable and moves the
    // temporary file over the target. False when anything failed on the way.
    bool Close();
    // Storing: throws the temporary file away and leaves the target alone.
    void Abort();

    bool HasFailed() const { return !m_error.empty(); }
    // The system's reason for the first failure, empty when none.
    const std::string& GetError() const { return m_error; }

private:
    void Fail(const char* what);

    Mode m_mode = load;
    std::string m_path;
    std::string m_tempPath;
    std::FILE* m_file = nullptr;
    std::string m_error;
};
