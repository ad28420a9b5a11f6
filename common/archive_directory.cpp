#include "common/archive_directory.h"

#include <algorithm>

#include "common/archive_end.h"

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The archive of file: the offset of its first entry and of its trailer. A
// file signed after branding holds its archive in front of its certificate
// table.
bool LocateArchive(CPlainFile& file, uint64_t& first, uint64_t& trailer) {
  CFileByteSource source(file);
  const uint64_t size = FindArchiveEnd(source);
  if (size < kArchiveMagicSize + kArchiveTrailerSize || size > UINT32_MAX) return false;
  uint8_t word[4];
  trailer = size - kArchiveTrailerSize;
  if (file.SeekTo(static_cast<uint32_t>(trailer)) != trailer || file.Read(word, sizeof word) != sizeof word) {
    return false;
  }
  const uint32_t length = ReadLe32(word);
  if (length < kArchiveMagicSize + kArchiveTrailerSize || length > size) return false;
  const uint64_t start = size - length;
  if (file.SeekTo(static_cast<uint32_t>(start)) != start || file.Read(word, sizeof word) != sizeof word ||
      ReadLe32(word) != kArchiveMagic) {
    return false;
  }
  first = start + kArchiveMagicSize;
  return true;
}

}  // namespace

bool CArchiveDirectory::Read(const char16_t* path, const uint8_t* key, uint32_t keyLength) {
  names_.clear();
  key_.assign(key, key + (key ? keyLength : 0));
  CPlainFile file;
  uint64_t at = 0, trailer = 0;
  if (!file.OpenRead(path) || !LocateArchive(file, at, trailer)) return false;
  std::vector<CNameField> names;
  while (at < trailer) {
    uint8_t bytes[kArchiveHeaderSize];
    if (trailer - at < kArchiveHeaderSize || file.SeekTo(static_cast<uint32_t>(at)) != at ||
        file.Read(bytes, kArchiveHeaderSize) != kArchiveHeaderSize) {
      return false;
    }
    ArchiveEntryHeader header;
    DecodeArchiveEntryHeader(bytes, &header);
    if (header.size > trailer - at - kArchiveHeaderSize) return false;
    CNameField name;
    std::copy(header.name, header.name + kArchiveNameFieldSize, name.begin());
    names.push_back(name);
    at += kArchiveHeaderSize + header.size;
  }
  names_ = std::move(names);
  return true;
}

bool CArchiveDirectory::ScrambledName(const char* name, CNameField& field) const {
  if (!MakeNameKey(name, field.data())) return false;
  ScrambleArchiveBytes(key_.data(), static_cast<uint32_t>(key_.size()), field.data(), kArchiveNameFieldSize);
  return true;
}

bool CArchiveDirectory::Has(const char* name) const {
  CNameField field;
  return ScrambledName(name, field) && std::find(names_.begin(), names_.end(), field) != names_.end();
}
