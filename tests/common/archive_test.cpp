#include "common/archive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/archive_end.h"
#include "common/program_keys.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// The key stream written out once more, in 64-bit arithmetic, so that a slip
// in the library's unsigned wrap-around shows up as a difference.
uint8_t ReferenceKeyByte(const Bytes& key, uint64_t i) {
  const uint64_t length = key.size();
  const uint64_t mirrored = (255 + (uint64_t(1) << 32) - i) % (uint64_t(1) << 32);
  return uint8_t(key[(length / 2 + i) % (uint64_t(1) << 32) % length] ^ key[mirrored % length] ^
                 key[i % length] ^ ((length % 255 + i) % 256));
}

void PutLe32(Bytes* out, uint32_t v) {
  for (int s = 0; s < 32; s += 8) out->push_back(uint8_t(v >> s));
}

struct TestEntry {
  std::string name;  // up to 40 bytes are stored
  Bytes content;
};

// Lays out an archive byte by byte as the packer must: magic, headers with
// scrambled names, plain checksum and size, scrambled contents, trailer.
Bytes BuildArchive(const std::vector<TestEntry>& entries, const Bytes& key) {
  Bytes out = {0xBE, 0xBA, 0xDC, 0xAC};
  for (const TestEntry& e : entries) {
    uint8_t name[40] = {};
    std::memcpy(name, e.name.data(), std::min<size_t>(e.name.size(), 40));
    for (uint32_t i = 0; i < 40; ++i) {
      out.push_back(key.empty() ? name[i] : uint8_t(name[i] ^ ReferenceKeyByte(key, i)));
    }
    PutLe32(&out, ArchiveChecksum(e.content.data(), uint32_t(e.content.size())));
    PutLe32(&out, 0);
    out.push_back(0);
    out.push_back(0);
    PutLe32(&out, uint32_t(e.content.size()));
    for (uint32_t i = 0; i < e.content.size(); ++i) {
      out.push_back(key.empty() ? e.content[i] : uint8_t(e.content[i] ^ ReferenceKeyByte(key, i)));
    }
  }
  PutLe32(&out, uint32_t(out.size() + 4));
  return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 31 + (i >> 8));
  return b;
}

Bytes MarlpaneKey() { return Bytes(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength); }
Bytes TollwrenKey() { return Bytes(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength); }

class ArchiveFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    folder_ = fs::temp_directory_path() /
              ("archive_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + std::to_string(counter++));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Writes image + archive to a file and returns its path.
  std::u16string Write(const std::string& name, const Bytes& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return path.u16string();
  }

  fs::path folder_;
};

TEST(ArchiveFormat, ChecksumShiftsEachByteByItsPositionModulo24) {
  struct Case {
    Bytes content;
    uint32_t expected;
  };
  Bytes wrap(25, 0);
  wrap[23] = 0xFF;  // 0xFF << 23 loses its top bit
  wrap[24] = 0x01;  // position 24 shifts by 0 again
  const Case cases[] = {
      {Text("abc"), 0x129},  // 0x61 ^ 0xC4 ^ 0x18C
      {{}, 0},
      {{0x80}, 0x80},
      {{0x01, 0x01}, 0x03},
      {wrap, 0x7F800001},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArchiveChecksum(c.content.data(), uint32_t(c.content.size())), c.expected);
  }
}

TEST(ArchiveFormat, KeyStreamFollowsTheFormulaIncludingWrapAround) {
  // Worked by hand: K = 01 02 03, L = 3, i = 0:
  // K[1] ^ K[255 % 3] ^ K[0] ^ 3 = 2 ^ 1 ^ 1 ^ 3 = 1.
  const uint8_t small[] = {1, 2, 3};
  EXPECT_EQ(ArchiveKeyByte(small, 3, 0), 1);

  Bytes longKey = Pattern(5000, 7);
  const Bytes keys[] = {{0x5A}, {1, 2}, Pattern(7, 3), MarlpaneKey(), TollwrenKey(), Pattern(255, 9),
                        Pattern(256, 1), longKey};
  const uint32_t farPositions[] = {255, 256, 1000, 65535, 0x7FFFFFFF, 0x80000000, 0xFFFFFF00,
                                   0xFFFFFFFF};
  for (const Bytes& key : keys) {
    for (uint32_t i = 0; i < 700; ++i) {
      ASSERT_EQ(ArchiveKeyByte(key.data(), uint32_t(key.size()), i), ReferenceKeyByte(key, i))
          << "key length " << key.size() << " position " << i;
    }
    for (uint32_t i : farPositions) {
      ASSERT_EQ(ArchiveKeyByte(key.data(), uint32_t(key.size()), i), ReferenceKeyByte(key, i))
          << "key length " << key.size() << " position " << i;
    }
  }
  // Scrambling twice restores the data; a key of length 0 leaves it alone.
  Bytes data = Pattern(300, 5);
  const Bytes original = data;
  ScrambleArchiveBytes(kMarlpaneArchiveKey, kProgramKeyLength, data.data(), 300);
  EXPECT_NE(data, original);
  ScrambleArchiveBytes(kMarlpaneArchiveKey, kProgramKeyLength, data.data(), 300);
  EXPECT_EQ(data, original);
  ScrambleArchiveBytes(kMarlpaneArchiveKey, 0, data.data(), 300);
  EXPECT_EQ(data, original);
}

TEST(ArchiveFormat, NameFieldKeepsAtMost39BytesAndZeroPads) {
  const std::string name39(39, 'n');
  const std::string name45 = name39 + "-extra";
  struct Case {
    const char* name;
    bool ok;
    std::string stored;
  };
  const Case cases[] = {
      {nullptr, false, ""}, {"", false, ""}, {"settings", true, "settings"},
      {name39.c_str(), true, name39}, {name45.c_str(), true, name39},
  };
  for (const Case& c : cases) {
    uint8_t field[40];
    std::memset(field, 0xEE, sizeof field);
    ASSERT_EQ(MakeNameKey(c.name, field), c.ok) << (c.name ? c.name : "(null)");
    if (!c.ok) {
      EXPECT_EQ(field[0], 0xEE);  // untouched
      continue;
    }
    uint8_t expected[40] = {};
    std::memcpy(expected, c.stored.data(), c.stored.size());
    EXPECT_EQ(std::memcmp(field, expected, 40), 0) << c.name;
  }
}

TEST(ArchiveFormat, HeaderFieldsSitAtTheirOffsetsLittleEndian) {
  ArchiveEntryHeader header;
  header.name[0] = 'x';
  header.name[39] = 0x7F;
  header.checksum = 0x11223344;
  header.reserved = 0x55667788;
  header.reserved2 = 0x99AA;
  header.size = 0xCCDDEEFF;
  uint8_t bytes[kArchiveHeaderSize];
  EncodeArchiveEntryHeader(header, bytes);
  const uint8_t tail[] = {0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0xAA, 0x99,
                          0xFF, 0xEE, 0xDD, 0xCC};
  EXPECT_EQ(bytes[0], 'x');
  EXPECT_EQ(bytes[39], 0x7F);
  EXPECT_EQ(std::memcmp(bytes + 40, tail, sizeof tail), 0);
  ArchiveEntryHeader back;
  DecodeArchiveEntryHeader(bytes, &back);
  EXPECT_EQ(back.checksum, header.checksum);
  EXPECT_EQ(back.reserved, header.reserved);
  EXPECT_EQ(back.reserved2, header.reserved2);
  EXPECT_EQ(back.size, header.size);
  EXPECT_EQ(std::memcmp(back.name, header.name, 40), 0);
}

TEST(ArchiveKey, SetKeyStoresAtMost5000Bytes) {
  static CKeyedArchive archive;  // 5 KB of key: keep it off the stack
  EXPECT_EQ(archive.KeyLength(), 0u);
  const Bytes key = Pattern(6000, 1);
  archive.SetKey(key.data(), 6000);
  EXPECT_EQ(archive.KeyLength(), 5000u);
  EXPECT_EQ(std::memcmp(archive.Key(), key.data(), 5000), 0);
  archive.SetKey(key.data(), 5000);
  EXPECT_EQ(archive.KeyLength(), 5000u);
  archive.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  EXPECT_EQ(archive.KeyLength(), 50u);
  archive.SetKey(nullptr, 0);
  EXPECT_EQ(archive.KeyLength(), 0u);
}

TEST(ArchiveKey, TheProgramsKeysDiffer) {
  EXPECT_NE(std::memcmp(kMarlpaneArchiveKey, kTollwrenArchiveKey, kProgramKeyLength), 0);
}

TEST_F(ArchiveFiles, GoldenArchiveWithoutKeyIsReadPlain) {
  // One entry "abc" holding "abc", key length 0: every byte spelled out.
  Bytes file = Text("MZ-image");
  const uint8_t archive[] = {
      0xBE, 0xBA, 0xDC, 0xAC, 'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // name field ends
      0x29, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0,               // checksum, reserved, size
      'a', 'b', 'c', 65, 0, 0, 0};                                   // content, trailer
  file.insert(file.end(), archive, archive + sizeof archive);
  const std::u16string path = Write("golden.exe", file);

  CKeyedArchive reader;
  EXPECT_EQ(reader.GetEntrySize(path.c_str(), "abc"), 3u);
  char buffer[3];
  EXPECT_EQ(reader.ReadEntry(path.c_str(), "abc", buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  // The same file is no archive for a reader holding a key: names differ.
  reader.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  EXPECT_EQ(reader.GetEntrySize(path.c_str(), "abc"), 0u);
}

TEST_F(ArchiveFiles, LookupsByNameUnderEachKey) {
  const std::string name39 = "a-name-of-exactly-thirty-nine-character";
  ASSERT_EQ(name39.size(), 39u);
  const std::string name45 = name39 + "s+six";
  const Bytes settings = Pattern(84, 3);
  const Bytes options = Text("[Options]\r\nTitle=Demo\r\n");
  const Bytes big = Pattern(70000, 11);
  const std::vector<TestEntry> entries = {
      {"options.ini", options},
      {"settings", settings},
      {"dup", Text("first")},
      {"empty", {}},
      {name39, Text("long name")},
      {"dup", Text("second")},
      {"big", big},
  };
  struct Lookup {
    const char* name;
    uint32_t size;      // expected GetEntrySize
    Bytes content;      // expected content (empty: ReadEntry gives 0)
  };
  const Lookup lookups[] = {
      {"options.ini", uint32_t(options.size()), options},
      {"settings", 84, settings},
      {"Settings", 0, {}},                       // names are case-sensitive
      {"settings ", 0, {}},
      {"dup", 5, Text("first")},                 // the first of two wins
      {"empty", 0, {}},                          // size 0 counts as absent
      {name39.c_str(), 9, Text("long name")},
      {name45.c_str(), 9, Text("long name")},    // cut to the same 39 bytes
      {"big", 70000, big},
      {"missing", 0, {}},
      {"", 0, {}},
      {nullptr, 0, {}},
  };
  const Bytes keys[] = {{}, MarlpaneKey(), TollwrenKey(), Pattern(5000, 77), {0x00}};
  const Bytes image = Pattern(4096, 200);
  for (const Bytes& key : keys) {
    Bytes file = image;
    const Bytes archive = BuildArchive(entries, key);
    file.insert(file.end(), archive.begin(), archive.end());
    const std::u16string path = Write("program.exe", file);
    CKeyedArchive reader;
    reader.SetKey(key.data(), uint32_t(key.size()));
    for (const Lookup& l : lookups) {
      const char* shown = l.name ? l.name : "(null)";
      SCOPED_TRACE(std::string(shown) + " key length " + std::to_string(key.size()));
      EXPECT_EQ(reader.GetEntrySize(path.c_str(), l.name), l.size);
      Bytes buffer(100000, 0xEE);
      const uint32_t read = reader.ReadEntry(path.c_str(), l.name, buffer.data(), uint32_t(buffer.size()));
      EXPECT_EQ(read, uint32_t(l.content.size()));
      EXPECT_TRUE(std::equal(l.content.begin(), l.content.end(), buffer.begin()));
    }
    // Capacity one short: nothing is read; exact capacity works.
    Bytes buffer(84, 0xEE);
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer.data(), 83), 0u);
    EXPECT_EQ(buffer, Bytes(84, 0xEE));
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer.data(), 84), 84u);
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", nullptr, 84), 0u);
  }
}

TEST_F(ArchiveFiles, WrongKeyFindsNothing) {
  Bytes file = Pattern(100, 1);
  const Bytes archive = BuildArchive({{"settings", Pattern(84, 1)}}, MarlpaneKey());
  file.insert(file.end(), archive.begin(), archive.end());
  const std::u16string path = Write("program.exe", file);
  CKeyedArchive reader;
  reader.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  EXPECT_EQ(reader.GetEntrySize(path.c_str(), "settings"), 0u);
  reader.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  EXPECT_EQ(reader.GetEntrySize(path.c_str(), "settings"), 84u);
}

TEST_F(ArchiveFiles, FlippedContentByteFailsTheChecksumButKeepsTheSize) {
  const Bytes content = Pattern(84, 9);
  Bytes file = Pattern(64, 2);
  const size_t archiveStart = file.size();
  const Bytes archive = BuildArchive({{"settings", content}}, MarlpaneKey());
  file.insert(file.end(), archive.begin(), archive.end());
  file[archiveStart + 4 + 54 + 17] ^= 0x20;
  const std::u16string path = Write("program.exe", file);
  CKeyedArchive reader;
  reader.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  EXPECT_EQ(reader.GetEntrySize(path.c_str(), "settings"), 84u);
  Bytes buffer(84, 0xEE);
  EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer.data(), 84), 0u);
  EXPECT_EQ(buffer, Bytes(84, 0));  // unverified bytes are not left behind
}

TEST_F(ArchiveFiles, FilesWithoutAUsableArchiveGiveNothing) {
  const Bytes good = BuildArchive({{"settings", Pattern(84, 4)}}, {});
  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases;
  cases.push_back({"no archive at all", Pattern(1000, 1)});
  cases.push_back({"empty file", {}});
  cases.push_back({"three bytes", {1, 2, 3}});
  {
    Bytes b = Pattern(1000, 2);
    b.insert(b.end(), {0, 0, 0, 0});
    cases.push_back({"trailer 0", b});
  }
  {
    Bytes b = Pattern(1000, 3);
    PutLe32(&b, 1005);
    cases.push_back({"trailer larger than the file", b});
  }
  {
    Bytes b = Pattern(200, 3);
    b.insert(b.end(), good.begin(), good.end());
    PutLe32(&b, 0xFFFFFFFF);
    cases.push_back({"trailer 0xFFFFFFFF", b});
  }
  {
    Bytes b = Pattern(200, 3);
    b.insert(b.end(), good.begin(), good.end());
    b.resize(b.size() - 4);
    PutLe32(&b, 3);
    cases.push_back({"trailer shorter than a header", b});
  }
  for (const Case& c : cases) {
    const std::u16string path = Write("damaged.exe", c.file);
    CKeyedArchive reader;
    EXPECT_EQ(reader.GetEntrySize(path.c_str(), "settings"), 0u) << c.what;
    uint8_t buffer[84];
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer, 84), 0u) << c.what;
  }
  CKeyedArchive reader;
  const std::u16string missing = (folder_ / "missing.exe").u16string();
  EXPECT_EQ(reader.GetEntrySize(missing.c_str(), "settings"), 0u);
  EXPECT_EQ(reader.GetEntrySize(nullptr, "settings"), 0u);
}

TEST_F(ArchiveFiles, SizesReachingPastTheEndStopTheWalk) {
  // A first entry whose size points beyond the file (or would wrap a signed
  // seek backwards) hides every later entry and never loops.
  const uint32_t sizes[] = {0xFFFFFFF0u, 0x80000000u, 0x7FFFFFFFu, 1000000u};
  for (uint32_t size : sizes) {
    Bytes archive = BuildArchive({{"first", Text("one")}, {"second", Text("two")}}, {});
    const size_t sizeOffset = 4 + 50;
    archive[sizeOffset] = uint8_t(size);
    archive[sizeOffset + 1] = uint8_t(size >> 8);
    archive[sizeOffset + 2] = uint8_t(size >> 16);
    archive[sizeOffset + 3] = uint8_t(size >> 24);
    Bytes file = Pattern(300, 5);
    file.insert(file.end(), archive.begin(), archive.end());
    const std::u16string path = Write("chain.exe", file);
    CKeyedArchive reader;
    EXPECT_EQ(reader.GetEntrySize(path.c_str(), "second"), 0u) << size;
    EXPECT_EQ(reader.GetEntrySize(path.c_str(), "first"), size) << size;
    Bytes buffer(1000000, 0xEE);
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "first", buffer.data(), 1000000), 0u) << size;
    EXPECT_EQ(buffer[0], 0xEE) << size;  // nothing was read
  }
}

TEST_F(ArchiveFiles, MagicIsNotCheckedOnlyTheTrailerCounts) {
  Bytes archive = BuildArchive({{"settings", Pattern(84, 6)}}, MarlpaneKey());
  archive[0] = archive[1] = archive[2] = archive[3] = 0;
  Bytes file = Pattern(500, 6);
  file.insert(file.end(), archive.begin(), archive.end());
  const std::u16string path = Write("nomagic.exe", file);
  CKeyedArchive reader;
  reader.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  Bytes buffer(84);
  EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer.data(), 84), 84u);
  EXPECT_EQ(buffer, Pattern(84, 6));
}

// The headers of a PE file as far as the locator reads them, then code-like
// bytes up to `image` bytes. optionalMagic 0x20B is PE32+, 0x10B PE32.
Bytes PeImage(size_t image, uint16_t optionalMagic = 0x20B) {
  Bytes b = Pattern(image, 9);
  const size_t pe = 0x80;
  b[0] = 'M';
  b[1] = 'Z';
  b[0x3C] = uint8_t(pe);
  b[0x3D] = b[0x3E] = b[0x3F] = 0;
  std::memcpy(&b[pe], "PE\0\0", 4);
  const bool plus = optionalMagic == 0x20B;
  const size_t optional = pe + 24;
  const uint16_t optionalSize = plus ? 240 : 224;
  b[pe + 4 + 16] = uint8_t(optionalSize);
  b[pe + 4 + 17] = 0;
  b[optional] = uint8_t(optionalMagic);
  b[optional + 1] = uint8_t(optionalMagic >> 8);
  const size_t count = optional + (plus ? 108 : 92);
  for (size_t i = 0; i < 4 + 16 * 8; ++i) b[count + i] = 0;
  b[count] = 16;
  return b;
}

void SetSecurityDirectory(Bytes* file, uint32_t offset, uint32_t size) {
  const size_t optional = 0x80 + 24;
  const bool plus = (*file)[optional] == 0x0B && (*file)[optional + 1] == 0x02;
  const size_t directory = optional + (plus ? 112 : 96) + 4 * 8;
  for (int i = 0; i < 4; ++i) {
    (*file)[directory + i] = uint8_t(offset >> (8 * i));
    (*file)[directory + 4 + i] = uint8_t(size >> (8 * i));
  }
}

// A signer's work: zero bytes up to an 8-byte boundary (or `padding` of
// them), a certificate table of one WIN_CERTIFICATE, and the directory.
void Sign(Bytes* file, int padding = -1) {
  file->resize(file->size() + (padding >= 0 ? size_t(padding) : (8 - file->size() % 8) % 8), 0);
  const uint32_t table = uint32_t(file->size());
  const uint32_t length = 8 + 296;
  PutLe32(file, length);
  file->insert(file->end(), {0x00, 0x02, 0x02, 0x00});  // revision 2.0, PKCS#7
  const Bytes der = Pattern(296, 0x30);
  file->insert(file->end(), der.begin(), der.end());
  SetSecurityDirectory(file, table, length);
}

TEST_F(ArchiveFiles, SignedCopiesAreReadInFrontOfTheirCertificateTable) {
  const Bytes archive = BuildArchive({{"settings", Pattern(84, 7)}}, {});
  // Every alignment a signer may need: 0 to 7 zero bytes before the table.
  for (size_t image = 4096; image < 4096 + 8; ++image) {
    Bytes file = PeImage(image);
    file.insert(file.end(), archive.begin(), archive.end());
    Sign(&file);
    const std::u16string path = Write("signed.exe", file);
    CKeyedArchive reader;
    Bytes buffer(84);
    EXPECT_EQ(reader.ReadEntry(path.c_str(), "settings", buffer.data(), 84), 84u) << image;
    EXPECT_EQ(buffer, Pattern(84, 7)) << image;
  }
}

TEST(ArchiveEnd, CertificateTableIsTrustedOnlyWhereItEndsTheFile) {
  const Bytes archive = BuildArchive({{"settings", Pattern(84, 7)}}, {});
  Bytes branded = PeImage(4093);
  branded.insert(branded.end(), archive.begin(), archive.end());
  const uint64_t archiveEnd = branded.size();  // 4093 + 146: 1 byte of padding to sign
  const uint64_t table = (archiveEnd + 7) / 8 * 8;
  Bytes signedCopy = branded;
  Sign(&signedCopy);
  const uint32_t size = uint32_t(signedCopy.size());
  const uint32_t length = size - uint32_t(table);

  struct Case {
    const char* what;
    Bytes file;
    uint64_t certificateTable;
    uint64_t archiveEnd;  // 0: no archive
  };
  std::vector<Case> cases = {{"unsigned", branded, 0, archiveEnd}, {"signed", signedCopy, table, archiveEnd}};
  Bytes pe32 = PeImage(4093, 0x10B);
  pe32.insert(pe32.end(), archive.begin(), archive.end());
  Sign(&pe32);
  cases.push_back({"signed PE32", pe32, table, archiveEnd});
  Bytes eight = branded;
  Sign(&eight, 9);
  cases.push_back({"more than 7 bytes of padding", eight, archiveEnd + 9, 0});
  Bytes dirty = signedCopy;
  dirty[archiveEnd] = 1;
  cases.push_back({"padding that is not zero", dirty, table, 0});
  Bytes plain = PeImage(4096);
  Sign(&plain);
  cases.push_back({"signed, no archive", plain, 4096, 0});

  // A damaged directory or table counts as no certificate: the file is read
  // to its end, as every unsigned file is.
  struct Directory {
    const char* what;
    uint32_t offset;
    uint32_t size;
  };
  const Directory directories[] = {
      {"table past the end", uint32_t(table), length + 8},
      {"table short of the end", uint32_t(table), length - 8},
      {"offset far outside, wrapping around", 0xFFFFFFF8u, size + 8},
      {"offset not aligned", uint32_t(table) + 4, length - 4},
      {"offset inside the headers", 0x80, size - 0x80},
      {"table of 0 bytes at the end", size, 0},
  };
  for (const Directory& d : directories) {
    Bytes b = signedCopy;
    SetSecurityDirectory(&b, d.offset, d.size);
    cases.push_back({d.what, b, 0, size});
  }
  Bytes longer = signedCopy;
  longer[table] = uint8_t(length + 1);  // the certificate claims more than the table
  cases.push_back({"certificate longer than its table", longer, 0, size});
  Bytes notPe = signedCopy;
  notPe[0] = 'Z';
  cases.push_back({"no MZ", notPe, 0, size});
  Bytes fewDirectories = signedCopy;
  fewDirectories[0x80 + 24 + 108] = 4;
  cases.push_back({"four data directories", fewDirectories, 0, size});
  Bytes cut = signedCopy;
  cut.resize(0x80 + 24 + 100);
  cases.push_back({"headers cut short", cut, 0, cut.size()});

  for (Case& c : cases) {
    CMemoryByteSource source(c.file.data(), c.file.size());
    EXPECT_EQ(FindCertificateTable(source), c.certificateTable) << c.what;
    EXPECT_EQ(FindArchiveEnd(source), c.archiveEnd) << c.what;
  }
}

}  // namespace
