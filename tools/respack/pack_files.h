// Whole-file reading and the all-or-nothing write of the packer's outputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ByteSpan {
  const uint8_t* data;
  size_t size;
};

// Reads the whole file; false when it cannot be opened or read completely.
bool ReadWholeFile(const char16_t* path, std::vector<uint8_t>* bytes);

// Writes the parts, in order, to a temporary file beside target and renames
// it into place only when everything was written; on any failure the
// temporary file is removed and target is left as it was. The new file takes
// the permissions of permissionModel when one is given (an executable stays
// executable).
bool WriteFileAtomically(const char16_t* target, const std::vector<ByteSpan>& parts,
                         const char16_t* permissionModel, std::string* error);
