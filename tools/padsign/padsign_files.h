// The signing tool's files: bounded reads, a streamed read of the installer,
// key files that are never overwritten, and the release folder's two files
// written all or nothing. Paths are UTF-8; padsign_files_posix.cpp and
// padsign_files_win.cpp hold the platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole file when it has at most limit bytes. False with a reason
// naming the file otherwise.
bool ReadSmallFile(const std::string& path, size_t limit, std::string* bytes, std::string* error);

// A regular file opened for reading, for files too large to hold.
class CInputFile {
 public:
  CInputFile() = default;
  CInputFile(const CInputFile&) = delete;
  CInputFile& operator=(const CInputFile&) = delete;
  virtual ~CInputFile();

  bool Open(const std::string& path, std::string* error);
  uint64_t Size() const { return size_; }
  // Bytes read into buffer; 0 at the end; -1 on a read error.
  long Read(void* buffer, size_t size);

 private:
  intptr_t handle_ = -1;  // a file descriptor, or on Windows a HANDLE
  uint64_t size_ = 0;
};

// True when anything (a file, a folder, a dangling link) has this name.
bool PathExists(const std::string& path);
// Removes a file; nothing happens when it cannot.
void RemovePath(const std::string& path);

// Creates the folder and its missing parents; the folders it created, deepest
// last, are appended to created so that a failed step can remove them.
bool CreateFolders(const std::string& path, std::vector<std::string>* created, std::string* error);
// Removes the folders that CreateFolders created, deepest first.
void RemoveFolders(const std::vector<std::string>& created);

// Writes a file that must not exist yet, with exactly the given permissions.
// On Windows a mode without any group or other bits (0600) makes a file that
// only its owner may open; any other mode keeps the folder's inherited ones.
bool WriteNewFile(const std::string& path, const std::string& bytes, unsigned mode, std::string* error);

struct OutputFile {
  std::string name;  // inside the folder
  std::string bytes;
};

// Writes every file under a temporary name in folder (created with its
// parents when missing) and renames them into place only when all were
// written; on failure nothing new is left behind.
bool WriteFilesTogether(const std::string& folder, const std::vector<OutputFile>& files,
                        std::string* error);
