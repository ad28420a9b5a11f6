// The packer's manifest: an INI file naming the key and the entries.
//
//   [archive]
//   key=marlpane            ; or tollwren, none, hex:DIGITS
//   [entries]
//   options.ini=options.ini ; entry name = file, relative to this file's folder
//   banner.bmp=images/banner.bmp
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ManifestEntry {
  std::string name;      // 8-bit entry name
  std::u16string path;   // the file holding its content, resolved
};

struct Manifest {
  std::vector<uint8_t> key;
  std::vector<ManifestEntry> entries;   // in manifest order
};

// Reads and checks the manifest (key form, entry names of 1 to 39 8-bit
// characters, no name twice). Does not read the entry files.
bool LoadManifest(const char16_t* path, Manifest* manifest, std::string* error);

// path resolved against folder unless it is absolute. A backslash counts as a
// folder separator on every platform.
std::u16string ResolveBeside(const std::u16string& folder, const std::u16string& path);
// Everything before the last folder separator, or empty.
std::u16string FolderOf(const std::u16string& path);
