#include "tollwren/pad/pad_document.h"

#include <algorithm>
#include <vector>

#include "common/plain_file.h"
#include "tollwren/pad/version_number.h"

namespace {

// Bytes read of a local document at most: enough for the text limit even
// when every line ends in CR LF and the file is UTF-16.
constexpr uint32_t kLocalFileByteLimit = 4 * kPadTextLimit + 2;

// Every field the updater reads from a PAD document (the language texts
// read the last two).
const char16_t* const kFieldsUsed[] = {
    u"Program_Version", u"Application_XML_File_URL", u"Program_Name", u"Company_Name", u"Company_WebSite_URL",
    u"Program_Release_Year", u"Program_Release_Month", u"Program_Release_Day", u"Char_Desc_45", u"Char_Desc_80",
    u"Char_Desc_250", u"Char_Desc_450", u"Char_Desc_2000", u"Primary_Download_URL", u"Secondary_Download_URL",
    u"Additional_Download_URL_1", u"Additional_Download_URL_2", u"File_Size_Bytes", u"File_SHA256",
    u"Installer_Arguments", u"Installer_Silent_Arguments", u"Program_Change_Info",
    u"Program_System_Requirements", u"Program_OS_Support"};

// Whether a carriage return that has no line feed after it changes what a
// field reads: the updater drops it, another reader takes it as a line break.
bool LoneCarriageReturnChangesAField(const uint8_t* bytes, size_t size) {
  std::u16string kept, dropped;
  bool lone = false;
  for (size_t i = 0; i < size; ++i) {
    const bool returnOnly = bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n');
    lone = lone || returnOnly;
    if (bytes[i] != '\r' || returnOnly) kept.push_back(static_cast<char16_t>(bytes[i]));
    if (bytes[i] != '\r') dropped.push_back(static_cast<char16_t>(bytes[i]));
  }
  if (!lone) return false;
  for (const char16_t* tag : kFieldsUsed) {
    std::u16string a, b;
    const bool inKept = ExtractPadField(kept, tag, kPadTextLimit, a);
    if (inKept != ExtractPadField(dropped, tag, kPadTextLimit, b) || a != b) return true;
  }
  return false;
}

// Writes bytes to a new file beside path that then replaces it, so that a
// failed write leaves the old file whole.
bool ReplaceWithBytes(const char16_t* path, const std::vector<uint8_t>& bytes) {
  const std::u16string temporary = std::u16string(path) + u".~new";
  RemoveFile(temporary.c_str());
  CPlainFile file;
  if (!file.OpenNew(temporary.c_str())) return false;
  CopyFilePermissions(path, temporary.c_str());
  bool ok = bytes.empty() || file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) == bytes.size();
  ok = file.Flush() && ok;
  ok = file.Close() && ok;
  if (ok) ok = ReplaceFileWith(path, temporary.c_str());
  if (!ok) RemoveFile(temporary.c_str());
  return ok;
}

}  // namespace

std::u16string ReadPadText(const uint8_t* bytes, size_t size) {
  std::u16string text;
  if (!bytes) size = 0;
  const bool unicode = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  if (unicode) {
    text.reserve(size / 2 < kPadTextLimit ? size / 2 : kPadTextLimit);
    for (size_t i = 0; i + 1 < size && text.size() < kPadTextLimit; i += 2) {
      char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
      if (c != u'\r') text.push_back(c);
    }
  } else {
    text.reserve(size < kPadTextLimit ? size : kPadTextLimit);
    for (size_t i = 0; i < size && text.size() < kPadTextLimit; ++i) {
      if (bytes[i] != '\r') text.push_back(static_cast<char16_t>(bytes[i]));
    }
  }
  return text;
}

const char* FetchedPadProblem(const uint8_t* bytes, size_t size) {
  if (!bytes || size == 0) return "is empty";
  if (size > kRemotePadByteLimit) return "is longer than the updater fetches";
  if (std::find(bytes, bytes + size, 0) != bytes + size) return "holds a zero byte";
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    return "starts with FF FE, which would make pad.xml read as UTF-16";
  }
  if (LoneCarriageReturnChangesAField(bytes, size)) {
    return "has a carriage return without a line feed that changes a field the updater reads";
  }
  return nullptr;
}

bool ExtractPadField(std::u16string_view document, std::u16string_view tag, size_t limit,
                     std::u16string& value) {
  std::u16string startTag;
  startTag.reserve(tag.size() + 2);
  startTag.append(u"<").append(tag).append(u">");
  std::u16string endTag;
  endTag.reserve(tag.size() + 3);
  endTag.append(u"</").append(tag).append(u">");

  size_t start = document.find(startTag);
  if (start == std::u16string_view::npos) return false;
  start += startTag.size();
  size_t end = document.find(endTag, start);
  if (end == std::u16string_view::npos) return false;
  if (end - start > limit) return false;
  value.assign(document.substr(start, end - start));
  return true;
}

bool IsValidReleaseDate(int32_t year, int32_t month, int32_t day) {
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1) return false;
  static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int32_t days = kDays[month - 1];
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && leap) days = 29;
  return day <= days;
}

std::u16string CPadDocument::CurrentField(std::u16string_view tag, size_t limit) const {
  std::u16string value;
  ExtractPadField(currentText_, tag, limit, value);
  return value;
}

bool CPadDocument::Extract(std::u16string_view tag, size_t limit, std::u16string& value) const {
  return ExtractPadField(currentText_, tag, limit, value);
}

bool CPadDocument::ReadLocalFile(const char16_t* path) {
  CPlainFile file;
  if (!file.OpenRead(path)) return false;
  std::vector<uint8_t> bytes;
  uint8_t chunk[16384];
  while (bytes.size() < kLocalFileByteLimit) {
    uint32_t want = kLocalFileByteLimit - static_cast<uint32_t>(bytes.size());
    uint32_t read = file.Read(chunk, want < sizeof chunk ? want : sizeof chunk);
    if (read == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  LoadLocalBytes(bytes.data(), bytes.size());
  return true;
}

bool CPadDocument::CanReplaceLocalFile() const {
  std::u16string version, address;
  return Extract(u"Program_Version", kPadShortLimit, version) && !version.empty() &&
         Extract(u"Application_XML_File_URL", kPadLongLimit, address) && !address.empty();
}

bool CPadDocument::SaveLocalFile(const char16_t* path) const {
  if (remoteBytes_.empty() || !CanReplaceLocalFile()) return false;
  return ReplaceWithBytes(path, remoteBytes_);
}

void CPadDocument::LoadLocalBytes(const uint8_t* bytes, size_t size) {
  currentText_ = ReadPadText(bytes, size);
  remoteBytes_.clear();
  ApplyLocalText();
}

void CPadDocument::LoadRemoteBytes(const uint8_t* bytes, size_t size) {
  currentText_ = ReadPadText(bytes, size);
  if (bytes) remoteBytes_.assign(bytes, bytes + size);
  else remoteBytes_.clear();
  ApplyRemoteText();
}

void CPadDocument::ApplyLocalText() {
  localVersionText.clear();
  Extract(u"Program_Version", kPadShortLimit, localVersionText);
  localVersionNumber = VersionNumber(localVersionText.c_str());
  remoteVersionText = localVersionText;

  ReadDescriptions();
  ReadReleaseDate();

  Extract(u"Application_XML_File_URL", kPadLongLimit, padFileUrl);
  Extract(u"Program_Name", kPadShortLimit, programName);
  Extract(u"Company_Name", kPadShortLimit, companyName);
  ReadCompanyWebSite();
}

void CPadDocument::ApplyRemoteText() {
  remoteVersionText.clear();
  Extract(u"Program_Version", kPadShortLimit, remoteVersionText);
  remoteVersionNumber = VersionNumber(remoteVersionText.c_str());

  for (int i = 0; i < kDownloadUrlCount; ++i) Extract(kDownloadUrlTags[i], kPadLongLimit, downloadUrls[i]);
  Extract(u"Program_Name", kPadShortLimit, programName);

  std::u16string sizeText;
  int32_t size = 0;
  if (!Extract(u"File_Size_Bytes", kPadNumberLimit, sizeText) || !ParseWholeNumber(sizeText.c_str(), size)) {
    size = 0;
  }
  fileSize = size;
  fileSha256.clear();
  hasFileSha256 = Extract(u"File_SHA256", kPadShortLimit, fileSha256);
  installerArguments = ExtractArguments(u"Installer_Arguments");
  installerSilentArguments = ExtractArguments(u"Installer_Silent_Arguments");

  ReadReleaseDate();
  ReadDescriptions();
  Extract(u"Program_Change_Info", kPadLongLimit, changeInfo);
  Extract(u"Company_Name", kPadShortLimit, companyName);
  ReadCompanyWebSite();
}

std::u16string CPadDocument::ExtractArguments(std::u16string_view tag) const {
  std::u16string value;
  if (!Extract(tag, kInstallerArgumentsLimit, value)) return std::u16string();
  // A line break would make the installer's command line two.
  if (value.find_first_of(u"\r\n") != std::u16string::npos) return std::u16string();
  return value;
}

void CPadDocument::ReadDescriptions() {
  for (int i = 0; i < kDescriptionCount; ++i) {
    descriptions[i].clear();
    Extract(kDescriptionTags[i], kDescriptionLimits[i], descriptions[i]);
  }
  // A shorter description stands in for every longer one that is empty.
  for (int i = 1; i < kDescriptionCount; ++i) {
    if (descriptions[i].empty()) descriptions[i] = descriptions[i - 1];
  }
}

void CPadDocument::ReadReleaseDate() {
  releaseDate.clear();
  std::u16string yearText, monthText, dayText;
  if (!Extract(u"Program_Release_Year", kPadNumberLimit, yearText)) return;
  if (!Extract(u"Program_Release_Month", kPadNumberLimit, monthText)) return;
  if (!Extract(u"Program_Release_Day", kPadNumberLimit, dayText)) return;
  int32_t year = 0, month = 0, day = 0;
  if (!ParseWholeNumber(yearText.c_str(), year) || !ParseWholeNumber(monthText.c_str(), month) ||
      !ParseWholeNumber(dayText.c_str(), day)) {
    return;
  }
  releaseDate = FormatReleaseDate(year, month, day);
  if (releaseDate.size() > kReleaseDateLimit) releaseDate.clear();
}

void CPadDocument::ReadCompanyWebSite() {
  Extract(u"Company_WebSite_URL", kPadLongLimit, companyWebSite);
  while (!companyWebSite.empty() && companyWebSite.back() == u'/') companyWebSite.pop_back();
}
