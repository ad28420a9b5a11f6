#include "tollwren/transfer/url_parts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

struct UrlCase {
  std::u16string url;
  std::u16string host;
  uint16_t port;
  std::u16string object;
  bool secure;
};

TEST(SplitUrl, HostPortObjectAndScheme) {
  const UrlCase cases[] = {
      {u"http://example.com/files/setup.exe", u"example.com", 80, u"files/setup.exe", false},
      {u"http://example.com:8080/pad.xml", u"example.com", 8080, u"pad.xml", false},
      {u"https://example.com/pad.xml", u"example.com", 443, u"pad.xml", true},
      {u"HTTPS://example.com:8443/a/b", u"example.com", 8443, u"a/b", true},
      {u"http://example.com", u"example.com", 80, u"", false},
      {u"http://example.com/", u"example.com", 80, u"", false},
      {u"example.com/pad.xml", u"example.com", 80, u"pad.xml", false},
      {u"ftp://example.com/x", u"example.com", 80, u"x", false},  // only https changes the transport
      {u"http://example.com?f=app_2.0.zip", u"example.com", 80, u"?f=app_2.0.zip", false},
      {u"http://example.com/get.php?f=a#top", u"example.com", 80, u"get.php?f=a", false},
      {u"http://user:pw@example.com:81/x", u"example.com", 81, u"x", false},
      {u"http://[::1]:8080/x", u"::1", 8080, u"x", false},
      {u"http://[::1]/x", u"::1", 80, u"x", false},
      // PAD values are often wrapped in line breaks.
      {u"\nhttps://raw.example.org/pad_file.xml\n", u"raw.example.org", 443, u"pad_file.xml", true},
      {u"  http://127.0.0.1:5000/a b  ", u"127.0.0.1", 5000, u"a b", false},
  };
  for (const auto& c : cases) {
    CUrlParts parts;
    ASSERT_TRUE(SplitUrl(c.url.c_str(), parts)) << Narrow(c.url);
    EXPECT_EQ(parts.host, c.host) << Narrow(c.url);
    EXPECT_EQ(parts.port, c.port) << Narrow(c.url);
    EXPECT_EQ(parts.object, c.object) << Narrow(c.url);
    EXPECT_EQ(parts.secure, c.secure) << Narrow(c.url);
  }
}

TEST(SplitUrl, RejectsWhatCannotBeRequested) {
  const std::u16string bad[] = {
      u"",
      u" \n ",
      u"http://",
      u"http:///path",
      u"http://example.com:/x",
      u"http://example.com:0/x",
      u"http://example.com:65536/x",
      u"http://example.com:80a/x",
      u"http://[::1/x",
      u"http://[::1]x/y",
      u"http://:80/x",
  };
  for (const auto& url : bad) {
    CUrlParts parts;
    parts.host = u"stale";
    EXPECT_FALSE(SplitUrl(url.c_str(), parts)) << Narrow(url);
    EXPECT_TRUE(parts.host.empty()) << Narrow(url);
  }
  CUrlParts parts;
  EXPECT_FALSE(SplitUrl(nullptr, parts));
}

TEST(SplitUrl, HostAndObjectLimits) {
  CUrlParts parts;
  const std::u16string longestHost(kUrlHostCapacity - 1, u'h');
  EXPECT_TRUE(SplitUrl((u"http://" + longestHost + u"/x").c_str(), parts));
  EXPECT_FALSE(SplitUrl((u"http://" + longestHost + u"h/x").c_str(), parts));

  const std::u16string longestObject(kUrlObjectCapacity - 1, u'o');
  EXPECT_TRUE(SplitUrl((u"http://h/" + longestObject).c_str(), parts));
  EXPECT_EQ(parts.object.size(), kUrlObjectCapacity - 1);
  EXPECT_FALSE(SplitUrl((u"http://h/" + longestObject + u"o").c_str(), parts));
}

TEST(DownloadFileName, TrailingRunOfNameCharacters) {
  struct Case {
    std::u16string url;
    std::u16string name;
  };
  const Case cases[] = {
      {u"http://example.com/files/setup.exe", u"setup.exe"},
      {u"http://example.com/get.php?f=app_2.0.zip", u"app_2.0.zip"},
      {u"http://example.com/files/", u""},
      {u"http://example.com/My%20Setup-1.0.exe", u"My%20Setup-1.0.exe"},
      {u"http://example.com/a b.exe", u"b.exe"},
      {u"http://example.com/setup.exe#download", u"setup.exe"},
      {u"\nhttp://example.com/setup.msi\n", u"setup.msi"},
      {u"http://example.com/files/..", u""},
      {u"http://example.com/.", u""},
      {u"setup.exe", u"setup.exe"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DownloadFileName(c.url.c_str()), c.name) << Narrow(c.url);
  }
  EXPECT_EQ(DownloadFileName(nullptr), u"");
}

}  // namespace
