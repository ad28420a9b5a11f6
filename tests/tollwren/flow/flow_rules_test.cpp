// The flow's small rules: progress, download paths and which download
// names may be started.
#include "tollwren/flow/flow_rules.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include <string>

#include "tollwren/flow/skipped_version.h"
#include "tollwren/transfer/url_parts.h"

namespace {

TEST(FlowRules, ProgressPercent) {
  struct Case {
    uint32_t received, expected;
    int percent;
  };
  const Case cases[] = {
      {0, 0, 0},           {500, 0, 0},  // nothing expected yet
      {0, 1000, 0},        {999, 1000, 99},
      {1000, 1000, 100},   {1500, 1000, 100},  // more than announced
      {UINT32_MAX, UINT32_MAX, 100},           // no overflow
      {UINT32_MAX / 2, UINT32_MAX, 49},
      {100000000, 104857600, 95},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressPercent(c.received, c.expected), c.percent) << c.received << " of " << c.expected;
  }
}

TEST(FlowRules, JoinPath) {
  EXPECT_EQ(JoinPath(u"C:\\app\\", u"setup.exe"), u"C:\\app\\setup.exe");
  EXPECT_EQ(JoinPath(u"C:\\Temp", u"setup.exe"), u"C:\\Temp\\setup.exe");
  EXPECT_EQ(JoinPath(u"", u"setup.exe"), u"setup.exe");
  EXPECT_EQ(JoinPath(u"C:\\app\\", u""), u"");  // no name: no path
}

TEST(FlowRules, OnlyInstallersThatNameNoDevice) {
  struct Case {
    const char* url;
    bool allowed;
  } cases[] = {
      {"http://h/files/setup.exe", true},
      {"http://h/get.php?f=app_2.0.ZIP", true},
      {"http://h/Product.Setup.msi", true},
      {"http://h/SETUP.EXE", true},
      {"http://h/console.exe", true},      // starts with "con" but is no device
      {"http://h/com10.exe", true},
      {"http://h/setup.hta", false},
      {"http://h/setup.js", false},
      {"http://h/setup.vbs", false},
      {"http://h/run.bat", false},
      {"http://h/run.cmd", false},
      {"http://h/link.lnk", false},
      {"http://h/site.url", false},
      {"http://h/saver.scr", false},
      {"http://h/library.dll", false},
      {"http://h/page.htm", false},
      {"http://h/setup", false},
      {"http://h/setup.exe.", false},
      {"http://h/.exe", false},
      {"http://h/files/", false},
      {"http://h/NUL.exe", false},
      {"http://h/nul.tar.zip", false},
      {"http://h/Con.msi", false},
      {"http://h/aux.exe", false},
      {"http://h/PRN.exe", false},
      {"http://h/com1.exe", false},
      {"http://h/LPT9.zip", false},
  };
  for (const Case& c : cases) {
    std::u16string url;
    for (const char* p = c.url; *p; ++p) url.push_back(static_cast<char16_t>(*p));
    EXPECT_EQ(IsInstallerFileName(DownloadFileName(url.c_str())), c.allowed) << c.url;
  }
}

TEST(FlowRules, PrivateFolderNames) {
  const uint8_t random[kPrivateFolderRandomBytes] = {0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                                     0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
  EXPECT_TRUE(IsPrivateFolderName(PrivateFolderName(random)));
  // Only names of this form are removed later: not an older one, nor one of another case or length.
  for (const char16_t* other : {u"tollwren-1a2b3c4d", u"tollwren-00112233445566778899AABBCCDDEEFF",
                                u"tollwren-00112233445566778899aabbccddeeff0"}) {
    EXPECT_FALSE(IsPrivateFolderName(other));
  }
}

TEST(FlowRules, InstallersStartByFullPathsOnly) {
  struct Case {
    const char16_t* path;
    const char16_t* arguments;
    const char16_t* application;
    const char16_t* commandLine;
    bool hold;
  } cases[] = {
      {u"C:\\P\\Setup.exe", u"/S", u"C:\\P\\Setup.exe", u"\"C:\\P\\Setup.exe\" /S", false},
      {u"C:\\P\\Setup.EXE", u"", u"C:\\P\\Setup.EXE", u"\"C:\\P\\Setup.EXE\"", false},
      {u"C:\\T x\\a.Msi", u"/quiet", u"C:\\Windows\\system32\\msiexec.exe",
       u"\"C:\\Windows\\system32\\msiexec.exe\" /i \"C:\\T x\\a.Msi\" /quiet", true},
      {u"C:\\T\\a.zip", u"/S", u"C:\\Windows\\explorer.exe", u"\"C:\\Windows\\explorer.exe\" \"C:\\T\\a.zip\"", true},
      {u"C:\\T\\a.hta", u"", u"", u"", false},
  };
  for (const Case& c : cases) {
    const CInstallerCommand command = InstallerCommand(c.path, c.arguments, u"C:\\Windows\\system32", u"C:\\Windows");
    EXPECT_EQ(command.application, c.application);
    EXPECT_EQ(command.commandLine, c.commandLine);
    EXPECT_EQ(command.holdUntilEnd, c.hold);
  }
}

TEST(FlowRules, SignatureAddressBesideTheDocument) {
  struct Case {
    const char16_t* url;
    const char16_t* signature;
  } cases[] = {
      {u"https://example.com/app/pad.xml", u"https://example.com/app/pad.xml.sig"},
      {u"http://example.com/app/pad.xml?lang=en&x=1", u"http://example.com/app/pad.xml.sig?lang=en&x=1"},
      {u"http://example.com/pad.xml#top", u"http://example.com/pad.xml.sig#top"},
      {u"  http://example.com:8080/pad.xml\r\n", u"http://example.com:8080/pad.xml.sig"},
      {u"\r\n http://example.com/pad.xml \t", u"http://example.com/pad.xml.sig"},
      {u"example.com/pad.xml", u"example.com/pad.xml.sig"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(SignatureUrl(c.url), c.signature);
}

TEST(SkippedVersion, DecidesByTheTextSkippedAndTheVersionOffered) {
  constexpr VersionRule kNumber = VersionRule::kMajorMinor, kAll = VersionRule::kAllNumbers;
  struct Case {
    const char16_t* skipped;
    const char16_t* remote;
    VersionRule rule;
    SkipDecision decision;
  } cases[] = {
      {u"", u"2.0", kNumber, SkipDecision::kOffer},
      {u"2.0", u"2.0", kNumber, SkipDecision::kSkip},
      {u"2.0", u"2.0 ", kNumber, SkipDecision::kOffer},    // another text: not the version skipped
      {u"2.0", u"2.1", kNumber, SkipDecision::kForget},    // newer than the one skipped
      {u"2.0", u"2.0.1", kNumber, SkipDecision::kOffer},   // the same number, another release
      {u"2.5", u"2.1", kNumber, SkipDecision::kOffer},
      {u"beta", u"1.0", kNumber, SkipDecision::kForget},   // a text without a number
      {u"2.0", u"2.0.1", kAll, SkipDecision::kForget},     // a signed copy sees every number
      {u"2.1", u"2.1-rc1", kAll, SkipDecision::kOffer},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideSkip(c.skipped, c.remote, c.rule), c.decision)
        << std::string(c.skipped, c.skipped + std::char_traits<char16_t>::length(c.skipped));
  }
}

TEST(SkippedVersion, OneLineInTheFile) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tollwren_skip_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::u16string path = (folder / "skip.txt").u16string();
  EXPECT_EQ(ReadSkippedVersion(path), u"");  // none
  ASSERT_TRUE(WriteSkippedVersion(path, u"2.10 beta"));
  EXPECT_EQ(ReadSkippedVersion(path), u"2.10 beta");
  EXPECT_FALSE(WriteSkippedVersion(path, u""));
  {
    std::ofstream hostile(folder / "skip.txt", std::ios::binary);
    hostile << std::string(5000, '9');  // no line of ours
  }
  EXPECT_EQ(ReadSkippedVersion(path), u"");
  {
    std::ofstream zero(folder / "skip.txt", std::ios::binary);
    zero << std::string("2.0\0x", 5);
  }
  EXPECT_EQ(ReadSkippedVersion(path), u"");
  std::filesystem::remove_all(folder);
}

}  // namespace
