// File behaviour that needs POSIX means to provoke: a write that stops
// part-way (file size limit), permission bits, the PATH search.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/plain_file.h"
#include "common/text16.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::FolderListing;
using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::WriteBytes;

// Lowers the file size limit for the lifetime of the object, so that writes
// beyond it stop part-way (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_;
  void (*previous_)(int);
};

TEST(WriteTextFilePosix, WriteStoppingPartWayKeepsTheOriginal) {
  TempFolder folder;
  const std::string original = "[a]\nkey=old value\n";
  WriteBytes(folder.Native("s.ini"), original);
  auto path = folder.File("s.ini");
  std::u16string text(200000, u'n');
  uint32_t written;
  {
    FileSizeLimit limit(100000);
    written = WriteTextFile(path.c_str(), false, text.c_str());
  }
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), original);
  EXPECT_EQ(FolderListing(folder.path()), "s.ini");
}

TEST(WriteTextFilePosix, KeepsPermissionBits) {
  TempFolder folder;
  WriteBytes(folder.Native("s.ini"), "a=1\n");
  auto native = folder.Native("s.ini").string();
  ASSERT_EQ(chmod(native.c_str(), 0640), 0);
  auto path = folder.File("s.ini");
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"a=2\n"), 4u);
  struct stat info;
  ASSERT_EQ(stat(native.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(WriteTextFilePosix, ReadOnlyFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  TempFolder folder;
  WriteBytes(folder.Native("s.ini"), "a=1\n");
  auto native = folder.Native("s.ini").string();
  ASSERT_EQ(chmod(native.c_str(), 0444), 0);
  auto path = folder.File("s.ini");
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"a=2\n"), 0u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), "a=1\n");
  EXPECT_EQ(FolderListing(folder.path()), "s.ini");
}

TEST(FindFilePosix, SearchesThePath) {
  TempFolder folder;
  WriteBytes(folder.Native("tool-on-path.cfg"), "x");
  const char* saved = getenv("PATH");
  std::string previous = saved ? saved : "";
  setenv("PATH", ("/nonexistent:" + folder.path().string()).c_str(), 1);
  char16_t out[kPathCapacity];
  size_t found = FindFile(u"tool-on-path.cfg", out, kPathCapacity);
  std::u16string expected = folder.File("tool-on-path.cfg");
  EXPECT_EQ(found, expected.size());
  EXPECT_EQ(std::u16string(out), expected);
  // Too small for the result: a failure, not a length to retry with.
  EXPECT_EQ(FindFile(u"tool-on-path.cfg", out, expected.size()), 0u);
  setenv("PATH", previous.c_str(), 1);
}

}  // namespace
