#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/program_keys.h"
#include "common/text16.h"
#include "tools/respack/manifest.h"
#include "tools/respack/pack_archive.h"
#include "tools/respack/pack_files.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 13 + (i >> 7));
  return b;
}

class PackerFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    folder_ = fs::temp_directory_path() /
              ("respack_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               std::to_string(counter++));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::u16string Write(const std::string& name, const Bytes& bytes) {
    const fs::path path = folder_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.u16string();
  }
  std::u16string Write(const std::string& name, const std::string& text) { return Write(name, Text(text)); }

  fs::path folder_;
};

TEST(PackerKeys, KeyForms) {
  struct Case {
    std::u16string text;
    bool ok;
    Bytes key;
  };
  const Bytes marlpane(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength);
  const Bytes tollwren(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength);
  const Case cases[] = {
      {u"marlpane", true, marlpane},
      {u"Tollwren", true, tollwren},
      {u"none", true, {}},
      {u"hex:00ff10A5", true, {0x00, 0xFF, 0x10, 0xA5}},
      {u"HEX:7f", true, {0x7F}},
      {u"hex:", false, {}},
      {u"hex:123", false, {}},
      {u"hex:zz", false, {}},
      {u"", false, {}},
      {u"marlpane2", false, {}},
      {u"hex:" + std::u16string(10000, u'a'), true, Bytes(5000, 0xAA)},
      {u"hex:" + std::u16string(10002, u'a'), false, {}},
  };
  for (const Case& c : cases) {
    Bytes key = {1, 2, 3};
    std::string error;
    EXPECT_EQ(ParseArchiveKey(c.text, &key, &error), c.ok) << TextToUtf8(c.text.substr(0, 20));
    if (c.ok) {
      EXPECT_EQ(key, c.key) << TextToUtf8(c.text.substr(0, 20));
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(PackerNames, EntryNamesAreOneTo39EightBitCharacters) {
  struct Case {
    std::u16string text;
    bool ok;
    std::string name;
  };
  const Case cases[] = {
      {u"settings", true, "settings"},
      {std::u16string(39, u'x'), true, std::string(39, 'x')},
      {std::u16string(40, u'x'), false, ""},
      {u"", false, ""},
      {u"caf\u00E9.lng", true, "caf\xE9.lng"},  // narrowed like the updater narrows
      {u"\u20AC.lng", false, ""},
  };
  for (const Case& c : cases) {
    std::string name;
    std::string error;
    EXPECT_EQ(MakeEntryName(c.text, &name, &error), c.ok) << TextToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(name, c.name);
    }
  }
}

TEST(PackerLayout, BuildsTheExactBytesTheReaderExpects) {
  Bytes archive;
  std::string error;
  ASSERT_TRUE(BuildArchive({{"abc", Text("abc")}}, {}, &archive, &error));
  Bytes expected = {0xBE, 0xBA, 0xDC, 0xAC, 'a', 'b', 'c'};
  expected.resize(4 + 40, 0);
  const uint8_t tail[] = {0x29, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 65, 0, 0, 0};
  expected.insert(expected.end(), tail, tail + sizeof tail);
  EXPECT_EQ(archive, expected);

  // With a key the name field (padding included) and the content are
  // scrambled; checksum and size stay plain.
  const Bytes key = {0x10, 0x20, 0x30};
  ASSERT_TRUE(BuildArchive({{"abc", Text("abc")}}, key, &archive, &error));
  ASSERT_EQ(archive.size(), expected.size());
  for (uint32_t i = 0; i < 40; ++i) {
    EXPECT_EQ(archive[4 + i], uint8_t(expected[4 + i] ^ ArchiveKeyByte(key.data(), 3, i))) << i;
  }
  EXPECT_TRUE(std::equal(archive.begin() + 44, archive.begin() + 58, expected.begin() + 44));
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(archive[58 + i], uint8_t(expected[58 + i] ^ ArchiveKeyByte(key.data(), 3, i)));
  }

  ASSERT_TRUE(BuildArchive({}, {}, &archive, &error));
  EXPECT_EQ(archive, (Bytes{0xBE, 0xBA, 0xDC, 0xAC, 8, 0, 0, 0}));
}

TEST(PackerLayout, RefusesNamesTheReaderCouldNotTellApart) {
  Bytes archive;
  std::string error;
  EXPECT_FALSE(BuildArchive({{"a", Text("1")}, {"a", Text("2")}}, {}, &archive, &error));
  EXPECT_FALSE(BuildArchive({{std::string(40, 'n'), Text("1")}}, {}, &archive, &error));
  EXPECT_FALSE(BuildArchive({{"", Text("1")}}, {}, &archive, &error));
  EXPECT_FALSE(error.empty());
}

TEST(PackerLayout, FindsAnAppendedArchiveOnlyWhereTrailerAndMagicAgree) {
  Bytes archive;
  std::string error;
  ASSERT_TRUE(BuildArchive({{"settings", Pattern(84, 1)}}, {}, &archive, &error));
  const Bytes image = Pattern(1000, 9);
  struct Case {
    const char* what;
    Bytes file;
    size_t imageEnd;
  };
  std::vector<Case> cases;
  Bytes branded = image;
  branded.insert(branded.end(), archive.begin(), archive.end());
  cases.push_back({"branded", branded, image.size()});
  cases.push_back({"plain image", image, image.size()});
  cases.push_back({"archive alone", archive, 0});
  cases.push_back({"tiny", {1, 2, 3}, 3});
  Bytes noMagic = branded;
  noMagic[image.size()] ^= 1;
  cases.push_back({"magic broken", noMagic, noMagic.size()});
  Bytes tooLong = branded;
  tooLong[tooLong.size() - 1] = 0x7F;
  cases.push_back({"trailer beyond the file", tooLong, tooLong.size()});
  Bytes zero = image;
  zero.insert(zero.end(), {0, 0, 0, 0});
  cases.push_back({"trailer 0", zero, zero.size()});
  for (const Case& c : cases) {
    EXPECT_EQ(FindImageEnd(c.file.data(), c.file.size()), c.imageEnd) << c.what;
  }
}

TEST(PackerLayout, ListWalksEveryEntryAndChecksEachChecksum) {
  const Bytes key(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength);
  Bytes archive;
  std::string error;
  ASSERT_TRUE(BuildArchive({{"options.ini", Text("[x]\n")}, {"empty", {}}, {"settings", Pattern(84, 2)}},
                           key, &archive, &error));
  Bytes file = Pattern(500, 3);
  file.insert(file.end(), archive.begin(), archive.end());
  file[file.size() - 4 - 10] ^= 0x40;  // inside "settings"

  std::vector<ListedEntry> entries;
  ASSERT_TRUE(ListArchive(file.data(), file.size(), key, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "options.ini");
  EXPECT_EQ(entries[0].size, 4u);
  EXPECT_TRUE(entries[0].checksumOk);
  EXPECT_EQ(entries[1].name, "empty");
  EXPECT_TRUE(entries[1].checksumOk);
  EXPECT_EQ(entries[2].name, "settings");
  EXPECT_FALSE(entries[2].checksumOk);

  // A size running past the trailer is reported, after the good entries.
  Bytes broken = file;
  broken[500 + 4 + 54 + 4 + 50] = 0xFF;  // size of "empty"
  EXPECT_FALSE(ListArchive(broken.data(), broken.size(), key, &entries, &error));
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_FALSE(ListArchive(Pattern(100, 1).data(), 100, key, &entries, &error));
  EXPECT_EQ(PrintableName(std::string("a\x01\\z", 4)), "a\\x01\\x5Cz");
}

TEST_F(PackerFiles, PackedEntriesReadBackThroughTheProgramsReader) {
  const Bytes big = Pattern(100000, 5);
  const std::vector<PackEntry> entries = {
      {"options.ini", Text("[Options]\r\nTitle=x\r\n")}, {"settings", Pattern(84, 7)}, {"big", big}};
  const Bytes keys[] = {Bytes(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength),
                        Bytes(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength), {},
                        Pattern(5000, 3)};
  static CKeyedArchive reader;
  for (const Bytes& key : keys) {
    Bytes archive;
    std::string error;
    ASSERT_TRUE(BuildArchive(entries, key, &archive, &error));
    Bytes file = Pattern(3000, 1);
    file.insert(file.end(), archive.begin(), archive.end());
    const std::u16string path = Write("program.exe", file);
    reader.SetKey(key.data(), uint32_t(key.size()));
    for (const PackEntry& entry : entries) {
      const uint32_t size = reader.GetEntrySize(path.c_str(), entry.name.c_str());
      ASSERT_EQ(size, entry.content.size()) << entry.name << " key length " << key.size();
      Bytes buffer(size);
      ASSERT_EQ(reader.ReadEntry(path.c_str(), entry.name.c_str(), buffer.data(), size), size);
      EXPECT_EQ(buffer, entry.content);
    }
  }
}

TEST_F(PackerFiles, ManifestNamesKeyAndEntriesBesideItself) {
  Write("brand/images/banner.bmp", "BM");
  const std::u16string path = Write("brand/manifest.ini",
                                    "; branding of the demo copy\r\n"
                                    "[archive]\r\n"
                                    "key = marlpane\r\n"
                                    "\r\n"
                                    "[entries]\r\n"
                                    "options.ini=options.ini\r\n"
                                    "banner.bmp = images\\banner.bmp\r\n"
                                    "settings=sub/settings.bin\r\n"
                                    "[other]\r\n"
                                    "ignored=x\r\n");
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(LoadManifest(path.c_str(), &manifest, &error)) << error;
  EXPECT_EQ(manifest.key, Bytes(kMarlpaneArchiveKey, kMarlpaneArchiveKey + kProgramKeyLength));
  ASSERT_EQ(manifest.entries.size(), 3u);
  EXPECT_EQ(manifest.entries[0].name, "options.ini");
  EXPECT_EQ(manifest.entries[1].name, "banner.bmp");
  EXPECT_EQ(manifest.entries[2].name, "settings");
  const fs::path folder = folder_ / "brand";
  EXPECT_TRUE(fs::equivalent(fs::path(manifest.entries[1].path), folder / "images" / "banner.bmp"));
  EXPECT_EQ(fs::path(manifest.entries[0].path).lexically_normal(), (folder / "options.ini").lexically_normal());
}

TEST_F(PackerFiles, ManifestFaultsAreReported) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"no key", "[entries]\nsettings=s.bin\n"},
      {"bad key", "[archive]\nkey=blue\n[entries]\nsettings=s.bin\n"},
      {"no entries section", "[archive]\nkey=none\n"},
      {"name of 40", "[archive]\nkey=none\n[entries]\n" + std::string(40, 'n') + "=s.bin\n"},
      {"duplicate", "[archive]\nkey=none\n[entries]\nsettings=a\nsettings=b\n"},
      {"no file", "[archive]\nkey=none\n[entries]\nsettings=\n"},
  };
  for (const Case& c : cases) {
    const std::u16string path = Write("manifest.ini", c.text);
    Manifest manifest;
    std::string error;
    EXPECT_FALSE(LoadManifest(path.c_str(), &manifest, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(error.find('\n'), std::string::npos) << c.what;
  }
  Manifest manifest;
  std::string error;
  const std::u16string missing = (folder_ / "missing.ini").u16string();
  EXPECT_FALSE(LoadManifest(missing.c_str(), &manifest, &error));
}

TEST_F(PackerFiles, FailedWriteLeavesTheTargetAndNoTemporary) {
  const std::u16string target = Write("out.exe", "keep");
  const Bytes part = Text("new content");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(target.c_str(), {{part.data(), part.size()}}, nullptr, &error)) << error;
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(target.c_str(), &back));
  EXPECT_EQ(back, part);

  // A target inside a folder that does not exist cannot be written.
  const std::u16string nowhere = (folder_ / "no" / "such" / "out.exe").u16string();
  EXPECT_FALSE(WriteFileAtomically(nowhere.c_str(), {{part.data(), part.size()}}, nullptr, &error));
  EXPECT_FALSE(error.empty());
  for (const auto& item : fs::directory_iterator(folder_)) {
    EXPECT_EQ(item.path().extension(), ".exe") << item.path();
  }
}

}  // namespace
