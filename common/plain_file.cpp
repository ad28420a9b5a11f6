// The portable half of the file layer: text decoding and encoding, the safe
// save and the file search. The handle operations are per platform.
#include "common/plain_file.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "common/text16.h"

namespace {

// Bytes read or written per system call.
constexpr uint32_t kIoBlock = 64 * 1024;

constexpr char16_t kCarriageReturn = 13;

// Characters of path up to (not including) its last folder separator, or
// 0 when it has none.
size_t ParentLength(const char16_t* path, size_t length) {
  for (size_t i = length; i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return 0;
}

// Encodes the text block by block (its mark first) and writes each block;
// any short write fails the whole output.
bool WriteEncoded(CPlainFile& file, TextEncoding encoding, const char16_t* text, size_t length) {
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kIoBlock]);
  if (!block) return false;
  uint8_t* const out = block.get();
  static const uint8_t kMarks[][3] = {{0xFF, 0xFE}, {0xEF, 0xBB, 0xBF}};
  const size_t markLength = EncodingMarkLength(encoding);
  const uint8_t* mark = kMarks[encoding == TextEncoding::kUtf16 ? 0 : 1];
  uint32_t used = 0;
  for (; used < markLength; ++used) out[used] = mark[used];
  const bool unicode = encoding == TextEncoding::kUtf16;
  const uint32_t unit = unicode ? 2 : 1;
  size_t done = 0;
  while (used > 0 || done < length) {
    if (IsUtf8(encoding)) {
      used += static_cast<uint32_t>(EncodeUtf8(text, length, &done, out + used, kIoBlock - used));
    } else {
      const size_t room = (kIoBlock - used) / unit;
      const size_t n = length - done < room ? length - done : room;
      const char16_t* from = text ? text + done : nullptr;
      if (unicode) {
        for (size_t i = 0; i < n; ++i) {
          out[used + 2 * i] = static_cast<uint8_t>(from[i] & 0xFF);
          out[used + 2 * i + 1] = static_cast<uint8_t>(from[i] >> 8);
        }
      } else {
        for (size_t i = 0; i < n; ++i) out[used + i] = static_cast<uint8_t>(from[i] & 0xFF);
      }
      used += static_cast<uint32_t>(n * unit);
      done += n;
    }
    if (file.Write(out, used) != used) return false;
    used = 0;
  }
  return true;
}

}  // namespace

// ---- CTextFile ----

int CTextFile::OpenRead(const char16_t* path) {
  int opened = CPlainFile::OpenRead(path);
  unicode_ = 0;
  if (!opened) return opened;
  uint32_t position = Tell();
  uint8_t mark[2] = {0, 0};
  SeekTo(0);
  uint32_t got = Read(mark, 2);
  unicode_ = (got >= 1 && mark[0] == (byteOrderMark_ & 0xFF) && mark[1] == (byteOrderMark_ >> 8)) ? 1 : 0;
  SeekTo(position);
  return opened;
}

uint32_t CTextFile::LengthInCharacters() { return unicode_ ? Size() / 2 : Size(); }

int CTextFile::ReadChars(char16_t* out, uint32_t n) {
  if (!out) return -1;
  if (n == 0) {
    out[0] = 0;
    return 0;
  }
  // Each block asks for exactly the bytes of the characters still missing,
  // so the file position ends where a character-by-character reader would
  // leave it, whatever was dropped on the way.
  const uint32_t unit = unicode_ ? 2 : 1;
  uint8_t block[16 * 1024];
  uint32_t stored = 0;
  bool atEnd = false;
  while (stored < n && !atEnd) {
    uint64_t wanted = static_cast<uint64_t>(n - stored) * unit;
    uint32_t ask = wanted > sizeof block ? static_cast<uint32_t>(sizeof block) : static_cast<uint32_t>(wanted);
    uint32_t got = Read(block, ask);
    if (got < ask) atEnd = true;
    uint32_t characters = got / unit;  // an odd last byte of UTF-16 ends the file
    if (!unicode_ && !skipCR_) {
      // Nothing to drop: every byte is a character (a mark cannot occur).
      for (uint32_t i = 0; i < characters; ++i) out[stored + i] = block[i];
      stored += characters;
      continue;
    }
    for (uint32_t i = 0; i < characters; ++i) {
      char16_t c = unicode_ ? static_cast<char16_t>(block[2 * i] | (block[2 * i + 1] << 8)) : block[i];
      if (c == kCarriageReturn && skipCR_) continue;
      if (c == byteOrderMark_ && dropMark_) continue;
      out[stored++] = c;
    }
  }
  if (stored == 0) return -1;
  out[stored] = 0;
  return static_cast<int>(stored);
}

// ---- WriteTextFile ----

uint32_t WriteTextFile(const char16_t* path, bool unicode, const char16_t* text) {
  return WriteTextFile(path, unicode, text, TextLength(text));
}

uint32_t WriteTextFile(const char16_t* path, bool unicode, const char16_t* text, size_t length) {
  return WriteTextFile(path, unicode ? TextEncoding::kUtf16 : TextEncoding::kBytes, text, length);
}

uint32_t WriteTextFile(const char16_t* path, TextEncoding encoding, const char16_t* text, size_t length) {
  size_t pathLength = TextLength(path);
  if (pathLength == 0 || (length && !text) || length > 0xFFFFFFFFu) return 0;

  size_t parent = ParentLength(path, pathLength);
  if (parent > 0) {
    std::u16string folder(path, parent);
    CreateFolder(folder.c_str());  // one level; an existing folder is fine
  }

  // A fresh temporary file beside the target, so that replacing it is a
  // rename within one folder.
  CPlainFile file;
  std::u16string temporary;
  for (int attempt = 0; attempt < 100 && !file.IsOpen(); ++attempt) {
    temporary.assign(path, pathLength);
    temporary += u".~save";
    if (attempt) temporary += Utf8ToText(std::to_string(attempt));
    file.OpenNew(temporary.c_str());
  }
  if (!file.IsOpen()) return 0;
  CopyFilePermissions(path, temporary.c_str());

  bool ok = WriteEncoded(file, encoding, text, length) && file.Flush();
  if (!file.Close()) ok = false;
  if (ok) ok = ReplaceFileWith(path, temporary.c_str());
  if (!ok) {
    RemoveFile(temporary.c_str());
    return 0;
  }
  return static_cast<uint32_t>(length);
}

// ---- Finding files ----

bool FileExists(const char16_t* path) {
  CPlainFile file;
  return file.OpenRead(path) != 0;
}

size_t FindFile(const char16_t* name, char16_t* out, size_t capacity) {
  size_t nameLength = TextLength(name);
  if (nameLength == 0 || !out || capacity == 0) return 0;
  if (FileExists(name)) return CopyText(out, capacity, name) ? 1 : 0;

  char16_t own[kPathCapacity];
  if (GetProgramPath(own, kPathCapacity)) {
    const char16_t* start = own;
    while (*start == u'"') ++start;
    size_t folder = ParentLength(start, TextLength(start));
    if (folder > 0 || IsPathSeparator(start[0])) {
      std::u16string beside(start, folder + 1);
      beside.append(name, nameLength);
      if (FileExists(beside.c_str())) return CopyText(out, capacity, beside.c_str()) ? 1 : 0;
    }
  }

  // A result that does not fit is a failure here, not a length to retry with.
  size_t found = SearchPathFor(name, out, capacity);
  if (found == 0 || found >= capacity) {
    out[0] = 0;
    return 0;
  }
  return found;
}
