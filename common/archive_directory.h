// The directory of the program's own archive, read once at start in one
// walk that either reaches the archive's trailer exactly or fails: an entry
// the walk did not list is known to be absent, never merely unread, so a
// copy cannot take itself for one without an entry (its publisher keys) on
// a read that failed. The contents are read later, entry by entry.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/archive.h"

class CArchiveDirectory {
 public:
  virtual ~CArchiveDirectory() = default;

  // Walks the archive at the end of the file at path, whose names are
  // scrambled with key. False (and no entries) when the file cannot be read
  // or holds no archive that ends exactly at its trailer.
  bool Read(const char16_t* path, const uint8_t* key, uint32_t keyLength);
  bool Has(const char* name) const;

 private:
  using CNameField = std::array<uint8_t, kArchiveNameFieldSize>;
  bool ScrambledName(const char* name, CNameField& field) const;

  std::vector<uint8_t> key_;
  std::vector<CNameField> names_;
};
