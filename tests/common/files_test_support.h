// Temporary folders and raw file bytes for tests that work on real files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#include <algorithm>

namespace testfiles {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes away.
class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("docs-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(path_, error)) return;
    }
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Path of a file in the folder, as the UTF-16 text the code under test takes.
  std::u16string File(const std::string& name) const { return (path_ / name).u16string(); }
  std::filesystem::path Native(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, sorted, joined by '|'.
inline std::string FolderListing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : "|") + name;
  return joined;
}

// UTF-16LE bytes of a text, with or without the mark FF FE.
inline std::string Utf16Bytes(const std::u16string& text, bool mark = true) {
  std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace testfiles
