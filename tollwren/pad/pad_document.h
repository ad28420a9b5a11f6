// The updater's two PAD documents: the local pad.xml that describes the
// installed version, and the remote one fetched from its
// Application_XML_File_URL. Fields are found by a literal search for their
// start and end tags; the documents are never parsed as XML.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Greatest number of characters of each kind of value.
constexpr size_t kPadTextLimit = 110999;        // current PAD text
constexpr size_t kRemotePadByteLimit = 110997;  // bytes fetched of a remote document
constexpr size_t kPadShortLimit = 499;          // version, names
constexpr size_t kPadLongLimit = 4999;          // URLs, change information
constexpr size_t kPadNumberLimit = 49;          // file size, release year/month/day
constexpr size_t kReleaseDateLimit = 49;        // formatted release date
constexpr size_t kInstallerArgumentsLimit = 1000;  // Installer_Arguments and its silent twin
// The longest a remote document may take to arrive, however slowly its
// server sends it.
constexpr uint32_t kRemoteFetchDeadlineMs = 60000;
constexpr int kDescriptionCount = 5;
constexpr size_t kDescriptionLimits[kDescriptionCount] = {45, 80, 250, 450, 2000};
constexpr const char16_t* kDescriptionTags[kDescriptionCount] = {
    u"Char_Desc_45", u"Char_Desc_80", u"Char_Desc_250", u"Char_Desc_450", u"Char_Desc_2000"};
constexpr int kDownloadUrlCount = 4;
constexpr const char16_t* kDownloadUrlTags[kDownloadUrlCount] = {
    u"Primary_Download_URL", u"Secondary_Download_URL", u"Additional_Download_URL_1",
    u"Additional_Download_URL_2"};

// The one reading of a PAD document, for pad.xml read from disk and for a
// fetched document alike, so that a document reads the same before and
// after it is stored: bytes starting with FF FE are UTF-16LE (the mark stays
// as the first character), any other gives one character per byte; every
// carriage return is dropped; at most kPadTextLimit characters.
std::u16string ReadPadText(const uint8_t* bytes, size_t size);

// Why fetched bytes are no PAD document the updater takes, in a few words;
// null when they are one. Refused: a zero byte, more than
// kRemotePadByteLimit bytes, a leading FF FE (stored, the document would
// read as UTF-16), and a carriage return without a line feed after it that
// changes a field the updater uses (it is dropped in reading, while other
// readers see a line break).
const char* FetchedPadProblem(const uint8_t* bytes, size_t size);

// Text between the first "<tag>" of the document and the next "</tag>",
// copied exactly (no trimming, no entity decoding). Returns false and leaves
// value untouched when either tag is missing or the text has more than limit
// characters.
bool ExtractPadField(std::u16string_view document, std::u16string_view tag, size_t limit,
                     std::u16string& value);

// A valid Gregorian date that the system date formatter accepts
// (years 1601 to 30827).
bool IsValidReleaseDate(int32_t year, int32_t month, int32_t day);

// The date in the user's short date format (Windows) or as YYYY-MM-DD
// (elsewhere), at most kReleaseDateLimit characters; empty for a date that
// is not valid.
std::u16string FormatReleaseDate(int32_t year, int32_t month, int32_t day);

class CPadDocument {
 public:
  virtual ~CPadDocument() = default;

  // Reads pad.xml at path (ReadPadText). False when the file cannot be
  // opened. An empty file counts as read.
  bool ReadLocalFile(const char16_t* path);

  // The local document from the bytes of its file (as ReadLocalFile).
  void LoadLocalBytes(const uint8_t* bytes, size_t size);

  // Fetches the remote document over HTTP (Windows only) and loads it.
  // True when it arrived whole within kRemoteFetchDeadlineMs: at least one
  // byte, at most kRemotePadByteLimit (a longer one is refused, not cut)
  // and no FetchedPadProblem; otherwise nothing changes. abortFlag may be
  // null.
  bool ReadRemote(const char16_t* url, std::atomic<uint8_t>* abortFlag = nullptr);
  // The same fetch without loading or checking: the document's exact bytes.
  static bool FetchRemote(const char16_t* url, std::atomic<uint8_t>* abortFlag, std::vector<uint8_t>& bytes);

  // The remote document from its bytes (ReadPadText), kept for saving.
  void LoadRemoteBytes(const uint8_t* bytes, size_t size);

  // Replaces the file at path with the bytes of the remote document, once
  // they are all written. Does nothing without a remote document or for one
  // that would end every later check (one without Program_Version or
  // Application_XML_File_URL); true when written.
  bool SaveLocalFile(const char16_t* path) const;
  bool CanReplaceLocalFile() const;

  // The document in use: the local one after startup, the downloaded one
  // after a successful check.
  const std::u16string& CurrentText() const { return currentText_; }

  // Field of the current PAD text, empty when missing (used by message
  // templates for fields this class does not keep).
  std::u16string CurrentField(std::u16string_view tag, size_t limit) const;

  std::u16string localVersionText;
  uint32_t localVersionNumber = 0;
  std::u16string remoteVersionText;  // the local text until a remote document is read
  uint32_t remoteVersionNumber = 0;
  std::u16string padFileUrl;         // Application_XML_File_URL of the local document
  std::u16string programName;
  std::u16string companyName;
  std::u16string companyWebSite;     // trailing "/" removed
  std::u16string releaseDate;        // formatted, empty when incomplete or invalid
  std::u16string descriptions[kDescriptionCount];  // after the fallback chain
  std::u16string downloadUrls[kDownloadUrlCount];
  int32_t fileSize = 0;              // File_Size_Bytes, 0 when missing or invalid
  bool hasFileSha256 = false;        // the remote document names File_SHA256
  std::u16string fileSha256;         // its text, as written
  // What the installer is started with (empty when missing, too long or
  // holding a line break): Installer_Arguments, and for an unattended run
  // Installer_Silent_Arguments.
  std::u16string installerArguments;
  std::u16string installerSilentArguments;
  std::u16string changeInfo;         // Program_Change_Info

 private:
  void ApplyLocalText();
  void ApplyRemoteText();
  void ReadDescriptions();
  void ReadReleaseDate();
  void ReadCompanyWebSite();
  bool Extract(std::u16string_view tag, size_t limit, std::u16string& value) const;
  std::u16string ExtractArguments(std::u16string_view tag) const;

  std::u16string currentText_;
  std::vector<uint8_t> remoteBytes_;  // the remote document as fetched
};
