// What a file held when it was read, small enough to keep: its size and a
// 64-bit digest of its bytes. Two readings that give the same fingerprint
// saw the same bytes (for a change made by another program, not for an
// attacker: the digest is no security check).
#pragma once

#include <cstdint>

struct FileFingerprint {
  uint64_t size = 0;
  uint64_t digest = 0;
  bool read = false;  // false: the file could not be read

  bool operator==(const FileFingerprint& other) const {
    return read && other.read && size == other.size && digest == other.digest;
  }
  bool operator!=(const FileFingerprint& other) const { return !(*this == other); }
};

// Reads the whole file at path. False (out.read false) when it cannot be
// opened or read to its end.
bool ReadFingerprint(const char16_t* path, FileFingerprint& out);
