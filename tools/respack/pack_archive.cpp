#include "tools/respack/pack_archive.h"

#include <cstdio>
#include <cstring>

#include "common/archive.h"
#include "common/archive_end.h"
#include "common/bitmap_image.h"
#include "common/program_keys.h"

namespace {

const uint8_t kMagicBytes[kArchiveMagicSize] = {0xBE, 0xBA, 0xDC, 0xAC};

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void AppendLe32(std::vector<uint8_t>* out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out->push_back(uint8_t(value >> shift));
  }
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool EqualsIgnoringCase(std::u16string_view text, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    if (c != char16_t(word[i])) return false;
  }
  return i == text.size();
}

}  // namespace

bool ParseArchiveKey(std::u16string_view text, std::vector<uint8_t>* key, std::string* error) {
  key->clear();
  if (EqualsIgnoringCase(text, "marlpane")) {
    key->assign(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength);
    return true;
  }
  if (EqualsIgnoringCase(text, "tollwren")) {
    key->assign(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength);
    return true;
  }
  if (EqualsIgnoringCase(text, "none")) {
    return true;
  }
  if (text.size() >= 4 && EqualsIgnoringCase(text.substr(0, 4), "hex:")) {
    std::u16string_view digits = text.substr(4);
    if (digits.empty() || digits.size() % 2 != 0) {
      *error = "a hex: key needs an even, non-zero number of hexadecimal digits";
      return false;
    }
    if (digits.size() / 2 > kArchiveKeyCapacity) {
      *error = "a key holds at most 5000 bytes";
      return false;
    }
    for (size_t i = 0; i < digits.size(); i += 2) {
      const int high = HexDigit(digits[i]);
      const int low = HexDigit(digits[i + 1]);
      if (high < 0 || low < 0) {
        *error = "a hex: key may hold only hexadecimal digits";
        return false;
      }
      key->push_back(uint8_t(high << 4 | low));
    }
    return true;
  }
  *error = "unknown key (use marlpane, tollwren, none or hex:DIGITS)";
  return false;
}

bool MakeEntryName(std::u16string_view text, std::string* name, std::string* error) {
  name->clear();
  if (text.empty()) {
    *error = "an entry name is empty";
    return false;
  }
  for (char16_t c : text) {
    if (c == 0 || c > 0xFF) {
      *error = "entry name holds a character outside the 8-bit range";
      return false;
    }
    name->push_back(char(uint8_t(c)));
  }
  if (name->size() > kArchiveNameMaxLength) {
    *error = "entry name '" + PrintableName(*name) + "' is longer than 39 characters";
    return false;
  }
  return true;
}

namespace {

// The archive appended to data: the magic at *imageEnd, the trailer's last
// byte before *trailerEnd. A copy signed after branding carries its
// certificate table behind the archive. False when there is no archive.
bool LocateArchive(const uint8_t* data, size_t size, size_t* imageEnd, size_t* trailerEnd) {
  CMemoryByteSource source(data, size);
  const uint64_t end = FindArchiveEnd(source);
  if (end < kArchiveMagicSize + kArchiveTrailerSize) {
    return false;
  }
  const uint32_t length = ReadLe32(data + end - kArchiveTrailerSize);
  if (length < kArchiveMagicSize + kArchiveTrailerSize || length > end ||
      std::memcmp(data + end - length, kMagicBytes, kArchiveMagicSize) != 0) {
    return false;
  }
  *imageEnd = size_t(end - length);
  *trailerEnd = size_t(end);
  return true;
}

}  // namespace

size_t FindImageEnd(const uint8_t* data, size_t size) {
  size_t imageEnd = 0;
  size_t trailerEnd = 0;
  return LocateArchive(data, size, &imageEnd, &trailerEnd) ? imageEnd : size;
}

bool HasAppendedArchive(const uint8_t* data, size_t size) {
  return FindImageEnd(data, size) != size;
}

bool IsSignedImage(const uint8_t* data, size_t size) {
  CMemoryByteSource source(data, size);
  return FindCertificateTable(source) != 0;
}

EntryKind EntryKindOf(const uint8_t* content, size_t size) {
  if (IsPngImage(content, size)) return EntryKind::kPng;
  if (size >= 2 && content[0] == 'B' && content[1] == 'M') return EntryKind::kBitmap;
  return EntryKind::kOther;
}

const char* EntryKindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::kBitmap:
      return "bitmap";
    case EntryKind::kPng:
      return "png";
    case EntryKind::kOther:
      break;
  }
  return "other";
}

bool BuildArchive(const std::vector<PackEntry>& entries, const std::vector<uint8_t>& key,
                  std::vector<uint8_t>* archive, std::string* error) {
  archive->clear();
  const uint32_t keyLength = uint32_t(key.size());
  if (keyLength > kArchiveKeyCapacity) {
    *error = "a key holds at most 5000 bytes";
    return false;
  }
  uint64_t total = kArchiveMagicSize + kArchiveTrailerSize;
  for (size_t i = 0; i < entries.size(); ++i) {
    const PackEntry& entry = entries[i];
    if (entry.name.empty() || entry.name.size() > kArchiveNameMaxLength ||
        entry.name.find('\0') != std::string::npos) {
      *error = "entry name '" + PrintableName(entry.name) + "' must have 1 to 39 characters";
      return false;
    }
    for (size_t j = 0; j < i; ++j) {
      if (entries[j].name == entry.name) {
        *error = "entry name '" + PrintableName(entry.name) + "' appears twice";
        return false;
      }
    }
    total += kArchiveHeaderSize + uint64_t(entry.content.size());
  }
  if (total > 0xFFFFFFFFull) {
    *error = "the archive would exceed 4 GiB";
    return false;
  }
  archive->reserve(size_t(total));
  archive->insert(archive->end(), kMagicBytes, kMagicBytes + kArchiveMagicSize);
  for (const PackEntry& entry : entries) {
    ArchiveEntryHeader header;
    MakeNameKey(entry.name.c_str(), header.name);
    ScrambleArchiveBytes(key.data(), keyLength, header.name, kArchiveNameFieldSize);
    const uint32_t size = uint32_t(entry.content.size());
    header.checksum = ArchiveChecksum(entry.content.data(), size);
    header.size = size;
    uint8_t bytes[kArchiveHeaderSize];
    EncodeArchiveEntryHeader(header, bytes);
    archive->insert(archive->end(), bytes, bytes + kArchiveHeaderSize);
    const size_t contentStart = archive->size();
    archive->insert(archive->end(), entry.content.begin(), entry.content.end());
    ScrambleArchiveBytes(key.data(), keyLength, archive->data() + contentStart, size);
  }
  AppendLe32(archive, uint32_t(total));
  return true;
}

bool ListArchive(const uint8_t* data, size_t size, const std::vector<uint8_t>& key,
                 std::vector<ListedEntry>* entries, std::string* error) {
  entries->clear();
  size_t imageEnd = 0;
  size_t trailerEnd = 0;
  if (!LocateArchive(data, size, &imageEnd, &trailerEnd)) {
    *error = "the file carries no archive";
    return false;
  }
  const uint32_t keyLength = uint32_t(key.size());
  const size_t end = trailerEnd - kArchiveTrailerSize;
  size_t position = imageEnd + kArchiveMagicSize;
  std::vector<uint8_t> content;
  while (position < end) {
    if (end - position < kArchiveHeaderSize) {
      *error = "the archive is damaged: a header runs into the trailer";
      return false;
    }
    ArchiveEntryHeader header;
    DecodeArchiveEntryHeader(data + position, &header);
    position += kArchiveHeaderSize;
    if (header.size > end - position) {
      *error = "the archive is damaged: an entry runs past the trailer";
      return false;
    }
    ScrambleArchiveBytes(key.data(), keyLength, header.name, kArchiveNameFieldSize);
    ListedEntry listed;
    listed.name.assign(reinterpret_cast<const char*>(header.name),
                       strnlen(reinterpret_cast<const char*>(header.name), kArchiveNameFieldSize));
    listed.size = header.size;
    content.assign(data + position, data + position + header.size);
    ScrambleArchiveBytes(key.data(), keyLength, content.data(), header.size);
    listed.checksumOk = ArchiveChecksum(content.data(), header.size) == header.checksum;
    listed.kind = EntryKindOf(content.data(), content.size());
    entries->push_back(std::move(listed));
    position += header.size;
  }
  return true;
}

std::string PrintableName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(char(c));
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}
