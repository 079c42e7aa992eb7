#pragma once
#include <string>
#include <string_view>

namespace tamberlo {

// Replaces `path` with `bytes` atomically: the data goes to a temporary file
// beside it, which is renamed over the old one. On failure the old file is
// untouched and Error names the file.
void writeFileAtomic(const std::string& path, std::string_view bytes);

// Creates `path` for writing and returns its descriptor, or -1 (errno set)
// when anything is already there: a file, a FIFO, a link (never followed).
// Someone who can create files in the folder cannot make us write elsewhere.
int createNewFile(const std::string& path);

// Reads the whole file; Error when it cannot be opened. Files above
// `maxBytes` are refused with Error rather than read into memory.
std::string readFile(const std::string& path, size_t maxBytes = 64u << 20);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Creates one folder level; returns false (and changes nothing) on failure.
bool createFolder(const std::string& path);
bool deleteFile(const std::string& path);

// Folder of the running executable, with a trailing separator.
std::string executableFolder();

// Folder part of a path, with its trailing separator ("" when none).
std::string folderOf(const std::string& path);

// Ensures a trailing '/'.
std::string withTrailingSeparator(std::string folder);

}  // namespace tamberlo
