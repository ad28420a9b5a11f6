// Fuzzes the search for an archive in front of an Authenticode certificate
// table: the input is a whole file. Whatever the PE headers and the security
// directory claim, the answers must stay inside the file.
#include <cstddef>
#include <cstdint>

#include "common/archive.h"
#include "common/archive_end.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMemoryByteSource source(data, size);
  const uint64_t table = FindCertificateTable(source);
  const uint64_t end = FindArchiveEnd(source);
  if (table == 0) {
    if (end != size) __builtin_trap();
    return 0;
  }
  if (table >= size || table % kCertificateTableAlignment != 0) __builtin_trap();
  if (end != 0 && (end > table || table - end > kCertificatePaddingMax ||
                   end < kArchiveMagicSize + kArchiveTrailerSize)) {
    __builtin_trap();
  }
  return 0;
}
