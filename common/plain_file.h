// File handle owner, 8-bit / UTF-16LE text file reader and writer, and the
// few file-system calls both programs need. The platform calls live in
// plain_file_win.cpp (Win32) and plain_file_posix.cpp (POSIX); everything in
// plain_file.cpp is portable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text_encoding.h"

// Capacity of a path buffer in characters (4999 plus the terminator).
constexpr size_t kPathCapacity = 5000;

// Owns one open file. Failures are return values: 0 from the opens, 0 bytes
// transferred, 0xFFFFFFFF from the seeks.
class CPlainFile {
 public:
#ifdef _WIN32
  using Handle = void*;  // HANDLE; null or INVALID_HANDLE_VALUE when closed
#else
  using Handle = int;  // file descriptor; -1 when closed
#endif
  static constexpr uint32_t kSeekFailed = 0xFFFFFFFFu;

  CPlainFile();
  virtual ~CPlainFile();
  CPlainFile(const CPlainFile&) = delete;
  CPlainFile& operator=(const CPlainFile&) = delete;

  // Shared reading of an existing file. Closes any open handle first; 0 for a
  // null or empty path.
  int OpenRead(const char16_t* path);
  // Read and write, no sharing; an existing file is truncated.
  int OpenWrite(const char16_t* path);
  // Read and write, no sharing; fails when the file already exists.
  int OpenNew(const char16_t* path);
  // Result of closing, or 1 when nothing was open.
  int Close();
  bool IsOpen() const;
  Handle GetHandle() const { return handle_; }

  // Low 32 bits of the size; 0 on failure.
  uint32_t Size();
  // The whole size, for callers that must tell a file of 4 GiB or more from
  // a small one; 0 on failure.
  uint64_t FullSize();
  uint32_t SeekTo(uint32_t offset);
  uint32_t SeekBy(int32_t distance);
  uint32_t SeekFromEnd(uint32_t n);  // to n bytes before the end
  uint32_t Tell();

  // Bytes transferred; n = 0 or a failure gives 0.
  uint32_t Read(void* buffer, uint32_t n);
  uint32_t Write(const void* buffer, uint32_t n);
  // Pushes written data to the disk; true on success.
  bool Flush();

 protected:
  Handle handle_;
};

// A text file of one byte per character (0-255) or UTF-16LE (marked FF FE).
class CTextFile : public CPlainFile {
 public:
  static constexpr char16_t kByteOrderMark = 0xFEFF;

  CTextFile() = default;

  // Opens as CPlainFile::OpenRead and detects the FF FE mark (which is not
  // skipped: ReadChars drops it).
  int OpenRead(const char16_t* path);

  uint32_t LengthInCharacters();

  // Reads up to n characters into out (room for n + 1 characters), dropping
  // carriage returns while the skip-CR flag is set and the byte-order mark
  // character while mark dropping is on. Writes a terminator and returns the
  // count stored, or -1 (nothing written) when the end came first.
  int ReadChars(char16_t* out, uint32_t n);

  bool IsUnicode() const { return unicode_ != 0; }
  void SetUnicode(bool unicode) { unicode_ = unicode ? 1 : 0; }
  bool SkipsCR() const { return skipCR_ != 0; }
  void SetSkipCR(bool skip) { skipCR_ = skip ? 1 : 0; }
  // The updater keeps the mark character (it sees it as the first character).
  bool DropsByteOrderMark() const { return dropMark_; }
  void SetDropByteOrderMark(bool drop) { dropMark_ = drop; }

 private:
  int32_t unicode_ = 0;
  int32_t skipCR_ = 1;
  uint16_t byteOrderMark_ = kByteOrderMark;
  bool dropMark_ = true;
};

// Writes text (NUL-terminated, or the given length) to path: UTF-16LE behind
// the mark FF FE when unicode, else the low byte of each character. Creates
// the missing parent folder (one level). The text goes to a temporary file in
// the same folder that replaces path only once every character was written,
// so a failed save leaves the old file untouched. Returns the number of
// characters written, 0 on failure.
uint32_t WriteTextFile(const char16_t* path, bool unicode, const char16_t* text);
uint32_t WriteTextFile(const char16_t* path, bool unicode, const char16_t* text, size_t length);
// The same in any encoding: UTF-8 (behind EF BB BF when marked) as well.
uint32_t WriteTextFile(const char16_t* path, TextEncoding encoding, const char16_t* text, size_t length);

// True when path can be opened for shared reading.
bool FileExists(const char16_t* path);

// Resolves name: as given when it exists, else beside the program's own
// executable, else along the search path. Non-zero on success (out holds the
// path); 0 when not found or when the result does not fit capacity.
size_t FindFile(const char16_t* name, char16_t* out, size_t capacity);

// ---- Platform primitives used above (and by other parts) ----

// The program's own executable path; its length, 0 on failure or when it
// does not fit.
size_t GetProgramPath(char16_t* out, size_t capacity);
// Searches the system search path for name; the length found (may exceed
// capacity - 1, then out is not filled), 0 when not found.
size_t SearchPathFor(const char16_t* name, char16_t* out, size_t capacity);
// Creates one folder level; true when it was created.
bool CreateFolder(const char16_t* path);
bool RemoveFile(const char16_t* path);
// Puts source in place of target (replacing it); true on success.
bool ReplaceFileWith(const char16_t* target, const char16_t* source);
// Gives the newly written file at path the permissions (attributes) of the
// existing file model; does nothing when model does not exist.
void CopyFilePermissions(const char16_t* model, const char16_t* path);
// True for the characters that separate folders in a path on this platform.
bool IsPathSeparator(char16_t c);
