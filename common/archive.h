// Reader of the archive appended to each program's own executable file.
//
// Layout (little-endian, no padding): the executable image, the 4-byte magic
// BE BA DC AC, the entries back to back (a 54-byte header, then the content),
// and a 4-byte trailer holding the length of the whole archive from the magic
// to the trailer's last byte. Names and contents are scrambled with a key
// stream drawn from the program's key; a checksum over the plain content
// guards every entry. In a copy signed after branding the archive ends in
// front of the certificate table (common/archive_end.h).
#pragma once

#include <cstdint>

#include "common/plain_file.h"

constexpr uint32_t kArchiveMagic = 0xACDCBABE;
constexpr uint32_t kArchiveMagicSize = 4;
constexpr uint32_t kArchiveTrailerSize = 4;
constexpr uint32_t kArchiveNameFieldSize = 40;
constexpr uint32_t kArchiveNameMaxLength = kArchiveNameFieldSize - 1;  // 39
constexpr uint32_t kArchiveHeaderSize = 54;
constexpr uint32_t kArchiveKeyCapacity = 5000;

// One entry header as it stands in the file:
//   0 name (40)  40 checksum (4)  44 reserved (4)  48 reserved (2)  50 size (4)
struct ArchiveEntryHeader {
  uint8_t name[kArchiveNameFieldSize] = {};
  uint32_t checksum = 0;
  uint32_t reserved = 0;    // written as 0, copied out, never interpreted
  uint16_t reserved2 = 0;   // written as 0, never interpreted
  uint32_t size = 0;        // length of the content, stored plain
};

void DecodeArchiveEntryHeader(const uint8_t bytes[kArchiveHeaderSize], ArchiveEntryHeader* header);
void EncodeArchiveEntryHeader(const ArchiveEntryHeader& header, uint8_t bytes[kArchiveHeaderSize]);

// Key stream byte at a position for a key of length >= 1. Scrambling and
// unscrambling are the same XOR with this stream.
uint8_t ArchiveKeyByte(const uint8_t* key, uint32_t keyLength, uint32_t position);

// XORs data[i] with the key stream byte i (stream restarting at 0). Nothing
// happens for a key of length 0.
void ScrambleArchiveBytes(const uint8_t* key, uint32_t keyLength, uint8_t* data, uint32_t size);

// Checksum of the plain content: XOR of each byte shifted left by (i mod 24).
uint32_t ArchiveChecksum(const uint8_t* data, uint32_t size);

// Builds the plain 40-byte name field: all zero, then at most the first 39
// bytes of the name. False (field untouched) for a null or empty name.
bool MakeNameKey(const char* name, uint8_t field[kArchiveNameFieldSize]);

// The archive file opened for one lookup.
class CArchiveFile {
 public:
  CArchiveFile() = default;
  virtual ~CArchiveFile() = default;
  CArchiveFile(const CArchiveFile&) = delete;
  CArchiveFile& operator=(const CArchiveFile&) = delete;

  // Opens the file for reading (shared read access); false when it cannot.
  bool Open(const char16_t* path);

  // Locates the archive by its trailer and walks its entries for the first
  // one whose scrambled name field equals nameField. With a buffer, also reads
  // the (still scrambled) content into it, failing when it is larger than
  // capacity or arrives short. On success the header is copied out and the
  // file is left at the entry's header.
  bool FindEntry(const uint8_t nameField[kArchiveNameFieldSize], ArchiveEntryHeader* header,
                 uint8_t* buffer, uint32_t capacity);

 protected:
  CPlainFile file_;
};

// The program's archive reader: holds the key, opens the file afresh for
// every lookup and closes it before returning.
class CKeyedArchive : public CArchiveFile {
 public:
  CKeyedArchive() = default;
  ~CKeyedArchive() override = default;

  // Stores min(length, 5000) bytes of key. A length of 0 reads names and
  // contents plain.
  void SetKey(const uint8_t* key, uint32_t length);

  // The stored size of the named entry, or 0 (no name, no file, no entry).
  // Reads no content and checks no checksum.
  uint32_t GetEntrySize(const char16_t* archivePath, const char* name);

  // Reads, unscrambles and verifies the named entry into buffer. Returns the
  // number of bytes delivered, or 0 on any failure (also for an entry of size
  // 0). After a failure the bytes the buffer received are cleared again.
  uint32_t ReadEntry(const char16_t* archivePath, const char* name, void* buffer, uint32_t capacity);

  uint32_t KeyLength() const { return keyLength_; }
  const uint8_t* Key() const { return key_; }

 private:
  // The scrambled name field for a name; false for a null or empty name.
  bool MakeScrambledName(const char* name, uint8_t field[kArchiveNameFieldSize]) const;

  uint32_t keyLength_ = 0;
  uint8_t key_[kArchiveKeyCapacity] = {};
};
