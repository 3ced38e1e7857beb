#include "FileStamp.h"

#include <sys/stat.h>

CFileStamp CFileStamp::Of(const std::string& path)
{
    CFileStamp stamp;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.bExists = true;
    stamp.dev = st.st_dev;
    stamp.ino = st.st_ino;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.mtimeSec = st.st_mtim.tv_sec;
    stamp.mtimeNsec = st.st_mtim.tv_nsec;
    return stamp;
}
