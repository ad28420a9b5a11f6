#include "common/archive.h"

#include <cstring>
#include <vector>

#include "common/archive_end.h"

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void WriteLe32(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value);
  p[1] = uint8_t(value >> 8);
  p[2] = uint8_t(value >> 16);
  p[3] = uint8_t(value >> 24);
}

constexpr uint32_t kChecksumOffset = 40;
constexpr uint32_t kReservedOffset = 44;
constexpr uint32_t kReserved2Offset = 48;
constexpr uint32_t kSizeOffset = 50;

}  // namespace

void DecodeArchiveEntryHeader(const uint8_t bytes[kArchiveHeaderSize], ArchiveEntryHeader* header) {
  std::memcpy(header->name, bytes, kArchiveNameFieldSize);
  header->checksum = ReadLe32(bytes + kChecksumOffset);
  header->reserved = ReadLe32(bytes + kReservedOffset);
  header->reserved2 = uint16_t(bytes[kReserved2Offset] | bytes[kReserved2Offset + 1] << 8);
  header->size = ReadLe32(bytes + kSizeOffset);
}

void EncodeArchiveEntryHeader(const ArchiveEntryHeader& header, uint8_t bytes[kArchiveHeaderSize]) {
  std::memcpy(bytes, header.name, kArchiveNameFieldSize);
  WriteLe32(bytes + kChecksumOffset, header.checksum);
  WriteLe32(bytes + kReservedOffset, header.reserved);
  bytes[kReserved2Offset] = uint8_t(header.reserved2);
  bytes[kReserved2Offset + 1] = uint8_t(header.reserved2 >> 8);
  WriteLe32(bytes + kSizeOffset, header.size);
}

uint8_t ArchiveKeyByte(const uint8_t* key, uint32_t keyLength, uint32_t position) {
  // All arithmetic is unsigned 32-bit: for positions above 255 the middle
  // index wraps around 2^32 before it is reduced by the key length.
  const uint32_t i = position;
  const uint32_t length = keyLength;
  const uint32_t mirrored = uint32_t(255u - i);
  return uint8_t(key[(length / 2 + i) % length] ^ key[mirrored % length] ^ key[i % length] ^
                 uint8_t((length % 255 + i) % 256));
}

namespace {

// ArchiveKeyByte position after position, its three key indexes stepped
// instead of divided: i % length and (length / 2 + i) % length count up,
// (255 - i) % length counts down, and the last term is the low byte of
// length % 255 + i. Only where 255 - i wraps around 2^32 (at 256) does the
// mirrored index jump.
class CKeyStream {
 public:
  CKeyStream(const uint8_t* key, uint32_t length)
      : key_(key), length_(length), middle_((length / 2) % length), mirrored_(255u % length),
        low_(uint8_t(length % 255)) {}

  uint8_t Next() {
    if (position_ == 256) mirrored_ = uint32_t(255u - position_) % length_;
    const uint8_t byte = uint8_t(key_[middle_] ^ key_[mirrored_] ^ key_[forward_] ^ low_);
    if (++forward_ == length_) forward_ = 0;
    if (++middle_ == length_) middle_ = 0;
    mirrored_ = mirrored_ == 0 ? length_ - 1 : mirrored_ - 1;
    ++low_;
    ++position_;
    return byte;
  }

 private:
  const uint8_t* key_;
  uint32_t length_;
  uint32_t position_ = 0;
  uint32_t forward_ = 0;
  uint32_t middle_;
  uint32_t mirrored_;
  uint8_t low_;
};

uint32_t GreatestCommonDivisor(uint32_t a, uint32_t b) {
  while (b != 0) {
    const uint32_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

}  // namespace

void ScrambleArchiveBytes(const uint8_t* key, uint32_t keyLength, uint8_t* data, uint32_t size) {
  if (keyLength == 0 || key == nullptr || data == nullptr) {
    return;
  }
  CKeyStream stream(key, keyLength);
  // From position 256 on every index steps without jumps: the key bytes
  // repeat after lcm(length, 256) positions. A large entry is scrambled with
  // one period of them, made once.
  constexpr uint32_t kSteadyFrom = 256;
  const uint32_t period = keyLength / GreatestCommonDivisor(keyLength, 256) * 256;
  uint32_t i = 0;
  if (size <= kSteadyFrom || size - kSteadyFrom < 4 * period) {
    for (; i < size; ++i) data[i] ^= stream.Next();
    return;
  }
  for (; i < kSteadyFrom; ++i) data[i] ^= stream.Next();
  std::vector<uint8_t> repeating(period);
  for (uint8_t& byte : repeating) byte = stream.Next();
  while (i < size) {
    const uint32_t count = size - i < period ? size - i : period;
    uint8_t* block = data + i;
    for (uint32_t k = 0; k < count; ++k) block[k] ^= repeating[k];
    i += count;
  }
}

uint32_t ArchiveChecksum(const uint8_t* data, uint32_t size) {
  // Each byte is shifted by its position modulo 24 and the shifted bytes are
  // combined with XOR: the bytes of one shift can be combined first.
  constexpr uint32_t kShifts = 24;
  uint8_t columns[kShifts] = {};
  uint32_t i = 0;
  for (; i + kShifts <= size; i += kShifts) {
    for (uint32_t k = 0; k < kShifts; ++k) columns[k] ^= data[i + k];
  }
  for (uint32_t k = 0; i < size; ++i, ++k) columns[k] ^= data[i];
  uint32_t sum = 0;
  for (uint32_t k = 0; k < kShifts; ++k) sum ^= uint32_t(columns[k]) << k;
  return sum;
}

bool MakeNameKey(const char* name, uint8_t field[kArchiveNameFieldSize]) {
  if (name == nullptr || name[0] == '\0') {
    return false;
  }
  std::memset(field, 0, kArchiveNameFieldSize);
  for (uint32_t i = 0; i < kArchiveNameMaxLength && name[i] != '\0'; ++i) {
    field[i] = uint8_t(name[i]);
  }
  return true;
}

bool CArchiveFile::Open(const char16_t* path) {
  return file_.OpenRead(path) != 0;
}

bool CArchiveFile::FindEntry(const uint8_t nameField[kArchiveNameFieldSize], ArchiveEntryHeader* header,
                             uint8_t* buffer, uint32_t capacity) {
  const uint32_t fileSize = file_.Size();
  // A file signed after branding ends in its certificate table: the archive
  // ends in front of it. Any other file is read up to its end.
  CFileByteSource source(file_);
  const uint64_t foundEnd = FindArchiveEnd(source);
  const uint32_t end = foundEnd > UINT32_MAX ? 0 : uint32_t(foundEnd);

  // The trailer alone locates the archive; the magic is read past, unchecked.
  uint8_t word[4];
  bool located = false;
  if (end >= kArchiveTrailerSize) {
    file_.SeekTo(end - kArchiveTrailerSize);
    if (file_.Read(word, sizeof word) == sizeof word) {
      const uint32_t archiveLength = ReadLe32(word);
      if (archiveLength != 0 && archiveLength <= end) {
        file_.SeekTo(end - archiveLength);
        file_.Read(word, sizeof word);
        located = true;
      }
    }
  }
  // Without an archive the walk starts at the end of the file and finds nothing.
  if (!located) file_.SeekTo(fileSize);

  for (;;) {
    const uint32_t headerPosition = file_.Tell();
    if (headerPosition == CPlainFile::kSeekFailed) {
      return false;
    }
    // The walk stops at the trailer, and never reads into a certificate table.
    if (uint64_t(headerPosition) + kArchiveHeaderSize > end) {
      return false;
    }
    uint8_t bytes[kArchiveHeaderSize];
    if (file_.Read(bytes, kArchiveHeaderSize) != kArchiveHeaderSize) {
      return false;
    }
    ArchiveEntryHeader entry;
    DecodeArchiveEntryHeader(bytes, &entry);
    if (std::memcmp(entry.name, nameField, kArchiveNameFieldSize) == 0) {
      if (buffer != nullptr) {
        if (entry.size > capacity || uint64_t(headerPosition) + kArchiveHeaderSize + entry.size > end) {
          return false;
        }
        if (file_.Read(buffer, entry.size) != entry.size) {
          std::memset(buffer, 0, entry.size);
          return false;
        }
      }
      if (header != nullptr) {
        *header = entry;
      }
      file_.SeekTo(headerPosition);
      return true;
    }
    // Sizes are unsigned and the walk only moves forward: a content that
    // reaches past the end of the file ends the walk, just as the short
    // header read behind it would.
    const uint64_t next = uint64_t(headerPosition) + kArchiveHeaderSize + entry.size;
    if (next + kArchiveHeaderSize > end) {
      return false;
    }
    if (file_.SeekTo(uint32_t(next)) != uint32_t(next)) {
      return false;
    }
  }
}

void CKeyedArchive::SetKey(const uint8_t* key, uint32_t length) {
  const uint32_t count = length < kArchiveKeyCapacity ? length : kArchiveKeyCapacity;
  if (key == nullptr && count != 0) {
    return;
  }
  if (count != 0) {
    std::memcpy(key_, key, count);
  }
  keyLength_ = count;
}

bool CKeyedArchive::MakeScrambledName(const char* name, uint8_t field[kArchiveNameFieldSize]) const {
  if (!MakeNameKey(name, field)) {
    return false;
  }
  ScrambleArchiveBytes(key_, keyLength_, field, kArchiveNameFieldSize);
  return true;
}

uint32_t CKeyedArchive::GetEntrySize(const char16_t* archivePath, const char* name) {
  uint8_t field[kArchiveNameFieldSize];
  if (!MakeScrambledName(name, field)) {
    return 0;
  }
  CArchiveFile archive;
  if (!archive.Open(archivePath)) {
    return 0;
  }
  ArchiveEntryHeader header;
  if (!archive.FindEntry(field, &header, nullptr, 0)) {
    return 0;
  }
  return header.size;
}

uint32_t CKeyedArchive::ReadEntry(const char16_t* archivePath, const char* name, void* buffer,
                                  uint32_t capacity) {
  uint8_t field[kArchiveNameFieldSize];
  if (buffer == nullptr || !MakeScrambledName(name, field)) {
    return 0;
  }
  uint8_t* bytes = static_cast<uint8_t*>(buffer);
  ArchiveEntryHeader header;
  bool found;
  {
    CArchiveFile archive;
    if (!archive.Open(archivePath)) {
      return 0;
    }
    found = archive.FindEntry(field, &header, bytes, capacity);
  }
  if (!found) {
    return 0;
  }
  ScrambleArchiveBytes(key_, keyLength_, bytes, header.size);
  if (ArchiveChecksum(bytes, header.size) != header.checksum) {
    // Unverified bytes must not look like content to a careless caller.
    std::memset(bytes, 0, header.size);
    return 0;
  }
  return header.size;
}
