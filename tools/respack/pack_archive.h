// The packer's portable core: builds an archive in memory the way the
// programs' reader expects it, finds and walks an archive already appended to
// a file, and reads the key forms of the command line and the manifest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct PackEntry {
  std::string name;               // 8-bit name, 1 to 39 characters
  std::vector<uint8_t> content;   // plain content
};

// What an entry holds, told by its first bytes: a bitmap ("BM"), a PNG
// image (its 8-byte signature) or anything else.
enum class EntryKind { kBitmap, kPng, kOther };

struct ListedEntry {
  std::string name;      // unscrambled name field up to its first NUL
  uint32_t size = 0;
  bool checksumOk = false;
  EntryKind kind = EntryKind::kOther;
};

// Reads a key: "marlpane" or "tollwren" (the program's own key), "none"
// (length 0: names and contents stored plain), or "hex:" and the key bytes as
// hexadecimal digits. False with a message for anything else.
bool ParseArchiveKey(std::u16string_view text, std::vector<uint8_t>* key, std::string* error);

// Converts a wide entry name to the 8-bit form the archive stores and checks
// it: 1 to 39 characters, each below 256.
bool MakeEntryName(std::u16string_view text, std::string* name, std::string* error);

// The length of the image in front of an appended archive: where the
// trailer's length leads back from the archive's end when it fits the file
// and the magic stands there; the whole size when the file carries no
// archive. The archive ends at the end of the file, or in a copy signed after
// branding in front of its certificate table (common/archive_end.h).
size_t FindImageEnd(const uint8_t* data, size_t size);
bool HasAppendedArchive(const uint8_t* data, size_t size);

// True when the file carries an Authenticode certificate table at its end.
bool IsSignedImage(const uint8_t* data, size_t size);

EntryKind EntryKindOf(const uint8_t* content, size_t size);
const char* EntryKindName(EntryKind kind);  // "bitmap", "png" or "other"

// The archive bytes for the entries in order: magic, entries, trailer.
// Fails (with a message) for a bad or duplicate name or an archive too large
// for its 32-bit length.
bool BuildArchive(const std::vector<PackEntry>& entries, const std::vector<uint8_t>& key,
                  std::vector<uint8_t>* archive, std::string* error);

// Walks every entry of the archive appended to data, unscrambling names and
// checking contents under key and telling their kinds. Fails when there is
// no archive or its entry chain does not end exactly at the trailer; entries
// walked before the fault are still listed.
bool ListArchive(const uint8_t* data, size_t size, const std::vector<uint8_t>& key,
                 std::vector<ListedEntry>* entries, std::string* error);

// A name for printing: printable ASCII as it is, other bytes as \xNN.
std::string PrintableName(const std::string& name);
