// The publisher's copy of a PAD file for a release: the installer's size and
// SHA-256 digest written into it, every other byte left as it was. The
// updater finds each field as the text between the first "<Tag>" of the
// document and the next "</Tag>" (one byte per character, up to the first
// zero byte), so these functions work on bytes with that same rule and
// change exactly the occurrence the updater will read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The updater fetches at most this many bytes of a PAD file.
constexpr size_t kPadReleaseByteLimit = 110997;
// The updater keeps File_Size_Bytes in a signed 32-bit number.
constexpr uint64_t kInstallerSizeLimit = 0x80000000ull;  // 2 GiB, itself refused
constexpr size_t kSha256HexLength = 64;

// File_Size_K: bytes / 1024, rounded down ("8784" for 8995629 bytes).
std::string SizeInKilobytes(uint64_t bytes);
// File_Size_MB: bytes / 1048576 with two decimals, rounded to the nearest
// hundredth, halves up ("8.58" for 8995629 bytes, "0.00" below 5243 bytes).
std::string SizeInMegabytes(uint64_t bytes);

// The document as the updater reads a PAD (ReadPadText).
std::u16string PadAsUpdaterText(const std::string& pad);

// Why a PAD cannot be released; empty when it can. Checks what the updater
// needs of a PAD it will store: no zero byte, at most kPadReleaseByteLimit
// bytes, nothing the updater refuses in fetched bytes (FetchedPadProblem: a
// leading FF FE, a lone carriage return in a field), a Program_Version that a
// signed copy takes for a version (IsVersionText), an
// Application_XML_File_URL that is not blank (both read by the updater's own
// reading, field rule and limits).
std::string PadUsabilityProblem(const std::string& pad);

// Writes the installer's facts into a copy of pad:
//   File_Size_Bytes  the size in bytes
//   File_Size_K      SizeInKilobytes
//   File_Size_MB     SizeInMegabytes
//   File_SHA256      sha256Hex (64 lower-case hexadecimal digits)
// For each tag the first element of the document is changed: "<Tag>...</Tag>"
// gets the new value, an empty "<Tag/>" or "<Tag />" becomes
// "<Tag>value</Tag>". A missing File_Size_Bytes is added as the first child of
// the first <File_Info>; a missing File_SHA256 is added right after the
// File_Size_Bytes element; either goes on a line of its own, with the
// indentation and line ending of its neighbour, when that neighbour stands on
// a line of its own, else directly in place. A missing File_Size_K or
// File_Size_MB is left missing. Refuses (false, reason in error, out
// untouched) a PAD without <File_Info>...</File_Info>, a first "<Tag>" of
// these four without its "</Tag>", or a current value holding markup ("<"),
// which would make the updater's value swallow other elements, and a
// released document that PadUsabilityProblem refuses (the fields it checks
// are not among those changed, but a rewrite may land inside one of them).
bool RewritePadForRelease(const std::string& pad, uint64_t installerSize, const std::string& sha256Hex,
                          std::string* out, std::string* error);
