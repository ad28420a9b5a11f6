#include "tools/padsign/padsign_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned kFolderMode = 0755;
constexpr unsigned kPublishedFileMode = 0644;

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

CInputFile::~CInputFile() {
  if (handle_ >= 0) close(int(handle_));
}

bool CInputFile::Open(const std::string& path, std::string* error) {
  handle_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle_ < 0) {
    *error = Reason("cannot read", path);
    return false;
  }
  struct stat info;
  if (fstat(int(handle_), &info) != 0) {
    *error = Reason("cannot read", path);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = "cannot read " + path + ": not a regular file";
    return false;
  }
  size_ = uint64_t(info.st_size);
  return true;
}

long CInputFile::Read(void* buffer, size_t size) {
  while (true) {
    const ssize_t n = read(int(handle_), buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : long(n);
  }
}

bool PathExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void RemovePath(const std::string& path) { unlink(path.c_str()); }

bool CreateFolders(const std::string& path, std::vector<std::string>* created, std::string* error) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    *error = path + " exists and is not a folder";
    return false;
  }
  const size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
  if (slash != std::string::npos && slash > 0 && !CreateFolders(path.substr(0, slash), created, error)) {
    return false;
  }
  if (mkdir(path.c_str(), kFolderMode) != 0 && errno != EEXIST) {
    *error = Reason("cannot create folder", path);
    return false;
  }
  created->push_back(path);
  return true;
}

void RemoveFolders(const std::vector<std::string>& created) {
  for (auto it = created.rbegin(); it != created.rend(); ++it) rmdir(it->c_str());
}

bool WriteNewFile(const std::string& path, const std::string& bytes, unsigned mode, std::string* error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    *error = Reason("cannot create", path);
    return false;
  }
  // The umask may have narrowed the mode; a key file gets exactly its own.
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
  ok = close(fd) == 0 && ok;
  if (!ok) {
    *error = Reason("cannot write", path);
    unlink(path.c_str());
  }
  return ok;
}

bool WriteFilesTogether(const std::string& folder, const std::vector<OutputFile>& files,
                        std::string* error) {
  std::vector<std::string> createdFolders;
  if (!CreateFolders(folder, &createdFolders, error)) return false;
  std::vector<std::string> temporaries;
  bool ok = true;
  for (const OutputFile& file : files) {
    std::string name = folder + "/." + file.name + ".XXXXXX";
    const int fd = mkstemp(&name[0]);
    if (fd < 0) {
      *error = Reason("cannot write in", folder);
      ok = false;
      break;
    }
    temporaries.push_back(name);
    const bool written = fchmod(fd, kPublishedFileMode) == 0 && WriteAll(fd, file.bytes) && fsync(fd) == 0;
    if (close(fd) != 0 || !written) {
      *error = Reason("cannot write", folder + "/" + file.name);
      ok = false;
      break;
    }
  }
  for (size_t i = 0; ok && i < files.size(); ++i) {
    const std::string target = folder + "/" + files[i].name;
    if (rename(temporaries[i].c_str(), target.c_str()) != 0) {
      *error = Reason("cannot write", target);
      ok = false;
    }
  }
  if (!ok) {
    for (const std::string& name : temporaries) unlink(name.c_str());
    RemoveFolders(createdFolders);
  }
  return ok;
}
