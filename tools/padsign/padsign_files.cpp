// The platform-independent part of padsign_files.h.
#include "tools/padsign/padsign_files.h"

namespace {

constexpr size_t kReadChunk = 1 << 16;

}  // namespace

bool ReadSmallFile(const std::string& path, size_t limit, std::string* bytes, std::string* error) {
  CInputFile file;
  if (!file.Open(path, error)) return false;
  if (file.Size() > limit) {
    *error = path + " has more than " + std::to_string(limit) + " bytes";
    return false;
  }
  bytes->clear();
  char chunk[kReadChunk];
  while (true) {
    const long n = file.Read(chunk, sizeof chunk);
    if (n < 0) {
      *error = "cannot read " + path;
      return false;
    }
    if (n == 0) return true;
    if (bytes->size() + size_t(n) > limit) {
      *error = path + " has more than " + std::to_string(limit) + " bytes";
      return false;
    }
    bytes->append(chunk, size_t(n));
  }
}
