#pragma once
// CFileStamp: what a file looked like when the program last read or wrote
// it (device, inode, size, modification time to the nanosecond), so that a
// save can tell whether someone else has written the file since.

#include <cstdint>
#include <string>

struct CFileStamp {
    bool bExists = false;
    uint64_t dev = 0, ino = 0, size = 0;
    int64_t mtimeSec = 0, mtimeNsec = 0;

    // The file at path as it is now, following symbolic links.
    static CFileStamp Of(const std::string& path);
    friend bool operator==(const CFileStamp&, const CFileStamp&) = default;
};
