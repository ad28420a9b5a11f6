#include "tollwren/pad/pad_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream in(std::string(TEST_FIXTURE_DIR) + "/pad/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(ExtractPadField, FindsTextBetweenFirstStartTagAndNextEndTag) {
  struct Case {
    std::u16string document;
    std::u16string tag;
    size_t limit;
    bool found;
    std::u16string value;
  };
  const Case cases[] = {
      {u"<a><b>1.0</b></a>", u"b", 10, true, u"1.0"},
      {u"<b></b>", u"b", 10, true, u""},
      {u"<b> 1.0 \n</b>", u"b", 10, true, u" 1.0 \n"},          // copied exactly
      {u"<b>x &amp; y</b>", u"b", 20, true, u"x &amp; y"},      // no entity decoding
      {u"<b><h1>t</h1></b>", u"b", 20, true, u"<h1>t</h1>"},    // nested tags as they are
      {u"<b>1</b><b>2</b>", u"b", 10, true, u"1"},              // first occurrence wins
      {u"<x><b>in</b></x><b>out</b>", u"b", 10, true, u"in"},
      {u"</b><b>v</b>", u"b", 10, true, u"v"},                  // end tag searched after the start
      {u"<b />", u"b", 10, false, u""},                         // self-closing: missing
      {u"<b/><b>v</b>", u"b", 10, true, u"v"},
      {u"<b >v</b>", u"b", 10, false, u""},                     // spaces or attributes: not found
      {u"<b id=\"1\">v</b>", u"b", 10, false, u""},
      {u"<B>v</B>", u"b", 10, false, u""},                      // case matters
      {u"<b>v</B>", u"b", 10, false, u""},
      {u"<b>v", u"b", 10, false, u""},
      {u"<bb>v</bb>", u"b", 10, false, u""},
      {u"<b>12345</b>", u"b", 5, true, u"12345"},               // exactly the limit fits
      {u"<b>123456</b>", u"b", 5, false, u""},                  // one more is missing
      {u"", u"b", 5, false, u""},
  };
  for (const auto& c : cases) {
    std::u16string value = u"old";
    EXPECT_EQ(ExtractPadField(c.document, c.tag, c.limit, value), c.found) << Narrow(c.document);
    EXPECT_EQ(value, c.found ? c.value : u"old") << Narrow(c.document);
  }
}

TEST(ReleaseDate, ValidDatesOnly) {
  EXPECT_TRUE(IsValidReleaseDate(2024, 2, 29));
  EXPECT_FALSE(IsValidReleaseDate(2023, 2, 29));
  EXPECT_FALSE(IsValidReleaseDate(1900, 2, 29));
  EXPECT_TRUE(IsValidReleaseDate(2000, 2, 29));
  EXPECT_FALSE(IsValidReleaseDate(2024, 4, 31));
  EXPECT_FALSE(IsValidReleaseDate(2024, 13, 1));
  EXPECT_FALSE(IsValidReleaseDate(2024, 0, 1));
  EXPECT_FALSE(IsValidReleaseDate(2024, 1, 0));
  EXPECT_FALSE(IsValidReleaseDate(1600, 12, 31));
  EXPECT_TRUE(IsValidReleaseDate(1601, 1, 1));
  EXPECT_TRUE(FormatReleaseDate(2024, 4, 31).empty());
  EXPECT_FALSE(FormatReleaseDate(2018, 9, 4).empty());
}

// Expected values of the real PAD files, read as the local document.
struct CorpusCase {
  const char* file;
  std::u16string version;
  uint32_t number;
  std::u16string padUrl;
  std::u16string name;
  std::u16string webSite;
  bool hasDate;
  int32_t fileSize;  // when read as the remote document
};

TEST(PadDocument, ReadsRealPadFiles) {
  const CorpusCase cases[] = {
      {"DANTravisD__PAD_files.xml", u"2.10.48.85", 20010, u"https://freevpnplanet.com/pad_file.xml",
       u"Planet VPN - Free VPN Proxy", u"https://freevpnplanet.com", true, 130190744},
      {"Eliminater74__DVDStyler.xml", u"3.0.3", 30000, u"http://www.dvdstyler.org/pad.xml", u"DVDStyler",
       u"http://www.dvdstyler.org", true, 45000000},
      {"aubhall__cmdlinehere.xml", u"1.0", 10000,
       u"http://www.angelfire.com/electronic/jademan/cmdline/pad_file.htm", u"Cmd Line Here",
       u"http://whoamint.dk3.com", true, 0},  // "266,752" is no number
      {"ccodere__pascal-adlib.xml", u"", 0, u"", u"CMFPlay", u"http://www.optimasc.com", true, 98117},
      {"diwa-aalto__diwacs.xml", u"0.9.3.2", 9, u"", u"DiWaCS", u"", true, 0},
      {"dukus__digiCamControl.xml", u" 1.0.0", 10000, u"", u"digiCamControl", u"http://www.digicamcontrol.com",
       true, 0},
      {"floriwan__jogoverein.xml", u"3.4.2", 30004, u"http://jogoverein.goeldenitz.org/pad_file.xml",
       u"JoGoVEREIN", u"http://jogoverein.goeldenitz.org", true, 8995629},
      {"kawah24__mpGrab.xml", u"1.5.0", 10005, u"", u"mpGrab", u"https://github.com/kawah24/mpGrab", true, 0},
      {"phracker__getxbook.xml", u"0.8", 8, u"http://njw.me.uk/software/getxbook/pad.xml", u"getxbook",
       u"http://njw.me.uk", false, 0},
      {"ron-from-nl__FinalCrypt.xml", u"2.4.0", 20004,
       u"\nhttps://raw.githubusercontent.com/ron-from-nl/FinalCrypt/master/pad_file.xml\n", u"FinalCrypt",
       u"https://sites.google.com/site/ronuitholland/home/finalcrypt", true, 72613888},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bytes = ReadFixture(c.file);
    ASSERT_FALSE(bytes.empty());

    CPadDocument local;
    local.LoadLocalBytes(bytes.data(), bytes.size());
    EXPECT_EQ(local.CurrentText().find(u'\r'), std::u16string::npos);
    EXPECT_EQ(local.localVersionText, c.version);
    EXPECT_EQ(local.localVersionNumber, c.number);
    EXPECT_EQ(local.remoteVersionText, c.version);
    EXPECT_EQ(local.padFileUrl, c.padUrl);
    EXPECT_EQ(local.programName, c.name);
    EXPECT_EQ(local.companyWebSite, c.webSite);
    EXPECT_EQ(!local.releaseDate.empty(), c.hasDate);
    // The fallback chain never leaves a longer description empty after a shorter one.
    for (int i = 1; i < kDescriptionCount; ++i) {
      if (!local.descriptions[i - 1].empty()) {
        EXPECT_FALSE(local.descriptions[i].empty()) << i;
      }
    }

    EXPECT_EQ(FetchedPadProblem(bytes.data(), bytes.size()), nullptr);
    CPadDocument remote;
    remote.LoadRemoteBytes(bytes.data(), bytes.size());
    EXPECT_EQ(remote.CurrentText(), local.CurrentText());  // fetched or stored, one reading
    EXPECT_EQ(remote.remoteVersionText, c.version);
    EXPECT_EQ(remote.remoteVersionNumber, c.number);
    EXPECT_EQ(remote.fileSize, c.fileSize);
    EXPECT_TRUE(remote.padFileUrl.empty());  // taken from the local document only
  }
}

TEST(PadDocument, RealFileOddities) {
  // UTF-8 byte-order mark and UTF-8 letters: one character per byte.
  std::vector<uint8_t> dvd = ReadFixture("Eliminater74__DVDStyler.xml");
  CPadDocument doc;
  doc.LoadLocalBytes(dvd.data(), dvd.size());
  EXPECT_EQ(doc.CurrentText().substr(0, 3), u"\u00EF\u00BB\u00BF");
  EXPECT_EQ(doc.companyName, u"Alex Th&#252;ring");  // character references stay as written

  std::vector<uint8_t> jogo = ReadFixture("floriwan__jogoverein.xml");
  doc.LoadLocalBytes(jogo.data(), jogo.size());
  EXPECT_EQ(doc.companyName, u"G\u00C3\u00B6ldenitz");

  // A CRLF file reads the same fetched as stored.
  std::vector<uint8_t> crlf = ReadFixture("DANTravisD__PAD_files.xml");
  CPadDocument remote;
  remote.LoadRemoteBytes(crlf.data(), crlf.size());
  doc.LoadLocalBytes(crlf.data(), crlf.size());
  EXPECT_EQ(remote.CurrentText(), doc.CurrentText());
  EXPECT_EQ(remote.CurrentText().find(u'\r'), std::u16string::npos);
  EXPECT_EQ(remote.downloadUrls[0], u"https://planetvpn-cdn.xyz/win/planetvpn.exe");
}

TEST(PadDocument, FetchedBytesThatWouldReadDifferentlyAreRefused) {
  const std::string version = "<Program_Version>2.1</Program_Version>";
  struct Case {
    std::string bytes;
    bool refused;
  };
  const Case cases[] = {
      {version + "\r\n<Program_Name>N</Program_Name>\r\n", false},
      {version + "\r<Unused>x</Unused>\r", false},           // a lone CR outside the fields read
      {"<Program_Version>2.1\r</Program_Version>", true},     // 20002 fetched, 20001 stored before
      {"<Program_\rVersion>9.9</Program_Version>" + version, true},  // a tag made by dropping it
      {"\xFF\xFE" + version, true},
      {version + std::string(1, '\0'), true},
      {"", true},
      {version + std::string(kRemotePadByteLimit - version.size(), ' '), false},
      {version + std::string(kRemotePadByteLimit - version.size() + 1, ' '), true},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> bytes = Bytes(c.bytes);
    EXPECT_EQ(FetchedPadProblem(bytes.data(), bytes.size()) != nullptr, c.refused) << c.bytes.substr(0, 50);
  }
}

TEST(PadDocument, LocalUtf16FileKeepsItsMarkAndDropsCarriageReturns) {
  const std::u16string text = u"<Program_Version>2.5</Program_Version>\r\n<Program_Name>\u00C9t\u00E9</Program_Name>";
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.push_back(0x41);  // an odd trailing byte is no character
  CPadDocument doc;
  doc.LoadLocalBytes(bytes.data(), bytes.size());
  EXPECT_EQ(doc.CurrentText(), u"\uFEFF<Program_Version>2.5</Program_Version>\n<Program_Name>\u00C9t\u00E9</Program_Name>");
  EXPECT_EQ(doc.localVersionNumber, 20005u);
  EXPECT_EQ(doc.programName, u"\u00C9t\u00E9");
}

// A temporary folder for one test, removed with everything in it.
class CTempFolder {
 public:
  explicit CTempFolder(const char* name) {
    path_ = std::filesystem::temp_directory_path() / (std::string("tollwren_pad_") + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path File(const char* name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PadDocument, LocalFileReadAndSave) {
  CTempFolder folder("file");
  CPadDocument doc;
  EXPECT_FALSE(doc.ReadLocalFile(folder.File("absent.xml").u16string().c_str()));
  EXPECT_FALSE(doc.ReadLocalFile(u""));

  WriteBytes(folder.File("empty.xml"), {});
  EXPECT_TRUE(doc.ReadLocalFile(folder.File("empty.xml").u16string().c_str()));
  EXPECT_TRUE(doc.CurrentText().empty());
  EXPECT_FALSE(doc.SaveLocalFile(folder.File("empty.xml").u16string().c_str()));  // nothing to save

  // A real CRLF file: read without its carriage returns.
  const std::vector<uint8_t> crlf = ReadFixture("aubhall__cmdlinehere.xml");
  const auto pad = folder.File("pad.xml");
  WriteBytes(pad, crlf);
  ASSERT_TRUE(doc.ReadLocalFile(pad.u16string().c_str()));
  EXPECT_EQ(doc.localVersionNumber, 10000u);
  EXPECT_EQ(doc.CurrentText().find(u'\r'), std::u16string::npos);

  // A downloaded document replaces pad.xml with exactly its bytes.
  const std::vector<uint8_t> remoteBytes = ReadFixture("DANTravisD__PAD_files.xml");
  doc.LoadRemoteBytes(remoteBytes.data(), remoteBytes.size());
  ASSERT_TRUE(doc.SaveLocalFile(pad.u16string().c_str()));
  EXPECT_EQ(ReadBytes(pad), remoteBytes);
  CPadDocument next;
  ASSERT_TRUE(next.ReadLocalFile(pad.u16string().c_str()));
  EXPECT_EQ(next.localVersionNumber, 20010u);

  // A document that would end every later check never replaces pad.xml.
  for (const std::string& text :
       {std::string("<Program_Version>3.0</Program_Version>"),
        std::string("<Application_XML_File_URL>http://h/pad.xml</Application_XML_File_URL>"),
        std::string("<Program_Version></Program_Version><Application_XML_File_URL>http://h/pad.xml"
                    "</Application_XML_File_URL>")}) {
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    doc.LoadRemoteBytes(bytes.data(), bytes.size());
    EXPECT_FALSE(doc.SaveLocalFile(pad.u16string().c_str())) << text;
    EXPECT_EQ(ReadBytes(pad), remoteBytes);
  }
}

TEST(PadDocument, DescriptionFallbackChain) {
  struct Case {
    std::string document;
    std::u16string expected[kDescriptionCount];
  };
  const Case cases[] = {
      {"<Char_Desc_45>short</Char_Desc_45>", {u"short", u"short", u"short", u"short", u"short"}},
      {"<Char_Desc_45>s</Char_Desc_45><Char_Desc_250>m</Char_Desc_250>", {u"s", u"s", u"m", u"m", u"m"}},
      {"<Char_Desc_2000>long</Char_Desc_2000>", {u"", u"", u"", u"", u"long"}},
      {"<Char_Desc_45></Char_Desc_45><Char_Desc_80>e</Char_Desc_80>", {u"", u"e", u"e", u"e", u"e"}},
      // 46 characters are too many for Char_Desc_45: missing.
      {"<Char_Desc_45>" + std::string(46, 'x') + "</Char_Desc_45>", {u"", u"", u"", u"", u""}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = Bytes(c.document);
    CPadDocument local;
    local.LoadLocalBytes(bytes.data(), bytes.size());
    CPadDocument remote;
    remote.descriptions[2] = u"stale";  // cleared before reading
    remote.LoadRemoteBytes(bytes.data(), bytes.size());
    for (int i = 0; i < kDescriptionCount; ++i) {
      EXPECT_EQ(local.descriptions[i], c.expected[i]) << c.document << " #" << i;
      EXPECT_EQ(remote.descriptions[i], c.expected[i]) << c.document << " #" << i;
    }
  }
}

TEST(PadDocument, ReleaseDateNeedsAllThreeValidParts) {
  struct Case {
    std::string document;
    bool hasDate;
  };
  const Case cases[] = {
      {"<Program_Release_Year>2018</Program_Release_Year><Program_Release_Month>9</Program_Release_Month>"
       "<Program_Release_Day>4</Program_Release_Day>", true},
      {"<Program_Release_Year>2018</Program_Release_Year><Program_Release_Day>4</Program_Release_Day>", false},
      {"<Program_Release_Month>9</Program_Release_Month><Program_Release_Day>4</Program_Release_Day>", false},
      {"<Program_Release_Year>2018</Program_Release_Year><Program_Release_Month>9</Program_Release_Month>", false},
      {"<Program_Release_Year>2018</Program_Release_Year><Program_Release_Month>13</Program_Release_Month>"
       "<Program_Release_Day>4</Program_Release_Day>", false},
      {"<Program_Release_Year>2018</Program_Release_Year><Program_Release_Month>-9</Program_Release_Month>"
       "<Program_Release_Day>4</Program_Release_Day>", false},
      {"<Program_Release_Year></Program_Release_Year><Program_Release_Month>9</Program_Release_Month>"
       "<Program_Release_Day>4</Program_Release_Day>", false},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = Bytes(c.document);
    CPadDocument doc;
    doc.LoadLocalBytes(bytes.data(), bytes.size());
    EXPECT_EQ(!doc.releaseDate.empty(), c.hasDate) << c.document;
    doc.releaseDate = u"stale";
    doc.LoadRemoteBytes(bytes.data(), bytes.size());
    EXPECT_EQ(!doc.releaseDate.empty(), c.hasDate) << c.document;
  }
#ifndef _WIN32
  std::vector<uint8_t> bytes = Bytes(cases[0].document);
  CPadDocument doc;
  doc.LoadLocalBytes(bytes.data(), bytes.size());
  EXPECT_EQ(doc.releaseDate, u"2018-09-04");
#endif
}

TEST(PadDocument, RemoteDocumentUpdatesOnlyItsFields) {
  const std::string localText =
      "<Program_Version>2.5</Program_Version><Program_Name>Local</Program_Name>"
      "<Company_Name>Maker</Company_Name><Company_WebSite_URL>http://maker.example//</Company_WebSite_URL>"
      "<Application_XML_File_URL>http://maker.example/pad.xml</Application_XML_File_URL>";
  const std::string remoteText =
      "<Program_Version>2.6</Program_Version><File_Size_Bytes>1048576</File_Size_Bytes>"
      "<Primary_Download_URL>http://maker.example/setup.exe</Primary_Download_URL>"
      "<Program_Change_Info>Fixes</Program_Change_Info>";
  std::vector<uint8_t> local = Bytes(localText);
  std::vector<uint8_t> remote = Bytes(remoteText);
  CPadDocument doc;
  doc.LoadLocalBytes(local.data(), local.size());
  EXPECT_EQ(doc.companyWebSite, u"http://maker.example");  // both trailing slashes removed
  EXPECT_EQ(doc.remoteVersionText, u"2.5");

  doc.LoadRemoteBytes(remote.data(), remote.size());
  EXPECT_EQ(doc.localVersionText, u"2.5");
  EXPECT_EQ(doc.localVersionNumber, 20005u);
  EXPECT_EQ(doc.remoteVersionText, u"2.6");
  EXPECT_EQ(doc.remoteVersionNumber, 20006u);
  EXPECT_EQ(doc.programName, u"Local");  // missing in the remote one: kept
  EXPECT_EQ(doc.companyName, u"Maker");
  EXPECT_EQ(doc.padFileUrl, u"http://maker.example/pad.xml");
  EXPECT_EQ(doc.fileSize, 1048576);
  EXPECT_EQ(doc.downloadUrls[0], u"http://maker.example/setup.exe");
  EXPECT_EQ(doc.downloadUrls[1], u"");
  EXPECT_EQ(doc.changeInfo, u"Fixes");

  // A remote document without a version clears the remote version.
  std::vector<uint8_t> bare = Bytes("<Program_Name>Remote</Program_Name>");
  doc.LoadRemoteBytes(bare.data(), bare.size());
  EXPECT_EQ(doc.remoteVersionText, u"");
  EXPECT_EQ(doc.remoteVersionNumber, 0u);
  EXPECT_EQ(doc.programName, u"Remote");
  EXPECT_EQ(doc.fileSize, 0);
}

TEST(PadDocument, InstallerArgumentsOnOneLineOnly) {
  struct Case {
    std::string value;
    std::u16string expected;
  } cases[] = {
      {"/S /D=\"C:\\Program Files\\Notes\"", u"/S /D=\"C:\\Program Files\\Notes\""},
      {"/quiet\r\n/norestart", u""},  // a line break: ignored
      {std::string(1000, 'a'), std::u16string(1000, u'a')},
      {std::string(1001, 'a'), u""},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> bytes = Bytes("<Installer_Arguments>" + c.value + "</Installer_Arguments>" +
                                             "<Installer_Silent_Arguments>" + c.value +
                                             "</Installer_Silent_Arguments>");
    CPadDocument doc;
    doc.LoadRemoteBytes(bytes.data(), bytes.size());
    EXPECT_EQ(doc.installerArguments, c.expected) << c.value.substr(0, 20);
    EXPECT_EQ(doc.installerSilentArguments, c.expected) << c.value.substr(0, 20);
  }
}

TEST(PadDocument, Limits) {
  // A 500-character version is too long: missing, number 0.
  std::vector<uint8_t> longVersion = Bytes("<Program_Version>" + std::string(500, '1') + "</Program_Version>");
  CPadDocument doc;
  doc.LoadRemoteBytes(longVersion.data(), longVersion.size());
  EXPECT_EQ(doc.remoteVersionNumber, 0u);
  std::vector<uint8_t> fits = Bytes("<Program_Version>1." + std::string(497, '2') + "</Program_Version>");
  doc.LoadRemoteBytes(fits.data(), fits.size());
  EXPECT_EQ(doc.remoteVersionText.size(), 499u);

  // A huge local document is cut at the text limit.
  std::vector<uint8_t> huge(kPadTextLimit + 100, 'a');
  doc.LoadLocalBytes(huge.data(), huge.size());
  EXPECT_EQ(doc.CurrentText().size(), kPadTextLimit);

  // An empty file is an empty text.
  doc.LoadLocalBytes(nullptr, 0);
  EXPECT_TRUE(doc.CurrentText().empty());
  EXPECT_EQ(doc.localVersionNumber, 0u);
}

}  // namespace
