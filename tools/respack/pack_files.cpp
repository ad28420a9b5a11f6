#include "tools/respack/pack_files.h"

#include "common/plain_file.h"
#include "common/text16.h"

bool ReadWholeFile(const char16_t* path, std::vector<uint8_t>* bytes) {
  bytes->clear();
  CPlainFile file;
  if (!file.OpenRead(path)) {
    return false;
  }
  const uint32_t size = file.Size();
  bytes->resize(size);
  if (size != 0 && file.Read(bytes->data(), size) != size) {
    bytes->clear();
    return false;
  }
  // A file that grew meanwhile, or one of 4 GiB or more, is not read whole.
  uint8_t probe;
  if (file.Read(&probe, 1) != 0) {
    bytes->clear();
    return false;
  }
  return true;
}

bool WriteFileAtomically(const char16_t* target, const std::vector<ByteSpan>& parts,
                         const char16_t* permissionModel, std::string* error) {
  const std::u16string temp = std::u16string(target) + u".respack-tmp";
  const std::string shown = TextToUtf8(target);
  CPlainFile file;
  if (!file.OpenWrite(temp.c_str())) {
    *error = "cannot create " + TextToUtf8(temp);
    return false;
  }
  bool written = true;
  for (const ByteSpan& part : parts) {
    const uint32_t size = uint32_t(part.size);
    if (part.size > 0xFFFFFFFFu || (size != 0 && file.Write(part.data, size) != size)) {
      written = false;
      break;
    }
  }
  written = written && file.Flush();
  written = file.Close() != 0 && written;
  if (!written) {
    RemoveFile(temp.c_str());
    *error = "cannot write " + shown;
    return false;
  }
  if (permissionModel != nullptr) {
    CopyFilePermissions(permissionModel, temp.c_str());
  }
  if (!ReplaceFileWith(target, temp.c_str())) {
    RemoveFile(temp.c_str());
    *error = "cannot replace " + shown;
    return false;
  }
  return true;
}
