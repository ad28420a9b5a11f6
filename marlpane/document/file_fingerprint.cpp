#include "marlpane/document/file_fingerprint.h"

#include <memory>
#include <new>

#include "common/plain_file.h"

namespace {

constexpr uint32_t kBlock = 64 * 1024;
// FNV-1a, 64 bits: one multiplication a byte, fast enough for a settings
// file of a few megabytes.
constexpr uint64_t kOffsetBasis = 0xcbf29ce484222325ull;
constexpr uint64_t kPrime = 0x100000001b3ull;

}  // namespace

bool ReadFingerprint(const char16_t* path, FileFingerprint& out) {
  out = FileFingerprint();
  CPlainFile file;
  if (!file.OpenRead(path)) return false;
  const uint64_t size = file.FullSize();
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kBlock]);
  if (!block) return false;
  uint64_t digest = kOffsetBasis;
  uint64_t done = 0;
  for (uint32_t got; (got = file.Read(block.get(), kBlock)) > 0; done += got) {
    for (uint32_t i = 0; i < got; ++i) digest = (digest ^ block[i]) * kPrime;
  }
  if (done != size) return false;  // cut short, or grown while being read
  out.size = size;
  out.digest = digest;
  out.read = true;
  return true;
}
