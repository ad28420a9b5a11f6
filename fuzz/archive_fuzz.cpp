// Fuzzes the archive walk with arbitrary file bytes, entry names and keys.
//
// Input: byte 0 picks the key (0 none, 1 marlpane, 2 tollwren, 3 the next
// byte gives a length and that many key bytes follow); then one byte of name
// length (mod 64) and the name; everything after that is the file, which is
// written to a temporary file and looked up with GetEntrySize and ReadEntry.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/plain_file.h"
#include "common/program_keys.h"
#include "common/text16.h"

namespace {

CKeyedArchive g_archive;

const std::u16string& FuzzFilePath() {
  static const std::u16string path =
      Utf8ToText("/tmp/archive_fuzz_" + std::to_string(getpid()) + ".exe");
  return path;
}

void RemoveFuzzFile() { RemoveFile(FuzzFilePath().c_str()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t at = 0;
  if (size < 2) return 0;
  const uint8_t mode = data[at++] % 4;
  switch (mode) {
    case 0:
      g_archive.SetKey(nullptr, 0);
      break;
    case 1:
      g_archive.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
      break;
    case 2:
      g_archive.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
      break;
    default: {
      const size_t length = data[at++];
      if (size - at < length) return 0;
      g_archive.SetKey(data + at, uint32_t(length));
      at += length;
      break;
    }
  }
  if (at >= size) return 0;
  const size_t nameLength = data[at++] % 64;
  if (size - at < nameLength) return 0;
  const std::string name(reinterpret_cast<const char*>(data + at), nameLength);
  at += nameLength;

  const std::u16string& path = FuzzFilePath();
  static const bool cleanupRegistered = std::atexit(RemoveFuzzFile) == 0;
  (void)cleanupRegistered;
  {
    CPlainFile file;
    if (!file.OpenWrite(path.c_str())) return 0;
    const uint32_t fileSize = uint32_t(size - at);
    if (fileSize != 0 && file.Write(data + at, fileSize) != fileSize) return 0;
  }
  const uint32_t fileSize = uint32_t(size - at);

  const uint32_t entrySize = g_archive.GetEntrySize(path.c_str(), name.c_str());
  // Contents live inside the file: a larger size can only fail, so a buffer
  // the size of the file is enough to exercise every path.
  const uint32_t capacity = entrySize < fileSize ? entrySize : fileSize;
  std::vector<uint8_t> buffer(capacity == 0 ? 1 : capacity);
  const uint32_t read = g_archive.ReadEntry(path.c_str(), name.c_str(), buffer.data(), capacity);
  if (read != 0 && (read != entrySize || read > capacity)) {
    __builtin_trap();
  }
  return 0;
}
