// POSIX side of the file layer: descriptors, /proc/self/exe, PATH, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/plain_file.h"
#include "common/text16.h"

namespace {

constexpr int kClosed = -1;

std::string NativePath(const char16_t* path) { return TextToUtf8(path ? path : u""); }

int OpenPath(const char16_t* path, int flags) {
  if (!path || !path[0]) return kClosed;
  int fd;
  do {
    fd = ::open(NativePath(path).c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return kClosed;
  // A folder is not a file here, as on Windows.
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return kClosed;
  }
  return fd;
}

uint32_t SeekResult(off_t position) {
  return position < 0 ? CPlainFile::kSeekFailed : static_cast<uint32_t>(position & 0xFFFFFFFF);
}

}  // namespace

CPlainFile::CPlainFile() : handle_(kClosed) {}

CPlainFile::~CPlainFile() { Close(); }

bool CPlainFile::IsOpen() const { return handle_ >= 0; }

int CPlainFile::OpenRead(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, O_RDONLY);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::OpenWrite(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, O_RDWR | O_CREAT | O_TRUNC);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::OpenNew(const char16_t* path) {
  Close();
  handle_ = OpenPath(path, O_RDWR | O_CREAT | O_EXCL);
  return IsOpen() ? 1 : 0;
}

int CPlainFile::Close() {
  if (!IsOpen()) {
    handle_ = kClosed;
    return 1;
  }
  int result = ::close(handle_) == 0 ? 1 : 0;
  handle_ = kClosed;
  return result;
}

uint32_t CPlainFile::Size() {
  struct stat info;
  if (!IsOpen() || fstat(handle_, &info) != 0) return 0;
  return static_cast<uint32_t>(static_cast<uint64_t>(info.st_size) & 0xFFFFFFFF);
}

uint64_t CPlainFile::FullSize() {
  struct stat info;
  if (!IsOpen() || fstat(handle_, &info) != 0 || info.st_size < 0) return 0;
  return static_cast<uint64_t>(info.st_size);
}

uint32_t CPlainFile::SeekTo(uint32_t offset) {
  if (!IsOpen()) return kSeekFailed;
  return SeekResult(lseek(handle_, static_cast<off_t>(offset), SEEK_SET));
}

uint32_t CPlainFile::SeekBy(int32_t distance) {
  if (!IsOpen()) return kSeekFailed;
  return SeekResult(lseek(handle_, static_cast<off_t>(distance), SEEK_CUR));
}

uint32_t CPlainFile::SeekFromEnd(uint32_t n) {
  if (!IsOpen()) return kSeekFailed;
  return SeekResult(lseek(handle_, -static_cast<off_t>(n), SEEK_END));
}

uint32_t CPlainFile::Tell() {
  if (!IsOpen()) return kSeekFailed;
  return SeekResult(lseek(handle_, 0, SEEK_CUR));
}

uint32_t CPlainFile::Read(void* buffer, uint32_t n) {
  if (n == 0 || !buffer || !IsOpen()) return 0;
  uint32_t done = 0;
  while (done < n) {
    ssize_t got = ::read(handle_, static_cast<char*>(buffer) + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<uint32_t>(got);
  }
  return done;
}

uint32_t CPlainFile::Write(const void* buffer, uint32_t n) {
  if (n == 0 || !buffer || !IsOpen()) return 0;
  uint32_t done = 0;
  while (done < n) {
    ssize_t put = ::write(handle_, static_cast<const char*>(buffer) + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<uint32_t>(put);
  }
  return done;
}

bool CPlainFile::Flush() { return IsOpen() && fsync(handle_) == 0; }

size_t GetProgramPath(char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = 0;
  char buffer[4 * kPathCapacity];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return 0;
  buffer[n] = 0;
  std::u16string path = Utf8ToText(std::string(buffer, static_cast<size_t>(n)));
  if (!CopyText(out, capacity, path.c_str())) return 0;
  return path.size();
}

size_t SearchPathFor(const char16_t* name, char16_t* out, size_t capacity) {
  if (!name || !name[0]) return 0;
  std::string file = NativePath(name);
  auto found = [&](const std::string& candidate) -> size_t {
    struct stat info;
    if (stat(candidate.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    std::u16string path = Utf8ToText(candidate);
    if (path.size() + 1 > capacity || !out) return path.size() + 1;  // the room needed
    CopyText(out, capacity, path.c_str());
    return path.size();
  };
  if (file.find('/') != std::string::npos) return found(file);
  const char* list = getenv("PATH");
  if (!list) return 0;
  std::string folders(list);
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    if (folder.empty()) folder = ".";
    if (size_t result = found(folder + "/" + file)) return result;
    start = end + 1;
  }
  return 0;
}

bool CreateFolder(const char16_t* path) {
  if (!path || !path[0]) return false;
  return mkdir(NativePath(path).c_str(), 0777) == 0;
}

bool RemoveFile(const char16_t* path) {
  if (!path || !path[0]) return false;
  return unlink(NativePath(path).c_str()) == 0;
}

bool ReplaceFileWith(const char16_t* target, const char16_t* source) {
  std::string to = NativePath(target);
  // A file the user may not write stays as it is, as on Windows.
  if (access(to.c_str(), F_OK) == 0 && access(to.c_str(), W_OK) != 0) return false;
  return rename(NativePath(source).c_str(), to.c_str()) == 0;
}

void CopyFilePermissions(const char16_t* model, const char16_t* path) {
  struct stat info;
  if (stat(NativePath(model).c_str(), &info) != 0) return;
  chmod(NativePath(path).c_str(), info.st_mode & 07777);
}

bool IsPathSeparator(char16_t c) { return c == u'/' || c == u'\\'; }
