// File behaviour specific to Windows: read-only and hidden targets, the
// search path.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/plain_file.h"
#include "common/text16.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::FolderListing;
using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::WriteBytes;

TEST(WriteTextFileWin, ReadOnlyFileIsNotReplaced) {
  TempFolder folder;
  WriteBytes(folder.Native("s.ini"), "a=1\r\n");
  auto path = folder.File("s.ini");
  ASSERT_TRUE(SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"a=2\r\n"), 0u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), "a=1\r\n");
  EXPECT_EQ(FolderListing(folder.path()), "s.ini");
  SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_NORMAL);
}

TEST(WriteTextFileWin, HiddenFileStaysHidden) {
  TempFolder folder;
  WriteBytes(folder.Native("s.ini"), "a=1\r\n");
  auto path = folder.File("s.ini");
  ASSERT_TRUE(SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"a=22\r\n"), 6u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), "a=22\r\n");
  DWORD attributes = GetFileAttributesW(AsWide(path.c_str()));
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN));
}

TEST(FindFileWin, SearchesThePath) {
  TempFolder folder;
  WriteBytes(folder.Native("tool-on-path.cfg"), "x");
  wchar_t saved[32767];
  DWORD had = GetEnvironmentVariableW(L"PATH", saved, 32767);
  std::u16string path = folder.path().u16string();
  ASSERT_TRUE(SetEnvironmentVariableW(L"PATH", AsWide(path.c_str())));
  char16_t out[kPathCapacity];
  size_t found = FindFile(u"tool-on-path.cfg", out, kPathCapacity);
  EXPECT_NE(found, 0u);
  EXPECT_EQ(found, TextLength(out));
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(std::u16string{out}),
                                          folder.Native("tool-on-path.cfg")));
  EXPECT_EQ(FindFile(u"tool-on-path.cfg", out, 4), 0u);
  SetEnvironmentVariableW(L"PATH", had ? saved : nullptr);
}

}  // namespace
