#pragma once
// Whole-file reads, writes and copies for the program's own state (recovery
// copies, earlier versions) and for putting such a copy back into a drawing's
// file. State files are private to the user and replaced atomically; a copy
// into a drawing's file goes through CArchive like every save.

#include <cstddef>
#include <string>

// Reads the whole file, refusing one longer than limit bytes.
bool ReadWholeFile(const std::string& path, std::string& data, size_t limit);

// Writes data as the file at path (mode 0600) through a temporary file that
// replaces it only when complete. Safe on any thread: it never asks the umask.
bool WriteStateFile(const std::string& path, const std::string& data);

// Copies the file from into to as a save would: to is replaced only when
// the whole copy is written. For the user-interface thread only.
bool CopyIntoFile(const std::string& from, const std::string& to);

// Both files can be read and hold the same bytes.
bool SameFileContents(const std::string& a, const std::string& b);

// The folder part and the name part of a path ("/a/b.tvk": "/a", "b.tvk").
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);
// The name without its last extension ("b.tvk": "b").
std::string StemOf(const std::string& path);
