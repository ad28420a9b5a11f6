// Writes a file that ends in an appended archive with plain (unscrambled)
// names and contents, as read by an archive reader whose key was never set:
// some executable-like bytes, the magic BE BA DC AC, each entry as a 54-byte
// header (name 40, checksum 4, reserved 4 + 2, size 4) and its content, and
// the 4-byte length of the archive from the magic to the trailer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

struct PlainArchiveEntry {
  std::string name;
  std::vector<uint8_t> content;
};

inline uint32_t PlainArchiveChecksum(const std::vector<uint8_t>& content) {
  uint32_t c = 0;
  for (size_t i = 0; i < content.size(); ++i) c ^= static_cast<uint32_t>(content[i]) << (i % 24);
  return c;
}

inline std::vector<uint8_t> MakePlainArchive(const std::vector<PlainArchiveEntry>& entries) {
  std::vector<uint8_t> file = {'M', 'Z', 0x90, 0, 'p', 'r', 'o', 'g', 'r', 'a', 'm'};
  const size_t start = file.size();
  auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) file.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(0xACDCBABEu, 4);
  for (const auto& e : entries) {
    uint8_t name[40] = {};
    for (size_t i = 0; i < e.name.size() && i < 39; ++i) name[i] = static_cast<uint8_t>(e.name[i]);
    file.insert(file.end(), name, name + 40);
    put(PlainArchiveChecksum(e.content), 4);
    put(0, 4);
    put(0, 2);
    put(static_cast<uint32_t>(e.content.size()), 4);
    file.insert(file.end(), e.content.begin(), e.content.end());
  }
  put(static_cast<uint32_t>(file.size() - start + 4), 4);
  return file;
}

// Writes bytes to a UTF-16 path; true on success.
inline bool WriteBytesToFile(const std::u16string& path, const std::vector<uint8_t>& bytes) {
#ifdef _WIN32
  FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
#else
  std::string narrow;
  for (char16_t c : path) narrow.push_back(static_cast<char>(c));  // test paths are ASCII
  FILE* f = std::fopen(narrow.c_str(), "wb");
#endif
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
