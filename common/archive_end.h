// Where the appended archive ends in a program file that was signed after
// branding.
//
// A signer (Authenticode) writes its certificate table after everything in
// the file, so behind the archive: first up to 7 zero bytes that align the
// table to 8 bytes, then the table. The PE headers say where the table is:
// the security directory (data directory 4 of the optional header) holds its
// file offset and its length. Every header field is read byte by byte and
// checked against the file before it is used; a directory that is damaged or
// points anywhere but at the end of the file counts as no certificate.
#pragma once

#include <cstdint>

#include "common/plain_file.h"

// Random access to the bytes of one file or buffer.
class CByteSource {
 public:
  virtual ~CByteSource() = default;
  virtual uint64_t Size() = 0;
  // Copies n bytes from offset; false (out undefined) unless all of them lie
  // inside the source.
  virtual bool ReadAt(uint64_t offset, uint8_t* out, uint32_t n) = 0;
};

// A buffer in memory as a byte source.
class CMemoryByteSource : public CByteSource {
 public:
  CMemoryByteSource(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  uint64_t Size() override { return size_; }
  bool ReadAt(uint64_t offset, uint8_t* out, uint32_t n) override;

 private:
  const uint8_t* data_;
  uint64_t size_;
};

// An open file as a byte source; its size is taken when it is made.
class CFileByteSource : public CByteSource {
 public:
  explicit CFileByteSource(CPlainFile& file) : file_(file), size_(file.FullSize()) {}
  uint64_t Size() override { return size_; }
  bool ReadAt(uint64_t offset, uint8_t* out, uint32_t n) override;

 private:
  CPlainFile& file_;
  uint64_t size_;
};

// The certificate table's alignment, and the most zero bytes a signer puts
// in front of it.
constexpr uint32_t kCertificateTableAlignment = 8;
constexpr uint32_t kCertificatePaddingMax = kCertificateTableAlignment - 1;

// The file offset of the certificate table of a signed PE file: the file
// starts "MZ", its PE headers are whole, the security directory's offset is
// non-zero, aligned to 8, behind the headers, and offset + length is exactly
// the file's size, and the first certificate's own length fits the table.
// 0 for every other file.
uint64_t FindCertificateTable(CByteSource& source);

// Where the archive's trailer ends. For a file without certificate table,
// its size, so that such a file reads exactly as it always did. For a signed
// file, the end of the archive in front of the table: the position, at most
// 7 zero bytes before the table, whose 4 bytes before it hold a length that
// leads back to the magic BE BA DC AC; 0 when there is no such archive.
uint64_t FindArchiveEnd(CByteSource& source);
