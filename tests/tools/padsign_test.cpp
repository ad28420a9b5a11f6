#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tollwren/pad/pad_document.h"
#include "tools/padsign/pad_release.h"

namespace {

constexpr uint64_t kSize = 1234567;  // K 1205, MB 1.18
const std::string kDigest = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
const std::string kBytes = "<File_Size_Bytes>1234567</File_Size_Bytes>";
const std::string kK = "<File_Size_K>1205</File_Size_K>";
const std::string kMb = "<File_Size_MB>1.18</File_Size_MB>";
const std::string kSha = "<File_SHA256>" + kDigest + "</File_SHA256>";
// What every released PAD needs besides its file facts.
const std::string kUsable = "\n<Program_Version>2.1</Program_Version>"
                            "<Application_XML_File_URL>http://example.com/pad.xml</Application_XML_File_URL>";

std::string UpdaterReads(const std::string& doc, const char16_t* tag) {
  std::u16string value;
  if (!ExtractPadField(PadAsUpdaterText(doc), tag, kPadLongLimit, value)) return "(missing)";
  return std::string(value.begin(), value.end());
}

TEST(PadRelease, ShapesOfRealPadFiles) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"values present, digest replaced in place",
       "<File_Info>\n\t<File_Size_Bytes>98117</File_Size_Bytes>\n\t<File_Size_K>96</File_Size_K>\n"
       "\t<File_Size_MB>0.10</File_Size_MB>\n\t<File_SHA256>ABCDEF</File_SHA256>\n</File_Info>\n",
       "<File_Info>\n\t" + kBytes + "\n\t" + kK + "\n\t" + kMb + "\n\t" + kSha + "\n</File_Info>\n"},
      {"self-closing with a space, CRLF, two-space indentation",
       "<File_Info>\r\n  <File_Size_Bytes />\r\n  <File_Size_K />\r\n  <File_Size_MB />\r\n</File_Info>\r\n",
       "<File_Info>\r\n  " + kBytes + "\r\n  " + kSha + "\r\n  " + kK + "\r\n  " + kMb + "\r\n</File_Info>\r\n"},
      {"self-closing without a space, all on one line",
       "\t<File_Info><File_Size_Bytes/><File_Size_K/><File_Size_MB/></File_Info>\n",
       "\t<File_Info>" + kBytes + kSha + kK + kMb + "</File_Info>\n"},
      {"missing digest, LF, four spaces",
       "<File_Info>\n    <File_Size_Bytes>1</File_Size_Bytes>\n    <File_Size_K>0</File_Size_K>\n</File_Info>",
       "<File_Info>\n    " + kBytes + "\n    " + kSha + "\n    " + kK + "\n</File_Info>"},
      {"missing digest, CRLF, tabs, trailing blanks stay on their line",
       "<File_Info>\r\n\t\t<File_Size_Bytes>1</File_Size_Bytes> \t\r\n\t\t<File_Size_MB>0</File_Size_MB>\r\n</File_Info>",
       "<File_Info>\r\n\t\t" + kBytes + " \t\r\n\t\t" + kSha + "\r\n\t\t" + kMb + "\r\n</File_Info>"},
      {"size element shares its line: digest directly after it",
       "<File_Info>\n<X/><File_Size_Bytes>1</File_Size_Bytes>\n</File_Info>",
       "<File_Info>\n<X/>" + kBytes + kSha + "\n</File_Info>"},
      {"File_Size_Bytes outside File_Info comes first: that one is the updater's",
       "<Affiliates>\n  <File_Size_Bytes>1</File_Size_Bytes>\n</Affiliates>\n"
       "<File_Info>\n  <File_Size_Bytes>2</File_Size_Bytes>\n</File_Info>\n",
       "<Affiliates>\n  " + kBytes + "\n  " + kSha + "\n</Affiliates>\n"
       "<File_Info>\n  <File_Size_Bytes>2</File_Size_Bytes>\n</File_Info>\n"},
      {"a self-closing digest before a later one: the first is expanded",
       "<File_SHA256 />\n<File_Info>\n<File_Size_Bytes>1</File_Size_Bytes>\n<File_SHA256>x</File_SHA256>\n"
       "</File_Info>",
       kSha + "\n<File_Info>\n" + kBytes + "\n<File_SHA256>x</File_SHA256>\n</File_Info>"},
      {"missing File_Size_Bytes: first in File_Info, indented like its first child",
       "\xEF\xBB\xBF<File_Info>\r\n\t<File_Size_K>1</File_Size_K>\r\n</File_Info>",
       "\xEF\xBB\xBF<File_Info>\r\n\t" + kBytes + "\r\n\t" + kSha + "\r\n\t" + kK + "\r\n</File_Info>"},
      {"missing File_Size_Bytes in a one-line File_Info",
       "<File_Info><File_Size_MB>1</File_Size_MB></File_Info>",
       "<File_Info>" + kBytes + kSha + kMb + "</File_Info>"},
      {"a longer tag name and attributes are other elements",
       "<File_Info>\n<File_Size_Bytes_Zip>7</File_Size_Bytes_Zip>\n<File_Size_K unit=\"k\">7</File_Size_K>\n"
       "<File_Size_Bytes>1</File_Size_Bytes>\n</File_Info>",
       "<File_Info>\n<File_Size_Bytes_Zip>7</File_Size_Bytes_Zip>\n<File_Size_K unit=\"k\">7</File_Size_K>\n" +
           kBytes + "\n" + kSha + "\n</File_Info>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out;
    std::string error;
    ASSERT_TRUE(RewritePadForRelease(c.in + kUsable, kSize, kDigest, &out, &error)) << error;
    EXPECT_EQ(out, c.out + kUsable);
    EXPECT_EQ(UpdaterReads(out, u"File_Size_Bytes"), "1234567");
    EXPECT_EQ(UpdaterReads(out, u"File_SHA256"), kDigest);
  }
}

TEST(PadRelease, RefusesWhatCannotBeRewrittenSafely) {
  struct Case {
    std::string in;
    const char* reason;
  };
  const Case cases[] = {
      {"<Program_Info><File_Size_Bytes>1</File_Size_Bytes></Program_Info>", "<File_Info>"},
      {"<File_Info/>", "<File_Info>"},
      {"<File_Info>\n<File_Size_Bytes>1\n</File_Info>", "no </File_Size_Bytes>"},
      {"<File_Info>\n<File_Size_Bytes>1<!-- bytes --></File_Size_Bytes>\n</File_Info>", "markup"},
      {"<File_Info>\n<File_Size_Bytes>1\n<File_SHA256>ab</File_SHA256></File_Size_Bytes>\n</File_Info>", "markup"},
      // The added size lands inside the version: the released version is none.
      {"<Program_Version>2.1<File_Info></File_Info></Program_Version>" + kUsable, "released it has a Program_Version"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    std::string out = "untouched";
    std::string error;
    EXPECT_FALSE(RewritePadForRelease(c.in, kSize, kDigest, &out, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(out, "untouched");
  }
}

TEST(PadRelease, UsableByTheUpdater) {
  const std::string url = "<Application_XML_File_URL>http://example.com/pad.xml</Application_XML_File_URL>";
  const std::string version = "<Program_Version>2.1</Program_Version>";
  const std::string good = version + url;
  struct Case {
    std::string pad;
    const char* problem;  // empty: usable
  };
  const Case cases[] = {
      {good, ""},
      {good + std::string(kPadReleaseByteLimit - good.size(), ' '), ""},
      {good + std::string(kPadReleaseByteLimit - good.size() + 1, ' '), "at most 110997"},
      {good + std::string(1, '\0'), "zero byte"},
      {url, "Program_Version"},
      {"<Program_Version />" + url, "Program_Version"},
      {"<Program_Version>beta</Program_Version>" + url, "no version number"},
      {"<Program_Version>2.1 <b>beta</b></Program_Version>" + url, "no version number"},
      {"<Program_Version>2.1\r</Program_Version>" + url, "carriage return"},
      {"\xFF\xFE" + good, "FF FE"},
      {"<Program_Version>" + std::string(500, '1') + "</Program_Version>" + url, "Program_Version"},
      {version, "Application_XML_File_URL"},
      {version + "<Application_XML_File_URL />", "Application_XML_File_URL"},
      {version + "<Application_XML_File_URL>\r\n </Application_XML_File_URL>", "Application_XML_File_URL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pad.substr(0, 80));
    const std::string problem = PadUsabilityProblem(c.pad);
    if (*c.problem == '\0') {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
  }
}

TEST(PadRelease, SizeTexts) {
  EXPECT_EQ(SizeInKilobytes(1023), "0");
  EXPECT_EQ(SizeInKilobytes(8995629), "8784");
  EXPECT_EQ(SizeInMegabytes(5242), "0.00");
  EXPECT_EQ(SizeInMegabytes(5243), "0.01");
  EXPECT_EQ(SizeInMegabytes(131072), "0.13");  // exactly 0.125: halves go up
  EXPECT_EQ(SizeInMegabytes(8995629), "8.58");
  EXPECT_EQ(SizeInMegabytes(kInstallerSizeLimit - 1), "2048.00");
}

}  // namespace
