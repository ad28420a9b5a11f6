// The download's file on a real folder: hashed on its own thread as it is
// written, restarted, refused past its limit, gone on every way but kept,
// and unchangeable while kept for starting.
#include "tollwren/flow/download_file_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text16.h"
#include "tests/common/temp_folder_win.h"

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::u16string Text(const std::wstring& path) { return std::u16string(AsText(path.c_str())); }

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 11));
  return bytes;
}

// Writes bytes in chunks of the sizes a transfer gives.
void WriteAll(CDownloadFile& file, const std::vector<uint8_t>& bytes) {
  const uint32_t chunks[] = {16384, 1048576, 1, 65536, 300000};
  size_t at = 0;
  for (int i = 0; at < bytes.size(); ++i) {
    const uint32_t take = static_cast<uint32_t>(std::min<size_t>(chunks[i % 5], bytes.size() - at));
    ASSERT_EQ(file.Write(bytes.data() + at, take), take);
    at += take;
  }
}

TEST(DownloadFile, DigestOfEveryByteAlsoAfterARestart) {
  wintest::TempFolder folder(L"tollwren_download_file");
  CDownloadFile file;
  file.StartHashing();
  ASSERT_TRUE(file.Create(Text(folder.File(L"setup.exe"))));
  WriteAll(file, Pattern(3 * 1024 * 1024 + 17, 1));  // dropped by the restart
  ASSERT_TRUE(file.Restart());
  EXPECT_EQ(file.Size(), 0u);
  const std::vector<uint8_t> body = Pattern(20 * 1024 * 1024 + 5, 2);  // past the hash's backlog
  WriteAll(file, body);
  CSha256Digest written, expected;
  ASSERT_TRUE(file.Digest(written));
  ASSERT_TRUE(Sha256Of(body.data(), body.size(), expected));
  EXPECT_EQ(written, expected);
  EXPECT_EQ(file.Size(), body.size());
}

TEST(DownloadFile, NeverReplacesAFileAndLeavesNoneUnlessKept) {
  wintest::TempFolder folder(L"tollwren_download_file");
  folder.Write(L"there.exe");
  CDownloadFile there;
  EXPECT_FALSE(there.Create(Text(folder.File(L"there.exe"))));
  EXPECT_TRUE(Exists(folder.File(L"there.exe")));

  {
    CDownloadFile dropped;
    ASSERT_TRUE(dropped.Create(Text(folder.File(L"dropped.exe"))));
    WriteAll(dropped, Pattern(100000, 3));
    EXPECT_TRUE(Exists(folder.File(L"dropped.exe")));
  }
  EXPECT_FALSE(Exists(folder.File(L"dropped.exe")));

  CDownloadFile discarded;
  ASSERT_TRUE(discarded.Create(Text(folder.File(L"discarded.exe"))));
  WriteAll(discarded, Pattern(1000, 4));
  discarded.Discard();
  EXPECT_FALSE(Exists(folder.File(L"discarded.exe")));
  const uint8_t late[1] = {0};
  EXPECT_EQ(discarded.Write(late, 1), 0u);  // a transfer left behind writes nothing
}

TEST(DownloadFile, KeptFileCannotBeChangedUntilReleased) {
  wintest::TempFolder folder(L"tollwren_download_file");
  const std::wstring path = folder.File(L"kept.exe");
  {
    CDownloadFile file;
    ASSERT_TRUE(file.Create(Text(path)));
    WriteAll(file, Pattern(50000, 5));
    ASSERT_TRUE(file.KeepForStart());
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(MoveFileW(path.c_str(), folder.File(L"moved.exe").c_str()));
    file.Release();
  }
  HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(reader, nullptr), 50000u);
  CloseHandle(reader);
}

TEST(DownloadFile, NoByteBeyondTheLimit) {
  wintest::TempFolder folder(L"tollwren_download_file");
  CDownloadFile file;
  file.SetLimit(1000);
  ASSERT_TRUE(file.Create(Text(folder.File(L"limited.exe"))));
  const std::vector<uint8_t> bytes = Pattern(1001, 6);
  EXPECT_EQ(file.Write(bytes.data(), 1000), 1000u);
  EXPECT_FALSE(file.OverLimit());
  EXPECT_EQ(file.Write(bytes.data() + 1000, 1), 0u);
  EXPECT_TRUE(file.OverLimit());
  CSha256Digest none;
  EXPECT_FALSE(file.Digest(none));  // nothing was hashed
}

}  // namespace
