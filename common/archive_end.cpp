#include "common/archive_end.h"

#include <cstring>

#include "common/archive.h"

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The DOS header's pointer to the PE signature.
constexpr uint64_t kPeOffsetField = 0x3C;
constexpr uint32_t kDosHeaderSize = 0x40;
// "PE\0\0", then the COFF file header; its optional header size at 16.
constexpr uint32_t kPeSignatureSize = 4;
constexpr uint32_t kCoffHeaderSize = 20;
constexpr uint32_t kOptionalSizeField = 16;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Where the count of data directories and the directories themselves stand
// in the optional header of each kind.
constexpr uint32_t kPe32DirectoryCountField = 92;
constexpr uint32_t kPe32PlusDirectoryCountField = 108;
constexpr uint32_t kSecurityDirectory = 4;
constexpr uint32_t kDirectorySize = 8;
// WIN_CERTIFICATE: its length (4), revision (2) and type (2), then the data.
constexpr uint32_t kCertificateHeaderSize = 8;

const uint8_t kMagicBytes[kArchiveMagicSize] = {0xBE, 0xBA, 0xDC, 0xAC};

}  // namespace

bool CMemoryByteSource::ReadAt(uint64_t offset, uint8_t* out, uint32_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  if (n != 0) std::memcpy(out, data_ + offset, n);
  return true;
}

bool CFileByteSource::ReadAt(uint64_t offset, uint8_t* out, uint32_t n) {
  if (offset > size_ || n > size_ - offset || offset > UINT32_MAX) return false;
  return file_.SeekTo(uint32_t(offset)) == offset && file_.Read(out, n) == n;
}

uint64_t FindCertificateTable(CByteSource& source) {
  const uint64_t size = source.Size();
  uint8_t dos[kDosHeaderSize];
  if (!source.ReadAt(0, dos, kDosHeaderSize) || dos[0] != 'M' || dos[1] != 'Z') return 0;
  const uint64_t pe = Le32(dos + kPeOffsetField);

  uint8_t file[kPeSignatureSize + kCoffHeaderSize + 2];
  if (!source.ReadAt(pe, file, sizeof file) || std::memcmp(file, "PE\0\0", kPeSignatureSize) != 0) return 0;
  const uint32_t optionalSize = Le16(file + kPeSignatureSize + kOptionalSizeField);
  const uint64_t optional = pe + kPeSignatureSize + kCoffHeaderSize;
  const uint16_t magic = Le16(file + kPeSignatureSize + kCoffHeaderSize);
  uint32_t countField;
  if (magic == kPe32Magic) {
    countField = kPe32DirectoryCountField;
  } else if (magic == kPe32PlusMagic) {
    countField = kPe32PlusDirectoryCountField;
  } else {
    return 0;
  }
  const uint32_t directoryField = countField + 4 + kSecurityDirectory * kDirectorySize;
  if (optionalSize < directoryField + kDirectorySize) return 0;
  uint8_t count[4];
  uint8_t directory[kDirectorySize];
  if (!source.ReadAt(optional + countField, count, 4) || Le32(count) <= kSecurityDirectory ||
      !source.ReadAt(optional + directoryField, directory, kDirectorySize)) {
    return 0;
  }

  const uint64_t table = Le32(directory);
  const uint64_t length = Le32(directory + 4);
  if (table == 0 || table % kCertificateTableAlignment != 0 || table < optional + optionalSize ||
      table > size || length != size - table || length < kCertificateHeaderSize) {
    return 0;
  }
  uint8_t certificate[4];
  if (!source.ReadAt(table, certificate, 4)) return 0;
  const uint32_t certificateLength = Le32(certificate);
  if (certificateLength < kCertificateHeaderSize || certificateLength > length) return 0;
  return table;
}

uint64_t FindArchiveEnd(CByteSource& source) {
  const uint64_t table = FindCertificateTable(source);
  if (table == 0) return source.Size();

  uint8_t before[kCertificatePaddingMax + kArchiveTrailerSize];
  const uint64_t available = table < sizeof before ? table : sizeof before;
  if (!source.ReadAt(table - available, before, uint32_t(available))) return 0;
  // before[available - 1] is the byte right in front of the table.
  for (uint32_t padding = 0; padding <= kCertificatePaddingMax; ++padding) {
    if (padding > 0 && (padding > available || before[available - padding] != 0)) break;
    const uint64_t end = table - padding;
    if (end < kArchiveMagicSize + kArchiveTrailerSize || available < padding + kArchiveTrailerSize) break;
    const uint32_t length = Le32(before + available - padding - kArchiveTrailerSize);
    if (length < kArchiveMagicSize + kArchiveTrailerSize || length > end) continue;
    uint8_t magic[kArchiveMagicSize];
    if (source.ReadAt(end - length, magic, kArchiveMagicSize) &&
        std::memcmp(magic, kMagicBytes, kArchiveMagicSize) == 0) {
      return end;
    }
  }
  return 0;
}
